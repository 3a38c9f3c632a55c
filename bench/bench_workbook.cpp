// Opening the food table as the program ships it, and workbooks of the
// table's size (7,140 foods × 418 columns, written by LibreOffice Calc as
// bench/data/bls_form_full.xlsx and .ods), as "Öffnen" does: ReadFoodList
// and the list model's setRows, and the list view painting its first page.
//
// The floor of a workbook is inflating its sheet part alone with unzip
// (unzip -p ... > /dev/null), run as a child process in the same run, so
// that the ratio of the two is what a shared, noisy machine can compare.
// Peak memory: a child process opens the workbook into a shown list and
// reports its VmHWM.

#include "bench/support/child_process.h"
#include "catalogue/food_files.h"
#include "core/food_columns.h"
#include "core/number_text.h"
#include "core/text_table_model.h"
#include "tests/support/source_path.h"
#include "widgets/text_list_view.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QString FoodTable = SourcePath(u"resources/sample/Bundeslebensmittelschlüssel 4.0.csv");

struct Workbook
{
    QString fileName;
    QString sheetPart;
};

const Workbook Workbooks[] = {
    {SourcePath(u"bench/data/bls_form_full.xlsx"), QStringLiteral("xl/worksheets/sheet1.xml")},
    {SourcePath(u"bench/data/bls_form_full.ods"), QStringLiteral("content.xml")},
};

QStringList catalogueHeaders()
{
    return ToStringList(FoodColumnNames);
}

void openThroughTheWindow(benchmark::State &state, const QString &fileName, int expectedFoods)
{
    if (!QFile::exists(fileName)) {
        state.SkipWithError("the file is missing");
        return;
    }
    TextTableModel model(catalogueHeaders());
    TextListView view(&model, ToList(FoodColumnWidths));
    view.resize(560, 420);
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        model.setRows(ReadFoodList(fileName));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(view.grab().cacheKey());
    }
    if (model.rowCount() != expectedFoods)
        state.SkipWithError("not every food was opened");
}

void BM_OpenFoodTable(benchmark::State &state)
{
    openThroughTheWindow(state, FoodTable, 7140);
}

void BM_OpenWorkbook(benchmark::State &state)
{
    openThroughTheWindow(state, Workbooks[state.range(0)].fileName, 7140);
}

void BM_InflateSheetWithUnzip(benchmark::State &state)
{
    const Workbook &workbook = Workbooks[state.range(0)];
    for (auto _ : state) {
        QProcess unzip;
        unzip.setStandardOutputFile(QProcess::nullDevice());
        unzip.start(u"unzip"_s, {u"-p"_s, workbook.fileName, workbook.sheetPart});
        if (!unzip.waitForFinished(-1) || unzip.exitCode() != 0) {
            state.SkipWithError("unzip failed");
            return;
        }
    }
}

int peakMemoryChild(const QString &fileName)
{
    TextTableModel model(catalogueHeaders());
    TextListView view(&model, ToList(FoodColumnWidths));
    view.show();
    model.setRows(ReadFoodList(fileName));
    QCoreApplication::processEvents();
    std::printf("%ld %d\n", PeakResidentKilobytes(), model.rowCount());
    return 0;
}

// Argument 2 is the program without a file, for comparison.
void BM_WorkbookPeakMemory(benchmark::State &state)
{
    const QString fileName = state.range(0) < 2 ? Workbooks[state.range(0)].fileName : FoodTable;
    double megabytes = 0;
    for (auto _ : state) {
        const ChildRun run = RunSelf({u"--peak-memory"_s, fileName});
        if (run.exitStatus != 0) {
            state.SkipWithError("the child process failed");
            return;
        }
        megabytes = run.firstLine.split(' ').front().toDouble() / 1024;
    }
    state.counters["peak_MiB"] = megabytes;
}

} // namespace

// 0: .xlsx, 1: .ods
BENCHMARK(BM_OpenFoodTable)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_OpenWorkbook)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_InflateSheetWithUnzip)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WorkbookPeakMemory)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The numbers of a German user.
    SetDecimalSeparator(u',');
    if (argc == 3 && QByteArrayView(argv[1]) == "--peak-memory")
        return peakMemoryChild(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
