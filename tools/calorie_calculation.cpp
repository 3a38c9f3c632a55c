#include "tools/calorie_calculation.h"

#include "core/number_text.h"

namespace {

// kcal per gram, each held as the nearest single-precision value.
constexpr float ProteinFactor = 4.1f;
constexpr float CarbohydrateFactor = 4.1f;
constexpr float FatFactor = 9.2f;

} // namespace

QString CalculateCalories(const QString &protein, const QString &carbohydrate, const QString &fat)
{
    const float proteinGrams = StoreSingle(ParseNumber(protein));
    const float carbohydrateGrams = StoreSingle(ParseNumber(carbohydrate));
    const float fatGrams = StoreSingle(ParseNumber(fat));
    const Extended total = Extended(ProteinFactor) * proteinGrams +
                           Extended(CarbohydrateFactor) * carbohydrateGrams +
                           Extended(FatFactor) * fatGrams;
    return FormatWholeNumber(StoreSingle(total));
}
