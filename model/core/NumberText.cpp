#include "model/core/NumberText.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <locale>
#include <sstream>

namespace {
// 10^0 .. 10^22, all exact in a double.
constexpr double kPow10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// 1 / 10^0 .. 1 / 10^22, each the quotient rounded as a division at run time rounds it.
constexpr std::array<double, 23> kInvPow10 = [] {
    std::array<double, 23> inv{};
    for (std::size_t i = 0; i < inv.size(); ++i)
        inv[i] = 1.0 / kPow10[i];
    return inv;
}();

// 10^k by repeated squaring over the bits of |k| (exact up to 10^22, where the table gives the
// same values); the reciprocal for k < 0.
double PowerOfTen(long long k)
{
    unsigned long long n =
        k < 0 ? 0ULL - static_cast<unsigned long long>(k) : static_cast<unsigned long long>(k);
    if (n <= 22)
        return k < 0 ? kInvPow10[n] : kPow10[n];
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

// trunc(log10(a)) for a > 10. Below 10^22 the table decides, except right under a power of
// ten, where log10 may round up to it; there log10 itself is asked, as everywhere above.
double TruncLog10Above10(double a)
{
    if (a < 1e22) {
        std::size_t k = 1;
        while (kPow10[k + 1] <= a)
            ++k;
        if (a < kPow10[k + 1] * (1.0 - 1e-12))
            return static_cast<double>(k);
    }
    return std::trunc(std::log10(a));
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
// %g with six significant digits by the C library's rules, through the standard library.
char* WriteGeneral6Slow(char* p, double v)
{
    char sz[32];
    const auto [pEnd, ec] = std::to_chars(sz, sz + 24, v, std::chars_format::general, 6);
    *(ec == std::errc() ? pEnd : sz) = '\0';
    WidenExponent(sz);
    const std::size_t n = std::strlen(sz);
    std::memcpy(p, sz, n);
    return p + n;
}

// The six significant digits of v > 0 and its decimal exponent, from one scaling by an exact
// power of ten: false where that is not enough to round correctly (a value very near a tie, or
// out of the table's range).
bool SixDigits(double v, long& m, int& nExp)
{
    // The binary exponent times log10(2) estimates the decimal one; the loop corrects it.
    const int e2 = static_cast<int>((std::bit_cast<std::uint64_t>(v) >> 52) & 0x7FF) - 1023;
    nExp = (e2 * 78913) >> 18;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int s = 5 - nExp;
        if (s < -22 || s > 22)
            return false;
        const double q = s >= 0 ? v * kPow10[s] : v / kPow10[-s];
        if (q >= 1e6) {
            ++nExp;
        } else if (q < 1e5) {
            --nExp;
        } else {
            // q carries an error below 1e-9: only a fraction near one half is in doubt.
            const long whole = static_cast<long>(q);
            const double frac = q - static_cast<double>(whole);
            if (frac > 0.5 - 1e-6 && frac < 0.5 + 1e-6)
                return false;
            m = whole + (frac > 0.5 ? 1 : 0);
            if (m == 1000000) {
                m = 100000;
                ++nExp;
            }
            return true;
        }
    }
    return false;
}

// The text %g gives for a value of up to six significant digits: the digits of m (m > 0) with
// the decimal exponent nExp of the first, trailing zeros dropped, three exponent digits.
char* WriteDigits(char* p, long m, int nExp)
{
    char d[6] = {};
    int n = 0;
    for (long r = m; r != 0; r /= 10)
        ++n;
    for (int i = n - 1; i >= 0; --i, m /= 10)
        d[i] = static_cast<char>('0' + m % 10);
    int nSig = n; // digits left once trailing zeros go
    while (nSig > 1 && d[nSig - 1] == '0')
        --nSig;
    auto digit = [&](int i) { return i < nSig ? d[i] : '0'; };
    if (nExp >= 0 && nExp < 6) {
        for (int i = 0; i <= nExp; ++i)
            *p++ = digit(i);
        if (nSig > nExp + 1)
            *p++ = '.';
        for (int i = nExp + 1; i < nSig; ++i)
            *p++ = d[i];
    } else if (nExp < 0 && nExp >= -4) {
        *p++ = '0';
        *p++ = '.';
        for (int i = -1; i > nExp; --i)
            *p++ = '0';
        for (int i = 0; i < nSig; ++i)
            *p++ = d[i];
    } else {
        *p++ = d[0];
        if (nSig > 1)
            *p++ = '.';
        for (int i = 1; i < nSig; ++i)
            *p++ = d[i];
        *p++ = 'e';
        *p++ = nExp < 0 ? '-' : '+';
        const int a = nExp < 0 ? -nExp : nExp;
        *p++ = static_cast<char>('0' + a / 100);
        *p++ = static_cast<char>('0' + a / 10 % 10);
        *p++ = static_cast<char>('0' + a % 10);
    }
    return p;
}

// %g with six significant digits and a three-digit exponent; returns the end of the text.
char* WriteGeneral6(char* p, double v)
{
    if (v == 0.0 || !std::isfinite(v))
        return WriteGeneral6Slow(p, v);
    long m = 0;
    int nExp = 0;
    if (!SixDigits(std::fabs(v), m, nExp))
        return WriteGeneral6Slow(p, v);
    if (v < 0.0)
        *p++ = '-';
    return WriteDigits(p, m, nExp);
}

// A rounded value as the integer t and the power of ten k it is multiplied by.
struct Rounded
{
    double t;
    long long k;
    double Value() const { return t * PowerOfTen(k); }
};

Rounded RoundParts(double x, int nDigits)
{
    long long e = 0;
    if (x > 10.0 || x < -10.0) {
        const double dLog = TruncLog10Above10(std::fabs(x));
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
    // z - fmod(z, 1): the integer part, NaN for an infinity, never -0.
    const double t = std::isinf(z) ? std::nan("") : std::trunc(z) + 0.0;
    return {t, e - nDigits};
}
} // namespace

double RoundToDigits(double x, int nDigits)
{
    return RoundParts(x, nDigits).Value();
}

int FormatTableValue(char* pszOut, double value, int nDigits, std::uint8_t bSign, int nWidth)
{
    if (std::fabs(value) > 1000000.0)
        nDigits = 3 - TruncatedLog10(value);
    const Rounded rounded = RoundParts(value, nDigits);
    value = rounded.Value();

    // 13 characters at most: "+", six digits, the point, "e", the exponent's sign and 3 digits.
    char* p = pszOut;
    if (bSign && !(value < 0.0))
        *p++ = '+';
    if (std::isnan(value)) {
        std::memcpy(p, "nan", 3);
        p += 3;
    } else if (rounded.t != 0.0 && std::fabs(rounded.t) < 1e6 && rounded.k >= -22 &&
               rounded.k <= 22) {
        // At most six digits: the value is within a rounding of t x 10^k, whose digits %g writes.
        if (rounded.t < 0.0)
            *p++ = '-';
        const long m = static_cast<long>(std::fabs(rounded.t));
        int n = 0;
        for (long r = m; r != 0; r /= 10)
            ++n;
        p = WriteDigits(p, m, n - 1 + static_cast<int>(rounded.k));
    } else {
        p = WriteGeneral6(p, value);
    }
    int nLength = static_cast<int>(p - pszOut);
    for (; nLength < nWidth; ++nLength)
        pszOut[nLength] = ' ';
    pszOut[nLength] = '\0';
    return nLength;
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
