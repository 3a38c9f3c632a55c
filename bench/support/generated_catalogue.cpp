#include "bench/support/generated_catalogue.h"

#include "catalogue/food_files.h"

#include <QHash>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace {

QString numberText(std::mt19937 &random, int upTo)
{
    const int tenths = int(random() % unsigned(upTo * 10 + 1));
    return QString::number(tenths / 10) + QLatin1Char(',') + QString::number(tenths % 10);
}

} // namespace

QStringList CatalogueHeaders()
{
    return ToStringList(FoodColumnNames);
}

QList<FoodRecord> MakeFoods(int count, unsigned seed)
{
    static const QStringList foods{
        u"Apfel"_s,       u"Äpfel"_s,        u"Brötchen"_s,   u"Hähnchenbrust"_s, u"Käse"_s,
        u"Möhre"_s,       u"Müsli"_s,        u"Rührei"_s,     u"Weißkohl"_s,      u"Kürbis"_s,
        u"Grünkohl"_s,    u"Süßkartoffel"_s, u"Nüsse"_s,      u"Joghurt"_s,       u"Quark"_s,
        u"Brot"_s,        u"Nudeln"_s,       u"Reis"_s,       u"Lachs"_s,         u"Putenbrust"_s,
        u"Rinderhack"_s,  u"Würstchen"_s,    u"Schokolade"_s, u"Konfitüre"_s,     u"Soße"_s,
        u"Gemüsesuppe"_s, u"Kartoffeln"_s,   u"Bohnen"_s,     u"Erbsen"_s,        u"Zwiebeln"_s,
        u"Öl"_s,          u"Butter"_s,       u"Milch"_s,      u"Sahne"_s,         u"Eier"_s,
        u"Tomaten"_s,     u"Gurken"_s,       u"Paprika"_s,    u"Birnen"_s,        u"Pflaumen"_s,
    };
    static const QStringList kinds{
        u"Bio"_s,         u"fettarm"_s,    u"Vollkorn"_s,   u"ungesüßt"_s,  u"geräuchert"_s,
        u"grün"_s,        u"rot"_s,        u"weiß"_s,       u"süß-sauer"_s, u"mittelalt"_s,
        u"jung"_s,        u"Klassik"_s,    u"Landfrauen"_s, u"Öko"_s,       u"Hausmacher"_s,
        u"französisch"_s, u"griechisch"_s, u"Tiefkühl"_s,   u"Dose"_s,      u"Glas"_s,
    };
    static const QStringList preparations{
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
    std::mt19937 random(seed);
    QList<FoodRecord> result;
    result.reserve(count);
    const int combinations = int(foods.size() * kinds.size() * preparations.size());
    for (int i = 0; i < count; ++i) {
        const qsizetype food = i % foods.size();
        const qsizetype kind = (i / foods.size()) % kinds.size();
        const qsizetype preparation = (i / (foods.size() * kinds.size())) % preparations.size();
        // 40 × 20 × 20 = 16,000 combinations; a pack size tells the rest apart.
        const int pack = i / combinations;
        QString name = foods[food] + u", "_s + kinds[kind] + u", "_s + preparations[preparation];
        if (pack > 0)
            name += u" "_s + QString::number(pack * 250) + u" g"_s;
        result.append({name, QString::number(random() % 900), numberText(random, 40),
                       numberText(random, 60), numberText(random, 90)});
    }
    std::shuffle(result.begin(), result.end(), random);
    return result;
}

quint64 FoodsFingerprint(const QList<FoodRecord> &foods)
{
    quint64 sum = 0;
    for (const FoodRecord &food : foods)
        sum += qHash(food.join(QLatin1Char(';')), 7);
    return sum;
}

void WriteCatalogueFile(const QString &fileName, const QList<FoodRecord> &foods)
{
    WriteFoodList(fileName, TextStore::fromRows(foods, FoodFieldCount));
}
