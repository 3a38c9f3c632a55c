#pragma once

// Number text: every quantity of the program is held as text and converted
// only where something is computed. ParseNumber reads a text into an x87
// extended value, FormatNumber and FormatWholeNumber write a result back.
// Both directions use the decimal separator of the user's regional settings,
// kept in one place here and read again when the settings change.

#include <QString>

#include <limits>

using Extended = long double;
static_assert(std::numeric_limits<Extended>::digits == 64,
              "the arithmetic needs the x87 80-bit extended format");

// The separator every conversion uses unless one is passed explicitly.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar separator);
// Reads the separator from the user's regional settings ("." if they give none).
void ReadDecimalSeparator();

// Raises a Failure "'<text>' ist kein gültiger Gleitkommawert" for a refused text.
Extended ParseNumber(const QString &text);
Extended ParseNumber(QStringView text, QChar separator);

// Lays the value out by a mask of "0", "#", "." and literal characters.
QString FormatNumber(Extended value, QStringView mask);
QString FormatNumber(Extended value, QStringView mask, QChar separator);

// The value rounded to a whole number with at most five significant digits,
// in exponent form beyond that ("1,2346E5").
QString FormatWholeNumber(Extended value);
QString FormatWholeNumber(Extended value, QChar separator);

// Arithmetic checks: an infinite or undefined result is an error, never a value.
// Checked raises "Gleitkommaüberlauf" for an infinity and
// "Ungültige Gleitkommaoperation" for a NaN, and gives the value otherwise.
Extended Checked(Extended value);
// Rounds to single precision; beyond its range raises "Gleitkommaüberlauf".
float StoreSingle(Extended value);
// Raises "Gleitkommadivision durch Null" for x/0 and
// "Ungültige Gleitkommaoperation" for 0/0.
Extended Divide(Extended dividend, Extended divisor);
