#pragma once

// Number text: every quantity of the program is held as text and converted
// only where something is computed. ParseNumber reads a text into an x87
// extended value, FormatNumber and FormatWholeNumber write a result back.
// Both directions use the decimal separator of the user's regional settings,
// kept in one place here and read again when the settings change.

#include "core/soft_extended.h"

#include <QString>

#include <limits>

// Extended is the x87 80-bit format on every machine: the hardware's long
// double where it is that format, the software model where it is not (or
// where the build option MENUVERA_SOFT_EXTENDED asks for it). The form is
// part of the names below, so that code built for one form cannot be linked
// with code built for the other by mistake.
#if !MENUVERA_SOFT_EXTENDED && defined(__LDBL_MANT_DIG__) && __LDBL_MANT_DIG__ == 64
#define MENUVERA_EXTENDED_FORM x87_extended
using Extended = long double;
static_assert(std::numeric_limits<Extended>::max_exponent == 16384,
              "the arithmetic needs the x87 80-bit extended format");
// The extended number nearest to 0.01, by which values per 100 g are scaled.
inline constexpr Extended Hundredth = 0.01L;
#else
#define MENUVERA_EXTENDED_FORM soft_extended
using Extended = SoftExtended;
// Written out: a long double literal would be rounded twice where long double
// is wider.
inline constexpr Extended Hundredth = SoftExtended::FromBits(0x3FF8, 0xA3D70A3D70A3D70A);
#endif

inline namespace MENUVERA_EXTENDED_FORM {

// The separator every conversion uses unless one is passed explicitly.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar separator);
// Reads the separator from the user's regional settings ("." if they give none),
// at start and again whenever the settings change.
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

} // namespace MENUVERA_EXTENDED_FORM
