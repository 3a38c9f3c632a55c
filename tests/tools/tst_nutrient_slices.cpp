#include "core/failure.h"
#include "core/number_text.h"
#include "tools/nutrient_slices.h"

#include <QtTest>

class tst_NutrientSlices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { SetDecimalSeparator(QLatin1Char(',')); }

    void labels_data();
    void labels();
    void valuesAreSingleEnergies();
    void coloursInOrder();
    void refused_data();
    void refused();
    void decimalPointSettings();
};

void tst_NutrientSlices::labels_data()
{
    QTest::addColumn<QString>("protein");
    QTest::addColumn<QString>("fat");
    QTest::addColumn<QString>("carbohydrate");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("apple-like food, mostly carbohydrate")
        << QStringLiteral("0,3") << QStringLiteral("0,1") << QStringLiteral("12,4")
        << QStringList{QStringLiteral("1,2 kcal = 2,3 %"), QStringLiteral("0,9 kcal = 1,7 %"),
                       QStringLiteral("50,8 kcal = 95,9 %")};
    QTest::newRow("no carbohydrate gives a zero slice")
        << QStringLiteral("20") << QStringLiteral("10") << QStringLiteral("0")
        << QStringList{QStringLiteral("82,0 kcal = 47,1 %"), QStringLiteral("92,0 kcal = 52,9 %"),
                       QStringLiteral("0,0 kcal = 0,0 %")};
    // Fat counts 9.2 and carbohydrate the protein factor 4.1, not 9 and 4.
    QTest::newRow("one gram each")
        << QStringLiteral("1") << QStringLiteral("1") << QStringLiteral("1")
        << QStringList{QStringLiteral("4,1 kcal = 23,6 %"), QStringLiteral("9,2 kcal = 52,9 %"),
                       QStringLiteral("4,1 kcal = 23,6 %")};
    QTest::newRow("fat alone") << QStringLiteral("0") << QStringLiteral("100")
                               << QStringLiteral("0")
                               << QStringList{QStringLiteral("0,0 kcal = 0,0 %"),
                                              QStringLiteral("920,0 kcal = 100,0 %"),
                                              QStringLiteral("0,0 kcal = 0,0 %")};
    QTest::newRow("a negative value takes a negative share")
        << QStringLiteral("-10") << QStringLiteral("10") << QStringLiteral("0")
        << QStringList{QStringLiteral("-41,0 kcal = -80,4 %"),
                       QStringLiteral("92,0 kcal = 180,4 %"), QStringLiteral("0,0 kcal = 0,0 %")};
    QTest::newRow("blanks around the texts are read")
        << QStringLiteral(" 20 ") << QStringLiteral("10 ") << QStringLiteral(" 0")
        << QStringList{QStringLiteral("82,0 kcal = 47,1 %"), QStringLiteral("92,0 kcal = 52,9 %"),
                       QStringLiteral("0,0 kcal = 0,0 %")};
}

void tst_NutrientSlices::labels()
{
    QFETCH(QString, protein);
    QFETCH(QString, fat);
    QFETCH(QString, carbohydrate);
    QFETCH(QStringList, labels);

    const QList<NutrientSlice> slices = NutrientSlices(protein, fat, carbohydrate);
    QStringList actual;
    for (const NutrientSlice &slice : slices)
        actual << slice.label;
    QCOMPARE(actual, labels);
}

void tst_NutrientSlices::valuesAreSingleEnergies()
{
    const QList<NutrientSlice> slices =
        NutrientSlices(QStringLiteral("0,3"), QStringLiteral("0,1"), QStringLiteral("12,4"));
    QCOMPARE(slices.size(), 3);
    // Each energy is the extended product with the double factor, rounded once
    // to single precision.
    // As doubles, which QCOMPARE holds to 12 digits; floats it forgives the last bits.
    QCOMPARE(double(slices[0].value), double(float(Extended(0.3L) * Extended(4.1))));
    QCOMPARE(double(slices[1].value), double(float(Extended(0.1L) * Extended(9.2))));
    QCOMPARE(double(slices[2].value), double(float(Extended(12.4L) * Extended(4.1))));
}

void tst_NutrientSlices::coloursInOrder()
{
    const QList<NutrientSlice> slices =
        NutrientSlices(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"));
    QCOMPARE(slices.size(), 3);
    QCOMPARE(slices[0].colour, (Rgb{0, 128, 0}));
    QCOMPARE(slices[1].colour, (Rgb{255, 0, 0}));
    QCOMPARE(slices[2].colour, (Rgb{255, 255, 0}));
}

void tst_NutrientSlices::refused_data()
{
    QTest::addColumn<QString>("protein");
    QTest::addColumn<QString>("fat");
    QTest::addColumn<QString>("carbohydrate");
    QTest::addColumn<QString>("message");

    QTest::newRow("all zero: no shares")
        << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0")
        << QStringLiteral("Ungültige Gleitkommaoperation");
    QTest::newRow("energies cancel out")
        << QStringLiteral("-9,2") << QStringLiteral("4,1") << QStringLiteral("0")
        << QStringLiteral("Gleitkommadivision durch Null");
    QTest::newRow("protein text refused")
        << QStringLiteral("abc") << QStringLiteral("1") << QStringLiteral("1")
        << QStringLiteral("'abc' ist kein gültiger Gleitkommawert");
    QTest::newRow("empty fat text refused")
        << QStringLiteral("1") << QString() << QStringLiteral("1")
        << QStringLiteral("'' ist kein gültiger Gleitkommawert");
    QTest::newRow("point under comma settings refused")
        << QStringLiteral("1") << QStringLiteral("1") << QStringLiteral("12.4")
        << QStringLiteral("'12.4' ist kein gültiger Gleitkommawert");
    QTest::newRow("energy beyond single precision")
        << QStringLiteral("1E38") << QStringLiteral("1") << QStringLiteral("1")
        << QStringLiteral("Gleitkommaüberlauf");
}

void tst_NutrientSlices::refused()
{
    QFETCH(QString, protein);
    QFETCH(QString, fat);
    QFETCH(QString, carbohydrate);
    QFETCH(QString, message);

    try {
        const QList<NutrientSlice> slices = NutrientSlices(protein, fat, carbohydrate);
        QFAIL(qPrintable(QStringLiteral("no failure, first label %1").arg(slices.value(0).label)));
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(), message);
    }
}

void tst_NutrientSlices::decimalPointSettings()
{
    SetDecimalSeparator(QLatin1Char('.'));
    const QList<NutrientSlice> slices =
        NutrientSlices(QStringLiteral("0.3"), QStringLiteral("0.1"), QStringLiteral("12.4"));
    QCOMPARE(slices.value(2).label, QStringLiteral("50.8 kcal = 95.9 %"));
}

QTEST_APPLESS_MAIN(tst_NutrientSlices)
#include "tst_nutrient_slices.moc"
