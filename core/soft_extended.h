#pragma once

// SoftExtended: the x87 80-bit extended format in software, for machines whose
// long double is something else (a 113-bit quad on arm64, a double with MSVC),
// so that every result of the program has the same digits on every machine.
//
// What it models, exactly as the x87 gives it with its default control word
// (64-bit precision, round to nearest even, every exception masked): the
// format (sign, 15-bit exponent biased by 16383, 64-bit significand with an
// explicit integer bit), denormals, signed zeros, infinities, and NaNs as the
// x87 makes them: an invalid operation gives the negative "indefinite" NaN, a
// signaling NaN comes out quiet, and of two NaNs the larger significand (the
// positive one on a tie) wins, a quiet one over a signaling one. Operations:
// + - * / and negation, comparison, conversion from integers, float and double
// (exact) and to float, double and integers (rounded to nearest, resp.
// truncated), the correctly rounded conversion from decimal digits, and the
// decimal digits of a value rounded to a given count (ties to even, as the C
// library's printf rounds).
//
// What it leaves out: status flags and traps (the callers check results, see
// Checked and StoreSingle), the other rounding modes and precisions, square
// root, remainder and the transcendental functions, and the encodings that no
// operation produces (unnormals, pseudo-denormals, pseudo-infinities and
// pseudo-NaNs), which FromBits takes without checking.

#include <cstdint>
#include <string_view>
#include <type_traits>

class SoftExtended
{
public:
    constexpr SoftExtended() = default;
    // Conversions that are exact are implicit, as between the built-in types.
    template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
    SoftExtended(Integer value)
        : SoftExtended(std::is_signed_v<Integer> ? fromSigned((long long)value)
                                                 : fromMagnitude((unsigned long long)value))
    {}
    SoftExtended(float value);
    SoftExtended(double value);
    // Exact where long double is the x87 format; rounded to nearest from a
    // wider one (so a literal is rounded twice there: keep them out of the
    // computations).
    explicit SoftExtended(long double value);

    static constexpr SoftExtended FromBits(std::uint16_t signAndExponent, std::uint64_t significand)
    {
        SoftExtended value;
        value.m_signAndExponent = signAndExponent;
        value.m_significand = significand;
        return value;
    }
    constexpr std::uint16_t signAndExponent() const { return m_signAndExponent; }
    constexpr std::uint64_t significand() const { return m_significand; }

    // digits × 10^exponent correctly rounded, for digits "0" to "9" only.
    // Infinity beyond the range, zero or a denormal below it.
    static SoftExtended FromDecimal(std::string_view digits, long long exponent);

    // The magnitude of a finite value rounded to `count` (1 to 19) significant
    // decimal digits, ties to even: |value| ≈ digits × 10^(exponent - count + 1),
    // with 10^(count - 1) <= digits < 10^count; for zero both are 0.
    struct Decimal
    {
        std::uint64_t digits;
        int exponent;
    };
    Decimal ToDecimal(int count) const;

    // Rounded to nearest even; infinity beyond the range, as the x87 stores.
    explicit operator float() const;
    explicit operator double() const;
    // Exact where long double is the x87 format or wider.
    explicit operator long double() const;
    // Truncated toward zero; out of range or NaN gives the x87's "integer
    // indefinite", the smallest value of the type.
    explicit operator int() const;
    explicit operator long long() const;

    SoftExtended operator-() const { return FromBits(m_signAndExponent ^ 0x8000, m_significand); }
    friend SoftExtended operator+(SoftExtended a, SoftExtended b);
    friend SoftExtended operator-(SoftExtended a, SoftExtended b);
    friend SoftExtended operator*(SoftExtended a, SoftExtended b);
    friend SoftExtended operator/(SoftExtended a, SoftExtended b);
    SoftExtended &operator+=(SoftExtended other) { return *this = *this + other; }
    SoftExtended &operator-=(SoftExtended other) { return *this = *this - other; }
    SoftExtended &operator*=(SoftExtended other) { return *this = *this * other; }
    SoftExtended &operator/=(SoftExtended other) { return *this = *this / other; }

    // NaN is unordered: unequal to everything, neither below nor above
    // anything. -0 equals +0.
    friend bool operator==(SoftExtended a, SoftExtended b);
    friend bool operator<(SoftExtended a, SoftExtended b);
    friend bool operator<=(SoftExtended a, SoftExtended b);
    friend bool operator>(SoftExtended a, SoftExtended b) { return b < a; }
    friend bool operator>=(SoftExtended a, SoftExtended b) { return b <= a; }

    // The <cmath> classification under the same names, found for this type
    // where a call is unqualified.
    friend bool isnan(SoftExtended value)
    {
        return (value.m_signAndExponent & 0x7FFF) == 0x7FFF && (value.m_significand << 1) != 0;
    }
    friend bool isinf(SoftExtended value)
    {
        return (value.m_signAndExponent & 0x7FFF) == 0x7FFF && (value.m_significand << 1) == 0;
    }
    friend bool isfinite(SoftExtended value)
    {
        return (value.m_signAndExponent & 0x7FFF) != 0x7FFF;
    }
    friend bool signbit(SoftExtended value) { return (value.m_signAndExponent & 0x8000) != 0; }
    friend SoftExtended fabs(SoftExtended value)
    {
        return FromBits(value.m_signAndExponent & 0x7FFF, value.m_significand);
    }

private:
    static SoftExtended fromSigned(long long value);
    static SoftExtended fromMagnitude(std::uint64_t magnitude);

    std::uint64_t m_significand = 0;
    std::uint16_t m_signAndExponent = 0;
};
