#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "core/number_text.h"
#include "core/text_table_model.h"

#include <QtTest>

// The sample catalogue shipped with the program must load as it stands, save
// back to the same bytes and already be in the order the list keeps.
class tst_SampleCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void enoughFoods();
    void valuesAreNumbers();
    void savesToTheSameBytes();
    void alreadySorted();

private:
    QString m_fileName;
    QList<FoodRecord> m_foods;
};

void tst_SampleCatalogue::initTestCase()
{
    SetDecimalSeparator(QLatin1Char(','));
    m_fileName = QStringLiteral(MENUVERA_SOURCE_DIR "/resources/sample/Lebensmittel.lmk");
    m_foods = ReadFoodList(m_fileName).rows();
}

void tst_SampleCatalogue::enoughFoods()
{
    QVERIFY2(m_foods.size() >= 150, qPrintable(QString::number(m_foods.size())));
    QStringList names;
    for (const FoodRecord &food : m_foods)
        names.append(food.at(0));
    // Read as Windows-1252, these names come out whole only if the file is.
    for (const QString &name :
         {QStringLiteral("Brötchen"), QStringLiteral("Hähnchenbrust"), QStringLiteral("Müsli"),
          QStringLiteral("Rührei"), QStringLiteral("Weißkohl"), QStringLiteral("Möhre"),
          QStringLiteral("Crème fraîche"), QStringLiteral("Ölsardinen")})
        QVERIFY2(names.contains(name), qPrintable(name));
    QCOMPARE(names.removeDuplicates(), 0);
}

void tst_SampleCatalogue::valuesAreNumbers()
{
    for (const FoodRecord &food : m_foods) {
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

void tst_SampleCatalogue::savesToTheSameBytes()
{
    QFile file(m_fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(QStringLiteral("Lebensmittel.lmk"));
    WriteFoodList(copy, TextStore::fromRows(m_foods, FoodFieldCount));
    QFile written(copy);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), original);
}

void tst_SampleCatalogue::alreadySorted()
{
    TextTableModel model({QStringLiteral("Name"), QStringLiteral("Kalorien"),
                          QStringLiteral("Eiweiss"), QStringLiteral("Fett"),
                          QStringLiteral("Kohlenhydrate")});
    model.setRows(m_foods);
    QCOMPARE(model.allRows(), m_foods);
}

QTEST_APPLESS_MAIN(tst_SampleCatalogue)
#include "tst_sample_catalogue.moc"
