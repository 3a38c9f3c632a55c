#include "catalogue/csv_food_list.h"
#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "tests/support/foods.h"

#include <QtTest>

namespace {

const QByteArray Header = QByteArrayLiteral("Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;");
const QByteArray AppleLine = QByteArrayLiteral("Apfel;52;0,3;0,4;11,4;");
const QByteArray PearLine = QByteArrayLiteral("Birne;55;0,5;0,3;12,4;");

void writeBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class tst_FoodListFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void read_data();
    void read();
    void codePageKeepsAllBytes();
    void fileKeepsAllBytes();

    void write_data();
    void write();
    void writeReplacesLongerFile();
    void writtenCatalogueReadsBack();

    void checkStorable_data();
    void checkStorable();

    void writeFailure_data();
    void writeFailure();
    void readFailure_data();
    void readFailure();

    void formatOf_data();
    void formatOf();
    void readChoosesFormatByName();
    void refusedSpreadsheetKeepsPreviousFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_FoodListFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_FoodListFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<FoodRecord>>("expected");

    const QByteArray crlf = QByteArrayLiteral("\r\n");
    const QList<FoodRecord> both{apple(), pear()};

    QTest::newRow("CR LF line ends") << Header + crlf + AppleLine + crlf + PearLine + crlf << both;
    QTest::newRow("LF line ends") << Header + '\n' + AppleLine + '\n' + PearLine + '\n' << both;
    QTest::newRow("CR line ends") << Header + '\r' + AppleLine + '\r' + PearLine + '\r' << both;
    QTest::newRow("mixed line ends")
        << Header + '\n' + AppleLine + '\r' + PearLine + crlf +
               QByteArrayLiteral("M\xF6hre;36;1;0,2;6,9;\n")
        << QList<FoodRecord>{apple(), pear(), food(u"Möhre", u"36", u"1", u"0,2", u"6,9")};
    QTest::newRow("LF CR is two line ends")
        << Header + crlf + AppleLine + QByteArrayLiteral("\n\r") + PearLine + crlf
        << QList<FoodRecord>{apple(), food(u"", u"", u"", u"", u""), pear()};
    QTest::newRow("LF LF is two line ends")
        << Header + '\n' + AppleLine + QByteArrayLiteral("\n\n") + PearLine + '\n'
        << QList<FoodRecord>{apple(), food(u"", u"", u"", u"", u""), pear()};
    QTest::newRow("CR CR LF is two line ends")
        << Header + crlf + AppleLine + QByteArrayLiteral("\r\r\n") + PearLine
        << QList<FoodRecord>{apple(), food(u"", u"", u"", u"", u""), pear()};
    QTest::newRow("final line without a line break")
        << Header + crlf + AppleLine + crlf + PearLine << both;
    QTest::newRow("final line without break and without final semicolon")
        << Header + crlf + AppleLine + crlf + QByteArrayLiteral("Birne;55;0,5;0,3;12,4") << both;
    QTest::newRow("NUL ends the text")
        << Header + crlf + AppleLine + crlf + QByteArrayLiteral("Bir\0ne;55;0,5;0,3;12,4;\r\n") +
               PearLine + crlf
        << QList<FoodRecord>{apple(), food(u"Bir", u"", u"", u"", u"")};
    QTest::newRow("NUL in the header leaves no food")
        << QByteArrayLiteral("Name;\0Kalorien\r\n") + AppleLine + crlf << QList<FoodRecord>{};
    QTest::newRow("header skipped whatever it holds")
        << QByteArrayLiteral("Lebensmittel,kcal,Eiweiss\r\n") + AppleLine + crlf
        << QList<FoodRecord>{apple()};
    QTest::newRow("empty header line skipped")
        << crlf + AppleLine + crlf << QList<FoodRecord>{apple()};
    QTest::newRow("no header: the first food is lost")
        << AppleLine + crlf + PearLine + crlf << QList<FoodRecord>{pear()};
    QTest::newRow("header only") << Header + crlf << QList<FoodRecord>{};
    QTest::newRow("header only without line break") << Header << QList<FoodRecord>{};
    QTest::newRow("empty file") << QByteArray() << QList<FoodRecord>{};

    QTest::newRow("short line after the apple gets empty values, not the apple's")
        << Header + crlf + AppleLine + crlf + QByteArrayLiteral("Birne;55\r\n")
        << QList<FoodRecord>{apple(), food(u"Birne", u"55", u"", u"", u"")};
    QTest::newRow("blank line after the apple gives an empty row")
        << Header + crlf + AppleLine + crlf + crlf + PearLine + crlf
        << QList<FoodRecord>{apple(), food(u"", u"", u"", u"", u""), pear()};
    QTest::newRow("more than ten fields: the first five make the row")
        << Header + crlf + QByteArrayLiteral("Apfel;52;0,3;0,4;11,4;x;x;x;x;x;x;x;x;\r\n") +
               PearLine
        << both;
    QTest::newRow("name of 51 characters cut to 50")
        << Header + crlf + QByteArray(51, 'N') + QByteArrayLiteral(";52;0,3;0,4;11,4;")
        << QList<FoodRecord>{{QString(50, QLatin1Char('N')), QStringLiteral("52"),
                              QStringLiteral("0,3"), QStringLiteral("0,4"),
                              QStringLiteral("11,4")}};
    QTest::newRow("number text of 60 characters cut to 50, next field in place")
        << Header + crlf + QByteArrayLiteral("Apfel;") + QByteArray(60, '5') +
               QByteArrayLiteral(";0,3;0,4;11,4;")
        << QList<FoodRecord>{{QStringLiteral("Apfel"), QString(50, QLatin1Char('5')),
                              QStringLiteral("0,3"), QStringLiteral("0,4"),
                              QStringLiteral("11,4")}};
    QTest::newRow("semicolon in a name moves the values one column")
        << Header + crlf + QByteArrayLiteral("Brot; hell;250;8;1;50;")
        << QList<FoodRecord>{food(u"Brot", u" hell", u"250", u"8", u"1")};
    QTest::newRow("blanks and empty values kept as they stand")
        << Header + crlf + QByteArrayLiteral(" Apfel ;;0,3 ;; ;")
        << QList<FoodRecord>{food(u" Apfel ", u"", u"0,3 ", u"", u" ")};
    QTest::newRow("UTF-8 byte-order mark: read as UTF-8")
        << Bom + Header + crlf +
               QByteArrayLiteral("K\xC3\xA4se \xC5\x81oso\xC5\x9B;388;25;30,5;0,05;\r\n") +
               PearLine + crlf
        << QList<FoodRecord>{food(u"Käse Łosoś", u"388", u"25", u"30,5", u"0,05"), pear()};
    QTest::newRow("UTF-8 byte-order mark: 50 characters kept, not 50 bytes")
        << Bom + Header + crlf + QByteArray("\xC3\xA4").repeated(51) +
               QByteArrayLiteral(";1;2;3;4;")
        << QList<FoodRecord>{{QString(50, QChar(0xE4)), QStringLiteral("1"), QStringLiteral("2"),
                              QStringLiteral("3"), QStringLiteral("4")}};
    QTest::newRow("UTF-8 byte-order mark: a character beyond the basic plane is one")
        << Bom + Header + crlf + QByteArray(49, 'N') +
               QByteArrayLiteral("\xF0\x9F\x8D\x8E\xF0\x9F\x8D\x8E;1;2;3;4;")
        << QList<FoodRecord>{{QString(49, QLatin1Char('N')) + QStringLiteral("🍎"),
                              QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4")}};
    QTest::newRow("UTF-8 byte-order mark: header skipped, semicolons split, NUL ends")
        << Bom + AppleLine + crlf + QByteArrayLiteral("Brot; hell;250;8;1;50;\r\nBir\0ne;55;\r\n") +
               PearLine
        << QList<FoodRecord>{food(u"Brot", u" hell", u"250", u"8", u"1"),
                             food(u"Bir", u"", u"", u"", u"")};
    QTest::newRow("UTF-8 byte-order mark: a U+FEFF at the start of a field is kept")
        << Bom + Header + crlf +
               QByteArrayLiteral("\xEF\xBB\xBF"
                                 "Apfel;\xEF\xBB\xBF"
                                 "52;0,3;0,4;11,4;\r\n")
        << QList<FoodRecord>{{QChar(0xFEFF) + QStringLiteral("Apfel"),
                              QChar(0xFEFF) + QStringLiteral("52"), QStringLiteral("0,3"),
                              QStringLiteral("0,4"), QStringLiteral("11,4")}};
    QTest::newRow("UTF-8 byte-order mark: an invalid sequence becomes U+FFFD")
        << Bom + Header + crlf + QByteArrayLiteral("K\xE4se;1;2;3;4;\r\n")
        << QList<FoodRecord>{food(u"K\uFFFDse", u"1", u"2", u"3", u"4")};
    QTest::newRow("the mark's bytes after the start are Windows-1252")
        << Header + crlf + Bom + AppleLine + crlf
        << QList<FoodRecord>{food(u"ï»¿Apfel", u"52", u"0,3", u"0,4", u"11,4")};
    QTest::newRow("the mark's first two bytes alone are Windows-1252")
        << QByteArrayLiteral("\xEF\xBB") + Header + crlf + QByteArrayLiteral("\xEF\xBB") +
               AppleLine + crlf
        << QList<FoodRecord>{food(u"ï»Apfel", u"52", u"0,3", u"0,4", u"11,4")};
    QTest::newRow("Windows-1252 letters")
        << Header + crlf +
               QByteArrayLiteral("H\xE4hnchenbrust;102;23,1;0,9;0;\r\nWei\xDF"
                                 "kohl \x80\x8A\x9F;25;1,4;0,2;4,2;\r\n")
        << QList<FoodRecord>{food(u"Hähnchenbrust", u"102", u"23,1", u"0,9", u"0"),
                             food(u"Weißkohl €ŠŸ", u"25", u"1,4", u"0,2", u"4,2")};
}

void tst_FoodListFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<FoodRecord>, expected);

    const QString fileName = m_dir->filePath(QStringLiteral("Lebensmittel.lmk"));
    writeBytes(fileName, bytes);
    QCOMPARE(ReadFoodList(fileName).rows(), expected);
}

void tst_FoodListFile::codePageKeepsAllBytes()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        bytes[b] = char(b);
    const QString text = DecodeWindows1252(bytes);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x81), QChar(0x81));
    QCOMPARE(text.at(0x9F), QChar(0x178));
    QCOMPARE(text.at(0xE4), QChar(0xE4));
    QVERIFY(std::all_of(text.begin(), text.end(), IsWindows1252));
    QCOMPARE(EncodeWindows1252(text), bytes);
}

// Every byte that can stand in a field goes through the reader and the writer
// unchanged; the semicolon, CR and LF stand in the file as its structure.
void tst_FoodListFile::fileKeepsAllBytes()
{
    QByteArray fieldBytes;
    for (int b = 1; b < 256; ++b) {
        if (b != ';' && b != '\r' && b != '\n')
            fieldBytes += char(b);
    }
    QByteArray bytes = Header + QByteArrayLiteral("\r\n");
    for (qsizetype start = 0; start < fieldBytes.size(); start += 5 * FoodFieldLengthLimit) {
        for (qsizetype field = 0; field < 5; ++field) {
            bytes += fieldBytes.mid(start + field * FoodFieldLengthLimit, FoodFieldLengthLimit);
            bytes += ';';
        }
        bytes += QByteArrayLiteral("\r\n");
    }
    QCOMPARE(bytes.count(';'), 5 + 2 * 5);

    const QString original = m_dir->filePath(QStringLiteral("alle.lmk"));
    const QString copy = m_dir->filePath(QStringLiteral("kopie.lmk"));
    writeBytes(original, bytes);
    const TextStore foods = ReadFoodList(original);
    QCOMPARE(foods.size(), 2);
    WriteFoodList(copy, foods);
    QCOMPARE(readBytes(copy), bytes);
}

void tst_FoodListFile::write_data()
{
    QTest::addColumn<QList<FoodRecord>>("foods");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray crlf = QByteArrayLiteral("\r\n");

    QTest::newRow("empty catalogue: the header alone") << QList<FoodRecord>{} << Header + crlf;
    QTest::newRow("CR LF after every line, the last one too")
        << QList<FoodRecord>{apple(), pear()} << Header + crlf + AppleLine + crlf + PearLine + crlf;
    QTest::newRow("lines in list order, not re-sorted")
        << QList<FoodRecord>{pear(), apple()} << Header + crlf + PearLine + crlf + AppleLine + crlf;
    QTest::newRow("empty values give adjacent semicolons")
        << QList<FoodRecord>{food(u"Wasser", u"0", u"", u"", u"")}
        << Header + crlf + QByteArrayLiteral("Wasser;0;;;;\r\n");
    QTest::newRow("blanks written as they stand")
        << QList<FoodRecord>{food(u" Apfel ", u" 52", u"0,3 ", u" ", u"11,4")}
        << Header + crlf + QByteArrayLiteral(" Apfel ; 52;0,3 ; ;11,4;\r\n");
    QTest::newRow("one byte per Windows-1252 character")
        << QList<FoodRecord>{food(u"Crème fraîche", u"292", u"2,4", u"30", u"2,6"),
                             food(u"Weißkohl €", u"25", u"1,4", u"0,2", u"4,2")}
        << Header + crlf +
               QByteArrayLiteral("Cr\xE8me fra\xEE"
                                 "che;292;2,4;30;2,6;\r\nWei\xDF"
                                 "kohl \x80;25;1,4;0,2;4,2;\r\n");
    QTest::newRow("values of 50 characters written whole")
        << QList<FoodRecord>{{QString(50, QLatin1Char('N')), QString(50, QLatin1Char('1')),
                              QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}}
        << Header + crlf + QByteArray(50, 'N') + ';' + QByteArray(50, '1') +
               QByteArrayLiteral(";0;0;0;\r\n");
}

void tst_FoodListFile::write()
{
    QFETCH(QList<FoodRecord>, foods);
    QFETCH(QByteArray, expected);

    const QString fileName = m_dir->filePath(QStringLiteral("Lebensmittel.lmk"));
    WriteFoodList(fileName, store(foods));
    QCOMPARE(readBytes(fileName), expected);
}

void tst_FoodListFile::writeReplacesLongerFile()
{
    const QString fileName = m_dir->filePath(QStringLiteral("Lebensmittel.lmk"));
    writeBytes(fileName, QByteArray(10000, 'x'));
    WriteFoodList(fileName, store({apple()}));
    QCOMPARE(readBytes(fileName),
             Header + QByteArrayLiteral("\r\n") + AppleLine + QByteArrayLiteral("\r\n"));
}

void tst_FoodListFile::writtenCatalogueReadsBack()
{
    const QList<FoodRecord> foods{
        food(u"Brötchen", u"252", u"8,5", u"1,9", u"48,6"),
        food(u"", u"", u"", u"", u""),
        food(u"Rührei", u"153", u"10,5", u"11,5", u"1,6"),
        food(u"Ölsardinen", u"abc", u" 1 ", u"1E3", u"-0,5"),
        {QString(50, QChar(0xFC)), QString(50, QLatin1Char('9')), QStringLiteral("\t"),
         QString(1, QChar(0x81)), QStringLiteral("‰")},
    };
    // A row that once held a text the bytes of the store cannot hold keeps
    // its texts as strings, and is written from them.
    TextStore rows = store(foods);
    rows.setText(1, 0, QStringLiteral("Łosoś"));
    rows.setText(1, 0, QString());
    QVERIFY(!rows.isEncoded(1));
    const QString fileName = m_dir->filePath(QStringLiteral("Lebensmittel.lmk"));
    WriteFoodList(fileName, rows);
    QCOMPARE(ReadFoodList(fileName).rows(), foods);
}

void tst_FoodListFile::checkStorable_data()
{
    QTest::addColumn<QList<FoodRecord>>("foods");
    QTest::addColumn<QString>("message");

    const QString n51(51, QLatin1Char('N'));

    QTest::newRow("semicolon in the name")
        << QList<FoodRecord>{food(u"Brot; hell", u"250", u"8", u"1", u"50")}
        << QStringLiteral(
               "Nicht gespeichert: Lebensmittel \"Brot; hell\", Name \"Brot; hell\" enthält ein "
               "Semikolon");
    QTest::newRow("semicolon in the fat")
        << QList<FoodRecord>{food(u"Butter", u"741", u"0,7", u"83;2", u"0,6")}
        << QStringLiteral(
               "Nicht gespeichert: Lebensmittel \"Butter\", Fett \"83;2\" enthält ein Semikolon");
    QTest::newRow("name of 51 characters")
        << QList<FoodRecord>{{n51, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"),
                              QStringLiteral("1")}}
        << QStringLiteral("Nicht gespeichert: Lebensmittel \"%1\", Name \"%1\" ist länger als 50 "
                          "Zeichen")
               .arg(n51);
    QTest::newRow("kcal of 51 characters")
        << QList<FoodRecord>{{QStringLiteral("Apfel"), QString(51, QLatin1Char('5')),
                              QStringLiteral("0,3"), QStringLiteral("0,4"), QStringLiteral("11,4")}}
        << QStringLiteral("Nicht gespeichert: Lebensmittel \"Apfel\", Kalorien \"%1\" ist länger "
                          "als 50 Zeichen")
               .arg(QString(51, QLatin1Char('5')));
    QTest::newRow("carriage return in the name")
        << QList<FoodRecord>{food(u"Apfel\r", u"52", u"0,3", u"0,4", u"11,4")}
        << QStringLiteral("Nicht gespeichert: Lebensmittel \"Apfel\r\", Name \"Apfel\r\" enthält "
                          "einen Zeilenumbruch");
    QTest::newRow("line feed in the carbohydrate")
        << QList<FoodRecord>{food(u"Apfel", u"52", u"0,3", u"0,4", u"11\n4")}
        << QStringLiteral("Nicht gespeichert: Lebensmittel \"Apfel\", Kohlenhydrate \"11\n4\" "
                          "enthält einen Zeilenumbruch");
    QTest::newRow("NUL in the protein, which would end the text")
        << QList<FoodRecord>{{QStringLiteral("Apfel"), QStringLiteral("52"),
                              QStringLiteral("0") + QChar(0), QStringLiteral("0,4"),
                              QStringLiteral("11,4")}}
        << QStringLiteral("Nicht gespeichert: Lebensmittel \"Apfel\", Eiweiss \"0") + QChar(0) +
               QStringLiteral("\" enthält ein NUL-Zeichen");
    QTest::newRow("letter outside the code page")
        << QList<FoodRecord>{food(u"Łosoś", u"202", u"19,9", u"13,6", u"0")}
        << QStringLiteral("Nicht gespeichert: Lebensmittel \"Łosoś\", Name \"Łosoś\" enthält ein "
                          "Zeichen, das die Datei nicht speichern kann");
    QTest::newRow("character beyond the basic plane in a number")
        << QList<FoodRecord>{food(u"Apfel", u"52🍎", u"0,3", u"0,4", u"11,4")}
        << QStringLiteral("Nicht gespeichert: Lebensmittel \"Apfel\", Kalorien \"52🍎\" enthält "
                          "ein Zeichen, das die Datei nicht speichern kann");
    QTest::newRow("the first bad value of the second food is named")
        << QList<FoodRecord>{apple(), food(u"Birne", u"5;5", u"0;5", u"0,3", u"12,4")}
        << QStringLiteral(
               "Nicht gespeichert: Lebensmittel \"Birne\", Kalorien \"5;5\" enthält ein Semikolon");
    QTest::newRow("placeholders in the name are not filled in")
        << QList<FoodRecord>{food(u"Kakao %2 %3", u"7;9", u"3,4", u"3,3", u"9")}
        << QStringLiteral("Nicht gespeichert: Lebensmittel \"Kakao %2 %3\", Kalorien \"7;9\" "
                          "enthält ein Semikolon");

    QTest::newRow("values of 50 characters are stored")
        << QList<FoodRecord>{{QString(50, QChar(0xDF)), QString(50, QLatin1Char('5')),
                              QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}}
        << QString();
    QTest::newRow("euro sign, undefined bytes and controls are stored")
        << QList<FoodRecord>{{QStringLiteral("€ Œ ž"), QString(1, QChar(0x81)),
                              QStringLiteral("\t"), QString(1, QChar(0x1F)),
                              QString(1, QChar(0x9D))}}
        << QString();
    QTest::newRow("empty and short records are stored")
        << QList<FoodRecord>{food(u"", u"", u"", u"", u""), {QStringLiteral("Birne")}} << QString();
}

void tst_FoodListFile::checkStorable()
{
    QFETCH(QList<FoodRecord>, foods);
    QFETCH(QString, message);
    QCOMPARE(failureOf([&] { FoodListBytes(store(foods)); }), message);
}

void tst_FoodListFile::writeFailure_data()
{
    QTest::addColumn<QString>("target");

    QTest::newRow("folder that does not exist") << QStringLiteral("fehlt/Lebensmittel.lmk");
    QTest::newRow("path that is a folder") << QStringLiteral("Ordner");
    QTest::newRow("a file in place of the folder") << QStringLiteral("alt.lmk/Lebensmittel.lmk");
    QTest::newRow("spreadsheet file in a folder that does not exist")
        << QStringLiteral("fehlt/Lebensmittel.csv");
}

// A file that cannot be created raises the creation message and touches
// nothing: the existing file and the folder stay byte for byte as they were.
void tst_FoodListFile::writeFailure()
{
    QFETCH(QString, target);

    const QString previous = m_dir->filePath(QStringLiteral("alt.lmk"));
    const QByteArray previousBytes = Header + QByteArrayLiteral("\r\n") + AppleLine;
    writeBytes(previous, previousBytes);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Ordner")));
    const QString inFolder = m_dir->filePath(QStringLiteral("Ordner/drin.lmk"));
    writeBytes(inFolder, PearLine);

    const QString fileName = m_dir->filePath(target);
    QCOMPARE(failureOf([&] {
                 WriteFoodList(fileName, store({apple(), pear()}));
             }),
             QStringLiteral("Datei %1 kann nicht erstellt werden").arg(fileName));

    QCOMPARE(readBytes(previous), previousBytes);
    QCOMPARE(readBytes(inFolder), PearLine);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({QStringLiteral("alt.lmk"), QStringLiteral("Ordner")}));
    QCOMPARE(QDir(m_dir->filePath(QStringLiteral("Ordner")))
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({QStringLiteral("drin.lmk")}));
}

void tst_FoodListFile::readFailure_data()
{
    QTest::addColumn<QString>("source");

    QTest::newRow("missing file") << QStringLiteral("fehlt.lmk");
    QTest::newRow("missing folder") << QStringLiteral("fehlt/Lebensmittel.lmk");
    QTest::newRow("a folder") << QStringLiteral("Ordner");
}

void tst_FoodListFile::readFailure()
{
    QFETCH(QString, source);

    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Ordner")));
    const QString fileName = m_dir->filePath(source);
    QCOMPARE(failureOf([&] { ReadFoodList(fileName); }),
             QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(fileName));
}

void tst_FoodListFile::formatOf_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<FoodListFormat>("format");

    const auto lmk = FoodListFormat::FoodList;
    const auto csv = FoodListFormat::Csv;
    QTest::newRow(".lmk") << QStringLiteral("daten/kost.lmk") << lmk;
    QTest::newRow(".csv") << QStringLiteral("daten/kost.csv") << csv;
    QTest::newRow(".txt") << QStringLiteral("daten/kost.txt") << csv;
    QTest::newRow("ending in capitals") << QStringLiteral("Daten/KOST.CSV") << csv;
    QTest::newRow("mixed case") << QStringLiteral("kost.Txt") << csv;
    QTest::newRow("no ending") << QStringLiteral("kost") << lmk;
    QTest::newRow("another ending") << QStringLiteral("kost.xls") << lmk;
    QTest::newRow("csv only inside the name") << QStringLiteral("kost.csv.lmk") << lmk;
    QTest::newRow("a folder named .csv") << QStringLiteral("alt.csv/kost.lmk") << lmk;
    QTest::newRow("csv without the dot") << QStringLiteral("kostcsv") << lmk;
    QTest::newRow("the ending alone") << QStringLiteral(".csv") << csv;
    QTest::newRow(".xlsx") << QStringLiteral("kost.xlsx") << FoodListFormat::Xlsx;
    QTest::newRow(".ods in capitals") << QStringLiteral("KOST.ODS") << FoodListFormat::Ods;
}

// The name's ending chooses the format, and saving under the name writes it;
// a workbook is only read, and saving under its name creates nothing.
void tst_FoodListFile::formatOf()
{
    QFETCH(QString, fileName);
    QFETCH(FoodListFormat, format);
    QCOMPARE(FoodListFormatOf(fileName), format);

    const TextStore foods = store({apple(), food(u"Käse", u"388", u"25", u"30,5", u"0,05")});
    const QString path = m_dir->filePath(fileName);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (format == FoodListFormat::Xlsx || format == FoodListFormat::Ods) {
        QCOMPARE(failureOf([&] { WriteFoodList(path, foods); }),
                 QStringLiteral("Datei %1 kann nicht erstellt werden").arg(path));
        QVERIFY(!QFileInfo::exists(path));
        return;
    }
    WriteFoodList(path, foods);
    QCOMPARE(readBytes(path),
             format == FoodListFormat::Csv ? CsvFoodListBytes(foods) : FoodListBytes(foods));
    QCOMPARE(ReadFoodList(path).rows(), foods.rows());
}

// The same bytes read by the food list file's rules under ".lmk" and by a
// spreadsheet's under ".csv".
void tst_FoodListFile::readChoosesFormatByName()
{
    SetDecimalSeparator(QLatin1Char(','));
    const QByteArray bytes = AppleLine + QByteArrayLiteral("\r\n\"K\xE4se; alt\";1.234,5;2;3;") +
                             QByteArray(60, 'x') + QByteArrayLiteral("\r\n");
    const QString lmk = m_dir->filePath(QStringLiteral("kost.lmk"));
    const QString csv = m_dir->filePath(QStringLiteral("kost.CSV"));
    writeBytes(lmk, bytes);
    writeBytes(csv, bytes);
    QCOMPARE(ReadFoodList(lmk).rows(),
             QList<FoodRecord>{food(u"\"Käse", u" alt\"", u"1.234,5", u"2", u"3")});
    const QList<FoodRecord> spreadsheet{apple(),
                                        {QStringLiteral("Käse; alt"), QStringLiteral("1234,5"),
                                         QStringLiteral("2"), QStringLiteral("3"),
                                         QString(60, QLatin1Char('x'))}};
    QCOMPARE(ReadFoodList(csv).rows(), spreadsheet);
}

// A spreadsheet file goes through the same atomic save: a value it cannot
// hold leaves the previous file and the folder as they were.
void tst_FoodListFile::refusedSpreadsheetKeepsPreviousFile()
{
    const QString fileName = m_dir->filePath(QStringLiteral("kost.csv"));
    const QByteArray previous = CsvFoodListBytes(store({apple()}));
    writeBytes(fileName, previous);
    const QList<FoodRecord> foods{pear(), {QStringLiteral("Halb") + QChar(0xDC00)}};
    QCOMPARE(failureOf([&] { WriteFoodList(fileName, store(foods)); }),
             QStringLiteral("Nicht gespeichert: Lebensmittel \"Halb") + QChar(0xDC00) +
                 QStringLiteral("\", Name \"Halb") + QChar(0xDC00) +
                 QStringLiteral("\" enthält ein Zeichen, das die Datei nicht speichern kann"));
    QCOMPARE(readBytes(fileName), previous);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({QStringLiteral("kost.csv")}));
}

QTEST_APPLESS_MAIN(tst_FoodListFile)
#include "tst_food_list_file.moc"
