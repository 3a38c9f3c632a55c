// The day plan: recalculating the totals of 4 × 1,000 rows, alone and after
// adding a portion.

#include "core/number_text.h"
#include "core/text_table_model.h"
#include "plan/totals.h"

#include <benchmark/benchmark.h>

#include <QLocale>

#include <memory>

namespace {

const QStringList MealHeaders = ToStringList(MealColumnNames);

struct Plan
{
    std::array<std::unique_ptr<TextTableModel>, MealCount> meals;

    explicit Plan(int rowsPerMeal)
    {
        const QCollator german(QLocale(QLocale::German, QLocale::Germany));
        for (auto &meal : meals) {
            meal = std::make_unique<TextTableModel>(MealHeaders, german);
            QList<QStringList> rows;
            for (int i = 0; i < rowsPerMeal; ++i) {
                rows.append({QStringLiteral("Lebensmittel %1").arg(i),
                             QString::number(50 + i % 200),
                             QStringLiteral("%1,%2").arg(40 + i % 300).arg(i % 10),
                             QStringLiteral("%1,%2").arg(i % 30).arg(i % 7),
                             QStringLiteral("%1,%2").arg(i % 25).arg(i % 9),
                             QStringLiteral("%1,%2").arg(i % 80).arg(i % 4)});
            }
            meal->setRows(rows);
        }
    }

    std::array<const TextTableModel *, MealCount> lists() const
    {
        return {meals[0].get(), meals[1].get(), meals[2].get(), meals[3].get()};
    }
};

void BM_Recalculate(benchmark::State &state)
{
    SetDecimalSeparator(QLatin1Char(','));
    const Plan plan(int(state.range(0)));
    for (auto _ : state) {
        const TotalsResult result = ComputeTotals(plan.lists());
        benchmark::DoNotOptimize(TotalsDisplayTexts(result.sums));
    }
}
BENCHMARK(BM_Recalculate)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_AddPortionAndRecalculate(benchmark::State &state)
{
    SetDecimalSeparator(QLatin1Char(','));
    Plan plan(int(state.range(0)));
    const QStringList row = {
        QStringLiteral("Haferflocken"), QStringLiteral("60"), QStringLiteral("372"),
        QStringLiteral("13,5"),         QStringLiteral("7"),  QStringLiteral("58,7")};
    for (auto _ : state) {
        const int added = plan.meals[0]->appendRow(row);
        const TotalsResult result = ComputeTotals(plan.lists());
        benchmark::DoNotOptimize(TotalsDisplayTexts(result.sums));
        state.PauseTiming();
        plan.meals[0]->removeRow(added);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddPortionAndRecalculate)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
