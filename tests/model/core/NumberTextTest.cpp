#include "model/core/NumberText.h"
#include "common/DecimalComma.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(RoundToDigits, NonFiniteAndOverflowGiveNan)
{
    const double kInf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(RoundToDigits(std::nan(""), 3)));
    EXPECT_TRUE(std::isnan(RoundToDigits(kInf, 3)));
    EXPECT_TRUE(std::isnan(RoundToDigits(-kInf, 0)));
    EXPECT_TRUE(std::isnan(RoundToDigits(1e300, 400)));
    // Integral values beyond the digits come back as they are.
    EXPECT_EQ(RoundToDigits(1e300, 2), 1e300);
    EXPECT_EQ(RoundToDigits(4503599627370497.0, 3), 4503599627370497.0);
    // Absurd digit counts stay defined.
    EXPECT_TRUE(std::isnan(RoundToDigits(5.0, std::numeric_limits<int>::min())));
    EXPECT_TRUE(std::isnan(RoundToDigits(5.0, std::numeric_limits<int>::max())));
}

struct TextCase
{
    double value;
    int nDigits;
    bool bSign;
    int nWidth;
    const char* text;
};

TEST(FormatTableValue, WritesPaddedGeneralText)
{
    const TextCase kCases[] = {
        {3.14159265, 4, true, 12, "+3.1416     "},
        {-0.5, 4, true, 12, "-0.5        "},
        {0.0, 4, true, 12, "+0          "},
        {-0.0, 4, true, 0, "+0"},
        {-0.00001, 4, true, 0, "+0"},
        {12345678.0, 4, true, 12, "+1.235e+007 "},
        {2 * 3.141592653589793 / 100, 5, false, 9, "0.06283  "},
        {-12345678.0, 4, true, 0, "-1.235e+007"},
        {0.0001, 4, false, 0, "0.0001"},
        {0.00001234, 8, false, 0, "1.234e-005"},
        {123456.0, 2, false, 3, "123456"}, // never cut
        {1e30, 0, false, 0, "1e+030"},
        {-1.5e-300, 302, true, 0, "-1.5e-300"},
        {1.23456789e300, 0, true, 0, "+1.235e+300"},
        {std::numeric_limits<double>::infinity(), 4, true, 5, "+nan "},
    };
    for (const TextCase& c : kCases) {
        char buffer[64];
        FormatTableValue(buffer, c.value, c.nDigits, c.bSign, c.nWidth);
        EXPECT_STREQ(buffer, c.text) << c.value;
    }
}

// The rounding step by step as the rule states it (log10, fmod, powers by squaring), beside the
// faster way the program takes, and the text beside the C library's %.6g: values of every size,
// near powers of ten, ties and their neighbours.
double PlainPower(long long k)
{
    unsigned long long n = k < 0 ? 0ULL - static_cast<unsigned long long>(k) : k;
    double r = 1, sq = 10;
    for (; n != 0; n >>= 1, sq *= sq)
        if (n & 1)
            r *= sq;
    return k < 0 ? 1.0 / r : r;
}

double PlainRound(double x, int nDigits)
{
    long long e = 0;
    if (x > 10.0 || x < -10.0) {
        const double d = std::trunc(std::log10(std::fabs(x)));
        if (nDigits > std::fabs(d)) {
            e = static_cast<long long>(d);
            x = x / PlainPower(e);
        }
    }
    double z = x * PlainPower(nDigits);
    z += x > 0.0 ? 0.5 : x < 0.0 ? -0.5 : 0.0;
    const double t = z - std::fmod(z, 1.0);
    const long long k = e - nDigits;
    return k >= 0 ? t * PlainPower(k) : t * (1.0 / PlainPower(-k));
}

std::string CLibraryText(double rounded)
{
    char b[64];
    std::snprintf(b, sizeof b, "%.6g", rounded);
    std::string s = b;
    if (const auto e = s.find('e'); e != std::string::npos && s.size() - e - 2 < 3)
        s.insert(e + 2, 3 - (s.size() - e - 2), '0');
    return s;
}

TEST(FormatTableValue, AgreesWithThePlainRuleAndTheCLibrary)
{
    std::vector<double> values = {1.5,      2.5,    0.0000125,  999999.5,    1234565.0,   0.123456,
                                  12345.65, 1e22,   1e23,       99999.95,    1e15,        -1e7,
                                  0.1,      1e-5,   5e-324,     3.14159265,  -123.456789, 12345.678,
                                  99.99,    987.65, -0.0123456, 0.000123456, -2.5,        10.5,
                                  0.0,      0.5,    -5.0,       -10.0};
    for (int k = 1; k <= 23; ++k) {
        double below = std::pow(10.0, k), above = below;
        for (int i = 0; i < 50; ++i) {
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, 1e300);
            values.insert(values.end(), {below, -below, above});
        }
    }
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> exponent(-8.0, 25.0);
    for (int i = 0; i < 100000; ++i)
        values.push_back(std::pow(10.0, exponent(random)) * (i % 2 ? 1 : -1));
    for (double v : values)
        for (int nDigits : {-3, -2, -1, 0, 1, 2, 3, 4, 5, 9, 17}) {
            const double rounded = RoundToDigits(v, nDigits);
            const double plain = PlainRound(v, nDigits);
            ASSERT_EQ(std::memcmp(&rounded, &plain, sizeof plain), 0) << v << " to " << nDigits;
            char buffer[64];
            FormatTableValue(buffer, v, nDigits, 0, 0);
            const double shown =
                std::fabs(v) > 1e6
                    ? PlainRound(v, 3 - static_cast<int>(std::trunc(std::log10(std::fabs(v)))))
                    : rounded;
            ASSERT_EQ(buffer, CLibraryText(shown)) << v << " to " << nDigits;
        }
}

TEST(NumberToString, SixDigitsAndAThreeDigitExponent)
{
    const std::pair<double, const char*> cases[] = {
        {6.283185307179586, "6.28319"},
        {0.01, "0.01"},
        {0.0001, "0.0001"},
        {0.00001, "1e-005"},
        {100000, "100000"},
        {1234567, "1.23457e+006"},
        {1e30, "1e+030"},
        {-0.5, "-0.5"},
        {0, "0"},
        {999999.5, "1e+006"},
        {-2.5e-300, "-2.5e-300"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(NumberToString(value), text) << value;
}

TEST(NumberText, IgnoresADecimalCommaLocale)
{
    char buffer[32];
    std::string text;
    {
        DecimalCommaLocale comma;
        if (!comma.Active())
            GTEST_SKIP() << "no German locale installed (scripts/setup.sh makes one)";
        FormatTableValue(buffer, 2.25, 4, 0, 0);
        text = NumberToString(2.25);
    }
    EXPECT_STREQ(buffer, "2.25");
    EXPECT_EQ(text, "2.25");
}

} // namespace
