#pragma once
// Exact decimal number for money, quantities, prices and rates: a signed 128-bit
// mantissa and a decimal scale. No binary floating point is involved in arithmetic.
// Sums and differences are exact; products and quotients are rounded half away from zero
// to at most MaxScale decimals (fewer when their digits would not fit in 128 bits).
// A result whose exact value or integer part does not fit throws AppError.
#include <QString>
#include <compare>
#include <cstdint>
#include <string_view>

class Decimal {
public:
    static constexpr int MaxScale = 30;

    Decimal() = default;                       // zero
    Decimal(int v) : m_mant(v) {}              // NOLINT: implicit, so that Decimal d = 0 works
    static Decimal fromInt(long long v);
    // Plain C form: optional sign, digits, optional '.', digits, optional exponent. nullopt-like: ok=false.
    // No blanks; decimals beyond MaxScale are rounded; a value beyond 128 bits gives ok=false and zero.
    static Decimal fromPlain(std::string_view text, bool *ok = nullptr);
    // The exact binary value of d, correctly rounded to 25 significant digits.
    // Infinity, NaN and values beyond 128 bits throw AppError; below 10^-MaxScale it is zero.
    static Decimal fromDouble(double d);

    Decimal operator+(const Decimal &o) const;
    Decimal operator-(const Decimal &o) const;
    Decimal operator*(const Decimal &o) const;
    Decimal operator-() const;
    Decimal &operator+=(const Decimal &o) { return *this = *this + o; }
    Decimal &operator-=(const Decimal &o) { return *this = *this - o; }
    // Quotient rounded half away from zero to `scale` decimals; division by zero throws AppError.
    Decimal divided(const Decimal &o, int scale) const;

    // Half away from zero.
    Decimal rounded(int decimals) const;
    Decimal roundedSignificant(int digits) const;

    bool isZero() const { return m_mant == 0; }
    bool isNegative() const { return m_mant < 0; }
    int sign() const { return m_mant < 0 ? -1 : (m_mant > 0 ? 1 : 0); }
    Decimal abs() const { return isNegative() ? -*this : *this; }
    int scale() const { return m_scale; }

    std::strong_ordering operator<=>(const Decimal &o) const;
    bool operator==(const Decimal &o) const { return (*this <=> o) == 0; }

    // "-1234.5" style, with '.' and exactly `decimals` decimals (rounded half away from zero).
    QString toPlain(int decimals) const;
    // Shortest exact plain form ("12.5", "-0.001", "100").
    QString toPlain() const;
    double toDouble() const;

private:
    Decimal(__int128 mant, int scale) : m_mant(mant), m_scale(scale) {}
    void normalize();
    __int128 m_mant = 0;
    int m_scale = 0;
};
