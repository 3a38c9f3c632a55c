// The software extended type against the x87, operation by operation: the
// arithmetic, comparisons and conversions of SoftExtended, its decimal
// conversions against the C library's, and ParseNumber, FormatNumber,
// FormatWholeNumber, Checked, StoreSingle and Divide of both forms of
// Extended. Operands come from the input with weight on where an
// implementation errs: denormals, the edges of the single and double ranges,
// powers of two, few significant bits (ties after an operation), values close
// to each other, NaNs and infinities; texts are free, built from digits, or
// the exact decimal of a value or of a point halfway between two values.
// Every result must be the same bits, every text the same text.

#include "core/failure.h"
#include "core/number_text.h"
#include "fuzz/soft_form.h"
#include "fuzz_check.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

static_assert(std::is_same_v<Extended, long double>, "the x87 side needs the x87 form");

namespace {

constexpr std::uint64_t IntegerBit = std::uint64_t(1) << 63;
constexpr int Bias = 16383;

class Input
{
public:
    Input(const std::uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::uint64_t bits(int bytes)
    {
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | byte();
        return value;
    }
    std::string rest()
    {
        std::string text(reinterpret_cast<const char *>(m_data + m_at), m_size - m_at);
        m_at = m_size;
        return text;
    }

private:
    const std::uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

// The integer bit as the arithmetic always leaves it: encodings no operation
// produces are not values of the program.
SoftExtended canonical(bool negative, int exponent, std::uint64_t significand)
{
    exponent &= 0x7FFF;
    significand = exponent == 0 ? significand & ~IntegerBit : significand | IntegerBit;
    return SoftExtended::FromBits(std::uint16_t((negative ? 0x8000 : 0) | exponent), significand);
}

long double hardware(SoftExtended value)
{
    return static_cast<long double>(value);
}

QString shown(SoftExtended value)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04x:%016llx (%.21Lg)", value.signAndExponent(),
                  (unsigned long long)value.significand(), hardware(value));
    return QString::fromLatin1(buffer);
}

QString shown(long double value)
{
    return shown(SoftExtended(value));
}

bool same(SoftExtended soft, long double x87)
{
    const SoftExtended other(x87);
    return soft.signAndExponent() == other.signAndExponent() &&
           soft.significand() == other.significand();
}

// Rounding places of the single and double formats: the binary exponent of a
// value and the significand bit at which it is rounded there.
struct Edge
{
    int exponent;
    int roundingBit;
};

std::vector<Edge> formatEdges()
{
    std::vector<Edge> edges;
    for (const auto &[largest, smallestNormal, precision] :
         {std::array{127, -126, 24}, std::array{1023, -1022, 53}}) {
        for (int exponent : {largest - 1, largest, largest + 1, smallestNormal + 1, smallestNormal,
                             smallestNormal - 1, smallestNormal - 2, smallestNormal - precision + 2,
                             smallestNormal - precision + 1, smallestNormal - precision,
                             smallestNormal - precision - 1}) {
            const int lost = std::max(0, smallestNormal - exponent);
            edges.push_back({exponent, std::min(63, 64 - precision + lost)});
        }
    }
    return edges;
}

const std::vector<Edge> FormatEdges = formatEdges();

SoftExtended special(std::uint8_t which)
{
    constexpr std::uint64_t quiet = IntegerBit | (IntegerBit >> 1);
    const SoftExtended specials[] = {
        SoftExtended::FromBits(0x0000, 0),                  // +0
        SoftExtended::FromBits(0x8000, 0),                  // -0
        SoftExtended::FromBits(0x7FFF, IntegerBit),         // infinity
        SoftExtended::FromBits(0xFFFF, IntegerBit),         // -infinity
        SoftExtended::FromBits(0xFFFF, quiet),              // indefinite
        SoftExtended::FromBits(0x7FFF, quiet | 1),          // quiet NaN
        SoftExtended::FromBits(0x7FFF, IntegerBit | 1),     // signaling NaN
        SoftExtended::FromBits(0x7FFE, ~std::uint64_t(0)),  // largest
        SoftExtended::FromBits(0x0000, 1),                  // smallest denormal
        SoftExtended::FromBits(0x0001, IntegerBit),         // smallest normal
        SoftExtended::FromBits(0x0000, IntegerBit - 1),     // largest denormal
        SoftExtended::FromBits(0x3FFF, IntegerBit),         // 1
        SoftExtended::FromBits(0x407E, 0xFFFFFF0000000000), // largest float
        SoftExtended::FromBits(0x407E, 0xFFFFFF8000000000), // halfway to 2^128
        SoftExtended::FromBits(0x43FE, 0xFFFFFFFFFFFFF800), // largest double
        SoftExtended::FromBits(0x43FE, 0xFFFFFFFFFFFFFC00), // halfway to 2^1024
    };
    return specials[which % std::size(specials)];
}

SoftExtended operand(Input &in)
{
    const std::uint8_t kind = in.byte();
    const bool negative = (kind & 0x80) != 0;
    std::uint64_t significand = in.bits(8);
    switch (kind % 10) {
    case 0: // raw bits
        return canonical(negative, int(in.bits(2)), significand);
    case 1: // denormal
        return canonical(negative, 0, significand >> (1 + in.byte() % 63));
    case 2: // the smallest normals
        return canonical(negative, 1 + in.byte() % 3, significand);
    case 3: { // at a rounding place of the single or double format
        const Edge edge = FormatEdges[in.byte() % FormatEdges.size()];
        const std::uint64_t half = std::uint64_t(1) << (edge.roundingBit - 1);
        const std::uint64_t kept = in.byte() % 4 == 0 ? ~std::uint64_t(0) : significand;
        const std::uint64_t low[] = {0, half, half - 1, half + 1, significand & (2 * half - 1)};
        const std::uint64_t bits = (kept & ~(2 * half - 1)) | low[in.byte() % std::size(low)];
        return canonical(negative, Bias + edge.exponent, bits);
    }
    case 4: // power of two
        return canonical(negative, int(in.bits(2) % 0x7FFF), IntegerBit);
    case 5: { // few significant bits, near one
        const int kept = 1 + in.byte() % 24;
        return canonical(negative, Bias - 80 + in.byte() % 160,
                         significand & ~(~std::uint64_t(0) >> kept));
    }
    case 6: { // a number as the program's texts hold them
        static const long double tenths[] = {1, 10, 100, 1000, 10000};
        return SoftExtended((negative ? -1 : 1) * (long double)(significand % 1000000) /
                            tenths[in.byte() % 5]);
    }
    case 7:
        return special(in.byte());
    default: // any exponent, few or many bits
        return canonical(negative, Bias - 16400 + int(in.bits(2) % 32800),
                         in.byte() % 2 ? significand : significand & ~(~std::uint64_t(0) >> 8));
    }
}

// A second operand close to the first, for cancellation and ties.
SoftExtended near(SoftExtended first, Input &in)
{
    const std::uint8_t how = in.byte();
    const int exponent = (first.signAndExponent() & 0x7FFF) + (how % 131) - 65;
    std::uint64_t significand = first.significand() + std::uint64_t(std::int8_t(in.byte()));
    if (how & 0x40)
        significand = IntegerBit;
    return canonical((how & 0x80) != 0, std::max(0, exponent), significand);
}

void checkArithmetic(SoftExtended a, SoftExtended b)
{
    const long double x = hardware(a);
    const long double y = hardware(b);
    const auto detail = [&] { return shown(a) + u' ' + shown(b); };
    Require(same(a + b, x + y), "sum", [&] { return detail() + u' ' + shown(x + y); });
    Require(same(a - b, x - y), "difference", [&] { return detail() + u' ' + shown(x - y); });
    Require(same(a * b, x * y), "product", [&] { return detail() + u' ' + shown(x * y); });
    Require(same(a / b, x / y), "quotient", [&] { return detail() + u' ' + shown(x / y); });
    Require((a == b) == (x == y) && (a != b) == (x != y) && (a < b) == (x < y) &&
                (a <= b) == (x <= y) && (a > b) == (x > y) && (a >= b) == (x >= y),
            "comparison", detail);
    SoftExtended sum = a;
    sum += b;
    Require(same(sum, x + y), "compound sum", detail);
}

// The conversions a C++ cast leaves undefined out of range, done the x87's way.
__attribute__((no_sanitize("float-cast-overflow"))) int hardwareInt(long double value)
{
    return static_cast<int>(value);
}

__attribute__((no_sanitize("float-cast-overflow"))) long long hardwareLongLong(long double value)
{
    return static_cast<long long>(value);
}

void checkConversions(SoftExtended a, Input &in)
{
    const long double x = hardware(a);
    const auto detail = [&] { return shown(a); };
    Require(std::bit_cast<std::uint32_t>(float(a)) == std::bit_cast<std::uint32_t>(float(x)),
            "to float", detail);
    Require(std::bit_cast<std::uint64_t>(double(a)) == std::bit_cast<std::uint64_t>(double(x)),
            "to double", detail);
    Require(int(a) == hardwareInt(x), "to int", detail);
    Require(static_cast<long long>(a) == hardwareLongLong(x), "to long long", detail);
    Require(same(-a, -x) && same(fabs(a), std::fabs(x)), "negation and magnitude", detail);
    Require(isnan(a) == std::isnan(x) && isinf(a) == std::isinf(x) &&
                isfinite(a) == std::isfinite(x) && signbit(a) == std::signbit(x),
            "classification", detail);

    const std::uint64_t raw = in.bits(8);
    const auto single = std::bit_cast<float>(std::uint32_t(raw));
    const auto wide = std::bit_cast<double>(raw);
    Require(same(SoftExtended(single), (long double)single), "from float",
            [&] { return QString::number(raw, 16); });
    Require(same(SoftExtended(wide), (long double)wide), "from double",
            [&] { return QString::number(raw, 16); });
    const auto integer = (long long)raw >> (raw % 64);
    Require(same(SoftExtended(integer), (long double)integer), "from long long",
            [&] { return QString::number(integer); });
    Require(same(SoftExtended(raw), (long double)raw), "from unsigned long long",
            [&] { return QString::number(raw); });
    Require(same(SoftExtended(int(raw)), (long double)int(raw)), "from int",
            [&] { return QString::number(int(raw)); });
}

void checkToDecimal(SoftExtended a, int count)
{
    if (!isfinite(a))
        return;
    const SoftExtended::Decimal decimal = a.ToDecimal(count);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", count - 1, std::fabs(hardware(a)));
    std::string digits;
    const char *p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            digits.push_back(*p);
    }
    const std::string mine = std::to_string(decimal.digits);
    Require((std::string(size_t(count) - mine.size(), '0') + mine) == digits &&
                decimal.exponent == std::atoi(p + 1),
            "decimal digits", [&] {
                return shown(a) + QStringLiteral(" %1: %2 e%3 against %4")
                                      .arg(count)
                                      .arg(decimal.digits)
                                      .arg(decimal.exponent)
                                      .arg(QLatin1String(buffer));
            });
}

// M + 2^-k written with the digits of M and k − 1 more is a tie there.
void checkDecimalTie(Input &in)
{
    const std::uint64_t whole = in.bits(8) >> (3 + in.byte() % 61);
    const int k = 1 + in.byte() % 3;
    const SoftExtended fraction = SoftExtended(std::ldexp(in.byte() % 2 ? 1.0 : -1.0, -k));
    const int count = int(std::to_string(whole).size()) + k - 1;
    checkToDecimal(SoftExtended(whole) + fraction, std::min(count, 19));
}

// Digits of a natural number held in base 10^9, least significant first.
class DecimalNumber
{
public:
    explicit DecimalNumber(unsigned __int128 value)
    {
        do {
            m_parts.push_back(std::uint32_t(value % 1000000000));
            value /= 1000000000;
        } while (value != 0);
    }
    void multiply(std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (std::uint32_t &part : m_parts) {
            const std::uint64_t product = std::uint64_t(part) * factor + carry;
            part = std::uint32_t(product % 1000000000);
            carry = product / 1000000000;
        }
        if (carry != 0)
            m_parts.push_back(std::uint32_t(carry));
    }
    std::string digits() const
    {
        std::string text = std::to_string(m_parts.back());
        char part[16];
        for (size_t i = m_parts.size() - 1; i-- > 0;) {
            std::snprintf(part, sizeof part, "%09u", m_parts[i]);
            text += part;
        }
        return text;
    }

private:
    std::vector<std::uint32_t> m_parts;
};

constexpr std::uint32_t FivePower13 = 1220703125;

// significand × 2^exponent exactly, as digits and a power of ten.
std::pair<std::string, long> exactDecimal(unsigned __int128 significand, long exponent)
{
    DecimalNumber number(significand);
    for (long i = 0; i < exponent; i += 29)
        number.multiply(std::uint32_t(1) << std::min(29L, exponent - i));
    for (long i = 0; i < -exponent; i += 13)
        number.multiply(-exponent - i >= 13 ? FivePower13
                                            : std::uint32_t(std::pow(5, -exponent - i)));
    return {number.digits(), std::min(exponent, 0L)};
}

// Texts for ParseNumber: free, built from digits, or the exact decimal of a
// value or of a point halfway between two neighbours.
QString numberText(Input &in, QChar separator)
{
    const std::uint8_t kind = in.byte();
    switch (kind % 4) {
    case 0: {
        const std::string rest = in.rest();
        return QString::fromLatin1(rest.data(), qsizetype(rest.size()));
    }
    case 1: {
        QString text;
        if (kind & 0x80)
            text += QLatin1Char('-');
        for (int i = in.byte() % 40; i > 0; --i)
            text += QLatin1Char(char('0' + in.byte() % 10));
        if (kind & 0x40) {
            text += separator;
            for (int i = in.byte() % 40; i > 0; --i)
                text += QLatin1Char(char('0' + in.byte() % 10));
        }
        if (kind & 0x20)
            text += QStringLiteral("E%1").arg(int(in.bits(2) % 10000) - 5000);
        return text;
    }
    default: {
        // Halfway points lie one bit below a value's last significand bit.
        const SoftExtended value = operand(in);
        if (!isfinite(value))
            return QStringLiteral("0");
        const int field = value.signAndExponent() & 0x7FFF;
        unsigned __int128 significand = value.significand();
        long exponent = std::max(field, 1) - Bias - 63;
        if (kind % 4 == 3) {
            significand = 2 * significand + 1;
            --exponent;
        }
        // Far from one the texts have thousands of digits; take them rarely.
        if (std::abs(exponent) > 1200 && in.byte() % 16 != 0)
            return QStringLiteral("1");
        const auto [digits, power] = exactDecimal(significand, exponent);
        QString text = signbit(value) ? QStringLiteral("-") : QString();
        text += QLatin1Char(digits[0]);
        text += separator;
        text += QLatin1String(digits.data() + 1, qsizetype(digits.size() - 1));
        return text + QStringLiteral("E%1").arg(long(digits.size()) - 1 + power);
    }
    }
}

template <typename Call> std::optional<QString> failureOf(Call &&call)
{
    try {
        call();
    } catch (const Failure &failure) {
        return failure.message();
    }
    return std::nullopt;
}

void checkParse(const QString &text, QChar separator)
{
    long double x87 = 0;
    SoftExtended soft;
    const auto x87Failure = failureOf([&] { x87 = ParseNumber(text, separator); });
    const auto softFailure = failureOf([&] { soft = SoftForm::ParseNumber(text, separator); });
    const auto detail = [&] { return Visible(text); };
    Require(x87Failure == softFailure, "same refusal", detail);
    Require(x87Failure || same(soft, x87), "same value",
            [&] { return detail() + u' ' + shown(soft) + u' ' + shown(x87); });
}

void checkNumberText(SoftExtended a, SoftExtended b, QChar separator)
{
    const long double x = hardware(a);
    const long double y = hardware(b);
    for (QStringView mask :
         {u"###0.0", u"####0.0", u"####0.0 gr", u"#0.0 kcal = ", u"#0.0 %", u"##0.00"}) {
        const QString x87 = FormatNumber(x, mask, separator);
        const QString soft = SoftForm::FormatNumber(a, mask, separator);
        Require(x87 == soft, "same text",
                [&] { return shown(a) + u' ' + x87 + QStringLiteral(" against ") + soft; });
    }
    const QString x87 = FormatWholeNumber(x, separator);
    const QString soft = SoftForm::FormatWholeNumber(a, separator);
    Require(x87 == soft, "same whole number",
            [&] { return shown(a) + u' ' + x87 + QStringLiteral(" against ") + soft; });

    long double checked = 0;
    SoftExtended softChecked;
    Require(failureOf([&] { checked = Checked(x); }) ==
                    failureOf([&] { softChecked = SoftForm::Checked(a); }) &&
                same(softChecked, checked),
            "same check", [&] { return shown(a); });
    float stored = 0;
    float softStored = 0;
    Require(failureOf([&] { stored = StoreSingle(x); }) ==
                    failureOf([&] { softStored = SoftForm::StoreSingle(a); }) &&
                std::bit_cast<std::uint32_t>(stored) == std::bit_cast<std::uint32_t>(softStored),
            "same single", [&] { return shown(a); });
    long double quotient = 0;
    SoftExtended softQuotient;
    Require(failureOf([&] { quotient = Divide(x, y); }) ==
                    failureOf([&] { softQuotient = SoftForm::Divide(a, b); }) &&
                same(softQuotient, quotient),
            "same division", [&] { return shown(a) + u' ' + shown(b); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    Input in(data, size);
    const std::uint8_t choice = in.byte();
    const QChar separator = (choice & 0x80) ? QLatin1Char('.') : QLatin1Char(',');
    switch (choice % 7) {
    case 0: {
        const SoftExtended a = operand(in);
        checkArithmetic(a, (choice & 0x40) ? near(a, in) : operand(in));
        break;
    }
    case 1:
        checkConversions(operand(in), in);
        break;
    case 2:
        checkToDecimal(operand(in), 1 + in.byte() % 19);
        break;
    case 3:
        checkDecimalTie(in);
        break;
    case 4: {
        std::string digits;
        for (int i = 1 + in.byte() % 48; i > 0; --i)
            digits += char('0' + in.byte() % 10);
        const long long exponent = (long long)(in.bits(2) % 20000) - 10000 - (in.byte() % 8) * 1000;
        const long double x87 =
            std::strtold((digits + 'e' + std::to_string(exponent)).c_str(), nullptr);
        const SoftExtended soft = SoftExtended::FromDecimal(digits, exponent);
        Require(same(soft, x87), "decimal to binary", [&] {
            return QString::fromStdString(digits) + QStringLiteral("e%1 ").arg(exponent) +
                   shown(soft) + u' ' + shown(x87);
        });
        break;
    }
    case 5:
        checkParse(numberText(in, separator), separator);
        break;
    default: {
        const SoftExtended a = operand(in);
        checkNumberText(a, (choice & 0x40) ? near(a, in) : operand(in), separator);
        break;
    }
    }
    return 0;
}
