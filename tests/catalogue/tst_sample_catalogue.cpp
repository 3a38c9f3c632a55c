#include "catalogue/csv_food_list.h"
#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "core/number_text.h"
#include "core/text_table_model.h"
#include "tests/support/source_path.h"

#include <QtTest>

// The catalogues shipped with the program must load as they stand, save back
// to the same bytes and already be in the order the list keeps; the food
// table must hold the extract it is made from, food for food.
class tst_SampleCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void enoughFoods();
    void valuesAreNumbers_data();
    void valuesAreNumbers();
    void savesToTheSameBytes_data();
    void savesToTheSameBytes();
    void alreadySorted_data();
    void alreadySorted();
    void foodTableIsTheExtract();

private:
    static void shippedCatalogues();
};

namespace {

const QString SampleFile = SourcePath(u"resources/sample/Lebensmittel.lmk");
const QString FoodTableFile = SourcePath(u"resources/sample/Bundeslebensmittelschlüssel 4.0.csv");
const QString ExtractFile = SourcePath(u"resources/bls-4.0/bls_4_0_macros.tsv");

QByteArray fileBytes(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(fileName));
    return file.readAll();
}

// The lists' order under German regional settings, whatever the test's locale.
TextTableModel germanList()
{
    QCollator collator(QLocale(QLocale::German, QLocale::Germany));
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return TextTableModel(ToStringList(FoodColumnNames), collator);
}

} // namespace

void tst_SampleCatalogue::initTestCase()
{
    SetDecimalSeparator(QLatin1Char(','));
}

void tst_SampleCatalogue::shippedCatalogues()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("sample") << SampleFile;
    QTest::newRow("food table") << FoodTableFile;
}

void tst_SampleCatalogue::enoughFoods()
{
    const QList<FoodRecord> foods = ReadFoodList(SampleFile).rows();
    QVERIFY2(foods.size() >= 150, qPrintable(QString::number(foods.size())));
    QStringList names;
    for (const FoodRecord &food : foods)
        names.append(food.at(0));
    // Read as Windows-1252, these names come out whole only if the file is.
    for (const QString &name :
         {QStringLiteral("Brötchen"), QStringLiteral("Hähnchenbrust"), QStringLiteral("Müsli"),
          QStringLiteral("Rührei"), QStringLiteral("Weißkohl"), QStringLiteral("Möhre"),
          QStringLiteral("Crème fraîche"), QStringLiteral("Ölsardinen")})
        QVERIFY2(names.contains(name), qPrintable(name));
    QCOMPARE(names.removeDuplicates(), 0);
}

void tst_SampleCatalogue::valuesAreNumbers_data()
{
    shippedCatalogues();
}

void tst_SampleCatalogue::valuesAreNumbers()
{
    QFETCH(QString, fileName);
    const QList<FoodRecord> foods = ReadFoodList(fileName).rows();
    QVERIFY(!foods.isEmpty());
    for (const FoodRecord &food : foods) {
        QVERIFY(!food.at(0).isEmpty());
        for (int column = 1; column < FoodFieldCount; ++column) {
            const QString &text = food.at(column);
            Extended value = -1;
            try {
                value = ParseNumber(text);
            } catch (const std::exception &) {
                QFAIL(qPrintable(food.at(0) + QStringLiteral(": ") + text));
            }
            QVERIFY2(value >= 0 && value <= (column == 1 ? 900 : 100),
                     qPrintable(food.at(0) + QStringLiteral(": ") + text));
        }
    }
}

void tst_SampleCatalogue::savesToTheSameBytes_data()
{
    shippedCatalogues();
}

void tst_SampleCatalogue::savesToTheSameBytes()
{
    QFETCH(QString, fileName);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The same name, so the same format.
    const QString copy = dir.filePath(QFileInfo(fileName).fileName());
    WriteFoodList(copy, ReadFoodList(fileName));
    QCOMPARE(fileBytes(copy), fileBytes(fileName));
}

void tst_SampleCatalogue::alreadySorted_data()
{
    shippedCatalogues();
}

void tst_SampleCatalogue::alreadySorted()
{
    QFETCH(QString, fileName);
    const QList<FoodRecord> foods = ReadFoodList(fileName).rows();
    TextTableModel model = germanList();
    model.setRows(foods);
    QCOMPARE(model.allRows(), foods);
}

// The extract's German name and its four values with the decimal comma, in
// the list's order, written as the program writes a CSV: that is the file.
void tst_SampleCatalogue::foodTableIsTheExtract()
{
    QList<FoodRecord> extract;
    const QStringList lines = QString::fromUtf8(fileBytes(ExtractFile)).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        // code, name_de, name_en, kcal, protein_g, fat_g, carbs_g, minerals
        const QStringList cells = line.split(QLatin1Char('\t'));
        QCOMPARE(cells.size(), 10);
        FoodRecord food{cells[1]};
        for (int cell = 3; cell <= 6; ++cell)
            food.append(QString(cells[cell]).replace(QLatin1Char('.'), QLatin1Char(',')));
        extract.append(food);
    }
    QCOMPARE(extract.size(), 7140);

    TextTableModel model = germanList();
    model.setRows(extract);
    const QList<FoodRecord> expected = model.allRows();
    const QList<FoodRecord> shipped = ReadFoodList(FoodTableFile).rows();
    QCOMPARE(shipped.size(), expected.size());
    for (qsizetype row = 0; row < shipped.size(); ++row)
        QCOMPARE(shipped[row], expected[row]);
    QCOMPARE(fileBytes(FoodTableFile),
             CsvFoodListBytes(TextStore::fromRows(expected, FoodFieldCount)));
}

QTEST_APPLESS_MAIN(tst_SampleCatalogue)
#include "tst_sample_catalogue.moc"
