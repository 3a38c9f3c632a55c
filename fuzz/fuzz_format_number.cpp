// FormatNumber with every mask of the program and FormatWholeNumber on
// arbitrary extended values: the text has the shape its form demands, the
// number in it parses back with ParseNumber, the parsed value formats to the
// same text, and it lies within the rounding of the value.

#include "core/failure.h"
#include "core/number_text.h"
#include "fuzz_check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

struct Mask
{
    QStringView mask;
    QStringView suffix;
    int decimals;
};

constexpr Mask Masks[] = {
    {u"###0.0", u"", 1},        {u"####0.0", u"", 1},
    {u"####0.0 gr", u" gr", 1}, {u"#0.0 kcal = ", u" kcal = ", 1},
    {u"#0.0 %", u" %", 1},      {u"##0.00", u"", 2},
};

// Ten bytes as an x87 value. The explicit integer bit is set from the
// exponent as the arithmetic always leaves it: encodings no operation
// produces (unnormals, pseudo-denormals) are not values of the program.
Extended extendedFromBytes(const uint8_t *bytes)
{
    uint8_t raw[16] = {};
    std::memcpy(raw, bytes, 10);
    const bool zeroExponent = raw[8] == 0 && (raw[9] & 0x7F) == 0;
    raw[7] = zeroExponent ? raw[7] & 0x7F : raw[7] | 0x80;
    Extended value;
    std::memcpy(&value, raw, sizeof value);
    return value;
}

// A small reader of the shapes the texts must have.
class Shape
{
public:
    explicit Shape(QStringView text) : m_text(text) {}

    bool take(QChar c)
    {
        if (m_at >= m_text.size() || m_text[m_at] != c)
            return false;
        ++m_at;
        return true;
    }
    // Digits from 0 to 9, at least `least` and at most `most`; gives how many.
    qsizetype digits(qsizetype least, qsizetype most = 1 << 30)
    {
        qsizetype count = 0;
        while (count < most && m_at < m_text.size() && m_text[m_at] >= QLatin1Char('0') &&
               m_text[m_at] <= QLatin1Char('9')) {
            ++m_at;
            ++count;
        }
        return count >= least ? count : -1;
    }
    QChar previous() const { return m_at > 0 ? m_text[m_at - 1] : QChar(); }
    QChar next() const { return m_at < m_text.size() ? m_text[m_at] : QChar(); }
    bool atEnd() const { return m_at == m_text.size(); }

private:
    QStringView m_text;
    qsizetype m_at = 0;
};

bool isNonZeroDigit(QChar c)
{
    return c >= QLatin1Char('1') && c <= QLatin1Char('9');
}

// "-1,5E20": a significant first digit, further digits ending in a
// significant one, and an exponent without plus sign or leading zeros.
bool isGeneralForm(QStringView text, QChar separator, qsizetype maxFraction, int minExponent)
{
    const qsizetype e = text.indexOf(QLatin1Char('E'));
    if (e < 0)
        return false;
    Shape mantissa(text.first(e));
    mantissa.take(QLatin1Char('-'));
    if (!isNonZeroDigit(mantissa.next()) || mantissa.digits(1, 1) < 0)
        return false;
    if (mantissa.take(separator) &&
        (mantissa.digits(1, maxFraction) < 0 || !isNonZeroDigit(mantissa.previous())))
        return false;
    if (!mantissa.atEnd())
        return false;
    QStringView exponent = text.sliced(e + 1);
    const bool negative = exponent.startsWith(QLatin1Char('-'));
    if (negative)
        exponent = exponent.sliced(1);
    Shape digits(exponent);
    if (exponent.isEmpty() || digits.digits(1) < 0 || !digits.atEnd() ||
        (exponent.size() > 1 && exponent.front() == QLatin1Char('0')))
        return false;
    return (negative ? -1 : 1) * exponent.toInt() >= minExponent;
}

// "-12,5": no leading zero but a lone one, then exactly the mask's decimals.
bool isMaskedForm(QStringView number, QChar separator, int decimals)
{
    Shape shape(number);
    shape.take(QLatin1Char('-'));
    if (!shape.take(QLatin1Char('0')) && (!isNonZeroDigit(shape.next()) || shape.digits(1) < 0))
        return false;
    return shape.take(separator) && shape.digits(decimals, decimals) >= 0 && shape.atEnd();
}

// "0" or up to five digits without a leading zero.
bool isPlainWholeNumber(QStringView text)
{
    if (text == u"0")
        return true;
    Shape shape(text);
    shape.take(QLatin1Char('-'));
    return isNonZeroDigit(shape.next()) && shape.digits(1, 5) >= 0 && shape.atEnd();
}

bool hasSignificantDigit(QStringView text)
{
    return std::any_of(text.begin(), text.end(), isNonZeroDigit);
}

QString describe(Extended value, const QString &text)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
    return QStringLiteral("value %1, text '%2'").arg(QLatin1String(buffer), text);
}

template <typename Detail>
Extended parseBack(const QString &number, QChar separator, const Detail &detail)
{
    try {
        return ParseNumber(number, separator);
    } catch (const Failure &failure) {
        Require(false, "the formatted number parses back",
                [&] { return detail() + u' ' + failure.message(); });
    }
    return 0;
}

void checkMask(Extended value, const Mask &mask, QChar separator)
{
    const QString text = FormatNumber(value, mask.mask, separator);
    const auto detail = [&] {
        return describe(value, text) + QStringLiteral(" mask '%1'").arg(mask.mask);
    };
    const bool isGeneral = isGeneralForm(text, separator, 14, 18);
    QString number = text;
    // 18 significant digits round 999999999999999999.5 up to 10^18.
    Require(isGeneral == (std::fabs(value) >= 999999999999999999.5L),
            "the general form exactly from 10^18 on", detail);
    if (!isGeneral) {
        Require(text.endsWith(mask.suffix), "the mask's text follows the number", detail);
        number.chop(mask.suffix.size());
        Require(isMaskedForm(number, separator, mask.decimals), "the number has the mask's shape",
                detail);
        Require(!number.startsWith(QLatin1Char('-')) || value < 0,
                "only a negative value has a sign", detail);
        const bool zero = !hasSignificantDigit(number);
        Require(!(zero && number.startsWith(QLatin1Char('-'))), "no sign on zero", detail);
        Require(zero || (value < 0) == number.startsWith(QLatin1Char('-')),
                "a negative value shows its sign", detail);
    }

    const Extended back = parseBack(number, separator, detail);
    Require(FormatNumber(back, mask.mask, separator) == text, "the parsed value formats the same",
            detail);
    const Extended error = std::fabs(back - value);
    const Extended allowed =
        isGeneral ? std::fabs(value) * 5e-15L
                  : 0.5L * std::pow(10.0L, -mask.decimals) + std::fabs(value) * 1e-17L;
    Require(error <= allowed, "the text lies within the rounding of the value", detail);
}

void checkWholeNumber(Extended value, QChar separator)
{
    const QString text = FormatWholeNumber(value, separator);
    const auto detail = [&] { return describe(value, text); };
    const bool isPlain = isPlainWholeNumber(text);
    Require(isPlain || isGeneralForm(text, separator, 4, 5), "a whole number or its exponent form",
            detail);
    Require(!text.startsWith(QLatin1Char('-')) || value < 0, "only a negative value has a sign",
            detail);

    const Extended back = parseBack(text, separator, detail);
    Require(FormatWholeNumber(back, separator) == text, "the parsed value formats the same",
            detail);
    const Extended error = std::fabs(back - value);
    const Extended allowed = isPlain ? 0.5L + std::fabs(value) * 1e-17L : std::fabs(value) * 5e-5L;
    Require(error <= allowed, "the text lies within the rounding of the value", detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 11)
        return 0;
    const Extended value = extendedFromBytes(data);
    const QChar separators[] = {QLatin1Char(','), QLatin1Char('.'), QChar(0x066B)};
    const QChar separator = separators[data[10] % 3];

    if (!std::isfinite(value)) {
        const QString text = FormatNumber(value, u"###0.0", separator);
        Require(text == QLatin1String(std::isnan(value) ? "NAN"
                                      : value < 0       ? "-INF"
                                                        : "INF"),
                "a value that is not finite is named", [&] { return text; });
        return 0;
    }
    for (const Mask &mask : Masks)
        checkMask(value, mask, separator);
    checkWholeNumber(value, separator);
    return 0;
}
