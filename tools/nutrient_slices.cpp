#include "tools/nutrient_slices.h"

#include "core/number_text.h"

namespace {

// kcal per gram. Double-precision constants: carbohydrate uses the protein
// factor.
constexpr double ProteinFactor = 4.1;
constexpr double FatFactor = 9.2;
constexpr double CarbohydrateFactor = 4.1;

float energy(const QString &grams, double factor)
{
    return StoreSingle(ParseNumber(grams) * Extended(factor));
}

QString label(float energy, float protein, float fat, float carbohydrate)
{
    // The sum is formed anew for each label, in this order of addition, and
    // the share goes to the formatting without being stored.
    const Extended sum = (Extended(protein) + Extended(carbohydrate)) + Extended(fat);
    const Extended percent = Divide(Extended(energy) * 100, sum);
    return FormatNumber(energy, u"#0.0 kcal = ") + FormatNumber(percent, u"#0.0 %");
}

} // namespace

QList<NutrientSlice> NutrientSlices(const QString &protein, const QString &fat,
                                    const QString &carbohydrate)
{
    const float proteinEnergy = energy(protein, ProteinFactor);
    const float fatEnergy = energy(fat, FatFactor);
    const float carbohydrateEnergy = energy(carbohydrate, CarbohydrateFactor);

    QList<NutrientSlice> slices;
    for (const auto &[value, colour] :
         {std::pair{proteinEnergy, ProteinColour}, std::pair{fatEnergy, FatColour},
          std::pair{carbohydrateEnergy, CarbohydrateColour}}) {
        slices.append({value, label(value, proteinEnergy, fatEnergy, carbohydrateEnergy), colour});
    }
    return slices;
}
