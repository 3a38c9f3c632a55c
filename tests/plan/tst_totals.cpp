#include "core/text_table_model.h"
#include "plan/totals.h"

#include <QtTest>

#include <cfloat>
#include <memory>

namespace {

// Meal rows: name, portion, kcal, protein, fat, carbohydrate.
using MealRows = QList<QStringList>;
using PlanRows = std::array<MealRows, MealCount>;

// The eight sums in display order: KCAL1 to KCAL4, GKAL, EW, FT, KH.
using Sums = std::array<float, 8>;

Sums sumsOf(const PlanTotals &totals)
{
    return {totals.mealKcal[0], totals.mealKcal[1], totals.mealKcal[2], totals.mealKcal[3],
            totals.dayKcal,     totals.dayProtein,  totals.dayFat,      totals.dayCarbohydrate};
}

DisplayTexts texts(const char16_t *kcal1, const char16_t *kcal2, const char16_t *kcal3,
                   const char16_t *kcal4, const char16_t *dayKcal, const char16_t *protein,
                   const char16_t *fat, const char16_t *carbohydrate)
{
    return {QString::fromUtf16(kcal1), QString::fromUtf16(kcal2),       QString::fromUtf16(kcal3),
            QString::fromUtf16(kcal4), QString::fromUtf16(dayKcal),     QString::fromUtf16(protein),
            QString::fromUtf16(fat),   QString::fromUtf16(carbohydrate)};
}

QStringList mealRow(const char16_t *name, const char16_t *portion, const char16_t *kcal,
                    const char16_t *protein, const char16_t *fat, const char16_t *carbohydrate)
{
    return {QString::fromUtf16(name), QString::fromUtf16(portion),
            QString::fromUtf16(kcal), QString::fromUtf16(protein),
            QString::fromUtf16(fat),  QString::fromUtf16(carbohydrate)};
}

class Plan
{
public:
    explicit Plan(const PlanRows &rows)
    {
        const QStringList headers = ToStringList(MealColumnNames);
        for (int meal = 0; meal < MealCount; ++meal) {
            m_meals[size_t(meal)] = std::make_unique<TextTableModel>(headers);
            for (const QStringList &row : rows[size_t(meal)])
                m_meals[size_t(meal)]->appendRow(row);
        }
    }

    TotalsResult compute() const
    {
        return ComputeTotals(
            {m_meals[0].get(), m_meals[1].get(), m_meals[2].get(), m_meals[3].get()});
    }

private:
    std::array<std::unique_ptr<TextTableModel>, MealCount> m_meals;
};

} // namespace

Q_DECLARE_METATYPE(DisplayTexts)
Q_DECLARE_METATYPE(FailedRow)
Q_DECLARE_METATYPE(PlanRows)
Q_DECLARE_METATYPE(Sums)

class tst_Totals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { SetDecimalSeparator(QLatin1Char(',')); }
    void cleanupTestCase() { SetDecimalSeparator(QLatin1Char(',')); }

    void emptyPlan_data();
    void emptyPlan();
    void displays_data();
    void displays();
    void singlePrecisionSums();
    void portionAmount_data();
    void portionAmount();
    void failingRow_data();
    void failingRow();
    void failingRowsInOrder();
    void overflow_data();
    void overflow();
};

void tst_Totals::emptyPlan_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("zero");
    QTest::newRow("decimal comma") << QChar(u',') << QStringLiteral("0,0");
    QTest::newRow("decimal point") << QChar(u'.') << QStringLiteral("0.0");
}

void tst_Totals::emptyPlan()
{
    QFETCH(QChar, separator);
    QFETCH(QString, zero);
    SetDecimalSeparator(separator);

    const TotalsResult result = Plan(PlanRows{}).compute();
    QVERIFY(result.failedRows.isEmpty());
    QCOMPARE(sumsOf(result.sums), Sums{});
    const DisplayTexts expected{zero, zero, zero, zero, zero, zero, zero, zero};
    QCOMPARE(TotalsDisplayTexts(result.sums), expected);
}

void tst_Totals::displays_data()
{
    QTest::addColumn<PlanRows>("rows");
    QTest::addColumn<DisplayTexts>("expected");

    QTest::newRow("200 g of apple at breakfast")
        << PlanRows{MealRows{mealRow(u"Apfel", u"200", u"52", u"0,3", u"0,1", u"12,4")}}
        << texts(u"104,0", u"0,0", u"0,0", u"0,0", u"104,0", u"0,6", u"0,2", u"24,8");
    QTest::newRow("150 g: protein 0,45 is held below the half")
        << PlanRows{MealRows{mealRow(u"Apfel", u"150", u"52", u"0,3", u"0,1", u"12,4")}}
        << texts(u"78,0", u"0,0", u"0,0", u"0,0", u"78,0", u"0,4", u"0,2", u"18,6");
    QTest::newRow("each meal its own sum, the day all of them")
        << PlanRows{MealRows{mealRow(u"Brötchen", u"60", u"252", u"8,5", u"1,9", u"48,6"),
                             mealRow(u"Butter", u"10", u"741", u"0,7", u"83,2", u"0,6")},
                    MealRows{mealRow(u"Kartoffeln", u"250", u"71", u"1,9", u"0,1", u"15,3")},
                    MealRows{}, MealRows{mealRow(u"Käse", u"30", u"356", u"24,9", u"28", u"0")}}
        << texts(u"225,3", u"177,5", u"0,0", u"106,8", u"509,6", u"17,4", u"18,1", u"67,5");
    QTest::newRow("portion with decimals and blanks, exponent in a value")
        << PlanRows{MealRows{},
                    MealRows{mealRow(u"Reis", u" 87,5 ", u"1,23E2", u"2,4", u"0,2", u"27,4")}}
        << texts(u"0,0", u"107,6", u"0,0", u"0,0", u"107,6", u"2,1", u"0,2", u"24,0");
    QTest::newRow("negative values are summed as they stand")
        << PlanRows{MealRows{mealRow(u"Korrektur", u"100", u"-50", u"-1", u"0", u"-0,04")}}
        << texts(u"-50,0", u"0,0", u"0,0", u"0,0", u"-50,0", u"-1,0", u"0,0", u"0,0");
    QTest::newRow("12345,6 kcal without grouping")
        << PlanRows{MealRows{mealRow(u"A", u"100", u"10000", u"0", u"0", u"0"),
                             mealRow(u"B", u"100", u"2345,6", u"0", u"0", u"0")}}
        << texts(u"12345,6", u"0,0", u"0,0", u"0,0", u"12345,6", u"0,0", u"0,0", u"0,0");
    QTest::newRow("beyond the mask's digit positions, still no grouping")
        << PlanRows{MealRows{}, MealRows{}, MealRows{},
                    MealRows{mealRow(u"A", u"1000", u"12345,67", u"0", u"0", u"0")}}
        << texts(u"0,0", u"0,0", u"0,0", u"123456,7", u"123456,7", u"0,0", u"0,0", u"0,0");
}

void tst_Totals::displays()
{
    QFETCH(PlanRows, rows);
    QFETCH(DisplayTexts, expected);

    const TotalsResult result = Plan(rows).compute();
    QVERIFY(result.failedRows.isEmpty());
    QCOMPARE(TotalsDisplayTexts(result.sums), expected);
}

// The sums are rounded to single precision on every addition, which is what
// makes 0,45 show as 0,4.
void tst_Totals::singlePrecisionSums()
{
    const TotalsResult result =
        Plan(PlanRows{MealRows{mealRow(u"Apfel", u"150", u"52", u"0,3", u"0,1", u"12,4")}})
            .compute();
    QCOMPARE(double(result.sums.dayKcal), 78.0);
    QCOMPARE(double(result.sums.mealKcal[0]), 78.0);
    QCOMPARE(double(result.sums.dayProtein), 0.449999988079071044921875);
    QCOMPARE(double(result.sums.dayFat), 0.1500000059604644775390625);
    QCOMPARE(double(result.sums.dayCarbohydrate), 18.6000003814697265625);
    QCOMPARE(double(ParsePortion(QStringLiteral("0,1"))), 0.100000001490116119384765625);

    // 0,1 added ten times in single precision is not 1.
    MealRows tenths;
    for (int i = 0; i < 10; ++i)
        tenths.append(mealRow(u"Tee", u"100", u"0,1", u"0", u"0", u"0"));
    float expected = 0;
    for (int i = 0; i < 10; ++i)
        expected = float(Extended(expected) + Extended(0.1L) * Hundredth * 100);
    const TotalsResult repeated = Plan(PlanRows{tenths}).compute();
    QCOMPARE(double(repeated.sums.dayKcal), double(expected));
    QVERIFY(repeated.sums.dayKcal != 1.0f);
}

void tst_Totals::portionAmount_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<float>("portion");
    QTest::addColumn<Extended>("expected");

    // Each of these comes out differently when 0,01 × portion is formed first.
    QTest::newRow("0,3 × 0,01 × 11")
        << QStringLiteral("0,3") << 11.0f << Extended(0.3L) * Hundredth * 11;
    QTest::newRow("8,5 × 0,01 × 5")
        << QStringLiteral("8,5") << 5.0f << Extended(8.5) * Hundredth * 5;
    QTest::newRow("741 × 0,01 × 9")
        << QStringLiteral("741") << 9.0f << Extended(741) * Hundredth * 9;
}

void tst_Totals::portionAmount()
{
    QFETCH(QString, value);
    QFETCH(float, portion);
    QFETCH(Extended, expected);
    QCOMPARE(PortionAmount(value, portion), expected);
    QVERIFY(expected != ParseNumber(value) * (Hundredth * Extended(portion)));
}

void tst_Totals::failingRow_data()
{
    QTest::addColumn<int>("failingColumn");
    QTest::addColumn<QString>("badText");
    QTest::addColumn<Sums>("expected");

    // Before the failing row: 100 g of 100 kcal, 10 protein, 1 fat, 10
    // carbohydrate at breakfast. The failing row at lunch would add 200 g of
    // 50, 5, 2, 20; the row after it at lunch adds 100 g of 1, 1, 1, 1.
    QTest::newRow("portion: nothing added")
        << int(MealPortion) << QStringLiteral("zwei") << Sums{100, 1, 0, 0, 101, 11, 2, 11};
    QTest::newRow("empty portion: nothing added")
        << int(MealPortion) << QString() << Sums{100, 1, 0, 0, 101, 11, 2, 11};
    QTest::newRow("kcal: nothing added")
        << int(MealKcal) << QStringLiteral("50 kcal") << Sums{100, 1, 0, 0, 101, 11, 2, 11};
    QTest::newRow("protein: day and meal kcal added")
        << int(MealProtein) << QStringLiteral("5.0") << Sums{100, 101, 0, 0, 201, 11, 2, 11};
    QTest::newRow("fat: kcal and protein added")
        << int(MealFat) << QString() << Sums{100, 101, 0, 0, 201, 21, 2, 11};
    QTest::newRow("carbohydrate: all but carbohydrate added")
        << int(MealCarbohydrate) << QStringLiteral("-") << Sums{100, 101, 0, 0, 201, 21, 6, 11};
}

void tst_Totals::failingRow()
{
    QFETCH(int, failingColumn);
    QFETCH(QString, badText);
    QFETCH(Sums, expected);

    QStringList failing = mealRow(u"Linsen", u"200", u"50", u"5", u"2", u"20");
    failing[failingColumn] = badText;
    const PlanRows rows{MealRows{mealRow(u"Brot", u"100", u"100", u"10", u"1", u"10")},
                        MealRows{failing, mealRow(u"Tee", u"100", u"1", u"1", u"1", u"1")}};
    const TotalsResult result = Plan(rows).compute();
    QCOMPARE(result.failedRows, QList<FailedRow>({{1, 0}}));
    QCOMPARE(sumsOf(result.sums), expected);
}

void tst_Totals::failingRowsInOrder()
{
    const QStringList bad = mealRow(u"", u"x", u"1", u"1", u"1", u"1");
    auto named = [&](const char16_t *name) {
        QStringList row = bad;
        row[MealName] = QString::fromUtf16(name);
        return row;
    };
    const QStringList good = mealRow(u"Gut", u"100", u"1", u"1", u"1", u"1");
    // Within a meal the rows are processed as the list shows them: by name.
    const PlanRows rows{MealRows{named(u"Zwieback"), good}, MealRows{good},
                        MealRows{named(u"Apfel")},
                        MealRows{named(u"Zucker"), good, named(u"Äpfel"), good}};
    const TotalsResult result = Plan(rows).compute();
    QCOMPARE(result.failedRows, QList<FailedRow>({{0, 1}, {2, 0}, {3, 0}, {3, 3}}));
    QCOMPARE(sumsOf(result.sums), (Sums{1, 1, 0, 2, 4, 4, 4, 4}));
}

void tst_Totals::overflow_data()
{
    QTest::addColumn<PlanRows>("rows");
    QTest::addColumn<QList<FailedRow>>("failed");
    QTest::addColumn<Sums>("expected");

    const float big = 3e38f;
    QTest::newRow("day kcal beyond single precision: the second row fails")
        << PlanRows{MealRows{mealRow(u"A", u"100", u"3E38", u"1", u"1", u"1"),
                             mealRow(u"B", u"100", u"1E38", u"1", u"1", u"1"),
                             mealRow(u"C", u"100", u"1", u"1", u"1", u"1")}}
        << QList<FailedRow>{{0, 1}} << Sums{big, 0, 0, 0, big, 2, 2, 2};
    QTest::newRow("day kcal overflows in another meal: that meal's sum untouched")
        << PlanRows{MealRows{mealRow(u"A", u"100", u"3E38", u"0", u"0", u"0")},
                    MealRows{mealRow(u"B", u"100", u"1E38", u"0", u"0", u"0")}}
        << QList<FailedRow>{{1, 0}} << Sums{big, 0, 0, 0, big, 0, 0, 0};
    QTest::newRow("protein beyond single precision after the kcal were added")
        << PlanRows{MealRows{mealRow(u"A", u"100", u"1", u"2E38", u"0", u"0"),
                             mealRow(u"B", u"100", u"1", u"2E38", u"5", u"5")}}
        << QList<FailedRow>{{0, 1}} << Sums{2, 0, 0, 0, 2, 2e38f, 0, 0};
    QTest::newRow("one amount beyond single precision")
        << PlanRows{MealRows{mealRow(u"A", u"1000", u"1E38", u"1", u"1", u"1")}}
        << QList<FailedRow>{{0, 0}} << Sums{};
    QTest::newRow("portion beyond single precision")
        << PlanRows{MealRows{mealRow(u"A", u"1E39", u"0", u"0", u"0", u"0")}}
        << QList<FailedRow>{{0, 0}} << Sums{};
    QTest::newRow("amount beyond the extended range")
        << PlanRows{MealRows{mealRow(u"A", u"1E30", u"1E4930", u"0", u"0", u"0")}}
        << QList<FailedRow>{{0, 0}} << Sums{};
    QTest::newRow("largest single value is kept")
        << PlanRows{MealRows{mealRow(u"A", u"100", u"3,4028234E38", u"0", u"0", u"0")}}
        << QList<FailedRow>{} << Sums{FLT_MAX, 0, 0, 0, FLT_MAX, 0, 0, 0};
}

void tst_Totals::overflow()
{
    QFETCH(PlanRows, rows);
    QFETCH(QList<FailedRow>, failed);
    QFETCH(Sums, expected);

    const TotalsResult result = Plan(rows).compute();
    QCOMPARE(result.failedRows, failed);
    QCOMPARE(sumsOf(result.sums), expected);
    for (const QString &text : TotalsDisplayTexts(result.sums)) {
        QVERIFY2(!text.contains(u"INF", Qt::CaseInsensitive), qPrintable(text));
        QVERIFY2(!text.contains(u"NAN", Qt::CaseInsensitive), qPrintable(text));
        QVERIFY2(std::isfinite(double(ParseNumber(text))), qPrintable(text));
    }
}

QTEST_APPLESS_MAIN(tst_Totals)
#include "tst_totals.moc"
