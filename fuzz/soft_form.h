#pragma once

// The number text functions as the software form of Extended computes them,
// built into the differential fuzz target beside those of the x87 form.
// Values cross as SoftExtended, whatever the form of the caller.

#include "core/soft_extended.h"

#include <QString>

namespace SoftForm {

SoftExtended ParseNumber(QStringView text, QChar separator);
QString FormatNumber(SoftExtended value, QStringView mask, QChar separator);
QString FormatWholeNumber(SoftExtended value, QChar separator);
SoftExtended Checked(SoftExtended value);
float StoreSingle(SoftExtended value);
SoftExtended Divide(SoftExtended dividend, SoftExtended divisor);

} // namespace SoftForm
