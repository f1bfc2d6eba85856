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

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Where the digits of a number start: past leading blanks and one sign.
std::size_t SkipBlanksAndSign(const std::string& s, bool& negative)
{
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    return i;
}

} // namespace

bool ReadLeadingNumber(const std::string& s, double& v)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(s, negative);
    const std::size_t n = s.size();
    const std::size_t start = i;
    int digits = 0;
    for (; i < n && IsDigit(s[i]); ++i)
        ++digits;
    if (i < n && s[i] == '.')
        for (++i; i < n && IsDigit(s[i]); ++i)
            ++digits;
    if (digits == 0)
        return false;
    std::size_t end = i;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (s[j] == '-' || s[j] == '+'))
            ++j;
        if (j < n && IsDigit(s[j])) {
            while (j < n && IsDigit(s[j]))
                ++j;
            end = j;
        }
    }
    const auto [p, ec] = std::from_chars(s.data() + start, s.data() + end, v);
    if (ec != std::errc() || p != s.data() + end)
        return false;
    v = negative ? -v : v;
    return true;
}

bool ReadLeadingInteger(const std::string& s, long long& v)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(s, negative);
    const std::size_t n = s.size();
    if (i >= n || !IsDigit(s[i]))
        return false;
    v = 0;
    for (; i < n && IsDigit(s[i]); ++i)
        v = v > 1'000'000'000'000LL ? v : v * 10 + (s[i] - '0');
    v = negative ? -v : v;
    return true;
}

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
