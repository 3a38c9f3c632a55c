// ParseNumber on arbitrary text, against a scanner of the number grammar
// whose value comes from the C library's correctly rounded strtold: a text
// is accepted exactly when it is a number within the extended range, its
// value is finite and the nearest one, and a refusal quotes the text.

#include "core/failure.h"
#include "core/number_text.h"
#include "fuzz_check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The text in strtold's own syntax when the grammar accepts it.
std::optional<std::string> grammarNumber(QStringView text, QChar separator)
{
    std::string number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto at = [&](QChar c) { return i < n && text[i] == c; };
    while (at(QLatin1Char(' ')))
        ++i;
    if (at(QLatin1Char('+')) || at(QLatin1Char('-')))
        number += char(text[i++].unicode());
    qsizetype taken = 0;
    for (; i < n && isDigit(text[i]); ++i, ++taken)
        number += char(text[i].unicode());
    if (at(separator)) {
        number += '.';
        ++i;
        ++taken;
        for (; i < n && isDigit(text[i]); ++i)
            number += char(text[i].unicode());
    }
    if (taken == 0)
        return std::nullopt;
    if (at(QLatin1Char('E')) || at(QLatin1Char('e'))) {
        number += 'e';
        ++i;
        if (at(QLatin1Char('+')) || at(QLatin1Char('-')))
            number += char(text[i++].unicode());
        int exponent = 0;
        for (; i < n && isDigit(text[i]) && exponent < 500; ++i) {
            exponent = exponent * 10 + (text[i].unicode() - '0');
            number += char(text[i].unicode());
        }
    }
    while (at(QLatin1Char(' ')))
        ++i;
    if (i != n)
        return std::nullopt;
    return number;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // Byte 0 picks the separator and whether the rest is Latin-1 or UTF-16.
    const QChar separators[] = {QLatin1Char(','), QLatin1Char('.'), QChar(0x066B)};
    const QChar separator = separators[data[0] % 3];
    const char *rest = reinterpret_cast<const char *>(data + 1);
    const qsizetype restSize = qsizetype(size - 1);
    const QString text = (data[0] & 0x80)
                             ? QString(reinterpret_cast<const QChar *>(rest), restSize / 2)
                             : QString::fromLatin1(rest, restSize);

    const std::optional<std::string> number = grammarNumber(text, separator);
    // strtold leaves "." and "-." unconverted and gives 0, as the grammar's value is.
    const Extended expected = number ? std::strtold(number->c_str(), nullptr) : 0;
    const bool inRange = number && std::isfinite(expected);
    std::optional<Extended> value;
    try {
        value = ParseNumber(text, separator);
    } catch (const Failure &failure) {
        const QString message =
            QLatin1Char('\'') + text + QStringLiteral("' ist kein gültiger Gleitkommawert");
        Require(failure.message() == message, "a refusal quotes the whole text",
                [&] { return Visible(failure.message()); });
    }
    Require(value.has_value() == inRange, "accepted exactly when a number within the range",
            [&] { return Visible(text); });
    if (value) {
        Require(std::isfinite(*value), "an accepted value is finite",
                [&] { return Visible(text); });
        Require(*value == expected, "the value is the nearest extended one",
                [&] { return Visible(text); });
    }
    return 0;
}
