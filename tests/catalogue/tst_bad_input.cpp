// Food list files that no program wrote: random bytes, huge lines, masses of
// empty lines, NUL bytes, every code-page byte in every field, a header
// alone, no header. Each must load, with exactly the rows the format gives.

#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

namespace {

const QByteArray Header = QByteArrayLiteral("Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;");

// The lines of a text by the format, counted without the reader: a NUL ends
// the text; CR LF, LF and CR each end a line; a last line without a break
// counts when it is not empty.
qsizetype countLines(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes = bytes.first(nul);
    qsizetype lines = 0;
    qsizetype lineLength = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            ++lines;
            lineLength = 0;
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            ++lineLength;
        }
    }
    return lines + (lineLength > 0 ? 1 : 0);
}

// The five fields of one food line as the format gives them.
FoodRecord foodOfLine(QByteArrayView line)
{
    const QStringList parts = DecodeWindows1252(line).split(QLatin1Char(';'));
    FoodRecord food;
    for (int column = 0; column < FoodFieldCount; ++column)
        food.append(column < parts.size() ? parts[column].left(FoodFieldLengthLimit) : QString());
    return food;
}

FoodRecord emptyFood()
{
    return FoodRecord(FoodFieldCount);
}

} // namespace

class tst_BadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void randomBytes_data();
    void randomBytes();
    void hugeLine_data();
    void hugeLine();
    void millionEmptyLines();
    void nulAtEveryPosition();
    void nulInHeader();
    void everyCodePageByteInEveryField();
    void headerOnly_data();
    void headerOnly();
    void noHeader();

private:
    // Writes the bytes to a file and reads it as opening a catalogue does.
    QList<FoodRecord> load(const QByteArray &bytes);

    QTemporaryDir m_dir;
};

QList<FoodRecord> tst_BadInput::load(const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("eingabe.lmk"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    file.close();
    return ReadFoodList(path).rows();
}

void tst_BadInput::randomBytes_data()
{
    QTest::addColumn<bool>("withNul");

    QTest::newRow("all bytes: the first NUL ends the text early") << true;
    QTest::newRow("all bytes but NUL: fifty megabytes of lines") << false;
}

void tst_BadInput::randomBytes()
{
    QFETCH(bool, withNul);
    std::mt19937 random(20240601);
    QByteArray bytes(50 * 1000 * 1000, Qt::Uninitialized);
    for (char &b : bytes) {
        b = char(random());
        if (!withNul && b == '\0')
            b = 'x';
    }

    const QList<FoodRecord> foods = load(bytes);
    const qsizetype lines = countLines(bytes);
    QCOMPARE(foods.size(), std::max<qsizetype>(0, lines - 1));
    if (!withNul)
        QVERIFY(foods.size() > 100000);
    for (const FoodRecord &food : foods) {
        QCOMPARE(food.size(), FoodFieldCount);
        for (const QString &field : food)
            QVERIFY(field.size() <= FoodFieldLengthLimit);
    }
    // The last food is the text after the last line break.
    QByteArrayView text = bytes;
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
        text = text.first(nul);
    const qsizetype lastBreak = std::max(text.lastIndexOf('\r'), text.lastIndexOf('\n'));
    if (!foods.isEmpty() && lastBreak + 1 < text.size())
        QCOMPARE(foods.last(), foodOfLine(text.sliced(lastBreak + 1)));
}

void tst_BadInput::hugeLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<FoodRecord>("expected");

    const qsizetype size = 10 * 1000 * 1000;
    const QString fifty(FoodFieldLengthLimit, QLatin1Char('A'));
    QTest::newRow("one name of ten megabytes")
        << QByteArray(size, 'A') + ";52;0,3;0,4;11,4;"
        << FoodRecord{fifty, QStringLiteral("52"), QStringLiteral("0,3"), QStringLiteral("0,4"),
                      QStringLiteral("11,4")};
    QTest::newRow("ten megabytes in the last field")
        << "Apfel;52;0,3;0,4;" + QByteArray(size, '9')
        << FoodRecord{QStringLiteral("Apfel"), QStringLiteral("52"), QStringLiteral("0,3"),
                      QStringLiteral("0,4"), QString(FoodFieldLengthLimit, QLatin1Char('9'))};
    QTest::newRow("ten megabytes of semicolons") << QByteArray(size, ';') << emptyFood();
    QTest::newRow("ten megabytes of fields")
        << QByteArray("ab;").repeated(size / 3) << FoodRecord(FoodFieldCount, QStringLiteral("ab"));
}

void tst_BadInput::hugeLine()
{
    QFETCH(QByteArray, line);
    QFETCH(FoodRecord, expected);

    const QList<FoodRecord> foods = load(Header + "\r\n" + line + "\r\nBirne;55;;;;\r\n");
    QCOMPARE(foods.size(), 2);
    QCOMPARE(foods[0], expected);
    QCOMPARE(foods[1], (FoodRecord{QStringLiteral("Birne"), QStringLiteral("55"), QString(),
                                   QString(), QString()}));
}

void tst_BadInput::millionEmptyLines()
{
    // CR LF, LF, CR and CR: four line ends of all three kinds.
    const QByteArray ends = QByteArray("\r\n\n\r\r").repeated(250 * 1000);
    const QList<FoodRecord> foods = load(Header + "\r\n" + ends + "Apfel;52;0,3;0,4;11,4;");
    // A million empty foods, then the apple.
    QCOMPARE(foods.size(), 1000 * 1000 + 1);
    QVERIFY(std::all_of(foods.begin(), foods.end() - 1,
                        [](const FoodRecord &food) { return food == emptyFood(); }));
    QCOMPARE(foods.last().first(), QStringLiteral("Apfel"));
}

void tst_BadInput::nulAtEveryPosition()
{
    const QByteArray line = "Apfel;52;0,3;0,4;11,4;";
    for (qsizetype position = 0; position <= line.size(); ++position) {
        QByteArray withNul = line;
        withNul.insert(position, '\0');
        const QList<FoodRecord> foods = load(Header + "\r\n" + withNul + "\r\nBirne;55;1;2;3;\r\n");
        // The NUL ends the text: the line keeps what stood before it, and an
        // empty rest is no line at all.
        const QList<FoodRecord> expected =
            position == 0 ? QList<FoodRecord>()
                          : QList<FoodRecord>{foodOfLine(line.first(position))};
        QVERIFY2(foods == expected, qPrintable(QStringLiteral("NUL at %1").arg(position)));
    }
}

void tst_BadInput::nulInHeader()
{
    for (qsizetype position = 0; position <= Header.size(); ++position) {
        QByteArray header = Header;
        header.insert(position, '\0');
        QVERIFY2(load(header + "\r\nApfel;52;0,3;0,4;11,4;\r\n").isEmpty(),
                 qPrintable(QStringLiteral("NUL at %1").arg(position)));
    }
}

void tst_BadInput::everyCodePageByteInEveryField()
{
    // Every byte but the four the format gives a meaning: NUL, CR, LF and ";".
    QByteArray bytes = Header + "\r\n";
    QList<char> used;
    for (int b = 1; b < 256; ++b) {
        const char c = char(b);
        if (c == '\r' || c == '\n' || c == ';')
            continue;
        used.append(c);
        for (int column = 0; column < FoodFieldCount; ++column)
            bytes += QByteArray(1, c) + QByteArray::number(column) + QByteArray(1, c) + ';';
        bytes += "\r\n";
    }
    const QList<FoodRecord> foods = load(bytes);
    QCOMPARE(foods.size(), used.size());
    QSet<QChar> seen;
    for (qsizetype i = 0; i < foods.size(); ++i) {
        const QString character = DecodeWindows1252(QByteArrayView(&used[i], 1));
        QCOMPARE(character.size(), 1);
        seen.insert(character.front());
        for (int column = 0; column < FoodFieldCount; ++column) {
            const QString expected = character + QString::number(column) + character;
            QCOMPARE(foods[i][column], expected);
            QCOMPARE(EncodeWindows1252(foods[i][column]),
                     QByteArray(1, used[i]) + QByteArray::number(column) + QByteArray(1, used[i]));
        }
    }
    // Each byte is its own character; the letters of the code page beyond
    // Latin-1 stand where they belong.
    QCOMPARE(seen.size(), used.size());
    QCOMPARE(DecodeWindows1252("\x80\x8a\x9f\xe4\xdf\x81"), QStringLiteral("€ŠŸäß\u0081"));
}

void tst_BadInput::headerOnly_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("header with line end") << Header + "\r\n";
    QTest::newRow("header without line end") << Header;
    QTest::newRow("some other first line") << QByteArray("irgendwas");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("NUL only") << QByteArray(1, '\0');
}

void tst_BadInput::headerOnly()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(load(bytes).isEmpty());
}

void tst_BadInput::noHeader()
{
    // The first line is skipped whatever it holds, so its food is lost.
    const QList<FoodRecord> foods = load("Apfel;52;0,3;0,4;11,4;\r\nBirne;55;0,5;0,3;12,4;\r\n");
    QCOMPARE(foods, (QList<FoodRecord>{{QStringLiteral("Birne"), QStringLiteral("55"),
                                        QStringLiteral("0,5"), QStringLiteral("0,3"),
                                        QStringLiteral("12,4")}}));
}

QTEST_APPLESS_MAIN(tst_BadInput)
#include "tst_bad_input.moc"
