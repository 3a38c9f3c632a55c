#include "tools/bmi_calculation.h"

#include "core/number_text.h"

BmiOutcome CalculateBmi(const QString &height, const QString &weight)
{
    const float heightCm = StoreSingle(ParseNumber(height));
    // Written as "not at least" so that no value that fails the comparison
    // gets through.
    if (!(heightCm >= 50))
        return {QString(), HeightLimitMessage.toString()};
    const float weightKg = StoreSingle(ParseNumber(weight));
    if (!(weightKg >= 20))
        return {QString(), WeightLimitMessage.toString()};

    const Extended metres = Extended(heightCm) * Hundredth;
    const float bmi = StoreSingle(Divide(Extended(weightKg), metres * metres));
    return {FormatNumber(bmi, u"##0.00"), QString()};
}
