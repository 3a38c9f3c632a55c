// Loading and saving a catalogue of 100,000 foods, as "Öffnen" and
// "Speichern" do it: load is ReadLines, FoodsFromLines and the list model's
// setRows; save is taking the rows from the model, CheckStorable,
// LinesFromFoods and WriteLines. The file lives in a temporary folder.

#include "app/text_table_model.h"
#include "catalogue/food_list_file.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr int FoodCount = 100000;

QStringList catalogueHeaders()
{
    return {QStringLiteral("Name"), QStringLiteral("Kalorien"), QStringLiteral("Eiweiss"),
            QStringLiteral("Fett"), QStringLiteral("Kohlenhydrate")};
}

QString numberText(std::mt19937 &random, int upTo)
{
    const int tenths = int(random() % unsigned(upTo * 10 + 1));
    return QString::number(tenths / 10) + QLatin1Char(',') + QString::number(tenths % 10);
}

// Names as a large catalogue has them: a food, its kind and how it is made,
// with umlauts and ß in all three parts.
QList<FoodRecord> makeFoods(bool shuffled)
{
    const QStringList foods{
        u"Apfel"_s,       u"Äpfel"_s,        u"Brötchen"_s,   u"Hähnchenbrust"_s, u"Käse"_s,
        u"Möhre"_s,       u"Müsli"_s,        u"Rührei"_s,     u"Weißkohl"_s,      u"Kürbis"_s,
        u"Grünkohl"_s,    u"Süßkartoffel"_s, u"Nüsse"_s,      u"Joghurt"_s,       u"Quark"_s,
        u"Brot"_s,        u"Nudeln"_s,       u"Reis"_s,       u"Lachs"_s,         u"Putenbrust"_s,
        u"Rinderhack"_s,  u"Würstchen"_s,    u"Schokolade"_s, u"Konfitüre"_s,     u"Soße"_s,
        u"Gemüsesuppe"_s, u"Kartoffeln"_s,   u"Bohnen"_s,     u"Erbsen"_s,        u"Zwiebeln"_s,
        u"Öl"_s,          u"Butter"_s,       u"Milch"_s,      u"Sahne"_s,         u"Eier"_s,
        u"Tomaten"_s,     u"Gurken"_s,       u"Paprika"_s,    u"Birnen"_s,        u"Pflaumen"_s,
    };
    const QStringList kinds{
        u"Bio"_s,         u"fettarm"_s,    u"Vollkorn"_s,   u"ungesüßt"_s,  u"geräuchert"_s,
        u"grün"_s,        u"rot"_s,        u"weiß"_s,       u"süß-sauer"_s, u"mittelalt"_s,
        u"jung"_s,        u"Klassik"_s,    u"Landfrauen"_s, u"Öko"_s,       u"Hausmacher"_s,
        u"französisch"_s, u"griechisch"_s, u"Tiefkühl"_s,   u"Dose"_s,      u"Glas"_s,
    };
    const QStringList preparations{
        u"roh"_s,
        u"gekocht"_s,
        u"gebraten"_s,
        u"gedünstet"_s,
        u"gegrillt"_s,
        u"überbacken"_s,
        u"püriert"_s,
        u"getrocknet"_s,
        u"frittiert"_s,
        u"geschmort"_s,
        u"paniert"_s,
        u"gerieben"_s,
        u"gefüllt"_s,
        u"mariniert"_s,
        u"blanchiert"_s,
        u"im Ofen gegart"_s,
        u"aus der Pfanne"_s,
        u"mit Soße"_s,
        u"ohne Zucker"_s,
        u"mit Kräutern"_s,
    };
    std::mt19937 random(2024);
    QList<FoodRecord> result;
    result.reserve(FoodCount);
    for (int i = 0; i < FoodCount; ++i) {
        const qsizetype food = i % foods.size();
        const qsizetype kind = (i / foods.size()) % kinds.size();
        const qsizetype preparation = (i / (foods.size() * kinds.size())) % preparations.size();
        // 40 × 20 × 20 = 16,000 combinations; a pack size tells the rest apart.
        const int pack = i / int(foods.size() * kinds.size() * preparations.size());
        QString name = foods[food] + u", "_s + kinds[kind] + u", "_s + preparations[preparation];
        if (pack > 0)
            name += u" "_s + QString::number(pack * 250) + u" g"_s;
        result.append({name, QString::number(random() % 900), numberText(random, 40),
                       numberText(random, 60), numberText(random, 90)});
    }
    if (shuffled)
        std::shuffle(result.begin(), result.end(), random);
    else
        std::sort(result.begin(), result.end(),
                  [collator = UserCollator()](const FoodRecord &a, const FoodRecord &b) {
                      return collator.compare(a.front(), b.front()) < 0;
                  });
    return result;
}

class CatalogueFile
{
public:
    explicit CatalogueFile(bool shuffled)
    {
        m_fileName = m_dir.filePath(u"Lebensmittel.lmk"_s);
        WriteLines(m_fileName, LinesFromFoods(makeFoods(shuffled)));
    }
    const QString &fileName() const { return m_fileName; }

private:
    QTemporaryDir m_dir;
    QString m_fileName;
};

// The loaded list must be the catalogue in its one sorted order (the names
// are all different), whatever order the file had.
bool loadedInOrder(const TextTableModel &model)
{
    static const QList<FoodRecord> expected = makeFoods(false);
    return model.allRows() == expected;
}

void load(TextTableModel &model, const QString &fileName)
{
    model.setRows(FoodsFromLines(ReadLines(fileName)));
}

void loadBenchmark(benchmark::State &state, bool shuffled)
{
    const CatalogueFile file(shuffled);
    TextTableModel model(catalogueHeaders());
    for (auto _ : state) {
        load(model, file.fileName());
        benchmark::DoNotOptimize(model.rowCount());
    }
    if (!loadedInOrder(model))
        state.SkipWithError("the catalogue was not loaded in its sorted order");
}

void BM_LoadSavedCatalogue(benchmark::State &state)
{
    loadBenchmark(state, false);
}

void BM_LoadUnsortedCatalogue(benchmark::State &state)
{
    loadBenchmark(state, true);
}

void BM_SaveCatalogue(benchmark::State &state)
{
    const CatalogueFile file(true);
    TextTableModel model(catalogueHeaders());
    load(model, file.fileName());
    const QString target = QFileInfo(file.fileName()).dir().filePath(u"Kopie.lmk"_s);
    for (auto _ : state) {
        const QList<FoodRecord> foods = model.allRows();
        CheckStorable(foods);
        WriteLines(target, LinesFromFoods(foods));
    }
    if (QFileInfo(target).size() < FoodCount * 20)
        state.SkipWithError("the catalogue was not written");
}

} // namespace

BENCHMARK(BM_LoadSavedCatalogue)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadUnsortedCatalogue)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveCatalogue)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
