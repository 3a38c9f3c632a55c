// Searching a catalogue of 7,140 (the national food table's size) and
// 1,000,000 foods as the search dialog does it, keystroke by keystroke.
//
// Keystroke: the user has typed the first k-1 letters of "hähnchenbrust" and
// types the k-th; measured is the search and the dialog's list painting its
// first page (the count is known with it). The first letter looks at every
// food, the later ones only at the earlier matches. New word: the text
// changed so that nothing of the earlier matches is of use ("brust" after
// "kase"), so every food is looked at again. Fold: the folded names made
// afresh after a load, once per catalogue change; its counter gives their
// memory against the names' own bytes (one a letter in the catalogue).

#include "bench/support/generated_catalogue.h"
#include "catalogue/suchen_dialog.h"
#include "core/name_search_model.h"
#include "core/text_table_model.h"
#include "widgets/text_list_view.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>

#include <map>
#include <memory>

namespace {

const QString Typed = QStringLiteral("hähnchenbrust");

TextTableModel &catalogue(int count)
{
    static std::map<int, std::unique_ptr<TextTableModel>> catalogues;
    auto &model = catalogues[count];
    if (!model) {
        model = std::make_unique<TextTableModel>(CatalogueHeaders());
        model->setRows(MakeFoods(count));
    }
    return *model;
}

// The dialog as the user sees it, its field typed into as by the keyboard.
struct ShownDialog
{
    explicit ShownDialog(TextTableModel &model) : dialog(&model)
    {
        dialog.show();
        QCoreApplication::processEvents();
    }
    void type(const QString &text)
    {
        dialog.field()->setText(text);
        Q_EMIT dialog.field()->textEdited(text);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(dialog.list()->grab().cacheKey());
    }
    TSuchen dialog;
};

void BM_Keystroke(benchmark::State &state)
{
    ShownDialog shown(catalogue(int(state.range(0))));
    const auto letters = qsizetype(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        shown.type(Typed.left(letters - 1));
        state.ResumeTiming();
        shown.type(Typed.left(letters));
    }
    state.counters["matches"] = shown.dialog.list()->model()->rowCount();
}

void BM_NewWord(benchmark::State &state)
{
    ShownDialog shown(catalogue(int(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        shown.type(QStringLiteral("kase"));
        state.ResumeTiming();
        shown.type(QStringLiteral("brust"));
    }
    state.counters["matches"] = shown.dialog.list()->model()->rowCount();
}

// The search alone, without the list: one letter, every food looked at.
void BM_FindLetter(benchmark::State &state)
{
    NameSearchModel search(&catalogue(int(state.range(0))));
    // The folded names are made before.
    search.search(QString());
    for (auto _ : state) {
        state.PauseTiming();
        search.search(QString());
        state.ResumeTiming();
        search.search(QStringLiteral("h"));
    }
}

void BM_Fold(benchmark::State &state)
{
    const TextTableModel &model = catalogue(int(state.range(0)));
    FoldedNames folded;
    for (auto _ : state)
        folded.rebuild(model.store());
    QString scratch;
    size_t nameBytes = 0;
    for (int row = 0; row < model.rowCount(); ++row)
        nameBytes += size_t(model.store().textView(row, 0, scratch).size());
    state.counters["memory_per_name_byte"] = double(folded.memoryBytes()) / double(nameBytes);
}

void sizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(7140)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK(BM_Keystroke)
    ->ArgsProduct({{7140, 1000000}, {1, 2, 5, 9, 13}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_NewWord)->Apply(sizes);
BENCHMARK(BM_FindLetter)->Apply(sizes);
BENCHMARK(BM_Fold)->Apply(sizes);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
