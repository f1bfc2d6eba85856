// Numbers as dialogs read and write them: whole-text parses, three-digit exponents.
#include "platform/base/TextNumbers.h"

#include <gtest/gtest.h>

TEST(TextNumbers, ParsesWholeNumbersOnly)
{
    const struct
    {
        const char* text;
        bool ok;
        double value;
    } cases[] = {{"1.5", true, 1.5}, {" -2e3 ", true, -2000}, {"+.5", true, 0.5},
                 {"1,5", false, 0},  {"", false, 0},          {"3x", false, 0}};
    for (const auto& c : cases) {
        double v = 0;
        EXPECT_EQ(ParseNumber(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value);
        }
    }
    int n = 0;
    EXPECT_FALSE(ParseInteger("2.5", n));
    EXPECT_TRUE(ParseInteger(" 7", n));
    EXPECT_EQ(n, 7);
}
