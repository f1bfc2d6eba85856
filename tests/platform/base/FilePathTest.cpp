// A path as the program's texts show it: Latin-1, with "?" for what Latin-1 cannot spell.
#include "platform/base/FilePath.h"

#include <gtest/gtest.h>

#include <string>

TEST(PathText, SpellsAPathInTheProgramsTexts)
{
    const struct
    {
        std::string path, text;
    } cases[] = {
        {"/tmp/plain.ds2", "/tmp/plain.ds2"},
        {"/tmp/d\xC3\xB8nn\xC3\xA9r.d2d", "/tmp/d\xF8nn\xE9r.d2d"},
        {"\xF0\x9F\x98\x80.vxt", "?.vxt"}, // beyond Latin-1, one character
        {"caf\xE9.vxt", "caf?.vxt"},       // a Latin-1 byte is no UTF-8
        {"\xC3", "?"},                     // cut short
        {"\xC0\xAFx", "??x"},              // an overlong "/"
        {"\xED\xA0\x80", "???"},           // a surrogate
        {"\xF8\x88\x80\x80\x80", "?????"}, // no UTF-8 lead byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathText(c.path), c.text) << c.path;
}
