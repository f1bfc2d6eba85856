#include "platform/base/TextNumbers.h"

#include <charconv>

namespace {

std::string Trimmed(const std::string& text)
{
    const auto b = text.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const auto e = text.find_last_not_of(" \t");
    std::string s = text.substr(b, e - b + 1);
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    return s;
}

template <typename T> bool ParseWhole(const std::string& text, T& value)
{
    const std::string s = Trimmed(text);
    if (s.empty())
        return false;
    T v{};
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size())
        return false;
    value = v;
    return true;
}

} // namespace

std::string FormatGeneral(double value, int precision)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    std::string text(buf, res.ptr);
    const auto e = text.find('e');
    if (e != std::string::npos && e + 2 < text.size()) {
        const std::size_t digits = text.size() - (e + 2);
        if (digits < 3)
            text.insert(e + 2, 3 - digits, '0');
    }
    return text;
}

bool ParseNumber(const std::string& text, double& value)
{
    return ParseWhole(text, value);
}

bool ParseInteger(const std::string& text, int& value)
{
    return ParseWhole(text, value);
}
