#include "catalogue/instruction_module.h"

#include <QtTest>

// The slots are filled with a marker before every split, so that a slot the
// splitter must leave alone can be told from one it emptied.
namespace {

constexpr int SlotCount = 10;

QString untouched()
{
    return QStringLiteral("<unberührt>");
}

// The expected slots: the given texts from the first slot on, the marker above.
QStringList slotsOf(QStringList texts)
{
    while (texts.size() < SlotCount)
        texts.append(untouched());
    return texts;
}

QStringList numbered(int first, int last)
{
    QStringList texts;
    for (int i = first; i <= last; ++i)
        texts.append(QString::number(i));
    return texts;
}

} // namespace

class tst_InstructionModule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitFields_data();
    void splitFields();
    void slotsKeepOlderFields();
};

void tst_InstructionModule::splitFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("lengthLimit");
    QTest::addColumn<int>("fieldLimit");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("expected");

    const QChar semicolon = u';';
    const QString x50(50, QLatin1Char('x'));

    QTest::newRow("food line as written: five separators fill six slots")
        << QStringLiteral("Apfel;52;0,3;0,4;11,4;") << 50 << 10 << semicolon << 0
        << slotsOf({QStringLiteral("Apfel"), QStringLiteral("52"), QStringLiteral("0,3"),
                    QStringLiteral("0,4"), QStringLiteral("11,4"), QString()});
    QTest::newRow("text after the last separator fills the next slot")
        << QStringLiteral("Birne;55") << 50 << 10 << semicolon << 0
        << slotsOf({QStringLiteral("Birne"), QStringLiteral("55")});
    QTest::newRow("no separator: the whole line in the first slot")
        << QStringLiteral("Apfel") << 50 << 10 << semicolon << 0
        << slotsOf({QStringLiteral("Apfel")});
    QTest::newRow("empty line: the first slot emptied, the rest untouched")
        << QString() << 50 << 10 << semicolon << 0 << slotsOf({QString()});
    QTest::newRow("separator alone: two empty fields")
        << QStringLiteral(";") << 50 << 10 << semicolon << 0 << slotsOf({QString(), QString()});
    QTest::newRow("adjacent separators give an empty field")
        << QStringLiteral("a;;b") << 50 << 10 << semicolon << 0
        << slotsOf({QStringLiteral("a"), QString(), QStringLiteral("b")});
    QTest::newRow("blanks are kept") << QStringLiteral(" a ; b ") << 50 << 10 << semicolon << 0
                                     << slotsOf({QStringLiteral(" a "), QStringLiteral(" b ")});
    QTest::newRow("field of exactly the length limit is kept whole")
        << x50 + QStringLiteral(";b") << 50 << 10 << semicolon << 0
        << slotsOf({x50, QStringLiteral("b")});
    QTest::newRow("length limit cuts a field, the next field starts after the separator")
        << x50 + QStringLiteral("abcdefghij;b") << 50 << 10 << semicolon << 0
        << slotsOf({x50, QStringLiteral("b")});
    QTest::newRow("length limit cuts the last field too")
        << QStringLiteral("a;") + x50 + QStringLiteral("yz") << 50 << 10 << semicolon << 0
        << slotsOf({QStringLiteral("a"), x50});
    QTest::newRow("length limit counts characters, not bytes")
        << QStringLiteral("Müsli;Käse") << 3 << 10 << semicolon << 0
        << slotsOf({QStringLiteral("Müs"), QStringLiteral("Käs")});
    QTest::newRow("length limit 0 keeps the separators, empties every field")
        << QStringLiteral("ab;cd;") << 0 << 10 << semicolon << 0
        << slotsOf({QString(), QString(), QString()});
    QTest::newRow("nine separators: ten fields fit the limit")
        << numbered(1, 10).join(semicolon) << 50 << 10 << semicolon << 0 << numbered(1, 10);
    QTest::newRow("tenth separator reaches the field limit: -1")
        << numbered(1, 10).join(semicolon) + semicolon << 50 << 10 << semicolon << -1
        << numbered(1, 10);
    QTest::newRow("more fields than the limit: -1, the rest ignored")
        << numbered(1, 14).join(semicolon) << 50 << 10 << semicolon << -1 << numbered(1, 10);
    QTest::newRow("small field limit leaves the slots above it untouched")
        << QStringLiteral("a;b;c;d;e") << 50 << 3 << semicolon << -1
        << slotsOf({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    QTest::newRow("field limit 0: no slot is written")
        << QStringLiteral("a;b;c") << 50 << 0 << semicolon << -1 << slotsOf({});
    QTest::newRow("line feed ends the scan")
        << QStringLiteral("a;b\nc;d") << 50 << 10 << semicolon << 0
        << slotsOf({QStringLiteral("a"), QStringLiteral("b")});
    QTest::newRow("line feed first: one empty field")
        << QStringLiteral("\n;x;y") << 50 << 10 << semicolon << 0 << slotsOf({QString()});
    QTest::newRow("line feed hides separators beyond the field limit")
        << QStringLiteral("a\n;;;;;;;;;;;;") << 50 << 10 << semicolon << 0
        << slotsOf({QStringLiteral("a")});
    QTest::newRow("carriage return is an ordinary character")
        << QStringLiteral("a;b\r;c") << 50 << 10 << semicolon << 0
        << slotsOf({QStringLiteral("a"), QStringLiteral("b\r"), QStringLiteral("c")});
    QTest::newRow("another separator: semicolons are ordinary characters")
        << QStringLiteral("a,b;c,") << 50 << 10 << QChar(u',') << 0
        << slotsOf({QStringLiteral("a"), QStringLiteral("b;c"), QString()});
}

void tst_InstructionModule::splitFields()
{
    QFETCH(QString, line);
    QFETCH(int, lengthLimit);
    QFETCH(int, fieldLimit);
    QFETCH(QChar, separator);
    QFETCH(int, result);
    QFETCH(QStringList, expected);

    QString fieldSlots[SlotCount];
    for (QString &slot : fieldSlots)
        slot = untouched();
    QCOMPARE(TInstructionModule::SplitFields(line, fieldSlots, lengthLimit, fieldLimit, separator),
             result);
    QCOMPARE(QStringList(fieldSlots, fieldSlots + SlotCount), expected);
}

// The splitter never empties a slot it does not reach: a short line after a
// long one leaves the long line's later fields in place.
void tst_InstructionModule::slotsKeepOlderFields()
{
    QString fieldSlots[SlotCount];
    const QChar semicolon = QLatin1Char(';');
    QCOMPARE(
        TInstructionModule::SplitFields(u"Apfel;52;0,3;0,4;11,4;", fieldSlots, 50, 10, semicolon),
        0);
    QCOMPARE(TInstructionModule::SplitFields(u"Birne;55", fieldSlots, 50, 10, semicolon), 0);
    QCOMPARE(QStringList(fieldSlots, fieldSlots + 6),
             QStringList({QStringLiteral("Birne"), QStringLiteral("55"), QStringLiteral("0,3"),
                          QStringLiteral("0,4"), QStringLiteral("11,4"), QString()}));
}

QTEST_APPLESS_MAIN(tst_InstructionModule)
#include "tst_instruction_module.moc"
