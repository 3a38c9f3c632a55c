// Opening and saving catalogues of 1,000 to 1,000,000 foods, as "Öffnen" and
// "Speichern" do it, and editing single foods in a large one.
//
// Open is ReadLines, FoodsFromLines and the list model's setRows (read,
// decode, split, fill, sort); "to first screen" adds the list view painting
// its first page. The floor reads the same file with the standard library
// alone, splits it into std::string fields and sorts the rows bytewise: the
// least any reader of this file can do. Save is CheckStorable,
// LinesFromFoods and WriteLines. The files are shuffled, so that the sort is
// really measured, and live in a temporary folder.
//
// Peak memory is measured in a child process per size: it opens the file
// into a shown list as the main window does and reports its VmHWM.

#include "app/text_list_view.h"
#include "app/text_table_model.h"
#include "bench/support/child_process.h"
#include "bench/support/generated_catalogue.h"
#include "catalogue/food_list_file.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The column widths of the catalogue list in the main window.
const QList<int> ListColumnWidths{220, 70, 70, 70, 100};

struct CatalogueFile
{
    QString fileName;
    quint64 fingerprint = 0;
};

// One file per size, made on first use and kept for the whole run.
const CatalogueFile &catalogueFile(int count)
{
    static QTemporaryDir dir;
    static std::map<int, CatalogueFile> files;
    auto found = files.find(count);
    if (found != files.end())
        return found->second;
    const QList<FoodRecord> foods = MakeFoods(count);
    CatalogueFile file{dir.filePath(u"Lebensmittel-%1.lmk"_s.arg(count)), FoodsFingerprint(foods)};
    WriteCatalogueFile(file.fileName, foods);
    return files.emplace(count, file).first->second;
}

void open(TextTableModel &model, const QString &fileName)
{
    model.setRows(ReadFoodList(fileName));
}

// Every food with every value, in the order of the collation.
bool openedCorrectly(const TextTableModel &model, const CatalogueFile &file)
{
    const QList<FoodRecord> rows = model.allRows();
    const QCollator collator = UserCollator();
    const bool sorted = std::is_sorted(rows.begin(), rows.end(),
                                       [&collator](const FoodRecord &a, const FoodRecord &b) {
                                           return collator.compare(a.front(), b.front()) < 0;
                                       });
    return sorted && FoodsFingerprint(rows) == file.fingerprint;
}

void BM_Open(benchmark::State &state)
{
    const CatalogueFile &file = catalogueFile(int(state.range(0)));
    TextTableModel model(CatalogueHeaders());
    for (auto _ : state) {
        open(model, file.fileName);
        benchmark::DoNotOptimize(model.rowCount());
    }
    if (!openedCorrectly(model, file))
        state.SkipWithError("the catalogue was not opened in its sorted order");
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

using FloorRow = std::vector<std::string>;

std::vector<FloorRow> floorOpen(const std::string &fileName)
{
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    std::string bytes(size_t(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), std::streamsize(bytes.size()));
    std::vector<FloorRow> rows;
    size_t start = bytes.find_first_of("\r\n");
    while (start != std::string::npos && start < bytes.size()) {
        while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n'))
            ++start;
        if (start >= bytes.size())
            break;
        const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        FloorRow row;
        row.reserve(6);
        size_t fieldStart = start;
        for (size_t i = start; i <= end; ++i) {
            if (i == end || bytes[i] == ';') {
                row.emplace_back(bytes, fieldStart, i - fieldStart);
                fieldStart = i + 1;
            }
        }
        rows.push_back(std::move(row));
        start = end;
    }
    std::sort(rows.begin(), rows.end(),
              [](const FloorRow &a, const FloorRow &b) { return a.front() < b.front(); });
    return rows;
}

void BM_OpenFloor(benchmark::State &state)
{
    const CatalogueFile &file = catalogueFile(int(state.range(0)));
    const std::string fileName = file.fileName.toStdString();
    size_t rows = 0;
    for (auto _ : state) {
        const std::vector<FloorRow> opened = floorOpen(fileName);
        rows = opened.size();
        benchmark::DoNotOptimize(opened.data());
    }
    if (rows != size_t(state.range(0)))
        state.SkipWithError("the floor reader lost foods");
}

void BM_Save(benchmark::State &state)
{
    const CatalogueFile &file = catalogueFile(int(state.range(0)));
    TextTableModel model(CatalogueHeaders());
    open(model, file.fileName);
    const QString target = QFileInfo(file.fileName).dir().filePath(u"Kopie.lmk"_s);
    for (auto _ : state) {
        WriteFoodList(target, model.store());
    }
    TextTableModel reopened(CatalogueHeaders());
    open(reopened, target);
    if (reopened.allRows() != model.allRows())
        state.SkipWithError("the saved catalogue does not read back the same");
}

// The 100,000-food catalogue shown in a list, as in the main window; a
// rename moves the row, a new food is inserted at its place.
struct ShownCatalogue
{
    TextTableModel model{CatalogueHeaders()};
    TextListView view{&model, ListColumnWidths};

    explicit ShownCatalogue(int count)
    {
        open(model, catalogueFile(count).fileName);
        view.resize(560, 420);
        view.show();
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
    const QList<FoodRecord> rows = shown.model.allRows();
    const QCollator collator = UserCollator();
    if (!std::is_sorted(rows.begin(), rows.end(),
                        [&collator](const FoodRecord &a, const FoodRecord &b) {
                            return collator.compare(a.front(), b.front()) < 0;
                        }))
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

void BM_OpenPeakMemory(benchmark::State &state)
{
    const QString fileName = catalogueFile(int(state.range(0))).fileName;
    double megabytes = 0;
    for (auto _ : state) {
        const ChildRun run = RunSelf({u"--peak-memory"_s, fileName});
        if (run.exitStatus != 0) {
            state.SkipWithError("the child process failed");
            return;
        }
        megabytes = run.firstLine.toDouble() / 1024;
    }
    state.counters["peak_MB"] = megabytes;
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
BENCHMARK(BM_OpenToFirstScreen)
    ->Apply(sizes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_OpenFloor)->Apply(sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Save)->Apply(sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenameFood)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NewFood)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
// The header-only file gives the memory of the empty program for comparison.
BENCHMARK(BM_OpenPeakMemory)
    ->Arg(0)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char **argv)
{
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
