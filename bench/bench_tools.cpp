// The tools: one nutrient split, one BMI and one calorie total as the dialogs
// compute them, decoding the society's logo, and painting the pie chart of the
// nutrient information window.

#include "core/number_text.h"
#include "tools/bmi_calculation.h"
#include "tools/calorie_calculation.h"
#include "tools/logos.h"
#include "tools/nutrient_slices.h"
#include "tools/pie_chart.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QImage>

namespace {

void BM_NutrientSlices(benchmark::State &state)
{
    SetDecimalSeparator(QLatin1Char(','));
    const QString protein = QStringLiteral("0,3");
    const QString fat = QStringLiteral("0,1");
    const QString carbohydrate = QStringLiteral("12,4");
    for (auto _ : state)
        benchmark::DoNotOptimize(NutrientSlices(protein, fat, carbohydrate));
}
BENCHMARK(BM_NutrientSlices);

void BM_CalculateBmi(benchmark::State &state)
{
    SetDecimalSeparator(QLatin1Char(','));
    const QString height = QStringLiteral("170");
    const QString weight = QStringLiteral("50");
    for (auto _ : state)
        benchmark::DoNotOptimize(CalculateBmi(height, weight));
}
BENCHMARK(BM_CalculateBmi);

void BM_CalculateCalories(benchmark::State &state)
{
    SetDecimalSeparator(QLatin1Char(','));
    const QString protein = QStringLiteral("10");
    const QString carbohydrate = QStringLiteral("50");
    const QString fat = QStringLiteral("5");
    for (auto _ : state)
        benchmark::DoNotOptimize(CalculateCalories(protein, carbohydrate, fat));
}
BENCHMARK(BM_CalculateCalories);

void BM_DecodeSocietyLogo(benchmark::State &state)
{
    QFile file(QStringLiteral(":/images/society_logo.jpg"));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("logo missing");
        return;
    }
    const QByteArray data = file.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeJpeg(data));
}
BENCHMARK(BM_DecodeSocietyLogo)->Unit(benchmark::kMicrosecond);

void BM_PaintPieChart(benchmark::State &state)
{
    PieChart chart;
    chart.resize(523, 353);
    for (const NutrientSlice &slice :
         NutrientSlices(QStringLiteral("0,3"), QStringLiteral("0,1"), QStringLiteral("12,4")))
        chart.addSlice(slice.value, slice.label,
                       QColor(slice.colour.red, slice.colour.green, slice.colour.blue));
    QImage image(chart.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        chart.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintPieChart)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    // The chart needs an application object; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
