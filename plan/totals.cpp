#include "plan/totals.h"

#include "core/failure.h"
#include "core/text_table_model.h"

namespace {

void addAmount(float &sum, Extended amount)
{
    sum = StoreSingle(Checked(Extended(sum) + amount));
}

} // namespace

float ParsePortion(QStringView portionText)
{
    return StoreSingle(ParseNumber(portionText, DecimalSeparator()));
}

Extended PortionAmount(QStringView valueText, float portion)
{
    return Checked(ParseNumber(valueText, DecimalSeparator()) * Hundredth * Extended(portion));
}

TotalsResult ComputeTotals(const std::array<const TextTableModel *, MealCount> &meals)
{
    TotalsResult result;
    PlanTotals &sums = result.sums;
    for (int meal = 0; meal < MealCount; ++meal) {
        const TextTableModel &list = *meals[size_t(meal)];
        // Every row of a meal list has all six texts. Each is read from the
        // store as it is needed, without a string of its own.
        const TextStore &rows = list.store();
        QString scratch;
        const auto text = [&](int row, MealColumn column) {
            return rows.textView(row, column, scratch);
        };
        for (int row = 0; row < list.rowCount(); ++row) {
            try {
                const float portion = ParsePortion(text(row, MealPortion));
                const Extended kcal = PortionAmount(text(row, MealKcal), portion);
                addAmount(sums.dayKcal, kcal);
                addAmount(sums.mealKcal[size_t(meal)], kcal);
                addAmount(sums.dayProtein, PortionAmount(text(row, MealProtein), portion));
                addAmount(sums.dayFat, PortionAmount(text(row, MealFat), portion));
                addAmount(sums.dayCarbohydrate,
                          PortionAmount(text(row, MealCarbohydrate), portion));
            } catch (const Failure &) {
                result.failedRows.append({meal, row});
            }
        }
    }
    return result;
}

DisplayTexts TotalsDisplayTexts(const PlanTotals &sums)
{
    constexpr QStringView mask = u"###0.0";
    DisplayTexts texts;
    for (int meal = 0; meal < MealCount; ++meal)
        texts[MealDisplay(meal)] = FormatNumber(sums.mealKcal[size_t(meal)], mask);
    texts[GKAL] = FormatNumber(sums.dayKcal, mask);
    texts[EW] = FormatNumber(sums.dayProtein, mask);
    texts[FT] = FormatNumber(sums.dayFat, mask);
    texts[KH] = FormatNumber(sums.dayCarbohydrate, mask);
    return texts;
}
