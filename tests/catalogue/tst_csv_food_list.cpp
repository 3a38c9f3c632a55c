// The spreadsheet file: files that LibreOffice Calc and Excel wrote open to
// exactly the foods of their sheets, the reading rules one by one, the bytes
// the writer gives, and that what the writer gives reads back the same.

#include "catalogue/csv_food_list.h"
#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "tests/support/foods.h"
#include "tests/support/source_path.h"

#include <QtTest>

namespace {

const QByteArray CsvHeader = QByteArrayLiteral("Name;Kalorien;Eiweiss;Fett;Kohlenhydrate\r\n");

QList<FoodRecord> readCsv(const QByteArray &bytes, QChar decimalSeparator = u',')
{
    return FoodsFromCsvBytes(bytes, decimalSeparator).rows();
}

// The foods of the sheet in tests/catalogue/data/calc_*.fods, as Calc shows
// them under German settings; the grouped "1.234,5" is the number 1234,5.
QList<FoodRecord> calcSheetFoods()
{
    return {
        apple(),
        food(u"Käse; gerieben", u"388", u"25", u"30,5", u"0,05"),
        food(u"Joghurt \"Natur\" 3,5 %", u"61", u"3,3", u"3,5", u"4"),
        food(u"Mineralwasser", u"0", u"", u"", u""),
        food(u"Studentenfutter (Beutel 250 g)", u"1234,5", u"34,5", u"77", u"95,3"),
        food(u"Crème fraîche", u"292", u"2,4", u"30", u"2,6"),
        food(u"Müsli „Früchte“", u"355", u"9,8", u"5,9", u"62,4"),
        food(u"Weißbrot, hell", u"245", u"8,2", u"1,2", u"48,6"),
        food(u"Baguette\nmit Zwiebeln", u"265", u"8", u"3,5", u"50"),
        food(u"Zucker", u"400", u"", u"0", u"100"),
    };
}

// The foods of tests/catalogue/data/excel_utf8_bom.csv.
QList<FoodRecord> excelSheetFoods()
{
    return {
        apple(),
        food(u"Käse; gerieben", u"388", u"25", u"30,5", u"0,05"),
        food(u"Joghurt \"Natur\" 3,5 %", u"61", u"3,3", u"3,5", u"4"),
        food(u"Łosoś (Lachs)", u"202", u"19,9", u"13,6", u"0"),
        food(u"Mineralwasser", u"0", u"", u"", u""),
        food(u"Studentenfutter (Beutel 250 g)", u"1234,5", u"34,5", u"77", u"95,3"),
        food(u"Baguette\nmit Zwiebeln", u"265", u"8", u"3,5", u"50"),
    };
}

// The foods of data/saved_by_program.csv, which check_in_calc.py opened in
// Calc; Calc saved them again as data/calc_resaved.csv.
QList<FoodRecord> calcCheckFoods()
{
    return calcSheetFoods() +
           QList<FoodRecord>{food(u"Łosoś (Lachs)", u"202", u"19,9", u"13,6", u"0"),
                             food(u"Ölsardinen", u"222", u"24,1", u"13,9", u"0")};
}

} // namespace

class tst_CsvFoodList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void spreadsheetFiles_data();
    void spreadsheetFiles();

    void programFileIsWhatCalcWasShown();

    void read_data();
    void read();
    void decimalPoint();

    void write_data();
    void write();
    void writeRefusesHalfSurrogates();

    void roundTrip_data();
    void roundTrip();
};

void tst_CsvFoodList::initTestCase()
{
    SetDecimalSeparator(u',');
}

void tst_CsvFoodList::spreadsheetFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<FoodRecord>>("expected");

    QTest::newRow("Calc, Windows-1252, header") << "calc_1252_kopf.csv" << calcSheetFoods();
    QTest::newRow("Calc, Windows-1252, no header") << "calc_1252_ohne_kopf.csv" << calcSheetFoods();
    QTest::newRow("Calc, UTF-8, header") << "calc_utf8_kopf.csv" << calcSheetFoods();
    QTest::newRow("Calc, UTF-8, no header") << "calc_utf8_ohne_kopf.csv" << calcSheetFoods();
    QTest::newRow("Excel, UTF-8 with byte-order mark, CR LF, own column order")
        << "excel_utf8_bom.csv" << excelSheetFoods();
    QTest::newRow("saved by the program") << "saved_by_program.csv" << calcCheckFoods();
    QTest::newRow("saved by the program, opened and saved again by Calc")
        << "calc_resaved.csv" << calcCheckFoods();
}

// Through ReadFoodList, as "Öffnen" reads a file whose name ends in ".csv".
void tst_CsvFoodList::spreadsheetFiles()
{
    QFETCH(QString, file);
    QFETCH(QList<FoodRecord>, expected);

    QCOMPARE(ReadFoodList(SourcePath(u"tests/catalogue/data/") + file).rows(), expected);
}

// check_in_calc.py showed Calc this file: it must stay what the writer gives.
void tst_CsvFoodList::programFileIsWhatCalcWasShown()
{
    QCOMPARE(readBytes(SourcePath(u"tests/catalogue/data/saved_by_program.csv")),
             CsvFoodListBytes(store(calcCheckFoods())));
}

void tst_CsvFoodList::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<FoodRecord>>("expected");

    const QByteArray header = QByteArrayLiteral("Name;Kalorien;Eiweiss;Fett;Kohlenhydrate\r\n");
    const QByteArray appleLine = QByteArrayLiteral("Apfel;52;0,3;0,4;11,4\r\n");
    const QByteArray pearLine = QByteArrayLiteral("Birne;55;0,5;0,3;12,4\r\n");
    const QList<FoodRecord> both{apple(), pear()};

    // Encoding.
    QTest::newRow("UTF-8 after a byte-order mark")
        << Bom + header + QByteArrayLiteral("K\xC3\xA4se;388;25;30,5;0,05\r\n")
        << QList<FoodRecord>{food(u"Käse", u"388", u"25", u"30,5", u"0,05")};
    QTest::newRow("UTF-8 without a byte-order mark")
        << header + QByteArrayLiteral("K\xC3\xA4se \xE2\x82\xAC \xF0\x9F\x8D\x8E;1;2;3;4\r\n")
        << QList<FoodRecord>{food(u"Käse € 🍎", u"1", u"2", u"3", u"4")};
    QTest::newRow("Windows-1252 where the bytes are not UTF-8")
        << header + QByteArrayLiteral("K\xE4se \x80 \x84x\x93;388;25;30,5;0,05\r\n")
        << QList<FoodRecord>{food(u"Käse € „x“", u"388", u"25", u"30,5", u"0,05")};
    QTest::newRow("one byte that is not UTF-8 makes the whole file Windows-1252")
        << header + QByteArrayLiteral("K\xC3\xA4se;1;2;3;4\r\nM\xFCsli;5;6;7;8\r\n")
        << QList<FoodRecord>{food(u"KÃ¤se", u"1", u"2", u"3", u"4"),
                             food(u"Müsli", u"5", u"6", u"7", u"8")};
    QTest::newRow("overlong UTF-8 form is not UTF-8")
        << header + QByteArrayLiteral("A\xC1\x81;1;2;3;4\r\n")
        << QList<FoodRecord>{food(u"AÁ\u0081", u"1", u"2", u"3", u"4")};
    QTest::newRow("encoded surrogate is not UTF-8")
        << header + QByteArrayLiteral("A\xED\xA0\x80;1;2;3;4\r\n")
        << QList<FoodRecord>{food(u"Aí\u00A0€", u"1", u"2", u"3", u"4")};
    QTest::newRow("invalid UTF-8 after a byte-order mark becomes U+FFFD")
        << Bom + header + QByteArrayLiteral("K\xE4se;1;2;3;4\r\n")
        << QList<FoodRecord>{food(u"K\uFFFDse", u"1", u"2", u"3", u"4")};
    QTest::newRow("a second byte-order mark belongs to the first cell")
        << Bom + Bom + QByteArrayLiteral("Apfel;52;0,3;0,4;11,4\r\n")
        << QList<FoodRecord>{{QChar(0xFEFF) + QStringLiteral("Apfel"), QStringLiteral("52"),
                              QStringLiteral("0,3"), QStringLiteral("0,4"),
                              QStringLiteral("11,4")}};

    // Separators.
    QTest::newRow("comma where the first line has no semicolon")
        << QByteArrayLiteral("Name,Kalorien,Eiweiss,Fett,Kohlenhydrate\n"
                             "Apfel,52,\"0,3\",\"0,4\",\"11,4\"\n\"K\xC3\xA4se; alt\",1,2,3,4\n")
        << QList<FoodRecord>{apple(), food(u"Käse; alt", u"1", u"2", u"3", u"4")};
    QTest::newRow("tab before comma: the decimal comma is no separator")
        << QByteArrayLiteral("Apfel\t52\t0,3\t0,4\t11,4\nBirne\t55\t0,5\t0,3\t12,4\n") << both;
    QTest::newRow("semicolon before tab and comma")
        << QByteArrayLiteral("Wei\xC3\x9F"
                             "brot, hell\tfein;245;8,2;1,2;48,6\n")
        << QList<FoodRecord>{food(u"Weißbrot, hell\tfein", u"245", u"8,2", u"1,2", u"48,6")};
    QTest::newRow("separators inside quotes do not count")
        << QByteArrayLiteral("\"Apfel; rot\",52,\"0,3\",\"0,4\",\"11,4\"\n")
        << QList<FoodRecord>{food(u"Apfel; rot", u"52", u"0,3", u"0,4", u"11,4")};
    QTest::newRow("separator found on the first line with characters")
        << QByteArrayLiteral("\r\n\nApfel,52,1,2,3\n")
        << QList<FoodRecord>{food(u"Apfel", u"52", u"1", u"2", u"3")};
    QTest::newRow("one column: semicolon") << QByteArrayLiteral("Apfel\nBirne\n")
                                           << QList<FoodRecord>{food(u"Apfel", u"", u"", u"", u""),
                                                                food(u"Birne", u"", u"", u"", u"")};

    // Quotes.
    QTest::newRow("quoted cells, doubled quotes")
        << header + QByteArrayLiteral("\"Joghurt \"\"Natur\"\" 3,5 %\";\"61\";3,3;3,5;\"\"\r\n")
        << QList<FoodRecord>{food(u"Joghurt \"Natur\" 3,5 %", u"61", u"3,3", u"3,5", u"")};
    QTest::newRow("semicolon in a quoted name keeps the values in place")
        << header + QByteArrayLiteral("\"K\xC3\xA4se; gerieben\";388;25;30,5;0,05\r\n")
        << QList<FoodRecord>{food(u"Käse; gerieben", u"388", u"25", u"30,5", u"0,05")};
    QTest::newRow("line breaks inside quotes belong to the cell")
        << header + QByteArrayLiteral("\"Brot\r\nhell\";1;\"2\n\";\"\r\";4\r\n") + appleLine
        << QList<FoodRecord>{food(u"Brot\r\nhell", u"1", u"2\n", u"\r", u"4"), apple()};
    QTest::newRow("text after the closing quote is kept as it stands")
        << header + QByteArrayLiteral("\"Apfel\" rot\"x;52;\"0\"\"\",3;0,4;11,4\n")
        << QList<FoodRecord>{food(u"Apfel rot\"x", u"52", u"0\",3", u"0,4", u"11,4")};
    QTest::newRow("quote inside an unquoted cell is a character")
        << header + QByteArrayLiteral("Zoll 12\" Pizza;250;10;9;30\n")
        << QList<FoodRecord>{food(u"Zoll 12\" Pizza", u"250", u"10", u"9", u"30")};
    QTest::newRow("a quote that never closes runs to the end")
        << header + appleLine + QByteArrayLiteral("\"Birne;55\r\nKiwi;1;2;3;4\r\n")
        << QList<FoodRecord>{apple(), food(u"Birne;55\r\nKiwi;1;2;3;4\r\n", u"", u"", u"", u"")};
    QTest::newRow("a lone quote at the end is an empty cell")
        << header + QByteArrayLiteral("Apfel;52;0,3;0,4;\"")
        << QList<FoodRecord>{food(u"Apfel", u"52", u"0,3", u"0,4", u"")};

    // Lines.
    QTest::newRow("LF line ends") << QByteArrayLiteral(
                                         "Name;Kalorien;Eiweiss;Fett;Kohlenhydrate\n"
                                         "Apfel;52;0,3;0,4;11,4\nBirne;55;0,5;0,3;12,4\n")
                                  << both;
    QTest::newRow("CR line ends") << QByteArrayLiteral(
                                         "Name;Kalorien;Eiweiss;Fett;Kohlenhydrate\r"
                                         "Apfel;52;0,3;0,4;11,4\rBirne;55;0,5;0,3;12,4\r")
                                  << both;
    QTest::newRow("last line without a line break")
        << header + appleLine + pearLine.chopped(2) << both;
    QTest::newRow("lines without any character are no foods")
        << QByteArrayLiteral("\r\n") + header + QByteArrayLiteral("\r\n\n") + appleLine +
               QByteArrayLiteral("\r\n\r\n") + pearLine + QByteArrayLiteral("\r\n")
        << both;
    QTest::newRow("a line of separators is a food with empty cells")
        << header + appleLine + QByteArrayLiteral(";;;;\r\n")
        << QList<FoodRecord>{apple(), food(u"", u"", u"", u"", u"")};
    QTest::newRow("a NUL is a character")
        << header + QByteArrayLiteral("Ap\0fel;52;0,3;0,4;11,4\r\n") + pearLine
        << QList<FoodRecord>{{QStringLiteral("Ap") + QChar(0) + QStringLiteral("fel"),
                              QStringLiteral("52"), QStringLiteral("0,3"), QStringLiteral("0,4"),
                              QStringLiteral("11,4")},
                             pear()};
    QTest::newRow("empty file") << QByteArray() << QList<FoodRecord>{};
    QTest::newRow("byte-order mark alone") << Bom << QList<FoodRecord>{};
    QTest::newRow("header alone") << header << QList<FoodRecord>{};

    // Header or first food.
    QTest::newRow("no header: the first line is a food") << appleLine + pearLine << both;
    QTest::newRow("first food with a value that is no number is still a food")
        << QByteArrayLiteral("Apfel;etwa 50;0,3;0,4;11,4\n")
        << QList<FoodRecord>{food(u"Apfel", u"etwa 50", u"0,3", u"0,4", u"11,4")};
    QTest::newRow("first food with a grouped number is a food")
        << QByteArrayLiteral("Nuss;1.234,5;x;y;z\n")
        << QList<FoodRecord>{food(u"Nuss", u"1234,5", u"x", u"y", u"z")};
    QTest::newRow("first food without values is a food")
        << QByteArrayLiteral("Apfel;;;;\n") + pearLine
        << QList<FoodRecord>{food(u"Apfel", u"", u"", u"", u""), pear()};
    QTest::newRow("header of the name column alone")
        << QByteArrayLiteral("Bezeichnung\nApfel\n")
        << QList<FoodRecord>{food(u"Apfel", u"", u"", u"", u"")};
    QTest::newRow("header of two columns")
        << QByteArrayLiteral("Was;Wie viel\nApfel;52\n")
        << QList<FoodRecord>{food(u"Apfel", u"52", u"", u"", u"")};
    QTest::newRow("quoted header")
        << QByteArrayLiteral("\"Name\";\"Kalorien\";\"Eiwei\xC3\x9F\";\"Fett\";\"KH\"\n") +
               appleLine
        << QList<FoodRecord>{apple()};

    // Columns.
    QTest::newRow("columns found by the header's names")
        << QByteArrayLiteral("Marke;KH;Fett;Eiweiss;kcal;Lebensmittel\n"
                             "Hof;11,4;0,4;0,3;52;Apfel\n")
        << QList<FoodRecord>{apple()};
    QTest::newRow("names with units, in any case")
        << QByteArrayLiteral("BEZEICHNUNG (Handel);Energie (kcal/100 g);Protein [g];fett, g;"
                             "Kohlenhydrate gesamt\nApfel;52;0,3;0,4;11,4\n")
        << QList<FoodRecord>{apple()};
    QTest::newRow("energy in kJ is not the kcal column")
        << QByteArrayLiteral("Name;Energie (kJ);Energie (kcal);Eiweiß;Fett;KH\n"
                             "Apfel;218;52;0,3;0,4;11,4\n")
        << QList<FoodRecord>{apple()};
    QTest::newRow("the first column of a name counts")
        << QByteArrayLiteral("Name;Fett;Fett (ges\xC3\xA4ttigt);Kalorien;Eiweiss;KH\n"
                             "Apfel;0,4;0,1;52;0,3;11,4\n")
        << QList<FoodRecord>{apple()};
    QTest::newRow("columns the header does not name are read by position")
        << QByteArrayLiteral("Produkt;Brennwert;Eiweiss;Fett;Zucker\nApfel;52;0,3;0,4;11,4\n")
        << QList<FoodRecord>{apple()};
    QTest::newRow("a position another field is named at stays empty")
        << QByteArrayLiteral("Produkt;Fett;Marke\nApfel;0,4;Hof\n")
        << QList<FoodRecord>{food(u"Apfel", u"", u"Hof", u"0,4", u"")};
    QTest::newRow("further columns ignored, missing cells empty")
        << header.chopped(2) + QByteArrayLiteral(";Marke;Preis\r\n") +
               QByteArrayLiteral("Apfel;52;0,3;0,4;11,4;Hof;1,99\r\nBirne;55\r\n")
        << QList<FoodRecord>{apple(), food(u"Birne", u"55", u"", u"", u"")};

    QTest::newRow("a nutrient table's codes and units settle ties")
        << QByteArrayLiteral(
               "BLS Code;Lebensmittelbezeichnung;Food name;ENERCJ Energie (Kilojoule) "
               "[kJ/100g];ENERCJ Datenherkunft;ENERCC Energie (Kilokalorien) [kcal/100g];"
               "PROTANI Protein, tierisch [g/100g];PROT625 Protein (Nx6,25) [g/100g];"
               "FASAT Fetts\xC3\xA4uren, gesamt, Fett [g/100g];FAT Fett [g/100g];"
               "CHOT Kohlenhydrate, gesamt [mg/100g];CHO Kohlenhydrate, verf\xC3\xBCgbar "
               "[g/100g];STARCH St\xC3\xA4rke [g/100g]\n"
               "X1;Apfel;Apple;218;Analyse;52;0;0,3;0,1;0,4;12;11,4;0\n")
        << QList<FoodRecord>{apple()};
    QTest::newRow("a first word beats a later one")
        << QByteArrayLiteral("Name;Notiz zum Fett;Kalorien;Eiweiss;Fett (g);KH\n"
                             "Apfel;wenig;52;0,3;0,4;11,4\n")
        << QList<FoodRecord>{apple()};
    QTest::newRow("kilojoules alone are no kcal column, not even by position")
        << QByteArrayLiteral("Name;Energie in Kilojoule;Eiweiss;Fett;KH\nApfel;218;0,3;0,4;11,4\n")
        << QList<FoodRecord>{food(u"Apfel", u"", u"0,3", u"0,4", u"11,4")};

    // Texts.
    QTest::newRow("traces and limits read as 0, no value as empty, unquoted number cells alone")
        << header + QByteArrayLiteral("TR;TR;<LOD;\"<LOQ\";-\r\n-;1;-0;tr;<LOD \r\n")
        << QList<FoodRecord>{food(u"TR", u"0", u"0", u"<LOQ", u""),
                             food(u"-", u"1", u"-0", u"tr", u"<LOD ")};
    QTest::newRow("grouping dropped from number cells")
        << header + QByteArrayLiteral("Nuss;1.234,5;-1.234.567,25;+1.000;12.345\r\n")
        << QList<FoodRecord>{food(u"Nuss", u"1234,5", u"-1234567,25", u"+1000", u"12345")};
    QTest::newRow("texts that are no grouped numbers stay as they are")
        << header + QByteArrayLiteral("Nuss;1.5;12.34,5;1.2345;1.234,5 g\r\n")
        << QList<FoodRecord>{food(u"Nuss", u"1.5", u"12.34,5", u"1.2345", u"1.234,5 g")};
    QTest::newRow("grouping kept in quotes and in the name")
        << header + QByteArrayLiteral("1.234;\"1.234,5\";1;2;3\r\n")
        << QList<FoodRecord>{food(u"1.234", u"1.234,5", u"1", u"2", u"3")};
    QTest::newRow("blanks kept, names not cut")
        << header + QByteArrayLiteral(" Apfel ; 52;0,3 ;; \r\n") + QByteArray(60, 'N') +
               QByteArrayLiteral(";") + QByteArray(60, '5') + QByteArrayLiteral(";1;2;3\r\n")
        << QList<FoodRecord>{food(u" Apfel ", u" 52", u"0,3 ", u"", u" "),
                             {QString(60, u'N'), QString(60, u'5'), QStringLiteral("1"),
                              QStringLiteral("2"), QStringLiteral("3")}};
}

void tst_CsvFoodList::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<FoodRecord>, expected);

    QCOMPARE(readCsv(bytes), expected);
}

void tst_CsvFoodList::decimalPoint()
{
    const QByteArray bytes = QByteArrayLiteral("Name,Kalorien,Eiweiss,Fett,Kohlenhydrate\n"
                                               "Nuss,\"1,234.5\",\"1.234,5\",1,234.5\n");
    // Under the decimal point "," groups; this file's unquoted "1" and
    // "234.5" are cells of their own.
    QCOMPARE(readCsv(bytes, u'.'),
             QList<FoodRecord>{food(u"Nuss", u"1,234.5", u"1.234,5", u"1", u"234.5")});
    QCOMPARE(readCsv(QByteArrayLiteral("Nuss;1,234.5;1.234,5;1;2\n"), u'.'),
             QList<FoodRecord>{food(u"Nuss", u"1234.5", u"1.234,5", u"1", u"2")});
    // Under another separator nothing is dropped.
    QCOMPARE(readCsv(QByteArrayLiteral("Nuss;1,234.5;1.234,5;1;2\n"), u'#'),
             QList<FoodRecord>{food(u"Nuss", u"1,234.5", u"1.234,5", u"1", u"2")});
}

void tst_CsvFoodList::write_data()
{
    QTest::addColumn<QList<FoodRecord>>("foods");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray start = Bom + CsvHeader;

    QTest::newRow("empty catalogue: mark and header") << QList<FoodRecord>{} << start;
    QTest::newRow("CR LF after every row, no final separator")
        << QList<FoodRecord>{apple(), pear()}
        << start + QByteArrayLiteral("Apfel;52;0,3;0,4;11,4\r\nBirne;55;0,5;0,3;12,4\r\n");
    QTest::newRow("empty values") << QList<FoodRecord>{food(u"Wasser", u"0", u"", u"", u""),
                                                       food(u"", u"", u"", u"", u"")}
                                  << start + QByteArrayLiteral("Wasser;0;;;\r\n;;;;\r\n");
    QTest::newRow("UTF-8 letters, beyond Windows-1252 too")
        << QList<FoodRecord>{food(u"Käse Łosoś €🍎", u"1", u"2", u"3", u"4")}
        << start + QByteArrayLiteral("K\xC3\xA4se \xC5\x81oso\xC5\x9B \xE2\x82\xAC"
                                     "\xF0\x9F\x8D\x8E;1;2;3;4\r\n");
    QTest::newRow("quoted where a cell holds a semicolon, a quote or a line break")
        << QList<FoodRecord>{food(u"Käse; gerieben", u"1\"", u"a\rb", u"c\nd", u"\r\n")}
        << start + QByteArrayLiteral("\"K\xC3\xA4se; gerieben\";\"1\"\"\";\"a\rb\";\"c\nd\";"
                                     "\"\r\n\"\r\n");
    QTest::newRow("commas, tabs, blanks and quotes inside need no quotes where alone")
        << QList<FoodRecord>{food(u" Weißbrot, hell\t", u" 1", u"2 ", u"", u"x")}
        << start + QByteArrayLiteral(" Wei\xC3\x9F"
                                     "brot, hell\t; 1;2 ;;x\r\n");
    QTest::newRow("grouped number text quoted in a number cell, not in the name")
        << QList<FoodRecord>{food(u"1.234", u"1.234,5", u"1,234.5", u"1.5", u"1234,5")}
        << start + QByteArrayLiteral("1.234;\"1.234,5\";\"1,234.5\";1.5;1234,5\r\n");
    QTest::newRow("marks for traces and no value quoted in a number cell, not in the name")
        << QList<FoodRecord>{food(u"TR", u"TR", u"<LOD", u"-", u"-0")}
        << start + QByteArrayLiteral("TR;\"TR\";\"<LOD\";\"-\";-0\r\n");
    QTest::newRow("names longer than the food list file's limit written whole")
        << QList<FoodRecord>{{QString(60, u'N'), QStringLiteral("1"), QStringLiteral("2"),
                              QStringLiteral("3"), QStringLiteral("4")}}
        << start + QByteArray(60, 'N') + QByteArrayLiteral(";1;2;3;4\r\n");
    QTest::newRow("short record padded") << QList<FoodRecord>{{QStringLiteral("Birne")}}
                                         << start + QByteArrayLiteral("Birne;;;;\r\n");
}

void tst_CsvFoodList::write()
{
    QFETCH(QList<FoodRecord>, foods);
    QFETCH(QByteArray, expected);

    QCOMPARE(CsvFoodListBytes(store(foods)), expected);
}

void tst_CsvFoodList::writeRefusesHalfSurrogates()
{
    const QList<FoodRecord> foods{apple(),
                                  {QStringLiteral("Birne"), QStringLiteral("5") + QChar(0xD83C),
                                   QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}};
    QCOMPARE(failureOf([&] { CsvFoodListBytes(store(foods)); }),
             QStringLiteral("Nicht gespeichert: Lebensmittel \"Birne\", Kalorien \"5") +
                 QChar(0xD83C) +
                 QStringLiteral("\" enthält ein Zeichen, das die Datei nicht speichern "
                                "kann"));
}

void tst_CsvFoodList::roundTrip_data()
{
    QTest::addColumn<QList<FoodRecord>>("foods");

    QTest::newRow("the sheet's foods") << calcSheetFoods();
    QTest::newRow("the Excel file's foods") << excelSheetFoods();
    QTest::newRow("first food looks like a header")
        << QList<FoodRecord>{food(u"Name", u"Kalorien", u"Eiweiss", u"Fett", u"KH"), apple()};
    QTest::newRow("first food empty") << QList<FoodRecord>{food(u"", u"", u"", u"", u""), apple()};
    QTest::newRow("quotes at the start, end and alone")
        << QList<FoodRecord>{food(u"\"", u"\"\"", u"\"a", u"a\"", u" \"x\" ")};
    QTest::newRow("line ends of every kind")
        << QList<FoodRecord>{food(u"\r", u"\n", u"\r\n", u"\n\r", u"a\r\r\nb")};
    QTest::newRow("grouped numbers under either separator")
        << QList<FoodRecord>{food(u"1.234", u"1.234", u"-1,234.5", u"+999.999,9", u"1.234,")};
    QTest::newRow("NUL, byte-order mark and controls")
        << QList<FoodRecord>{{QString(1, QChar(0)), QString(1, QChar(0xFEFF)), QStringLiteral("\t"),
                              QString(1, QChar(0x81)), QString(1, QChar(0x1F))}};
    QTest::newRow("tabs and commas in the first food")
        << QList<FoodRecord>{food(u"a,b\tc", u",", u"\t", u"1,5", u"2")};
    QList<FoodRecord> large;
    for (int i = 0; i < 5000; ++i) {
        large.append({QStringLiteral("Lebensmittel %1 äöüß€; \"Ł\"").arg(i), QString::number(i),
                      QStringLiteral("%1,%2").arg(i % 100).arg(i % 7), QStringLiteral("1.234,5"),
                      QString()});
    }
    QTest::newRow("a catalogue the size users keep") << large;
}

void tst_CsvFoodList::roundTrip()
{
    QFETCH(QList<FoodRecord>, foods);

    const QByteArray bytes = CsvFoodListBytes(store(foods));
    for (QChar separator : {u',', u'.', u'#'})
        QCOMPARE(readCsv(bytes, separator), foods);
}

QTEST_APPLESS_MAIN(tst_CsvFoodList)
#include "tst_csv_food_list.moc"
