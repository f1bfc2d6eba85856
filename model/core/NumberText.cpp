#include "model/core/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <locale>
#include <sstream>

namespace {
// 10^k by repeated squaring over the bits of |k| (exact up to 10^22); the reciprocal for k < 0.
double PowerOfTen(long long k)
{
    unsigned long long n =
        k < 0 ? 0ULL - static_cast<unsigned long long>(k) : static_cast<unsigned long long>(k);
    double dResult = 1.0;
    double dSquare = 10.0;
    while (n != 0) {
        if (n & 1ULL)
            dResult *= dSquare;
        n >>= 1;
        if (n != 0)
            dSquare *= dSquare;
    }
    return k < 0 ? 1.0 / dResult : dResult;
}

// The decimal exponent of |x| truncated toward zero, bounded for infinities.
int TruncatedLog10(double x)
{
    const double d = std::trunc(std::log10(std::fabs(x)));
    return d > 400.0 ? 400 : d < -400.0 ? -400 : static_cast<int>(d);
}

// %g writes at least two exponent digits; our texts have three ("1e-005").
void WidenExponent(char* psz)
{
    char* pE = std::strchr(psz, 'e');
    if (pE == nullptr)
        return;
    char* pDigits = pE + 2; // past the sign
    const std::size_t nDigits = std::strlen(pDigits);
    if (nDigits >= 3)
        return;
    std::memmove(pDigits + (3 - nDigits), pDigits, nDigits + 1);
    std::memset(pDigits, '0', 3 - nDigits);
}
} // namespace

double RoundToDigits(double x, int nDigits)
{
    long long e = 0;
    if (x > 10.0 || x < -10.0) {
        const double dLog = std::trunc(std::log10(std::fabs(x)));
        if (nDigits > std::fabs(dLog)) {
            e = static_cast<long long>(dLog);
            x = x / PowerOfTen(e);
        }
    }
    double z = x * PowerOfTen(nDigits);
    if (x > 0.0)
        z += 0.5;
    else if (x < 0.0)
        z -= 0.5;
    const double t = z - std::fmod(z, 1.0);
    const long long k = e - nDigits;
    return k >= 0 ? t * PowerOfTen(k) : t * (1.0 / PowerOfTen(-k));
}

void FormatTableValue(char* pszOut, double value, int nDigits, std::uint8_t bSign, int nWidth)
{
    if (std::fabs(value) > 1000000.0)
        nDigits = 3 - TruncatedLog10(value);
    value = RoundToDigits(value, nDigits);

    char szText[32];
    char* p = szText;
    if (bSign && !(value < 0.0))
        *p++ = '+';
    if (std::isnan(value)) {
        std::memcpy(p, "nan", 4);
    } else {
        const auto [pEnd, ec] = std::to_chars(p, szText + 24, value, std::chars_format::general, 6);
        *(ec == std::errc() ? pEnd : p) = '\0';
        WidenExponent(p);
    }
    // 13 characters at most: "+", six digits, the point, "e", the exponent's sign and 3 digits.
    std::strcpy(pszOut, szText);
    const int nLength = static_cast<int>(std::strlen(pszOut));
    for (int i = nLength; i < nWidth; ++i)
        pszOut[i] = ' ';
    pszOut[nLength > nWidth ? nLength : nWidth] = '\0';
}

std::string NumberToString(double v)
{
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << v;
    std::string s = os.str();
    const auto e = s.find('e');
    if (e != std::string::npos && e + 2 <= s.size()) {
        std::string digits = s.substr(e + 2);
        while (digits.size() < 3)
            digits.insert(digits.begin(), '0');
        s = s.substr(0, e + 2) + digits;
    }
    return s;
}
