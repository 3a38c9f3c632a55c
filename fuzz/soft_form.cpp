// Built with MENUVERA_SOFT_EXTENDED, like the number text it calls.

#include "fuzz/soft_form.h"

#include "core/number_text.h"

static_assert(std::is_same_v<Extended, SoftExtended>, "built without MENUVERA_SOFT_EXTENDED");

namespace SoftForm {

SoftExtended ParseNumber(QStringView text, QChar separator)
{
    return ::ParseNumber(text, separator);
}

QString FormatNumber(SoftExtended value, QStringView mask, QChar separator)
{
    return ::FormatNumber(value, mask, separator);
}

QString FormatWholeNumber(SoftExtended value, QChar separator)
{
    return ::FormatWholeNumber(value, separator);
}

SoftExtended Checked(SoftExtended value)
{
    return ::Checked(value);
}

float StoreSingle(SoftExtended value)
{
    return ::StoreSingle(value);
}

SoftExtended Divide(SoftExtended dividend, SoftExtended divisor)
{
    return ::Divide(dividend, divisor);
}

} // namespace SoftForm
