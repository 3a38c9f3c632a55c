#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_table_model.h"
#include "plan/print_layout.h"
#include "plan/recording_canvas.h"
#include "plan/totals.h"

#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// The page of the worked example: A4-like proportions at 600 dpi, so that
// E(12) = 100, E(10) = 83 and the row step of a table is 110.
constexpr int PageWidth = 4800;
constexpr int PageHeight = 6600;
constexpr int Dpi = 600;

const QString Arial = QStringLiteral("Arial");
const RecordedFont TitleFont{Arial, 12, 0, 0, 0, false};
const RecordedFont ColumnFont{Arial, 10, 0, 0, 0, false};
const RecordedFont MealHeadingFont{Arial, 12, 0, 0, 255, true};
const RecordedFont RowFont = ColumnFont;
const RecordedFont SumFont{Arial, 10, 0, 128, 0, true};
const RecordedFont FooterFont{Arial, 8, 0, 0, 0, true};

// Right edges of the portion, energy, protein, carbohydrate and fat columns.
constexpr int PortionEdge = 2496;
constexpr int EnergyEdge = 2831;
constexpr int ProteinEdge = 3407;
constexpr int CarbohydrateEdge = 3983;
constexpr int FatEdge = 4559;
constexpr int RuleStart = 240;

std::unique_ptr<TextTableModel> MealList(const QList<QStringList> &rows)
{
    auto list = std::make_unique<TextTableModel>(ToStringList(MealColumnNames));
    for (const QStringList &row : rows)
        list->appendRow(row);
    return list;
}

// Rows whose names sort in the order they are made.
QList<QStringList> NumberedRows(int count)
{
    QList<QStringList> rows;
    for (int i = 1; i <= count; ++i) {
        rows.append({QStringLiteral("Speise %1").arg(i, 3, 10, QLatin1Char('0')),
                     QStringLiteral("100"), QStringLiteral("50"), QStringLiteral("1"),
                     QStringLiteral("2"), QStringLiteral("3")});
    }
    return rows;
}

const QStringList Apple{QStringLiteral("Apfel"), QStringLiteral("150"), QStringLiteral("52"),
                        QStringLiteral("0,3"),   QStringLiteral("0,1"), QStringLiteral("12,4")};
const QStringList Bread{QStringLiteral("Vollkornbrot"), QStringLiteral("50"),
                        QStringLiteral("220"),          QStringLiteral("7,4"),
                        QStringLiteral("1,2"),          QStringLiteral("40")};
const QStringList Yoghurt{QStringLiteral("Joghurt"), QStringLiteral("200"), QStringLiteral("61"),
                          QStringLiteral("3,5"),     QStringLiteral("3,3"), QStringLiteral("4,7")};

struct Plan
{
    std::array<std::unique_ptr<TextTableModel>, MealCount> lists;
    PlanPrintInput input;
};

Plan MakePlan(const std::array<QList<QStringList>, MealCount> &rows,
              const DisplayTexts &displayTexts)
{
    Plan plan;
    std::array<const TextTableModel *, MealCount> lists{};
    for (size_t meal = 0; meal < MealCount; ++meal) {
        plan.lists[meal] = MealList(rows[meal]);
        lists[meal] = plan.lists[meal].get();
    }
    plan.input = MakePlanPrintInput(lists, displayTexts);
    return plan;
}

// The eight display texts as the totals would show them for these lists.
DisplayTexts PlanDisplayTexts(const Plan &plan)
{
    std::array<const TextTableModel *, MealCount> lists{};
    for (size_t meal = 0; meal < MealCount; ++meal)
        lists[meal] = plan.lists[meal].get();
    return TotalsDisplayTexts(ComputeTotals(lists).sums);
}

DisplayTexts ZeroTexts()
{
    DisplayTexts texts;
    texts.fill(QStringLiteral("0,0"));
    return texts;
}

QList<RecordedItem> Print(const PlanPrintInput &input, int width = PageWidth,
                          int height = PageHeight, int dpi = Dpi, int *pageCount = nullptr)
{
    RecordingCanvas canvas(width, height, dpi);
    PlanPrintLayout(canvas).PrintPages(input);
    if (pageCount != nullptr)
        *pageCount = canvas.pageCount();
    return canvas.items();
}

// The index of the n-th text item with this text, or -1.
qsizetype IndexOfText(const QList<RecordedItem> &items, const QString &text, int occurrence = 0)
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].kind == RecordedItem::Text && items[i].text == text && occurrence-- == 0)
            return i;
    }
    return -1;
}

qsizetype CountTexts(const QList<RecordedItem> &items, const QString &text)
{
    return std::count_if(items.begin(), items.end(), [&](const RecordedItem &item) {
        return item.kind == RecordedItem::Text && item.text == text;
    });
}

// One expected item: a line from the rule start to the fat edge, a text
// whose left edge is at x, or a right-aligned text whose right edge is at x.
struct Expected
{
    enum Kind
    {
        Line,
        Left,
        Right
    };
    Kind kind;
    int x;
    int y;
    QString text = {};
    RecordedFont font = {};
};

QList<Expected> ColumnHeadings(int y)
{
    return {{Expected::Right, PortionEdge, y, QStringLiteral("Portion"), ColumnFont},
            {Expected::Right, EnergyEdge, y, QStringLiteral("Kcal"), ColumnFont},
            {Expected::Right, ProteinEdge, y, QStringLiteral("Eiweiss"), ColumnFont},
            {Expected::Right, CarbohydrateEdge, y, QStringLiteral("Kohlehyd."), ColumnFont},
            {Expected::Right, FatEdge, y, QStringLiteral("Fett"), ColumnFont}};
}

QList<Expected> MealRow(int y, const QStringList &texts)
{
    QList<Expected> row{{Expected::Left, 287, y, texts[0], RowFont}};
    const int edges[] = {PortionEdge, EnergyEdge, ProteinEdge, CarbohydrateEdge, FatEdge};
    for (int i = 1; i < texts.size(); ++i)
        row.append({Expected::Right, edges[i - 1], y, texts[i], RowFont});
    return row;
}

Expected Rule(int y)
{
    return {Expected::Line, RuleStart, y};
}

void CompareItems(const QList<RecordedItem> &items, const QList<Expected> &expected)
{
    for (qsizetype i = 0; i < std::min(items.size(), expected.size()); ++i) {
        const RecordedItem &item = items[i];
        const Expected &want = expected[i];
        const QByteArray where = QByteArray::number(i) + ": " + want.text.toUtf8() + " at y " +
                                 QByteArray::number(want.y);
        QVERIFY2(item.y == want.y, where + ", got y " + QByteArray::number(item.y));
        if (want.kind == Expected::Line) {
            QVERIFY2(item.kind == RecordedItem::Line, where);
            QVERIFY2(item.x == RuleStart && item.x2 == FatEdge && item.y2 == want.y, where);
            continue;
        }
        QVERIFY2(item.kind == RecordedItem::Text, where);
        QVERIFY2(item.text == want.text, where + ", got " + item.text.toUtf8());
        const int x = want.kind == Expected::Left ? item.x : item.x + item.width;
        QVERIFY2(x == want.x, where + ", got x " + QByteArray::number(x));
        QVERIFY2(item.font == want.font, where + ", wrong font");
    }
    QCOMPARE(items.size(), expected.size());
}

struct PagePosition
{
    int page;
    int y;
};

} // namespace

Q_DECLARE_METATYPE(PagePosition)

class tst_PrintLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { SetDecimalSeparator(QLatin1Char(',')); }

    void characterHeight_data();
    void characterHeight();
    void inputFromDisplays();

    void workedExample();
    void emptyPlan_data();
    void emptyPlan();
    void pageBreaks_data();
    void pageBreaks();
    void rowsAcrossPages();
    void rowValuesAndDisplayedTotals();
    void conversionError_data();
    void conversionError();
    void printingTwice();
};

void tst_PrintLayout::characterHeight_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("expected");

    QTest::newRow("12 points at 600 dpi") << 12 << 600 << 100;
    QTest::newRow("10 points at 600 dpi round down") << 10 << 600 << 83;
    QTest::newRow("8 points at 600 dpi round up") << 8 << 600 << 67;
    QTest::newRow("10 points at 1200 dpi") << 10 << 1200 << 167;
    QTest::newRow("half rounds away from zero") << 5 << 108 << 8;
    QTest::newRow("smallest half") << 1 << 36 << 1;
    QTest::newRow("below a half rounds to zero") << 1 << 35 << 0;
}

void tst_PrintLayout::characterHeight()
{
    QFETCH(int, points);
    QFETCH(int, dpi);
    QFETCH(int, expected);
    QCOMPARE(CharacterHeight(points, dpi), expected);
}

void tst_PrintLayout::inputFromDisplays()
{
    const auto lists = std::array<const TextTableModel *, MealCount>{};
    const PlanPrintInput input = MakePlanPrintInput(
        lists,
        {QStringLiteral("k1"), QStringLiteral("k2"), QStringLiteral("k3"), QStringLiteral("k4"),
         QStringLiteral("gkal"), QStringLiteral("ew"), QStringLiteral("ft"), QStringLiteral("kh")});
    const QStringList headings{QStringLiteral("Frühstück"), QStringLiteral("Mittagessen"),
                               QStringLiteral("Nachmittag"), QStringLiteral("Abendessen")};
    for (int meal = 0; meal < MealCount; ++meal) {
        QCOMPARE(input.meals[size_t(meal)].heading, headings[meal]);
        QCOMPARE(input.meals[size_t(meal)].kcalText, QStringLiteral("k%1").arg(meal + 1));
    }
    QCOMPARE(input.dayKcal, QStringLiteral("gkal"));
    QCOMPARE(input.dayProtein, QStringLiteral("ew"));
    QCOMPARE(input.dayFat, QStringLiteral("ft"));
    QCOMPARE(input.dayCarbohydrate, QStringLiteral("kh"));
}

void tst_PrintLayout::workedExample()
{
    // Two breakfast rows, no lunch, one afternoon row, no dinner. The sum
    // texts are passed through as the displays show them.
    const Plan plan =
        MakePlan({QList<QStringList>{Bread, Apple}, {}, {Yoghurt}, {}},
                 {QStringLiteral("188,0"), QStringLiteral("0,0"), QStringLiteral("122,0"),
                  QStringLiteral("0,0"), QStringLiteral("310,0"), QStringLiteral("11,1"),
                  QStringLiteral("8,3"), QStringLiteral("49,4")});
    int pages = 0;
    const QList<RecordedItem> items = Print(plan.input, PageWidth, PageHeight, Dpi, &pages);

    QList<Expected> expected{
        {Expected::Left, 201, 330, QStringLiteral("Ernährungsplan"), TitleFont}};
    expected += ColumnHeadings(660);
    expected +=
        {{Expected::Left, 240, 660, QStringLiteral("Frühstück"), MealHeadingFont}, Rule(770)};
    expected += MealRow(825, {QStringLiteral("Apfel"), QStringLiteral("150 Gramm"),
                              QStringLiteral("78,0"), QStringLiteral("0,5 gr"),
                              QStringLiteral("18,6 gr"), QStringLiteral("0,2 gr")});
    expected += MealRow(935, {QStringLiteral("Vollkornbrot"), QStringLiteral("50 Gramm"),
                              QStringLiteral("110,0"), QStringLiteral("3,7 gr"),
                              QStringLiteral("20,0 gr"), QStringLiteral("0,6 gr")});
    expected += {Rule(1067),
                 {Expected::Left, 240, 1122, QStringLiteral("Summe"), SumFont},
                 {Expected::Right, EnergyEdge, 1122, QStringLiteral("188,0"), SumFont},
                 Rule(1258),
                 Rule(1271)};
    expected += ColumnHeadings(1394);
    expected +=
        {{Expected::Left, 240, 1394, QStringLiteral("Nachmittag"), MealHeadingFont}, Rule(1504)};
    expected += MealRow(1559, {QStringLiteral("Joghurt"), QStringLiteral("200 Gramm"),
                               QStringLiteral("122,0"), QStringLiteral("7,0 gr"),
                               QStringLiteral("9,4 gr"), QStringLiteral("6,6 gr")});
    expected += {Rule(1691),
                 {Expected::Left, 240, 1746, QStringLiteral("Summe"), SumFont},
                 {Expected::Right, EnergyEdge, 1746, QStringLiteral("122,0"), SumFont},
                 Rule(1882),
                 Rule(1895),
                 {Expected::Right, EnergyEdge, 2018, QStringLiteral("Kcal"), SumFont},
                 {Expected::Right, ProteinEdge, 2018, QStringLiteral("Eiweiss"), SumFont},
                 {Expected::Right, CarbohydrateEdge, 2018, QStringLiteral("Kohlehyd."), SumFont},
                 {Expected::Right, FatEdge, 2018, QStringLiteral("Fett"), SumFont},
                 Rule(2127),
                 Rule(2140),
                 Rule(2153),
                 {Expected::Left, 240, 2218, QStringLiteral("Gesamtsumme"), SumFont},
                 {Expected::Right, EnergyEdge, 2218, QStringLiteral("310,0"), SumFont},
                 {Expected::Right, ProteinEdge, 2218, QStringLiteral("11,1 gr"), SumFont},
                 {Expected::Right, CarbohydrateEdge, 2218, QStringLiteral("49,4 gr"), SumFont},
                 {Expected::Right, FatEdge, 2218, QStringLiteral("8,3 gr"), SumFont},
                 {Expected::Left, 201, 6401, PlanPrintFooter.toString(), FooterFont}};

    CompareItems(items, expected);
    QCOMPARE(pages, 1);
    for (const RecordedItem &item : items)
        QCOMPARE(item.page, 1);
}

void tst_PrintLayout::emptyPlan_data()
{
    QTest::addColumn<bool>("withLists");

    QTest::newRow("four empty lists") << true;
    QTest::newRow("no lists at all") << false;
}

void tst_PrintLayout::emptyPlan()
{
    QFETCH(bool, withLists);

    Plan plan = MakePlan({}, ZeroTexts());
    if (!withLists) {
        for (PlanPrintMeal &meal : plan.input.meals)
            meal.rows = nullptr;
    }
    int pages = 0;
    const QList<RecordedItem> items = Print(plan.input, PageWidth, PageHeight, Dpi, &pages);

    const QString zero = QStringLiteral("0,0");
    const QString zeroGrams = QStringLiteral("0,0 gr");
    CompareItems(items,
                 {{Expected::Left, 201, 330, QStringLiteral("Ernährungsplan"), TitleFont},
                  {Expected::Right, EnergyEdge, 660, QStringLiteral("Kcal"), SumFont},
                  {Expected::Right, ProteinEdge, 660, QStringLiteral("Eiweiss"), SumFont},
                  {Expected::Right, CarbohydrateEdge, 660, QStringLiteral("Kohlehyd."), SumFont},
                  {Expected::Right, FatEdge, 660, QStringLiteral("Fett"), SumFont},
                  Rule(769),
                  Rule(782),
                  Rule(795),
                  {Expected::Left, 240, 860, QStringLiteral("Gesamtsumme"), SumFont},
                  {Expected::Right, EnergyEdge, 860, zero, SumFont},
                  {Expected::Right, ProteinEdge, 860, zeroGrams, SumFont},
                  {Expected::Right, CarbohydrateEdge, 860, zeroGrams, SumFont},
                  {Expected::Right, FatEdge, 860, zeroGrams, SumFont},
                  {Expected::Left, 201, 6401, PlanPrintFooter.toString(), FooterFont}});
    QCOMPARE(pages, 1);
}

void tst_PrintLayout::pageBreaks_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("rows");
    QTest::addColumn<PagePosition>("closingRule");
    QTest::addColumn<PagePosition>("sumLine");
    QTest::addColumn<PagePosition>("totals");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("footer");

    // Rows start at 825 and step 110; the row rule fires once y passes 5940.
    QTest::newRow("table runs past 0.9 H")
        << PageHeight << Dpi << 50 << PagePosition{2, 1012} << PagePosition{2, 1067}
        << PagePosition{2, 1339} << 2 << 6401;
    QTest::newRow("break after the last row")
        << PageHeight << Dpi << 47 << PagePosition{2, 682} << PagePosition{2, 737}
        << PagePosition{2, 1009} << 2 << 6401;
    QTest::newRow("last row just above 0.9 H")
        << PageHeight << Dpi << 46 << PagePosition{1, 5907} << PagePosition{1, 5962}
        << PagePosition{2, 660} << 2 << 6401;
    // After a meal y has moved 272 below its "Summe" line; past 0.85 H = 5610
    // the totals open a new page.
    QTest::newRow("meal rule before the totals")
        << PageHeight << Dpi << 41 << PagePosition{1, 5357} << PagePosition{1, 5412}
        << PagePosition{2, 660} << 2 << 6401;
    QTest::newRow("totals below the meal on the same page")
        << PageHeight << Dpi << 40 << PagePosition{1, 5247} << PagePosition{1, 5302}
        << PagePosition{1, 5574} << 1 << 6401;
    // Here y reaches exactly 0.85 × 3280 = 2788. The double nearest to 0.85
    // lies below it, so the extended product is smaller than y and the
    // page breaks; a product in double precision would round to 2788.
    QTest::newRow("y equal to 0.85 H in decimal still breaks")
        << 3280 << 400 << 29 << PagePosition{1, 2568} << PagePosition{1, 2604}
        << PagePosition{2, 328} << 2 << 3181;
    QTest::newRow("one row less stays on the page")
        << 3280 << 400 << 28 << PagePosition{1, 2495} << PagePosition{1, 2531}
        << PagePosition{1, 2715} << 1 << 3181;
}

void tst_PrintLayout::pageBreaks()
{
    QFETCH(int, height);
    QFETCH(int, dpi);
    QFETCH(int, rows);
    QFETCH(PagePosition, closingRule);
    QFETCH(PagePosition, sumLine);
    QFETCH(PagePosition, totals);
    QFETCH(int, pages);
    QFETCH(int, footer);

    const Plan plan = MakePlan({NumberedRows(rows), {}, {}, {}}, ZeroTexts());
    int pageCount = 0;
    const QList<RecordedItem> items = Print(plan.input, PageWidth, height, dpi, &pageCount);
    QCOMPARE(pageCount, pages);

    const qsizetype sum = IndexOfText(items, QStringLiteral("Summe"));
    QVERIFY(sum > 0);
    const RecordedItem &rule = items[sum - 1];
    QCOMPARE(rule.kind, RecordedItem::Line);
    QCOMPARE(rule.page, closingRule.page);
    QCOMPARE(rule.y, closingRule.y);
    QCOMPARE(items[sum].page, sumLine.page);
    QCOMPARE(items[sum].y, sumLine.y);

    const qsizetype total = IndexOfText(items, QStringLiteral("Kcal"), 1);
    QVERIFY(total > 0);
    QCOMPARE(items[total].page, totals.page);
    QCOMPARE(items[total].y, totals.y);

    // The title opens the first page only, the footer closes the last only,
    // and the headings of the table are not repeated.
    QCOMPARE(CountTexts(items, QStringLiteral("Ernährungsplan")), 1);
    QCOMPARE(items.first().page, 1);
    QCOMPARE(CountTexts(items, PlanPrintFooter.toString()), 1);
    QCOMPARE(items.last().text, PlanPrintFooter.toString());
    QCOMPARE(items.last().page, pages);
    QCOMPARE(items.last().y, footer);
    QCOMPARE(CountTexts(items, QStringLiteral("Portion")), 1);
    QCOMPARE(CountTexts(items, QStringLiteral("Frühstück")), 1);
}

void tst_PrintLayout::rowsAcrossPages()
{
    const Plan plan = MakePlan({NumberedRows(50), {}, {}, {}}, ZeroTexts());
    const QList<RecordedItem> items = Print(plan.input);

    // Row 47 is the last that fits: after it y = 5995 > 5940.
    const qsizetype last = IndexOfText(items, QStringLiteral("Speise 047"));
    QCOMPARE(items[last].page, 1);
    QCOMPARE(items[last].y, 5885);
    const qsizetype next = IndexOfText(items, QStringLiteral("Speise 048"));
    QCOMPARE(items[next].page, 2);
    QCOMPARE(items[next].y, 660);
    QCOMPARE(items[next].font, RowFont);
    QCOMPARE(items[next].x, 287);
    const qsizetype end = IndexOfText(items, QStringLiteral("Speise 050"));
    QCOMPARE(items[end].page, 2);
    QCOMPARE(items[end].y, 880);
    // The whole row moves with its name.
    for (qsizetype i = next; i < next + 6; ++i) {
        QCOMPARE(items[i].page, 2);
        QCOMPARE(items[i].y, 660);
    }
}

void tst_PrintLayout::rowValuesAndDisplayedTotals()
{
    // The row's protein, 0.45 in extended precision, rounds up to 0,5; the
    // day total was held in single precision as 0.4499999881 and shows 0,4.
    Plan plan = MakePlan({QList<QStringList>{Apple}, {}, {}, {}}, ZeroTexts());
    const DisplayTexts displays = PlanDisplayTexts(plan);
    std::array<const TextTableModel *, MealCount> lists{};
    for (size_t meal = 0; meal < MealCount; ++meal)
        lists[meal] = plan.lists[meal].get();
    plan.input = MakePlanPrintInput(lists, displays);
    const QList<RecordedItem> items = Print(plan.input);

    const qsizetype row = IndexOfText(items, QStringLiteral("Apfel"));
    QVERIFY(row > 0);
    QStringList rowTexts;
    for (qsizetype i = row + 1; i < row + 6; ++i)
        rowTexts.append(items[i].text);
    QCOMPARE(rowTexts, (QStringList{QStringLiteral("150 Gramm"), QStringLiteral("78,0"),
                                    QStringLiteral("0,5 gr"), QStringLiteral("18,6 gr"),
                                    QStringLiteral("0,2 gr")}));

    const qsizetype sum = IndexOfText(items, QStringLiteral("Summe"));
    QCOMPARE(items[sum + 1].text, QStringLiteral("78,0"));
    // Only the kcal sum stands on the "Summe" line.
    QCOMPARE(items[sum + 2].kind, RecordedItem::Line);

    const qsizetype total = IndexOfText(items, QStringLiteral("Gesamtsumme"));
    QStringList totals;
    for (qsizetype i = total + 1; i < total + 5; ++i)
        totals.append(items[i].text);
    QCOMPARE(totals, (QStringList{QStringLiteral("78,0"), QStringLiteral("0,4 gr"),
                                  QStringLiteral("18,6 gr"), QStringLiteral("0,2 gr")}));
}

void tst_PrintLayout::conversionError_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("badText");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("drawnOfRow");

    const QString refused = QStringLiteral("'12 g' ist kein gültiger Gleitkommawert");
    QTest::newRow("portion") << int(MealPortion) << QStringLiteral("12 g") << refused
                             << QStringList{QStringLiteral("Quark")};
    QTest::newRow("portion beyond single precision")
        << int(MealPortion) << QStringLiteral("1E39") << QStringLiteral("Gleitkommaüberlauf")
        << QStringList{QStringLiteral("Quark")};
    QTest::newRow("kcal") << int(MealKcal) << QStringLiteral("12 g") << refused
                          << QStringList{QStringLiteral("Quark"), QStringLiteral("250 Gramm")};
    QTest::newRow("protein") << int(MealProtein) << QStringLiteral("12 g") << refused
                             << QStringList{QStringLiteral("Quark"), QStringLiteral("250 Gramm"),
                                            QStringLiteral("180,0")};
    QTest::newRow("carbohydrate, printed before fat")
        << int(MealCarbohydrate) << QStringLiteral("12 g") << refused
        << QStringList{QStringLiteral("Quark"), QStringLiteral("250 Gramm"),
                       QStringLiteral("180,0"), QStringLiteral("30,0 gr")};
    QTest::newRow("fat, printed last")
        << int(MealFat) << QStringLiteral("12 g") << refused
        << QStringList{QStringLiteral("Quark"), QStringLiteral("250 Gramm"),
                       QStringLiteral("180,0"), QStringLiteral("30,0 gr"),
                       QStringLiteral("10,0 gr")};
}

void tst_PrintLayout::conversionError()
{
    QFETCH(int, column);
    QFETCH(QString, badText);
    QFETCH(QString, message);
    QFETCH(QStringList, drawnOfRow);

    QStringList quark{QStringLiteral("Quark"), QStringLiteral("250"), QStringLiteral("72"),
                      QStringLiteral("12"),    QStringLiteral("0,2"), QStringLiteral("4")};
    quark[column] = badText;
    const Plan plan =
        MakePlan({QList<QStringList>{Apple, quark, Bread}, {}, {Yoghurt}, {}}, ZeroTexts());

    RecordingCanvas canvas(PageWidth, PageHeight, Dpi);
    PlanPrintLayout layout(canvas);
    try {
        layout.PrintPages(plan.input);
        QFAIL("the refused text did not stop the printout");
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(), message);
    }

    // Everything up to the refused value stays drawn, the apple row whole,
    // and nothing after it: no later row, no rule, no totals, no footer.
    const QList<RecordedItem> &items = canvas.items();
    const qsizetype row = IndexOfText(items, QStringLiteral("Quark"));
    QVERIFY(IndexOfText(items, QStringLiteral("Apfel")) >= 0);
    QVERIFY(IndexOfText(items, QStringLiteral("0,2 gr")) >= 0);
    QVERIFY(row > 0);
    QStringList drawn;
    for (qsizetype i = row; i < items.size(); ++i) {
        QCOMPARE(items[i].kind, RecordedItem::Text);
        QCOMPARE(items[i].y, 935);
        drawn.append(items[i].text);
    }
    QCOMPARE(drawn, drawnOfRow);
}

void tst_PrintLayout::printingTwice()
{
    const Plan plan =
        MakePlan({NumberedRows(60), {Bread}, {Yoghurt, Apple}, NumberedRows(3)}, ZeroTexts());
    RecordingCanvas canvas(PageWidth, PageHeight, Dpi);
    PlanPrintLayout layout(canvas);
    layout.PrintPages(plan.input);
    const QList<RecordedItem> first = canvas.items();
    const int firstPages = canvas.pageCount();
    canvas.clear();
    layout.PrintPages(plan.input);

    QCOMPARE(canvas.pageCount(), firstPages);
    QVERIFY(firstPages > 1);
    QCOMPARE(canvas.items().size(), first.size());
    QVERIFY(canvas.items() == first);
    QVERIFY(Print(plan.input) == first);
}

QTEST_APPLESS_MAIN(tst_PrintLayout)
#include "tst_print_layout.moc"
