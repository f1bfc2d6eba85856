#include "views/rows/PlotText.h"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>

TEST(PlotDigits, RangeRuleAndItsBounds)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct
    {
        double range;
        int digits;
    } cases[] = {{20, 3},
                 {0.5, 4},
                 {0.05, 5},
                 {10, 3},
                 {9.99, 4},
                 {2 * 3.14159265, 4},
                 {0, 4},
                 {-3, 4},
                 {inf, 4},
                 {nan, 4},
                 {1e-300, kMaxDigits},
                 {1e300, -kMaxDigits}};
    for (const auto& c : cases)
        EXPECT_EQ(DigitsForRange(c.range), c.digits) << c.range;
}

TEST(PlotDigits, StepRuleTruncatesAfterSubtracting)
{
    EXPECT_EQ(DigitsForStep(0.0628), 5);
    EXPECT_EQ(DigitsForStep(2.5), 3);
    EXPECT_EQ(DigitsForStep(0.0), 4);
}

TEST(PlotNumber, RoundedThenGeneralFormat)
{
    const struct
    {
        double value;
        int digits;
        const char* text;
    } cases[] = {
        {3.14159265, 4, "3.1416"},
        {-10, 3, "-10"},
        {6.283185307, 4, "6.2832"},
        {0.0, 4, "0"},
        {1e30, 3, "1e+030"},
        {1.5e-7, 9, "1.5e-007"},
        {123456789, 4, "1.23457e+008"},
        {0.0001234, 4, "0.0001"},
        {-0.5, 4, "-0.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.value, c.digits), c.text) << c.value;
}

TEST(PlotNumber, NonFiniteAndLocale)
{
    EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity()), "inf");
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
        EXPECT_EQ(FormatNumber(2.5, 4), "2.5");
    }
    std::setlocale(LC_ALL, saved.c_str());
}
