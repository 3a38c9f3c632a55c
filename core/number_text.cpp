#include "core/number_text.h"

#include "core/failure.h"

#include <QLocale>
#include <QSettings>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

namespace {

// Unqualified below, so that the software type's own versions are found for it.
using std::fabs;
using std::isfinite;
using std::isinf;
using std::isnan;
using std::signbit;

QChar g_decimalSeparator = QLatin1Char('.');

// 10^0 to 10^27, each exact in extended precision.
const auto PowersOfTen = [] {
    std::array<Extended, 28> powers{};
    Extended power = 1;
    for (Extended &entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

[[noreturn]] void refuse(QStringView text)
{
    throw Failure(QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(text));
}

// The two conversions between decimal and binary. The x87 type takes the C
// library's, which are exact for it; the software type has exact ones of its
// own, since the host's long double cannot be rounded once more to 64 bits
// without rounding twice.

// digits × 10^scale correctly rounded; infinite beyond the range.
template <typename Value> Value decimalValue(std::string &digits, long long scale)
{
    if constexpr (std::is_same_v<Value, long double>) {
        digits += 'e';
        digits += std::to_string(scale);
        return std::strtold(digits.c_str(), nullptr);
    } else {
        return Value::FromDecimal(digits, scale);
    }
}

// A magnitude rounded to `count` significant digits, ties to even:
// magnitude = d1.d2 ... dcount * 10^exponent. Appends the digits, gives the
// exponent.
template <typename Value> int significantDigits(Value magnitude, int count, std::string &digits)
{
    if constexpr (std::is_same_v<Value, long double>) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*Le", count - 1, magnitude);
        digits.reserve(size_t(count));
        const char *p = buffer;
        for (; *p != 'e'; ++p) {
            if (*p >= '0' && *p <= '9')
                digits.push_back(*p);
        }
        return std::atoi(p + 1);
    } else {
        const typename Value::Decimal decimal = magnitude.ToDecimal(count);
        const std::string number = std::to_string(decimal.digits);
        digits.append(size_t(count) - number.size(), '0');
        digits += number;
        return decimal.exponent;
    }
}

// The magnitude of a value written with 18 significant decimal digits:
// value = 0.d1 d2 ... d18 * 10^pointPosition.
struct DecimalDigits
{
    std::string digits;
    int pointPosition = 0;
};

DecimalDigits eighteenDigits(Extended magnitude)
{
    DecimalDigits result;
    result.pointPosition = significantDigits(magnitude, 18, result.digits) + 1;
    if (result.digits.find_first_not_of('0') == std::string::npos)
        result.pointPosition = 0;
    return result;
}

// Rounds the digit string so that `kept` digits remain (a following digit of
// 5 to 9 raises the magnitude). Gives the kept digits and adjusts the point
// when a carry adds a digit in front.
std::string roundDigits(const DecimalDigits &value, int kept, int *pointPosition)
{
    *pointPosition = value.pointPosition;
    if (kept < 0)
        return {};
    std::string result = value.digits.substr(0, std::min<size_t>(kept, value.digits.size()));
    result.resize(kept, '0');
    if (size_t(kept) < value.digits.size() && value.digits[kept] >= '5') {
        int i = kept - 1;
        while (i >= 0 && result[i] == '9')
            result[i--] = '0';
        if (i >= 0) {
            ++result[i];
        } else {
            result.insert(result.begin(), '1');
            ++*pointPosition;
        }
    }
    return result;
}

// The general form with at most 15 significant digits: "1E20", "-1,5E20".
QString generalForm(Extended value, QChar separator)
{
    std::string mantissa;
    const int exponent = significantDigits(fabs(value), 15, mantissa);
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    QString text;
    if (signbit(value))
        text += QLatin1Char('-');
    text += QLatin1Char(mantissa[0]);
    if (mantissa.size() > 1) {
        text += separator;
        text += QLatin1String(mantissa.data() + 1, qsizetype(mantissa.size() - 1));
    }
    text += QLatin1Char('E') + QString::number(exponent);
    return text;
}

QString nonFinite(Extended value)
{
    if (isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

bool isDigitPosition(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

} // namespace

inline namespace MENUVERA_EXTENDED_FORM {

QChar DecimalSeparator()
{
    return g_decimalSeparator;
}

void SetDecimalSeparator(QChar separator)
{
    g_decimalSeparator = separator;
}

void ReadDecimalSeparator()
{
    QString point;
#ifdef Q_OS_WIN
    // Read afresh where the regional settings keep the user's choice: a
    // process's own locale functions may still give the value of its start
    // (Wine's do).
    point = QSettings(QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\International"),
                      QSettings::NativeFormat)
                .value(QStringLiteral("sDecimal"))
                .toString();
    if (point.isEmpty())
#endif
        point = QLocale::system().decimalPoint();
    SetDecimalSeparator(point.isEmpty() ? QLatin1Char('.') : point.front());
}

Extended ParseNumber(const QString &text)
{
    return ParseNumber(text, DecimalSeparator());
}

Extended ParseNumber(QStringView text, QChar separator)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }

    const qsizetype integerStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    const qsizetype integerEnd = i;
    qsizetype fractionStart = i;
    qsizetype fractionEnd = i;
    if (i < n && text[i] == separator) {
        fractionStart = ++i;
        while (i < n && isDigit(text[i]))
            ++i;
        fractionEnd = i;
    }
    if (i == integerStart)
        refuse(text);

    long long exponent = 0;
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            negativeExponent = text[i] == QLatin1Char('-');
            ++i;
        }
        while (i < n && isDigit(text[i]) && exponent < 500)
            exponent = exponent * 10 + (text[i++].unicode() - '0');
        if (negativeExponent)
            exponent = -exponent;
    }
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    if (i != n)
        refuse(text);

    // All digits of the mantissa read as one integer, without leading and
    // trailing zeros; the fraction and the trailing zeros shift the exponent.
    qsizetype firstDigit = -1;
    qsizetype lastDigit = -1;
    long long significant = 0;
    long long trailingZeros = 0;
    auto scan = [&](qsizetype from, qsizetype to) {
        for (qsizetype k = from; k < to; ++k) {
            if (text[k] == QLatin1Char('0')) {
                if (firstDigit >= 0)
                    ++trailingZeros;
                continue;
            }
            if (firstDigit < 0)
                firstDigit = k;
            lastDigit = k;
            significant += trailingZeros + 1;
            trailingZeros = 0;
        }
    };
    scan(integerStart, integerEnd);
    scan(fractionStart, fractionEnd);
    if (firstDigit < 0)
        return negative ? -Extended(0) : Extended(0);
    const long long scale = exponent - (fractionEnd - fractionStart) + trailingZeros;
    auto forEachDigit = [&](auto &&take) {
        for (qsizetype k = firstDigit; k <= lastDigit; ++k) {
            if (k != integerEnd || integerEnd == fractionStart)
                take(char(text[k].unicode()));
        }
    };

    Extended value;
    if (significant <= 19 && scale >= -27 && scale <= 27) {
        // Both the integer (below 10^19 < 2^64) and the power of ten (5^27 <
        // 2^64) are exact in extended precision, so one multiplication or
        // division rounds correctly, as the general conversion below would.
        unsigned long long mantissa = 0;
        forEachDigit([&](char digit) { mantissa = mantissa * 10 + unsigned(digit - '0'); });
        const Extended power = PowersOfTen[scale < 0 ? -scale : scale];
        value = scale < 0 ? Extended(mantissa) / power : Extended(mantissa) * power;
    } else {
        std::string digits;
        digits.reserve(size_t(significant) + 24);
        forEachDigit([&](char digit) { digits.push_back(digit); });
        value = decimalValue<Extended>(digits, scale);
        if (isinf(value))
            refuse(text);
    }
    return negative ? -value : value;
}

QString FormatNumber(Extended value, QStringView mask)
{
    return FormatNumber(value, mask, DecimalSeparator());
}

QString FormatNumber(Extended value, QStringView mask, QChar separator)
{
    if (!isfinite(value))
        return nonFinite(value);

    // The mask's digit positions before and after its first ".".
    const qsizetype point = mask.indexOf(QLatin1Char('.'));
    const QStringView integerMask = point < 0 ? mask : mask.first(point);
    const QStringView fractionMask = point < 0 ? QStringView() : mask.sliced(point + 1);
    int integerPositions = 0;
    int requiredIntegerDigits = 0;
    for (QChar c : integerMask) {
        if (isDigitPosition(c)) {
            ++integerPositions;
            if (c == QLatin1Char('0') && requiredIntegerDigits == 0)
                requiredIntegerDigits = -integerPositions; // fixed up below
        }
    }
    if (requiredIntegerDigits < 0)
        requiredIntegerDigits = integerPositions + requiredIntegerDigits + 1;
    int decimals = 0;
    int requiredDecimals = 0;
    for (QChar c : fractionMask) {
        if (isDigitPosition(c)) {
            ++decimals;
            if (c == QLatin1Char('0'))
                requiredDecimals = decimals;
        }
    }

    const DecimalDigits exact = eighteenDigits(fabs(value));
    int pointPosition = 0;
    const std::string rounded = roundDigits(exact, exact.pointPosition + decimals, &pointPosition);
    if (pointPosition > 18)
        return generalForm(value, separator);

    std::string integerDigits =
        pointPosition > 0 ? rounded.substr(0, size_t(pointPosition)) : std::string();
    std::string fractionDigits;
    if (decimals > 0) {
        // Digits after the point, with zeros in front where the value is below 10^-1.
        const int leadingZeros = std::min(decimals, std::max(0, -pointPosition));
        fractionDigits.assign(size_t(leadingZeros), '0');
        if (pointPosition < 0)
            fractionDigits += rounded;
        else
            fractionDigits += rounded.substr(size_t(pointPosition));
        fractionDigits.resize(size_t(decimals), '0');
    }
    const bool isZero = integerDigits.find_first_not_of('0') == std::string::npos &&
                        fractionDigits.find_first_not_of('0') == std::string::npos;
    const size_t firstSignificant = integerDigits.find_first_not_of('0');
    integerDigits.erase(0, std::min(firstSignificant, integerDigits.size()));
    if (integerDigits.size() < size_t(requiredIntegerDigits))
        integerDigits.insert(0, size_t(requiredIntegerDigits) - integerDigits.size(), '0');
    int shownDecimals = decimals;
    while (shownDecimals > requiredDecimals && fractionDigits[size_t(shownDecimals) - 1] == '0')
        --shownDecimals;

    QString text;
    text.reserve(mask.size() + int(integerDigits.size()) + 2);
    if (value < 0 && !isZero)
        text += QLatin1Char('-');
    // Integer digits stand at the integer positions, counted from the point;
    // digits beyond the positions all come out at the first one.
    const int integerLength = int(integerDigits.size());
    int position = 0;
    for (QChar c : integerMask) {
        if (!isDigitPosition(c)) {
            text += c;
            continue;
        }
        const int place = integerPositions - 1 - position;
        if (position == 0) {
            const int count = std::max(0, integerLength - place);
            text += QLatin1String(integerDigits.data(), count);
        } else if (place < integerLength) {
            text += QLatin1Char(integerDigits[size_t(integerLength - 1 - place)]);
        }
        ++position;
    }
    if (integerPositions == 0)
        text += QLatin1String(integerDigits.data(), qsizetype(integerDigits.size()));
    if (point >= 0) {
        if (shownDecimals > 0)
            text += separator;
        int index = 0;
        for (QChar c : fractionMask) {
            if (!isDigitPosition(c)) {
                text += c;
                continue;
            }
            if (index < shownDecimals)
                text += QLatin1Char(fractionDigits[size_t(index)]);
            ++index;
        }
    }
    return text;
}

QString FormatWholeNumber(Extended value)
{
    return FormatWholeNumber(value, DecimalSeparator());
}

QString FormatWholeNumber(Extended value, QChar separator)
{
    if (!isfinite(value))
        return nonFinite(value);
    const DecimalDigits exact = eighteenDigits(fabs(value));
    int pointPosition = 0;
    std::string digits = roundDigits(exact, exact.pointPosition, &pointPosition);
    if (pointPosition <= 0 || digits.find_first_not_of('0') == std::string::npos)
        return QStringLiteral("0");
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    if (pointPosition <= 5)
        return sign + QLatin1String(digits.data(), qsizetype(digits.size()));

    // More than five digits: five significant ones, rounded once from the
    // 18-digit form, in exponent notation.
    digits = roundDigits(exact, 5, &pointPosition);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    QString text = sign + QLatin1Char(digits[0]);
    if (digits.size() > 1) {
        text += separator;
        text += QLatin1String(digits.data() + 1, qsizetype(digits.size() - 1));
    }
    return text + QLatin1Char('E') + QString::number(pointPosition - 1);
}

Extended Checked(Extended value)
{
    if (isnan(value))
        throw Failure(QStringLiteral("Ungültige Gleitkommaoperation"));
    if (isinf(value))
        throw Failure(QStringLiteral("Gleitkommaüberlauf"));
    return value;
}

float StoreSingle(Extended value)
{
    // Halfway between the largest float and 2^128 and beyond rounds to
    // infinity, which the x87 reports as an overflow; a plain cast would not.
    static const Extended overflowThreshold = Extended(0x1p128 - 0x1p103);
    if (fabs(Checked(value)) >= overflowThreshold)
        throw Failure(QStringLiteral("Gleitkommaüberlauf"));
    return float(value);
}

Extended Divide(Extended dividend, Extended divisor)
{
    if (divisor == 0) {
        if (dividend == 0 || isnan(dividend))
            throw Failure(QStringLiteral("Ungültige Gleitkommaoperation"));
        throw Failure(QStringLiteral("Gleitkommadivision durch Null"));
    }
    return Checked(dividend / divisor);
}

} // namespace MENUVERA_EXTENDED_FORM
