// Workbooks: files that LibreOffice Calc, Gnumeric and openpyxl wrote open to
// exactly the foods of their first sheet, the sheet saved by Calc as a CSV to
// the same foods, numbers become the texts a spreadsheet shows, the parts'
// XML is read by the format's rules, and every kind of broken workbook ends
// in a message that says what is wrong with it.

#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "catalogue/food_table.h"
#include "catalogue/ods_food_list.h"
#include "catalogue/xlsx_food_list.h"
#include "core/number_text.h"
#include "tests/support/failure_of.h"
#include "tests/support/foods.h"
#include "tests/support/source_path.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

QString workbookData(const QString &name)
{
    return SourcePath(u"tests/catalogue/data/workbooks/") + name;
}

// A value of an expected-foods file: \t, \n and \\ stand for a tab, a line
// break and a backslash.
QString unescaped(QStringView text)
{
    QString value;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            value += text[i];
            continue;
        }
        const QChar next = text[++i];
        value += next == u't' ? QChar(u'\t') : next == u'n' ? QChar(u'\n') : next;
    }
    return value;
}

QList<FoodRecord> expectedFoods(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<FoodRecord> foods;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty())
            continue;
        FoodRecord food;
        for (const QString &value : line.split(u'\t'))
            food.append(unescaped(value));
        while (food.size() < FoodFieldCount)
            food.append(QString());
        foods.append(food);
    }
    return foods;
}

const QByteArray OdsHead =
    QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
                      "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                      "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
                      "<office:spreadsheet><table:table table:name=\"Lebensmittel\">");
const QByteArray OdsTail = QByteArrayLiteral(
    "</table:table></office:spreadsheet></office:body></office:document-content>");

QByteArray odsCell(const QByteArray &text)
{
    return "<table:table-cell office:value-type=\"string\"><text:p>" + text +
           "</text:p></table:table-cell>";
}

QByteArray odsNumber(const QByteArray &value)
{
    return "<table:table-cell office:value-type=\"float\" office:value=\"" + value +
           "\"><text:p>shown</text:p></table:table-cell>";
}

const QByteArray OdsHeaderRow = "<table:table-row>" + odsCell("Name") + odsCell("Kalorien") +
                                odsCell("Eiweiss") + odsCell("Fett") + odsCell("KH") +
                                "</table:table-row>";

const QByteArray SheetHead = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>");
const QByteArray SheetTail = QByteArrayLiteral("</sheetData></worksheet>");

} // namespace

class tst_WorkbookFoodList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void filesOfSpreadsheetPrograms_data();
    void filesOfSpreadsheetPrograms();

    void numberCellText_data();
    void numberCellText();

    void odsContent_data();
    void odsContent();
    void xlsxSheet_data();
    void xlsxSheet();

    void badWorkbooks_data();
    void badWorkbooks();
};

void tst_WorkbookFoodList::initTestCase()
{
    SetDecimalSeparator(u',');
}

void tst_WorkbookFoodList::filesOfSpreadsheetPrograms_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("expected");

    const QDir folder(workbookData(QString()));
    const QStringList files = folder.entryList(
        {QStringLiteral("*.xlsx"), QStringLiteral("*.ods"), QStringLiteral("*.csv")}, QDir::Files);
    for (const QString &file : files) {
        if (file.startsWith(QLatin1String("bad_")))
            continue;
        const QString base = file.left(file.lastIndexOf(u'.'));
        QString expected = folder.filePath(file + QStringLiteral(".expected.tsv"));
        if (!QFile::exists(expected))
            expected = folder.filePath(base + QStringLiteral(".expected.tsv"));
        QTest::newRow(qPrintable(file)) << folder.filePath(file) << expected;
    }
}

// Every file opens to exactly the foods its writer was given, in the order
// of its rows.
void tst_WorkbookFoodList::filesOfSpreadsheetPrograms()
{
    QFETCH(QString, fileName);
    QFETCH(QString, expected);
    const QList<FoodRecord> foods = expectedFoods(expected);
    QVERIFY2(!foods.isEmpty(), qPrintable(expected));
    QCOMPARE(ReadFoodList(fileName).rows(), foods);
}

void tst_WorkbookFoodList::numberCellText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("two decimals") << 11.38 << QStringLiteral("11,38");
    QTest::newRow("whole") << 343.0 << QStringLiteral("343");
    QTest::newRow("a sum's last bit dropped at 15 digits") << (0.1 + 0.2) << QStringLiteral("0,3");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
    QTest::newRow("negative") << -2.5 << QStringLiteral("-2,5");
    QTest::newRow("small") << 0.000125 << QStringLiteral("0,000125");
    QTest::newRow("tiny with an exponent") << 0.0000015 << QStringLiteral("1,5E-06");
    QTest::newRow("15 digits stay") << 123456789012345.0 << QStringLiteral("123456789012345");
    QTest::newRow("large with an exponent") << 1.5e20 << QStringLiteral("1,5E+20");
    QTest::newRow("17 digits rounded to 15")
        << 1.2345678901234567 << QStringLiteral("1,23456789012346");
    QTest::newRow("round trip of a third") << (1.0 / 3) << QStringLiteral("0,333333333333333");
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << QString();
}

void tst_WorkbookFoodList::numberCellText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(NumberCellText(value, u','), text);
    QCOMPARE(NumberCellText(value, u'.'), QString(text).replace(u',', u'.'));
}

void tst_WorkbookFoodList::odsContent_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QList<FoodRecord>>("expected");

    const QByteArray appleCells = odsCell("Apfel") + odsNumber("52") + odsNumber("0.3") +
                                  odsNumber("0.4") + odsNumber("11.4");
    const QByteArray appleRow = "<table:table-row>" + appleCells + "</table:table-row>";
    QTest::newRow("numbers by their value, not as shown")
        << OdsHeaderRow + appleRow << QList<FoodRecord>{apple()};
    QTest::newRow("a repeated row counts as often as it says")
        << OdsHeaderRow + "<table:table-row table:number-rows-repeated=\"3\">" + appleCells +
               "</table:table-row>"
        << QList<FoodRecord>{apple(), apple(), apple()};
    QTest::newRow("Calc's million empty rows and columns pass quickly")
        << OdsHeaderRow + appleRow +
               "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
               "table:number-columns-repeated=\"16384\"/></table:table-row>" +
               "<table:table-row>" + appleCells + "</table:table-row>"
        << QList<FoodRecord>{apple(), apple()};
    QTest::newRow("repeated cells fill their columns")
        << OdsHeaderRow + "<table:table-row>" + odsCell("Wasser") +
               "<table:table-cell office:value-type=\"float\" office:value=\"0\" "
               "table:number-columns-repeated=\"4\"/></table:table-row>"
        << QList<FoodRecord>{food(u"Wasser", u"0", u"0", u"0", u"0")};
    QTest::newRow("empty cells keep the columns' places")
        << OdsHeaderRow + "<table:table-row>" + odsCell("Salz") +
               "<table:table-cell table:number-columns-repeated=\"3\"/>" + odsCell("TR") +
               "</table:table-row>"
        << QList<FoodRecord>{food(u"Salz", u"", u"", u"", u"0")};
    QTest::newRow("paragraphs, spaces, tabs; annotations left out")
        << OdsHeaderRow +
               "<table:table-row><table:table-cell office:value-type=\"string\">"
               "<office:annotation><text:p>Notiz</text:p></office:annotation>"
               "<text:p>K<text:span>\xC3\xA4</text:span>se<text:s text:c=\"2\"/>alt</text:p>"
               "<text:p>a<text:tab/>b<text:line-break/>c</text:p></table:table-cell>"
               "</table:table-row>"
        << QList<FoodRecord>{food(u"Käse  alt\na\tb\nc", u"", u"", u"", u"")};
    QTest::newRow("booleans and percentages")
        << OdsHeaderRow + "<table:table-row>" + odsCell("Test") +
               "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/>"
               "<table:table-cell office:value-type=\"percentage\" office:value=\"0.25\"/>"
               "</table:table-row>"
        << QList<FoodRecord>{food(u"Test", u"WAHR", u"0,25", u"", u"")};
    QTest::newRow("the first table alone")
        << OdsHeaderRow + appleRow + "</table:table><table:table table:name=\"Zwei\">" + appleRow
        << QList<FoodRecord>{apple()};
}

void tst_WorkbookFoodList::odsContent()
{
    QFETCH(QByteArray, rows);
    QFETCH(QList<FoodRecord>, expected);
    QCOMPARE(FoodsFromOdsContent(OdsHead + rows + OdsTail, u',').rows(), expected);
}

void tst_WorkbookFoodList::xlsxSheet_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QList<FoodRecord>>("expected");

    const QByteArray header = QByteArrayLiteral(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>3</v></c>"
        "<c r=\"E1\" t=\"s\"><v>4</v></c></row>");
    QTest::newRow("shared strings, numbers, a formula's stored result")
        << header + "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>5</v></c><c r=\"B2\"><v>52</v></c>"
                    "<c r=\"C2\"><f>0.1+0.2</f><v>0.30000000000000004</v></c>"
                    "<c r=\"D2\" t=\"str\"><f>\"0,4\"</f><v>0,4</v></c>"
                    "<c r=\"E2\" s=\"3\"><v>11.4</v></c></row>"
        << QList<FoodRecord>{food(u"Apfel", u"52", u"0,3", u"0,4", u"11,4")};
    QTest::newRow("cells placed by their reference, gaps empty, rows without cells no food")
        << header +
               "<row r=\"3\"/><row r=\"7\"><c r=\"E7\"><v>1</v></c><c r=\"A7\" t=\"inlineStr\">"
               "<is><r><t>Bir</t></r><r><rPh><t>x</t></rPh><t>ne</t></r></is></c></row>"
        << QList<FoodRecord>{food(u"Birne", u"", u"", u"", u"1")};
    QTest::newRow("a cell whose row began inside it has no place")
        << "<c><row/><v>7</v></c>" + header + "<row><c t=\"s\"><v>5</v><row/></c></row>"
        << QList<FoodRecord>{};
    QTest::newRow("cells without reference follow the one before")
        << header + "<row><c t=\"s\"><v>5</v></c><c><v>1E-7</v></c><c t=\"b\"><v>0</v></c>"
                    "<c t=\"e\"><v>#DIV/0!</v></c></row>"
        << QList<FoodRecord>{food(u"Apfel", u"1E-07", u"FALSCH", u"#DIV/0!", u"")};
}

void tst_WorkbookFoodList::xlsxSheet()
{
    QFETCH(QByteArray, rows);
    QFETCH(QList<FoodRecord>, expected);
    const SharedStrings strings = SharedStringsFromXml(
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<si><t>Name</t></si><si><t>Kalorien</t></si><si><t>Eiweiss</t></si><si><t>Fett</t></si>"
        "<si><r><t>Kohlen</t></r><r><rPr><b/></rPr><t>hydrate</t></r></si>"
        "<si><t>Apfel</t></si></sst>");
    QCOMPARE(FoodsFromXlsxSheet(SheetHead + rows + SheetTail, strings, u',').rows(), expected);
}

void tst_WorkbookFoodList::badWorkbooks_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("reason");

    const QDir folder(workbookData(QString()));
    const QStringList files = folder.entryList({QStringLiteral("bad_*")}, QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString &file : files) {
        QString reason;
        if (file.contains(QLatin1String("not_archive")))
            reason = QStringLiteral("sie ist keine Arbeitsmappe");
        else if (file.contains(QLatin1String("cut")) || file.contains(QLatin1String("trunc")))
            reason = QStringLiteral("die Arbeitsmappe ist beschädigt oder unvollständig");
        else if (file.contains(QLatin1String("no_sheet")))
            reason = QStringLiteral("die Arbeitsmappe enthält keine Tabelle");
        else if (file.contains(QLatin1String("not_xml")))
            reason = QStringLiteral("ein Teil der Arbeitsmappe ist kein gültiges XML");
        else if (file.contains(QLatin1String("cells")) || file.contains(QLatin1String("wide")))
            reason = QStringLiteral("eine Zeile der Tabelle hat mehr als 16.384 Zellen");
        else if (file.contains(QLatin1String("cell")))
            reason = QStringLiteral("ein Eintrag der Tabelle ist größer als 8 MB");
        else if (file.contains(QLatin1String("bomb")) || file.contains(QLatin1String("inflat")))
            reason = QStringLiteral("ein Teil der Arbeitsmappe entpackt sich auf mehr als das "
                                    "Hundertfache seiner Größe");
        QTest::newRow(qPrintable(file)) << folder.filePath(file) << reason;
    }
}

// Each ends in a message that names the file and says what is wrong with it.
void tst_WorkbookFoodList::badWorkbooks()
{
    QFETCH(QString, fileName);
    QFETCH(QString, reason);
    QVERIFY2(!reason.isEmpty(), "a bad input the test does not know");
    const QString message = failureOf([&] { ReadFoodList(fileName); });
    const QString start = QStringLiteral("Datei %1 kann nicht gelesen werden: ").arg(fileName);
    QVERIFY2(message.startsWith(start + reason), qPrintable(message));
}

QTEST_APPLESS_MAIN(tst_WorkbookFoodList)
#include "tst_workbook_food_list.moc"
