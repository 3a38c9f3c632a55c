// Opening and saving catalogues of 1,000 to 1,000,000 foods, as "Öffnen" and
// "Speichern" do it, and editing single foods in the largest.
//
// Open is ReadFoodList and the list model's setRows (read, split into the
// row store, make collation keys, sort); "to first screen" adds the list view
// painting its first page. The shuffled files make every open really sort;
// the sorted ones are what the program saves, in the order of the list. The
// floor reads the same file with the standard library alone, splits it into
// std::string fields and sorts the rows bytewise: the least any reader of
// this file can do. Save is WriteFoodList. The spreadsheet benchmarks do the
// same with the shuffled foods saved as a ".csv" file (UTF-8, quoted where
// needed). The files live in a temporary folder.
//
// Peak memory is measured in a child process per size: it opens the file
// into a shown list as the main window does and reports its VmHWM; the floor
// child does the same with the floor reader.

#include "bench/support/child_process.h"
#include "bench/support/floor_reader.h"
#include "bench/support/generated_catalogue.h"
#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "core/text_table_model.h"
#include "widgets/text_list_view.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>

using namespace Qt::StringLiterals;

namespace {

// The column widths of the catalogue list in the main window.
const QList<int> ListColumnWidths = ToList(FoodColumnWidths);

struct CatalogueFile
{
    QString fileName;
    quint64 fingerprint = 0;
};

QTemporaryDir &benchFolder()
{
    static QTemporaryDir dir;
    return dir;
}

// One shuffled file per size, made on first use and kept for the whole run.
const CatalogueFile &catalogueFile(int count)
{
    static std::map<int, CatalogueFile> files;
    auto found = files.find(count);
    if (found != files.end())
        return found->second;
    const QList<FoodRecord> foods = MakeFoods(count);
    CatalogueFile file{benchFolder().filePath(u"Lebensmittel-%1.lmk"_s.arg(count)),
                       FoodsFingerprint(foods)};
    WriteCatalogueFile(file.fileName, foods);
    return files.emplace(count, file).first->second;
}

// The same foods as the program saves them: in the order of the list.
const CatalogueFile &sortedCatalogueFile(int count)
{
    static std::map<int, CatalogueFile> files;
    auto found = files.find(count);
    if (found != files.end())
        return found->second;
    const CatalogueFile &shuffled = catalogueFile(count);
    TextTableModel model(CatalogueHeaders());
    model.setRows(ReadFoodList(shuffled.fileName));
    CatalogueFile file{benchFolder().filePath(u"Lebensmittel-%1-sortiert.lmk"_s.arg(count)),
                       shuffled.fingerprint};
    WriteFoodList(file.fileName, model.store());
    return files.emplace(count, file).first->second;
}

// The shuffled foods as the program saves them in a spreadsheet file.
const CatalogueFile &csvCatalogueFile(int count)
{
    static std::map<int, CatalogueFile> files;
    auto found = files.find(count);
    if (found != files.end())
        return found->second;
    const CatalogueFile &shuffled = catalogueFile(count);
    CatalogueFile file{benchFolder().filePath(u"Lebensmittel-%1.csv"_s.arg(count)),
                       shuffled.fingerprint};
    WriteFoodList(file.fileName, ReadFoodList(shuffled.fileName));
    return files.emplace(count, file).first->second;
}

void open(TextTableModel &model, const QString &fileName)
{
    model.setRows(ReadFoodList(fileName));
}

bool sortedByCollation(const TextTableModel &model)
{
    const QCollator collator = UserCollator();
    for (int row = 1; row < model.rowCount(); ++row) {
        if (collator.compare(model.text(row - 1, 0), model.text(row, 0)) > 0)
            return false;
    }
    return true;
}

// Every food with every value, in the order of the collation.
bool openedCorrectly(const TextTableModel &model, const CatalogueFile &file)
{
    return sortedByCollation(model) && FoodsFingerprint(model.allRows()) == file.fingerprint;
}

void openBenchmark(benchmark::State &state, const CatalogueFile &file)
{
    TextTableModel model(CatalogueHeaders());
    for (auto _ : state) {
        open(model, file.fileName);
        benchmark::DoNotOptimize(model.rowCount());
    }
    if (!openedCorrectly(model, file))
        state.SkipWithError("the catalogue was not opened in its sorted order");
}

void BM_Open(benchmark::State &state)
{
    openBenchmark(state, catalogueFile(int(state.range(0))));
}

void BM_OpenSorted(benchmark::State &state)
{
    openBenchmark(state, sortedCatalogueFile(int(state.range(0))));
}

void BM_OpenCsv(benchmark::State &state)
{
    openBenchmark(state, csvCatalogueFile(int(state.range(0))));
}

void BM_OpenToFirstScreen(benchmark::State &state)
{
    const CatalogueFile &file = catalogueFile(int(state.range(0)));
    TextTableModel model(CatalogueHeaders());
    TextListView view(&model, ListColumnWidths);
    view.resize(560, 420);
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        open(model, file.fileName);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(view.grab().cacheKey());
    }
    if (!openedCorrectly(model, file))
        state.SkipWithError("the catalogue was not opened in its sorted order");
}

void BM_OpenFloor(benchmark::State &state)
{
    const CatalogueFile &file = catalogueFile(int(state.range(0)));
    const std::string fileName = file.fileName.toStdString();
    size_t rows = 0;
    for (auto _ : state) {
        const std::vector<FloorRow> opened = FloorOpen(fileName);
        rows = opened.size();
        benchmark::DoNotOptimize(opened.data());
    }
    if (rows != size_t(state.range(0)))
        state.SkipWithError("the floor reader lost foods");
}

// Saves the catalogue under the given name, whose ending picks the format,
// and checks that it reads back the same.
void saveAs(benchmark::State &state, const QString &name)
{
    const CatalogueFile &file = catalogueFile(int(state.range(0)));
    TextTableModel model(CatalogueHeaders());
    open(model, file.fileName);
    const QString target = QFileInfo(file.fileName).dir().filePath(name);
    for (auto _ : state)
        WriteFoodList(target, model.store());
    TextTableModel reopened(CatalogueHeaders());
    open(reopened, target);
    if (reopened.allRows() != model.allRows())
        state.SkipWithError("the saved catalogue does not read back the same");
}

void BM_Save(benchmark::State &state)
{
    saveAs(state, u"Kopie.lmk"_s);
}

void BM_SaveCsv(benchmark::State &state)
{
    saveAs(state, u"Kopie.csv"_s);
}

// The catalogue shown in a list, as in the main window, with a row selected.
struct ShownCatalogue
{
    TextTableModel model{CatalogueHeaders()};
    TextListView view{&model, ListColumnWidths};

    explicit ShownCatalogue(int count)
    {
        open(model, catalogueFile(count).fileName);
        view.resize(560, 420);
        view.show();
        view.selectRow(count / 2);
        QCoreApplication::processEvents();
    }
};

void BM_RenameFood(benchmark::State &state)
{
    ShownCatalogue shown(int(state.range(0)));
    const QList<FoodRecord> names = MakeFoods(4096, 99);
    std::mt19937 random(7);
    int i = 0;
    for (auto _ : state) {
        const int row = int(random() % unsigned(shown.model.rowCount()));
        const QString name = names[i++ % names.size()].front() + u" (neu)"_s;
        benchmark::DoNotOptimize(shown.model.setName(row, name));
    }
    if (!sortedByCollation(shown.model))
        state.SkipWithError("a renamed food did not move to its place");
}

void BM_NewFood(benchmark::State &state)
{
    ShownCatalogue shown(int(state.range(0)));
    const QList<FoodRecord> foods = MakeFoods(4096, 98);
    int i = 0;
    for (auto _ : state) {
        FoodRecord food = foods[i++ % foods.size()];
        food.front() += u" (neu)"_s;
        benchmark::DoNotOptimize(shown.model.appendRow(food));
    }
    if (shown.model.rowCount() != state.range(0) + state.iterations())
        state.SkipWithError("a new food was lost");
}

void BM_RemoveFood(benchmark::State &state)
{
    ShownCatalogue shown(int(state.range(0)));
    std::mt19937 random(8);
    for (auto _ : state)
        shown.model.removeRow(int(random() % unsigned(shown.model.rowCount())));
    if (shown.model.rowCount() != state.range(0) - state.iterations())
        state.SkipWithError("a removal was lost");
}

// One search as the user types the first letters of a name, each key as the
// view gets it: the first 1 to 6 letters of a food, in lower case.
void BM_TypeAhead(benchmark::State &state)
{
    ShownCatalogue shown(int(state.range(0)));
    std::mt19937 random(9);
    bool found = true;
    for (auto _ : state) {
        state.PauseTiming();
        const int row = int(random() % unsigned(shown.model.rowCount()));
        const QString typed = shown.model.text(row, 0).left(1 + int(random() % 6)).toLower();
        // An empty search starts the next one afresh.
        shown.view.keyboardSearch(QString());
        state.ResumeTiming();
        shown.view.keyboardSearch(typed);
        state.PauseTiming();
        const int selected = shown.view.selectedRow();
        found = found && selected >= 0 &&
                shown.model.text(selected, 0).startsWith(typed, Qt::CaseInsensitive);
        state.ResumeTiming();
    }
    if (!found)
        state.SkipWithError("typing did not select a food beginning with the letters");
}

// Runs in the child: opens the file into a shown list as the main window
// does, then prints the peak memory in kB.
int peakMemoryChild(const QString &fileName)
{
    TextTableModel model(CatalogueHeaders());
    TextListView view(&model, ListColumnWidths);
    view.resize(560, 420);
    view.show();
    model.setRows(ReadFoodList(fileName));
    QCoreApplication::processEvents();
    view.grab();
    std::printf("%ld\n", PeakResidentKilobytes());
    return 0;
}

int floorPeakMemoryChild(const QString &fileName)
{
    const std::vector<FloorRow> rows = FloorOpen(fileName.toStdString());
    std::printf("%ld %zu\n", PeakResidentKilobytes(), rows.size());
    return 0;
}

void peakMemory(benchmark::State &state, const QString &mode)
{
    const QString fileName = catalogueFile(int(state.range(0))).fileName;
    double megabytes = 0;
    for (auto _ : state) {
        const ChildRun run = RunSelf({mode, fileName});
        if (run.exitStatus != 0) {
            state.SkipWithError("the child process failed");
            return;
        }
        megabytes = run.firstLine.split(' ').front().toDouble() / 1024;
    }
    state.counters["peak_MB"] = megabytes;
}

void BM_OpenPeakMemory(benchmark::State &state)
{
    peakMemory(state, u"--peak-memory"_s);
}

void BM_OpenFloorPeakMemory(benchmark::State &state)
{
    peakMemory(state, u"--floor-peak-memory"_s);
}

constexpr int Sizes[] = {1000, 10000, 100000, 1000000};

void sizes(benchmark::internal::Benchmark *benchmark)
{
    for (int size : Sizes)
        benchmark->Arg(size);
}

} // namespace

BENCHMARK(BM_Open)
    ->Apply(sizes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_OpenSorted)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_OpenCsv)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_OpenToFirstScreen)
    ->Apply(sizes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_OpenFloor)->Apply(sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Save)->Apply(sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveCsv)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenameFood)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NewFood)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RemoveFood)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TypeAhead)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
// The header-only file gives the memory of the empty program for comparison.
BENCHMARK(BM_OpenPeakMemory)
    ->Arg(0)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_OpenFloorPeakMemory)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArrayView(argv[1]) == "--floor-peak-memory")
        return floorPeakMemoryChild(QString::fromLocal8Bit(argv[2]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The list view needs the application object.
    QApplication app(argc, argv);
    if (argc == 3 && QByteArrayView(argv[1]) == "--peak-memory")
        return peakMemoryChild(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
