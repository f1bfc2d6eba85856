#include "platform/base/FilePath.h"

#include <cstddef>
#include <utility>

namespace {

// The code point of the UTF-8 sequence at s[i] and its length; length 0 when it is no sound
// sequence (a stray or missing continuation byte, an overlong form, a surrogate, past U+10FFFF).
std::pair<char32_t, std::size_t> DecodeUtf8(const std::string& s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    const std::size_t length = lead >= 0xF8   ? 0
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 0;
    if (length == 0 || i + length > s.size())
        return {0, 0};
    char32_t c = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80)
            return {0, 0};
        c = (c << 6) | (byte(k) & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {0, 0};
    return {c, length};
}

} // namespace

FilePath FilePath::Name() const
{
    const std::size_t slash = m_bytes.rfind('/');
    return slash == std::string::npos ? *this : FilePath(m_bytes.substr(slash + 1));
}

std::string PathText(const FilePath& path)
{
    const std::string& s = path.Bytes();
    std::string text;
    text.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto [c, length] = DecodeUtf8(s, i);
        text += c <= 0xFF && length > 0 ? static_cast<char>(c) : '?';
        i += length > 0 ? length : 1;
    }
    return text;
}
