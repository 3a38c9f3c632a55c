// The plan printout of a 1,000-row plan: the layout alone on a recording
// canvas, and the whole print command into a PDF file.

#include "core/number_text.h"
#include "core/text_table_model.h"
#include "plan/plan_printer.h"
#include "plan/print_layout.h"
#include "plan/recording_canvas.h"
#include "plan/totals.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLocale>
#include <QPrinter>
#include <QTemporaryDir>

#include <memory>

namespace {

const QStringList MealHeaders = ToStringList(MealColumnNames);

// 250 rows in each of the four meals.
struct Plan
{
    std::array<std::unique_ptr<TextTableModel>, MealCount> meals;
    PlanPrintInput input;

    explicit Plan(int rows)
    {
        const QCollator german(QLocale(QLocale::German, QLocale::Germany));
        std::array<const TextTableModel *, MealCount> lists{};
        for (size_t meal = 0; meal < MealCount; ++meal) {
            meals[meal] = std::make_unique<TextTableModel>(MealHeaders, german);
            QList<QStringList> texts;
            for (int i = 0; i < rows / MealCount; ++i) {
                texts.append({QStringLiteral("Lebensmittel %1").arg(i),
                              QString::number(50 + i % 200),
                              QStringLiteral("%1,%2").arg(40 + i % 300).arg(i % 10),
                              QStringLiteral("%1,%2").arg(i % 30).arg(i % 7),
                              QStringLiteral("%1,%2").arg(i % 25).arg(i % 9),
                              QStringLiteral("%1,%2").arg(i % 80).arg(i % 4)});
            }
            meals[meal]->setRows(texts);
            lists[meal] = meals[meal].get();
        }
        input = MakePlanPrintInput(lists, TotalsDisplayTexts(ComputeTotals(lists).sums));
    }
};

void BM_LayoutOnRecordingCanvas(benchmark::State &state)
{
    SetDecimalSeparator(QLatin1Char(','));
    const Plan plan(int(state.range(0)));
    RecordingCanvas canvas(4800, 6600, 600);
    PlanPrintLayout layout(canvas);
    for (auto _ : state) {
        canvas.clear();
        layout.PrintPages(plan.input);
        benchmark::DoNotOptimize(canvas.items().size());
    }
    state.counters["pages"] = canvas.pageCount();
}
BENCHMARK(BM_LayoutOnRecordingCanvas)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_PrintToPdf(benchmark::State &state)
{
    SetDecimalSeparator(QLatin1Char(','));
    const Plan plan(int(state.range(0)));
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("plan.pdf")));
    for (auto _ : state)
        PrintPlan(printer, plan.input);
}
BENCHMARK(BM_PrintToPdf)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Fonts and the printer need the application object.
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
