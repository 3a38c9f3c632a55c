#include "core/soft_extended.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <compare>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

using Wide = unsigned __int128;

constexpr int Bias = 16383;
constexpr int InfinityExponent = 0x7FFF;
constexpr std::uint16_t SignBit = 0x8000;
constexpr std::uint64_t IntegerBit = std::uint64_t(1) << 63;
constexpr std::uint64_t QuietBit = std::uint64_t(1) << 62;

// What the x87 gives for an invalid operation such as 0/0 or ∞ − ∞.
constexpr SoftExtended Indefinite = SoftExtended::FromBits(0xFFFF, IntegerBit | QuietBit);

template <std::uint64_t Base, std::size_t Count>
constexpr std::array<std::uint64_t, Count> PowersOf()
{
    std::array<std::uint64_t, Count> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t &entry : powers) {
        entry = power;
        power *= Base;
    }
    return powers;
}

constexpr auto FivePowers = PowersOf<5, 28>();
constexpr auto TenPowers = PowersOf<10, 20>();

int exponentField(SoftExtended value)
{
    return value.signAndExponent() & InfinityExponent;
}

bool isZero(SoftExtended value)
{
    return exponentField(value) == 0 && value.significand() == 0;
}

// Neither zero, denormal, infinite nor NaN: the usual case, which the
// operations take the short way.
bool isNormal(SoftExtended value)
{
    return unsigned(exponentField(value) - 1) < unsigned(InfinityExponent - 1);
}

bool isSignaling(SoftExtended value)
{
    return isnan(value) && (value.significand() & QuietBit) == 0;
}

SoftExtended make(bool negative, int exponent, std::uint64_t significand)
{
    return SoftExtended::FromBits(std::uint16_t((negative ? SignBit : 0) | exponent), significand);
}

SoftExtended zero(bool negative)
{
    return make(negative, 0, 0);
}

SoftExtended infinity(bool negative)
{
    return make(negative, InfinityExponent, IntegerBit);
}

SoftExtended quiet(SoftExtended nan)
{
    return SoftExtended::FromBits(nan.signAndExponent(), nan.significand() | QuietBit);
}

// Two operands of which at least one is a NaN: the x87 prefers a quiet NaN
// to a signaling one, then the larger significand, then the positive sign.
SoftExtended propagateNaN(SoftExtended a, SoftExtended b)
{
    if (!isnan(a))
        return quiet(b);
    if (!isnan(b))
        return quiet(a);
    if (isSignaling(a) != isSignaling(b))
        return quiet(isSignaling(a) ? b : a);
    if (a.significand() != b.significand())
        return quiet(a.significand() > b.significand() ? a : b);
    return quiet(signbit(a) ? b : a);
}

// A finite non-zero value as significand × 2^(exponent − Bias − 63), the
// significand's bit 63 set; a denormal gets an exponent below 1.
struct Unpacked
{
    bool negative;
    int exponent;
    std::uint64_t significand;
};

Unpacked unpack(SoftExtended value)
{
    const bool negative = signbit(value);
    if (exponentField(value) != 0)
        return {negative, exponentField(value), value.significand()};
    const int shift = std::countl_zero(value.significand());
    return {negative, 1 - shift, value.significand() << shift};
}

int countLeadingZeros(Wide value)
{
    const auto high = std::uint64_t(value >> 64);
    return high != 0 ? std::countl_zero(high) : 64 + std::countl_zero(std::uint64_t(value));
}

// Shifts right, keeping in the lowest bit whether anything non-zero fell out,
// which is all that rounding needs to know of those bits.
Wide shiftRightJam(Wide value, long long count)
{
    if (count == 0)
        return value;
    if (count >= 128)
        return value != 0;
    return (value >> count) | Wide((value << (128 - count)) != 0);
}

// value + (half the unit at bit `position` − 1) + the bit at `position`:
// bits from `position` up are then the value rounded to nearest, ties to
// even (a carry out of the top is the caller's to see).
Wide roundedUp(Wide value, long long position)
{
    return value + ((Wide(1) << (position - 1)) - 1) + ((value >> position) & 1);
}

// The one rounding of every operation: significand × 2^(exponent − Bias − 127)
// to the nearest extended value, ties to even, with gradual underflow below
// the normal range and infinity above it.
SoftExtended roundPack(bool negative, long long exponent, Wide significand)
{
    if (significand == 0)
        return zero(negative);
    const int shift = countLeadingZeros(significand);
    significand <<= shift;
    exponent -= shift;
    if (exponent <= 0) {
        // Denormal: the bits are placed at the smallest normal exponent.
        significand = shiftRightJam(significand, 1 - exponent);
        exponent = 1;
    }
    // Adding just under half, plus the lowest kept bit, rounds to nearest
    // with ties to even, without a branch on the value.
    const Wide rounded = roundedUp(significand, 64);
    auto kept = std::uint64_t(rounded >> 64);
    if (rounded < significand) {
        kept = IntegerBit;
        ++exponent;
    }
    if (exponent >= InfinityExponent)
        return infinity(negative);
    // A denormal keeps exponent field 0 unless rounding carried into the
    // integer bit.
    return make(negative, (kept & IntegerBit) != 0 ? int(exponent) : 0, kept);
}

// integer × 2^exponent, exact for any integer below 2^64 within the range.
SoftExtended fromBinary(bool negative, std::uint64_t integer, int exponent)
{
    if (integer == 0)
        return zero(negative);
    const int shift = std::countl_zero(integer);
    return make(negative, Bias + 63 + exponent - shift, integer << shift);
}

// A float or double from its fields, exactly: an exponent field of
// exponentBits bits, all ones for infinity and NaN, and a fraction of
// fractionBits bits; a NaN keeps its payload and comes out quiet.
SoftExtended fromIeee(bool negative, int exponent, std::uint64_t fraction, int exponentBits,
                      int fractionBits)
{
    const int ones = (1 << exponentBits) - 1;
    if (exponent == ones) {
        return fraction == 0 ? infinity(negative)
                             : make(negative, InfinityExponent,
                                    IntegerBit | QuietBit | (fraction << (63 - fractionBits)));
    }
    // The exponent of the smallest denormal's unit: -149 and -1074.
    const int lowest = 1 - ones / 2 - fractionBits;
    if (exponent == 0)
        return fromBinary(negative, fraction, lowest);
    return fromBinary(negative, fraction | (std::uint64_t(1) << fractionBits),
                      exponent - 1 + lowest);
}

// Rounds a finite non-zero value to a binary format whose numbers are n × 2^q
// with n < 2^precision and minQuantum <= q <= maxQuantum. Gives the format's
// bits without the sign; infinity is the first pattern beyond the largest.
std::uint64_t roundToBinary(Unpacked value, int precision, int minQuantum, int maxQuantum)
{
    const long long exponent = value.exponent - Bias - 63;
    const long long quantum = std::max(exponent + 63 - (precision - 1), (long long)minQuantum);
    const std::uint64_t infinityBits = std::uint64_t(maxQuantum - minQuantum + 2)
                                       << (precision - 1);
    if (quantum > maxQuantum)
        return infinityBits;
    const long long shift = quantum - exponent;
    // Below half the smallest unit from a shift of 65 on.
    const auto n = shift < 65 ? std::uint64_t(roundedUp(value.significand, shift) >> shift) : 0;
    return std::min((std::uint64_t(quantum - minQuantum) << (precision - 1)) + n, infinityBits);
}

SoftExtended addSignificands(Unpacked large, Unpacked small)
{
    if (std::pair(large.exponent, large.significand) < std::pair(small.exponent, small.significand))
        std::swap(large, small);
    // 62 bits below each significand keep the rounding exact even when the
    // difference loses its leading bits.
    const Wide largeBits = Wide(large.significand) << 62;
    const Wide smallBits =
        shiftRightJam(Wide(small.significand) << 62, large.exponent - small.exponent);
    if (large.negative == small.negative)
        return roundPack(large.negative, large.exponent + 2, largeBits + smallBits);
    if (largeBits == smallBits)
        return zero(false);
    return roundPack(large.negative, large.exponent + 2, largeBits - smallBits);
}

SoftExtended add(SoftExtended a, SoftExtended b, bool subtract)
{
    const bool aNegative = signbit(a);
    const bool bNegative = signbit(b) != subtract;
    if (isNormal(a) && isNormal(b))
        return addSignificands({aNegative, exponentField(a), a.significand()},
                               {bNegative, exponentField(b), b.significand()});
    if (isnan(a) || isnan(b))
        return propagateNaN(a, b);
    if (isinf(a))
        return isinf(b) && aNegative != bNegative ? Indefinite : a;
    if (isinf(b))
        return infinity(bNegative);
    if (isZero(b))
        return isZero(a) ? zero(aNegative && bNegative) : a;
    if (isZero(a))
        return subtract ? -b : b;
    Unpacked small = unpack(b);
    small.negative = bNegative;
    return addSignificands(unpack(a), small);
}

SoftExtended multiplySignificands(bool negative, Unpacked x, Unpacked y)
{
    return roundPack(negative, x.exponent + y.exponent - Bias + 1,
                     Wide(x.significand) * y.significand);
}

SoftExtended divideSignificands(bool negative, Unpacked x, Unpacked y)
{
    // 64 or 65 quotient bits, one more from the remainder, and whether
    // anything is left after it.
    const Wide dividend = Wide(x.significand) << 64;
    const Wide quotient = dividend / y.significand;
    std::uint64_t rest = std::uint64_t(dividend % y.significand);
    const bool nextBit = rest >= y.significand - rest;
    rest = nextBit ? rest - (y.significand - rest) : rest * 2;
    return roundPack(negative, x.exponent - y.exponent + Bias + 61,
                     (quotient << 2) | (Wide(nextBit) << 1) | Wide(rest != 0));
}

// A natural number of any size, as much as the exact decimal conversions need.
class BigInt
{
public:
    explicit BigInt(Wide value)
    {
        for (; value != 0; value >>= 64)
            m_limbs.push_back(std::uint64_t(value));
    }

    static BigInt FromDigits(std::string_view digits)
    {
        BigInt number(0);
        // 19 digits at a time: 10^19 < 2^64.
        size_t chunk = digits.size() % 19;
        if (chunk == 0)
            chunk = 19;
        for (size_t at = 0; at < digits.size(); at += chunk, chunk = 19) {
            std::uint64_t value = 0;
            for (char digit : digits.substr(at, chunk))
                value = value * 10 + std::uint64_t(digit - '0');
            number.multiplyAdd(TenPowers[chunk], value);
        }
        return number;
    }

    void multiplyAdd(std::uint64_t factor, std::uint64_t addend)
    {
        std::uint64_t carry = addend;
        for (std::uint64_t &limb : m_limbs) {
            const Wide product = Wide(limb) * factor + carry;
            limb = std::uint64_t(product);
            carry = std::uint64_t(product >> 64);
        }
        if (carry != 0)
            m_limbs.push_back(carry);
    }

    void multiplyByPowerOfFive(long long power)
    {
        for (; power >= 27; power -= 27)
            multiplyAdd(FivePowers[27], 0);
        multiplyAdd(FivePowers[size_t(power)], 0);
    }

    void shiftLeft(long long count)
    {
        if (isZero() || count == 0)
            return;
        const int bits = int(count % 64);
        if (bits != 0) {
            std::uint64_t carry = 0;
            for (std::uint64_t &limb : m_limbs) {
                const std::uint64_t next = limb >> (64 - bits);
                limb = (limb << bits) | carry;
                carry = next;
            }
            if (carry != 0)
                m_limbs.push_back(carry);
        }
        m_limbs.insert(m_limbs.begin(), size_t(count / 64), 0);
    }

    bool isZero() const { return m_limbs.empty(); }

    long long bitLength() const
    {
        return isZero() ? 0 : (long long)m_limbs.size() * 64 - std::countl_zero(m_limbs.back());
    }

    // The number shifted right by `position` bits, as far as 128 bits hold it.
    Wide bitsFrom(long long position) const
    {
        const auto i = size_t(position / 64);
        const int bits = int(position % 64);
        Wide result = ((Wide(limb(i + 1)) << 64) | limb(i)) >> bits;
        if (bits != 0)
            result |= Wide(limb(i + 2)) << (128 - bits);
        return result;
    }

    bool anyBitBelow(long long position) const
    {
        const auto i = size_t(position / 64);
        for (size_t k = 0; k < std::min(i, m_limbs.size()); ++k) {
            if (m_limbs[k] != 0)
                return true;
        }
        const int bits = int(position % 64);
        return bits != 0 && (limb(i) & ((std::uint64_t(1) << bits) - 1)) != 0;
    }

    void subtract(const BigInt &smaller)
    {
        std::uint64_t borrow = 0;
        for (size_t i = 0; i < m_limbs.size(); ++i) {
            const std::uint64_t take = smaller.limb(i);
            const std::uint64_t result = m_limbs[i] - take - borrow;
            borrow = (m_limbs[i] < take || (m_limbs[i] == take && borrow != 0)) ? 1 : 0;
            m_limbs[i] = result;
        }
        trim();
    }

    friend std::strong_ordering operator<=>(const BigInt &a, const BigInt &b)
    {
        if (a.m_limbs.size() != b.m_limbs.size())
            return a.m_limbs.size() <=> b.m_limbs.size();
        for (size_t i = a.m_limbs.size(); i-- > 0;) {
            if (a.m_limbs[i] != b.m_limbs[i])
                return a.m_limbs[i] <=> b.m_limbs[i];
        }
        return std::strong_ordering::equal;
    }

private:
    std::uint64_t limb(size_t i) const { return i < m_limbs.size() ? m_limbs[i] : 0; }

    void trim()
    {
        while (!m_limbs.empty() && m_limbs.back() == 0)
            m_limbs.pop_back();
    }

    // Least significant first, without zero limbs at the top.
    std::vector<std::uint64_t> m_limbs;
};

// numerator / divisor for a quotient below 2^127; the numerator is left
// holding the remainder. Each round subtracts a lower bound of the quotient
// taken from the leading bits, good to about 2^-61 of it, so that a few
// rounds finish.
Wide divide(BigInt &numerator, const BigInt &divisor)
{
    const long long divisorShift = std::max(0LL, divisor.bitLength() - 64);
    const auto leading = std::uint64_t(divisor.bitsFrom(divisorShift));
    // Dividing by one more than the leading bits bounds the quotient from
    // below; where they are the whole divisor they divide exactly.
    const Wide below = divisorShift == 0 ? Wide(leading) : Wide(leading) + 1;
    const int leadingLength = 64 - std::countl_zero(leading);
    Wide quotient = 0;
    while (numerator >= divisor) {
        const long long shift = std::max(divisorShift, numerator.bitLength() - leadingLength - 63);
        auto estimate = std::uint64_t(numerator.bitsFrom(shift) / below);
        long long scale = shift - divisorShift;
        if (estimate == 0) {
            estimate = 1;
            scale = 0;
        }
        BigInt product = divisor;
        product.multiplyAdd(estimate, 0);
        product.shiftLeft(scale);
        numerator.subtract(product);
        quotient += Wide(estimate) << scale;
    }
    return quotient;
}

// How the part of a value below its whole number compares with one half.
enum class Fraction
{
    BelowHalf,
    Half,
    AboveHalf
};

Fraction compareWithHalf(std::strong_ordering twiceTheRest)
{
    return twiceTheRest < 0    ? Fraction::BelowHalf
           : twiceTheRest == 0 ? Fraction::Half
                               : Fraction::AboveHalf;
}

struct Scaled
{
    Wide whole;
    Fraction fraction;
};

// significand × 2^exponent × 10^power, exactly, as its whole part and its
// fraction's comparison with one half. The whole part must lie below 2^127.
Scaled scale(std::uint64_t significand, long long exponent, int power)
{
    // 10^power = 5^power × 2^power: the twos go with the binary exponent.
    const long long twos = exponent + power;
    if (power >= 0 && power < int(FivePowers.size()) && twos < 0) {
        const Wide product = Wide(significand) * FivePowers[size_t(power)];
        if (twos <= -128)
            return {0, Fraction::BelowHalf};
        const Wide half = Wide(1) << (-twos - 1);
        const Wide rest = product & ((half << 1) - 1);
        return {product >> -twos, compareWithHalf(rest <=> half)};
    }
    if (power < 0 && -power < int(FivePowers.size()) && twos >= 0 && twos < 64) {
        const Wide dividend = Wide(significand) << twos;
        const std::uint64_t divisor = FivePowers[size_t(-power)];
        return {dividend / divisor, compareWithHalf(2 * (dividend % divisor) <=> divisor)};
    }

    BigInt numerator(significand);
    BigInt divisor(1);
    if (power >= 0)
        numerator.multiplyByPowerOfFive(power);
    else
        divisor.multiplyByPowerOfFive(-power);
    if (twos >= 0) {
        numerator.shiftLeft(twos);
    } else if (power >= 0) {
        // Only twos divide: the whole part is the upper bits.
        const long long point = -twos;
        const Wide whole = numerator.bitsFrom(point);
        const bool halfBit = (numerator.bitsFrom(point - 1) & 1) != 0;
        const bool below = numerator.anyBitBelow(point - 1);
        return {whole, !halfBit ? Fraction::BelowHalf
                       : below  ? Fraction::AboveHalf
                                : Fraction::Half};
    } else {
        divisor.shiftLeft(-twos);
    }
    const Wide whole = divide(numerator, divisor);
    numerator.shiftLeft(1);
    return {whole, compareWithHalf(numerator <=> divisor)};
}

} // namespace

SoftExtended::SoftExtended(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    *this = fromIeee(bits >> 31, int(bits >> 23) & 0xFF, bits & 0x7FFFFF, 8, 23);
}

SoftExtended::SoftExtended(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    *this = fromIeee(bits >> 63, int(bits >> 52) & 0x7FF, bits & ((std::uint64_t(1) << 52) - 1), 11,
                     52);
}

SoftExtended::SoftExtended(long double value)
{
    constexpr int digits = std::numeric_limits<long double>::digits;
    static_assert(digits == 64 || digits == 113 || digits == 53,
                  "long double is the x87 format, a quad or a double");
    if constexpr (digits == 64) {
        std::memcpy(&m_significand, &value, sizeof m_significand);
        std::memcpy(&m_signAndExponent, reinterpret_cast<const char *>(&value) + 8,
                    sizeof m_signAndExponent);
    } else if constexpr (digits == 113) {
        std::uint64_t halves[2];
        std::memcpy(halves, &value, sizeof halves);
        const std::uint64_t low = halves[std::endian::native == std::endian::little ? 0 : 1];
        const std::uint64_t high = halves[std::endian::native == std::endian::little ? 1 : 0];
        const bool negative = (high >> 63) != 0;
        const int exponent = int(high >> 48) & InfinityExponent;
        const Wide fraction = (Wide(high & ((std::uint64_t(1) << 48) - 1)) << 64) | low;
        if (exponent == InfinityExponent) {
            *this = fraction == 0 ? infinity(negative)
                                  : make(negative, InfinityExponent,
                                         IntegerBit | QuietBit | std::uint64_t(fraction >> 49));
        } else {
            // The same exponent bias as the x87 format, 112 fraction bits.
            const Wide significand = exponent == 0 ? fraction : fraction | (Wide(1) << 112);
            *this = roundPack(negative, std::max(exponent, 1) + 15, significand);
        }
    } else {
        *this = SoftExtended(double(value));
    }
}

SoftExtended SoftExtended::fromSigned(long long value)
{
    return value < 0 ? -fromMagnitude(0 - std::uint64_t(value))
                     : fromMagnitude(std::uint64_t(value));
}

SoftExtended SoftExtended::fromMagnitude(std::uint64_t magnitude)
{
    return fromBinary(false, magnitude, 0);
}

SoftExtended SoftExtended::FromDecimal(std::string_view digits, long long exponent)
{
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos)
        return {};
    const size_t last = digits.find_last_not_of('0');
    exponent += (long long)(digits.size() - 1 - last);
    digits = digits.substr(first, last + 1 - first);

    // The value lies in [10^(count − 1 + exponent), 10^(count + exponent)); the
    // largest extended value is about 1.19 × 10^4932, half the smallest
    // denormal about 1.8 × 10^-4951.
    const auto count = (long long)digits.size();
    if (count + exponent >= 4934)
        return infinity(false);
    if (count + exponent <= -4951)
        return {};

    BigInt numerator = BigInt::FromDigits(digits);
    if (exponent >= 0) {
        numerator.multiplyByPowerOfFive(exponent);
        const long long dropped = std::max(0LL, numerator.bitLength() - 128);
        const Wide leading = numerator.bitsFrom(dropped) | Wide(numerator.anyBitBelow(dropped));
        return roundPack(false, exponent + dropped + Bias + 127, leading);
    }
    // value = numerator / 5^-exponent × 2^exponent. One of the two is scaled so
    // that the quotient has 66 or 67 bits; the remainder only says whether
    // anything is left, which is all the rounding needs beyond them.
    BigInt divisor(1);
    divisor.multiplyByPowerOfFive(-exponent);
    const long long shift = numerator.bitLength() - divisor.bitLength() - 66;
    if (shift < 0)
        numerator.shiftLeft(-shift);
    else
        divisor.shiftLeft(shift);
    const Wide quotient = divide(numerator, divisor);
    return roundPack(false, exponent + shift - 1 + Bias + 127,
                     (quotient << 1) | Wide(!numerator.isZero()));
}

SoftExtended::Decimal SoftExtended::ToDecimal(int count) const
{
    if (isZero(*this))
        return {0, 0};
    const Unpacked value = unpack(*this);
    const long long exponent2 = value.exponent - Bias - 63;
    // The decimal exponent of the leading digit is floor(log10(2) × the
    // binary one) or one more; a wrong guess is seen in the digit count.
    int exponent = int(((exponent2 + 63) * 1292913986LL) >> 32);
    for (;;) {
        const Scaled scaled = scale(value.significand, exponent2, count - 1 - exponent);
        if (scaled.whole >= TenPowers[size_t(count)]) {
            ++exponent;
            continue;
        }
        if (scaled.whole < TenPowers[size_t(count - 1)]) {
            --exponent;
            continue;
        }
        auto digits = std::uint64_t(scaled.whole);
        if (scaled.fraction == Fraction::AboveHalf ||
            (scaled.fraction == Fraction::Half && (digits & 1) != 0))
            ++digits;
        if (digits == TenPowers[size_t(count)]) {
            digits = TenPowers[size_t(count - 1)];
            ++exponent;
        }
        return {digits, exponent};
    }
}

SoftExtended::operator float() const
{
    std::uint32_t bits = 0;
    if (isnan(*this))
        bits = 0x7FC00000u | std::uint32_t(m_significand >> 40 & 0x3FFFFF);
    else if (isinf(*this))
        bits = 0x7F800000u;
    else if (!isZero(*this))
        bits = std::uint32_t(roundToBinary(unpack(*this), 24, -149, 104));
    return std::bit_cast<float>((signbit(*this) ? 0x80000000u : 0) | bits);
}

SoftExtended::operator double() const
{
    std::uint64_t bits = 0;
    if (isnan(*this))
        bits = 0x7FF8000000000000u | (m_significand >> 11 & ((std::uint64_t(1) << 51) - 1));
    else if (isinf(*this))
        bits = 0x7FF0000000000000u;
    else if (!isZero(*this))
        bits = roundToBinary(unpack(*this), 53, -1074, 971);
    return std::bit_cast<double>((signbit(*this) ? std::uint64_t(1) << 63 : 0) | bits);
}

SoftExtended::operator long double() const
{
    constexpr int digits = std::numeric_limits<long double>::digits;
    long double value = 0;
    if constexpr (digits == 64) {
        std::memcpy(&value, &m_significand, sizeof m_significand);
        std::memcpy(reinterpret_cast<char *>(&value) + 8, &m_signAndExponent,
                    sizeof m_signAndExponent);
    } else if constexpr (digits == 113) {
        // The same exponent field; the fraction is the significand below its
        // integer bit, which holds for denormals too.
        const Wide fraction = Wide(m_significand & ~IntegerBit) << 49;
        const std::uint64_t high =
            (std::uint64_t(m_signAndExponent) << 48) | std::uint64_t(fraction >> 64);
        const std::uint64_t halves[2] = {
            std::endian::native == std::endian::little ? std::uint64_t(fraction) : high,
            std::endian::native == std::endian::little ? high : std::uint64_t(fraction)};
        std::memcpy(&value, halves, sizeof halves);
    } else {
        value = double(*this);
    }
    return value;
}

SoftExtended::operator long long() const
{
    if (!isfinite(*this))
        return LLONG_MIN;
    if (isZero(*this))
        return 0;
    const Unpacked value = unpack(*this);
    const int exponent = value.exponent - Bias - 63;
    // From 2^63 on nothing fits but -2^63, which is the indefinite value too.
    if (exponent >= 0)
        return LLONG_MIN;
    if (exponent <= -64)
        return 0;
    const auto magnitude = (long long)(value.significand >> -exponent);
    return value.negative ? -magnitude : magnitude;
}

SoftExtended::operator int() const
{
    const auto wide = static_cast<long long>(*this);
    return wide < INT_MIN || wide > INT_MAX ? INT_MIN : int(wide);
}

SoftExtended operator+(SoftExtended a, SoftExtended b)
{
    return add(a, b, false);
}

SoftExtended operator-(SoftExtended a, SoftExtended b)
{
    return add(a, b, true);
}

SoftExtended operator*(SoftExtended a, SoftExtended b)
{
    const bool negative = signbit(a) != signbit(b);
    if (isNormal(a) && isNormal(b))
        return multiplySignificands(negative, {negative, exponentField(a), a.significand()},
                                    {negative, exponentField(b), b.significand()});
    if (isnan(a) || isnan(b))
        return propagateNaN(a, b);
    if (isinf(a) || isinf(b))
        return isZero(a) || isZero(b) ? Indefinite : infinity(negative);
    if (isZero(a) || isZero(b))
        return zero(negative);
    return multiplySignificands(negative, unpack(a), unpack(b));
}

SoftExtended operator/(SoftExtended a, SoftExtended b)
{
    const bool negative = signbit(a) != signbit(b);
    if (isNormal(a) && isNormal(b))
        return divideSignificands(negative, {negative, exponentField(a), a.significand()},
                                  {negative, exponentField(b), b.significand()});
    if (isnan(a) || isnan(b))
        return propagateNaN(a, b);
    if (isinf(a))
        return isinf(b) ? Indefinite : infinity(negative);
    if (isinf(b))
        return zero(negative);
    if (isZero(b))
        return isZero(a) ? Indefinite : infinity(negative);
    if (isZero(a))
        return zero(negative);
    return divideSignificands(negative, unpack(a), unpack(b));
}

namespace {

// -1, 0 or 1 as a lies below, at or above b; 2 where either is a NaN.
int compare(SoftExtended a, SoftExtended b)
{
    if (isnan(a) || isnan(b))
        return 2;
    if (isZero(a) && isZero(b))
        return 0;
    if (signbit(a) != signbit(b))
        return signbit(a) ? -1 : 1;
    // Within one sign the encoding orders the magnitudes.
    const auto x = std::pair(exponentField(a), a.significand());
    const auto y = std::pair(exponentField(b), b.significand());
    const int order = x < y ? -1 : x == y ? 0 : 1;
    return signbit(a) ? -order : order;
}

} // namespace

bool operator==(SoftExtended a, SoftExtended b)
{
    return compare(a, b) == 0;
}

bool operator<(SoftExtended a, SoftExtended b)
{
    return compare(a, b) == -1;
}

bool operator<=(SoftExtended a, SoftExtended b)
{
    const int order = compare(a, b);
    return order == -1 || order == 0;
}
