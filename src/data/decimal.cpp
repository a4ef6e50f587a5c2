#include "data/decimal.h"

#include "data/app_error.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace {

using u128 = unsigned __int128;

// Largest magnitude a mantissa may hold: 2^127 - 1, so that every value has a negation.
constexpr u128 MaxMagnitude = (u128(1) << 127) - 1;

// Unsigned 256-bit integer, just wide enough for the exact product of two mantissas,
// and for a mantissa scaled by up to 10^38 before a rounded division.
struct U256 {
    std::array<std::uint64_t, 4> w{}; // little-endian 64-bit words

    U256() = default;
    explicit U256(u128 v) : w{std::uint64_t(v), std::uint64_t(v >> 64), 0, 0} {}

    bool isZero() const { return (w[0] | w[1] | w[2] | w[3]) == 0; }
    bool fitsMagnitude() const { return w[2] == 0 && w[3] == 0 && low128() <= MaxMagnitude; }
    u128 low128() const { return (u128(w[1]) << 64) | w[0]; }

    int bitLength() const
    {
        for (int i = 3; i >= 0; --i)
            if (w[i] != 0)
                return i * 64 + 64 - __builtin_clzll(w[i]);
        return 0;
    }
    bool bit(int i) const { return (w[i / 64] >> (i % 64)) & 1u; }
    void setBit(int i) { w[i / 64] |= std::uint64_t(1) << (i % 64); }

    void shiftLeft1()
    {
        for (int i = 3; i > 0; --i)
            w[i] = (w[i] << 1) | (w[i - 1] >> 63);
        w[0] <<= 1;
    }

    // Returns false when the sum does not fit in 256 bits.
    bool add(const U256 &o)
    {
        u128 carry = 0;
        for (int i = 0; i < 4; ++i) {
            const u128 s = u128(w[i]) + o.w[i] + carry;
            w[i] = std::uint64_t(s);
            carry = s >> 64;
        }
        return carry == 0;
    }
    void sub(const U256 &o) // requires *this >= o
    {
        std::uint64_t borrow = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint64_t a = w[i];
            const std::uint64_t d = a - o.w[i] - borrow;
            borrow = (a < o.w[i] || (a == o.w[i] && borrow)) ? 1 : 0;
            w[i] = d;
        }
    }
    // Returns false when the product does not fit in 256 bits.
    bool mulSmall(std::uint64_t f)
    {
        u128 carry = 0;
        for (int i = 0; i < 4; ++i) {
            const u128 p = u128(w[i]) * f + carry;
            w[i] = std::uint64_t(p);
            carry = p >> 64;
        }
        return carry == 0;
    }

    // Divides by d in place and returns the remainder.
    std::uint64_t divSmall(std::uint64_t d)
    {
        u128 rem = 0;
        for (int i = 3; i >= 0; --i) {
            const u128 cur = (rem << 64) | w[i];
            w[i] = std::uint64_t(cur / d);
            rem = cur % d;
        }
        return std::uint64_t(rem);
    }

    friend std::strong_ordering operator<=>(const U256 &a, const U256 &b)
    {
        for (int i = 3; i >= 0; --i)
            if (a.w[i] != b.w[i])
                return a.w[i] <=> b.w[i];
        return std::strong_ordering::equal;
    }
    friend bool operator==(const U256 &a, const U256 &b) = default;
};

U256 product(u128 a, u128 b)
{
    const std::uint64_t a0 = std::uint64_t(a), a1 = std::uint64_t(a >> 64);
    const std::uint64_t b0 = std::uint64_t(b), b1 = std::uint64_t(b >> 64);
    U256 r(u128(a0) * b0);
    U256 mid1(u128(a0) * b1), mid2(u128(a1) * b0);
    // Shift the middle products up one word.
    for (U256 *m : {&mid1, &mid2}) {
        m->w[3] = m->w[2];
        m->w[2] = m->w[1];
        m->w[1] = m->w[0];
        m->w[0] = 0;
        r.add(*m);
    }
    U256 high(u128(a1) * b1);
    high.w[3] = high.w[1];
    high.w[2] = high.w[0];
    high.w[1] = 0;
    high.w[0] = 0;
    r.add(high);
    return r;
}

// 10^k for 0 <= k <= 76 (the largest power of ten below 2^256).
U256 pow10Wide(int k)
{
    U256 r(u128(1));
    for (; k >= 19; k -= 19)
        r.mulSmall(10'000'000'000'000'000'000ull);
    for (; k > 0; --k)
        r.mulSmall(10);
    return r;
}

// 10^k for 0 <= k <= 38.
u128 pow10(int k)
{
    u128 r = 1;
    while (k-- > 0)
        r *= 10;
    return r;
}

// num / den rounded half away from zero (both are magnitudes). den must not be zero.
U256 divideRounded(const U256 &num, const U256 &den)
{
    U256 quotient, remainder;
    for (int i = num.bitLength() - 1; i >= 0; --i) {
        remainder.shiftLeft1();
        if (num.bit(i))
            remainder.w[0] |= 1;
        if (remainder >= den) {
            remainder.sub(den);
            quotient.setBit(i);
        }
    }
    // Round up when remainder >= den - remainder, i.e. the fraction is at least one half.
    U256 rest = den;
    rest.sub(remainder);
    if (remainder >= rest)
        quotient.add(U256(u128(1)));
    return quotient;
}

// m / 10^k rounded half away from zero, for a magnitude m.
u128 divideRoundedPow10(u128 m, int k)
{
    if (k <= 0)
        return m;
    if (k > 38)
        return 0; // m < 2^127 < 10^39 / 2
    const u128 d = pow10(k);
    const u128 q = m / d;
    const u128 r = m % d;
    return r >= d - r ? q + 1 : q;
}

u128 magnitudeOf(__int128 v) { return v < 0 ? u128(0) - u128(v) : u128(v); }

int digitCount(u128 m)
{
    int n = 0;
    for (; m != 0; m /= 10)
        ++n;
    return n;
}

std::string digitsOf(u128 m)
{
    if (m == 0)
        return "0";
    std::string s;
    for (; m != 0; m /= 10)
        s.insert(s.begin(), char('0' + int(m % 10)));
    return s;
}

[[noreturn]] void throwOverflow()
{
    throw AppError(QStringLiteral("Numeric overflow"));
}

} // namespace

Decimal Decimal::fromInt(long long v)
{
    return Decimal(__int128(v), 0);
}

Decimal Decimal::fromPlain(std::string_view text, bool *ok)
{
    if (ok)
        *ok = false;
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    // Significant digits without leading zeros, and how many of all the digits
    // stood after the decimal point.
    std::string digits;
    long long fractionDigits = 0;
    bool anyDigit = false;
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (!(digits.empty() && c == '0'))
                digits.push_back(c);
            if (inFraction)
                ++fractionDigits;
        } else if (c == '.' && !inFraction) {
            inFraction = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return {};

    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        bool anyExponentDigit = false;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            anyExponentDigit = true;
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (text[i] - '0');
        }
        if (!anyExponentDigit)
            return {};
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != text.size())
        return {};

    // value = digits * 10^-scale
    long long scale = fractionDigits - exponent;
    if (digits.empty()) {
        if (ok)
            *ok = true;
        return {};
    }
    if (scale > MaxScale) {
        // Drop the digits beyond MaxScale decimals, rounding half away from zero.
        const long long drop = scale - MaxScale;
        if (drop > static_cast<long long>(digits.size())) {
            if (ok)
                *ok = true;
            return {};
        }
        const bool roundUp = digits[digits.size() - drop] >= '5';
        digits.resize(digits.size() - drop);
        scale = MaxScale;
        // Propagate the carry through the kept digits.
        if (roundUp) {
            int k = static_cast<int>(digits.size()) - 1;
            for (; k >= 0 && digits[k] == '9'; --k)
                digits[k] = '0';
            if (k >= 0)
                ++digits[k];
            else
                digits.insert(digits.begin(), '1');
        }
        if (digits.empty()) {
            if (ok)
                *ok = true;
            return {};
        }
    }
    if (static_cast<long long>(digits.size()) + (scale < 0 ? -scale : 0) > 39)
        return {};

    U256 mag;
    for (char c : digits) {
        mag.mulSmall(10);
        mag.add(U256(u128(c - '0')));
    }
    for (; scale < 0; ++scale)
        mag.mulSmall(10);
    if (!mag.fitsMagnitude())
        return {};

    const __int128 m = __int128(mag.low128());
    Decimal r(negative ? -m : m, static_cast<int>(scale));
    r.normalize();
    if (ok)
        *ok = true;
    return r;
}

Decimal Decimal::fromDouble(double d)
{
    if (!std::isfinite(d))
        throwOverflow();
    // 25 significant digits of the exact binary value: "d.ddd...e+XX".
    char buffer[64];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::scientific, 24);
    bool ok = false;
    const Decimal r = fromPlain(std::string_view(buffer, res.ptr - buffer), &ok);
    if (!ok)
        throwOverflow();
    return r;
}

void Decimal::normalize()
{
    if (m_mant == 0) {
        m_scale = 0;
        return;
    }
    while (m_scale > 0 && m_mant % 10 == 0) {
        m_mant /= 10;
        --m_scale;
    }
}

namespace {

// The magnitude of m scaled up by 10^k (0 <= k <= MaxScale) as a 256-bit number.
U256 scaledUp(__int128 m, int k)
{
    U256 r(magnitudeOf(m));
    for (; k > 0; --k)
        r.mulSmall(10);
    return r;
}

// Drops the trailing zero decimals of mag * 10^-scale; the value stays the same.
void stripTrailingZeros(U256 &mag, int &scale)
{
    if (mag.isZero())
        scale = 0;
    while (scale > 0) {
        U256 q = mag;
        if (q.divSmall(10) != 0)
            break;
        mag = q;
        --scale;
    }
}

// The signed mantissa of an exact result; throws when it needs more than 128 bits.
__int128 signedFrom(bool negative, U256 mag, int &scale)
{
    stripTrailingZeros(mag, scale);
    if (!mag.fitsMagnitude())
        throwOverflow();
    const __int128 m = __int128(mag.low128());
    return negative ? -m : m;
}

} // namespace

Decimal Decimal::operator+(const Decimal &o) const
{
    int scale = std::max(m_scale, o.m_scale);
    const U256 a = scaledUp(m_mant, scale - m_scale);
    const U256 b = scaledUp(o.m_mant, scale - o.m_scale);
    const bool aNeg = m_mant < 0, bNeg = o.m_mant < 0;
    U256 mag;
    bool negative;
    if (aNeg == bNeg) {
        mag = a;
        mag.add(b); // both are below 2^228: no carry out of 256 bits
        negative = aNeg;
    } else if (a >= b) {
        mag = a;
        mag.sub(b);
        negative = aNeg;
    } else {
        mag = b;
        mag.sub(a);
        negative = bNeg;
    }
    const __int128 m = signedFrom(negative, mag, scale);
    return Decimal(m, scale);
}

Decimal Decimal::operator-() const
{
    return Decimal(-m_mant, m_scale); // |m_mant| <= 2^127 - 1, so always representable
}

Decimal Decimal::operator-(const Decimal &o) const
{
    return *this + (-o);
}

Decimal Decimal::operator*(const Decimal &o) const
{
    const bool negative = (m_mant < 0) != (o.m_mant < 0);
    U256 mag = product(magnitudeOf(m_mant), magnitudeOf(o.m_mant));
    int scale = m_scale + o.m_scale;
    stripTrailingZeros(mag, scale);
    // Round to MaxScale decimals, or to fewer when the digits do not fit in 128 bits;
    // always from the exact product, so that there is a single rounding.
    for (int drop = std::max(0, scale - MaxScale); drop <= scale; ++drop) {
        const U256 q = drop == 0 ? mag : divideRounded(mag, pow10Wide(drop));
        if (q.fitsMagnitude()) {
            int resultScale = scale - drop;
            const __int128 m = signedFrom(negative, q, resultScale);
            return Decimal(m, resultScale);
        }
    }
    throwOverflow();
}

Decimal Decimal::divided(const Decimal &o, int scale) const
{
    if (o.m_mant == 0)
        throw AppError(QStringLiteral("Division by zero"));
    scale = std::clamp(scale, 0, MaxScale);
    const bool negative = (m_mant < 0) != (o.m_mant < 0);
    // this / o = (a * 10^-sa) / (b * 10^-sb); the result mantissa at s decimals is
    // a * 10^(s + sb - sa) / b. A quotient whose digits do not fit in 128 bits at `scale`
    // decimals is rounded to fewer, always from the exact quotient.
    for (int s = scale; s >= 0; --s) {
        const int shift = s + o.m_scale - m_scale; // within [-MaxScale, 2 * MaxScale]
        U256 num(magnitudeOf(m_mant));
        U256 den(magnitudeOf(o.m_mant));
        bool numeratorFits = true;
        for (int k = 0; k < shift && numeratorFits; ++k)
            numeratorFits = num.mulSmall(10);
        if (!numeratorFits)
            continue; // the quotient would be beyond 2^127 at this scale
        for (int k = 0; k < -shift; ++k)
            den.mulSmall(10); // -shift <= MaxScale: stays below 2^227
        const U256 q = divideRounded(num, den);
        if (q.fitsMagnitude()) {
            int resultScale = s;
            const __int128 m = signedFrom(negative, q, resultScale);
            return Decimal(m, resultScale);
        }
    }
    throwOverflow();
}

Decimal Decimal::rounded(int decimals) const
{
    if (decimals >= m_scale)
        return *this;
    const bool negative = m_mant < 0;
    U256 mag(divideRoundedPow10(magnitudeOf(m_mant), m_scale - decimals));
    int scale = decimals;
    // Rounded to tens, hundreds, ...: scale the result back up to an integer.
    for (; scale < 0; ++scale)
        if (!mag.mulSmall(10))
            throwOverflow();
    const __int128 m = signedFrom(negative, mag, scale);
    return Decimal(m, scale);
}

Decimal Decimal::roundedSignificant(int digits) const
{
    if (m_mant == 0)
        return *this;
    const int integerDigits = digitCount(magnitudeOf(m_mant)) - m_scale;
    return rounded(digits - integerDigits);
}

std::strong_ordering Decimal::operator<=>(const Decimal &o) const
{
    if (sign() != o.sign())
        return sign() <=> o.sign();
    const int scale = std::max(m_scale, o.m_scale);
    const U256 a = scaledUp(m_mant, scale - m_scale);
    const U256 b = scaledUp(o.m_mant, scale - o.m_scale);
    return isNegative() ? b <=> a : a <=> b;
}

QString Decimal::toPlain(int decimals) const
{
    if (decimals < 0)
        decimals = 0;
    const Decimal r = rounded(decimals);
    std::string digits = digitsOf(magnitudeOf(r.m_mant));
    // Pad with zeros to `decimals` decimals and at least one integer digit.
    digits.append(std::size_t(decimals - r.m_scale), '0');
    if (digits.size() <= std::size_t(decimals))
        digits.insert(digits.begin(), std::size_t(decimals) + 1 - digits.size(), '0');
    if (decimals > 0)
        digits.insert(digits.end() - decimals, '.');
    if (r.m_mant < 0)
        digits.insert(digits.begin(), '-');
    return QString::fromLatin1(digits.data(), qsizetype(digits.size()));
}

QString Decimal::toPlain() const
{
    return toPlain(m_scale);
}

double Decimal::toDouble() const
{
    const std::string text = toPlain().toStdString();
    double d = 0;
    std::from_chars(text.data(), text.data() + text.size(), d);
    return d;
}
