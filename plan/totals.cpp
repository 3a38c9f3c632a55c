#include "plan/totals.h"

#include "app/failure.h"
#include "app/text_table_model.h"

namespace {

void addAmount(float &sum, const QString &valueText, float portion)
{
    sum = StoreSingle(Checked(Extended(sum) + PortionAmount(valueText, portion)));
}

} // namespace

float ParsePortion(const QString &portionText)
{
    return StoreSingle(ParseNumber(portionText));
}

Extended PortionAmount(const QString &valueText, float portion)
{
    return Checked(ParseNumber(valueText) * Hundredth * Extended(portion));
}

TotalsResult ComputeTotals(const std::array<const TextTableModel *, MealCount> &meals)
{
    TotalsResult result;
    PlanTotals &sums = result.sums;
    for (int meal = 0; meal < MealCount; ++meal) {
        const TextTableModel &list = *meals[size_t(meal)];
        for (int row = 0; row < list.rowCount(); ++row) {
            // Every row of a meal list has all six texts.
            const QStringList &texts = list.rowTexts(row);
            try {
                const float portion = ParsePortion(texts.at(MealPortion));
                addAmount(sums.dayKcal, texts.at(MealKcal), portion);
                addAmount(sums.mealKcal[size_t(meal)], texts.at(MealKcal), portion);
                addAmount(sums.dayProtein, texts.at(MealProtein), portion);
                addAmount(sums.dayFat, texts.at(MealFat), portion);
                addAmount(sums.dayCarbohydrate, texts.at(MealCarbohydrate), portion);
            } catch (const Failure &) {
                result.failedRows.append({meal, row});
            }
        }
    }
    return result;
}

std::array<QString, 8> TotalsDisplayTexts(const PlanTotals &sums)
{
    constexpr QStringView mask = u"###0.0";
    return {FormatNumber(sums.mealKcal[0], mask), FormatNumber(sums.mealKcal[1], mask),
            FormatNumber(sums.mealKcal[2], mask), FormatNumber(sums.mealKcal[3], mask),
            FormatNumber(sums.dayKcal, mask),     FormatNumber(sums.dayProtein, mask),
            FormatNumber(sums.dayFat, mask),      FormatNumber(sums.dayCarbohydrate, mask)};
}
