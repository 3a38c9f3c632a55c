#include "core/text_table_model.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>
#include <numeric>

namespace {

QStringList headers()
{
    return {QStringLiteral("Name"), QStringLiteral("Kalorien"), QStringLiteral("Eiweiss"),
            QStringLiteral("Fett"), QStringLiteral("Kohlenhydrate")};
}

QStringList names(const TextTableModel &model)
{
    QStringList result;
    for (int row = 0; row < model.rowCount(); ++row)
        result.append(model.text(row, 0));
    return result;
}

// Rows whose second column says which name they were made with.
QList<QStringList> rowsNamed(const QStringList &rowNames)
{
    QList<QStringList> rows;
    for (const QString &name : rowNames)
        rows.append({name, QStringLiteral("kcal ") + name});
    return rows;
}

// Names made of pieces that collation treats with care: umlauts, ß, case
// pairs, blanks, hyphens, digits, accents alone, soft hyphens, controls;
// canonically equivalent spellings; empty names and equal names come up
// among them as well.
QStringList trickyNames(int count)
{
    const QStringList pieces{QString(),
                             QStringLiteral("a"),
                             QStringLiteral("A"),
                             QStringLiteral("ä"),
                             QStringLiteral("Ä"),
                             QStringLiteral("ae"),
                             QStringLiteral("Ae"),
                             QStringLiteral("ß"),
                             QStringLiteral("ss"),
                             QStringLiteral("SS"),
                             QStringLiteral("ẞ"),
                             QStringLiteral(" "),
                             QStringLiteral("-"),
                             QStringLiteral("1"),
                             QStringLiteral("10"),
                             QStringLiteral("2"),
                             QStringLiteral("é"),
                             QStringLiteral("e"),
                             QStringLiteral("E"),
                             QStringLiteral("o"),
                             QStringLiteral("ö"),
                             QStringLiteral("Ö"),
                             QStringLiteral("oe"),
                             QStringLiteral("z"),
                             QStringLiteral("Z"),
                             QStringLiteral(","),
                             QStringLiteral("."),
                             QStringLiteral("'"),
                             QStringLiteral("\u00AD"),
                             QStringLiteral("e\u0301"),
                             QStringLiteral("\t"),
                             QStringLiteral("\u0001"),
                             QStringLiteral("Apfel"),
                             QStringLiteral("Äpfel"),
                             QStringLiteral("Weißkohl"),
                             QStringLiteral("Quitte"),
                             QStringLiteral("l·l"),
                             QStringLiteral("Łosoś"),
                             QStringLiteral("İ"),
                             QStringLiteral("ı")};
    QRandomGenerator random(1848);
    QStringList result;
    for (int i = 0; i < count; ++i) {
        QString name;
        const int parts = random.bounded(5);
        for (int part = 0; part < parts; ++part)
            name += pieces.at(random.bounded(int(pieces.size())));
        result.append(name);
    }
    return result;
}

// The model's rows must always carry the texts they were given together.
void verifyRowsIntact(const TextTableModel &model)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        QCOMPARE(model.text(row, 1), QStringLiteral("kcal ") + model.text(row, 0));
        QCOMPARE(model.rowTexts(row).size(), headers().size());
    }
}

} // namespace

class tst_TextTableModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void germanCollationUnderCLocale();
    void sortedOrder_data();
    void sortedOrder();
    void loadKeepsEqualNamesInLoadOrder();
    void trickyNamesInQCollatorOrder();
    void findNamePrefix();
    void editsKeepEveryText();

    void appendRow_data();
    void appendRow();
    void appendRowFillsMissingTexts();

    void rename_data();
    void rename();
    void otherColumnDoesNotMove();

    void emptyNameStaysAtEndUntilRename();
    void emptyNameStaysAtEndUntilNewNamedRow();
    void renamingTheEmptyRowSortsItIn();

    void removeRow();
    void clear();
    void rolesAndFlags();

private:
    std::unique_ptr<TextTableModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

    void load(const QStringList &rowNames);
};

void tst_TextTableModel::init()
{
    m_model = std::make_unique<TextTableModel>(headers());
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void tst_TextTableModel::cleanup()
{
    m_tester.reset();
    m_model.reset();
}

void tst_TextTableModel::load(const QStringList &rowNames)
{
    m_model->setRows(rowsNamed(rowNames));
}

// The test runs with LC_ALL=C; the lists must still sort the German way.
void tst_TextTableModel::germanCollationUnderCLocale()
{
    if (QLocale::system().language() != QLocale::C)
        QSKIP("the system locale is not \"C\" here");
    load({QStringLiteral("Birne"), QStringLiteral("Äpfel"), QStringLiteral("Zwiebel"),
          QStringLiteral("Apfel"), QStringLiteral("Öl"), QStringLiteral("Olive")});
    QCOMPARE(names(*m_model), QStringList({QStringLiteral("Apfel"), QStringLiteral("Äpfel"),
                                           QStringLiteral("Birne"), QStringLiteral("Öl"),
                                           QStringLiteral("Olive"), QStringLiteral("Zwiebel")}));
}

void tst_TextTableModel::sortedOrder_data()
{
    QTest::addColumn<QStringList>("loaded");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("umlauts beside their base letters")
        << QStringList{QStringLiteral("Birne"), QStringLiteral("Äpfel"),
                       QStringLiteral("Apfel"), QStringLiteral("Apfelsaft"),
                       QStringLiteral("Möhre"), QStringLiteral("Mohn"),
                       QStringLiteral("Müsli"), QStringLiteral("Zucker")}
        << QStringList{QStringLiteral("Apfel"),     QStringLiteral("Äpfel"),
                       QStringLiteral("Apfelsaft"), QStringLiteral("Birne"),
                       QStringLiteral("Mohn"),      QStringLiteral("Möhre"),
                       QStringLiteral("Müsli"),     QStringLiteral("Zucker")};
    QTest::newRow("case-sensitive, lower case first, accents before case")
        << QStringList{QStringLiteral("Äpfel"), QStringLiteral("Apfel"), QStringLiteral("äpfel"),
                       QStringLiteral("apfel")}
        << QStringList{QStringLiteral("apfel"), QStringLiteral("Apfel"), QStringLiteral("äpfel"),
                       QStringLiteral("Äpfel")};
    QTest::newRow("sharp s as ss")
        << QStringList{QStringLiteral("Weißwurst"), QStringLiteral("Weisskohl"),
                       QStringLiteral("Weißkohl"), QStringLiteral("Weißbrot")}
        << QStringList{QStringLiteral("Weißbrot"), QStringLiteral("Weisskohl"),
                       QStringLiteral("Weißkohl"), QStringLiteral("Weißwurst")};
    QTest::newRow("blanks and punctuation before letters, prefix first")
        << QStringList{QStringLiteral("Kartoffelpüree"), QStringLiteral("Kartoffeln"),
                       QStringLiteral("Kartoffeln, gekocht"), QStringLiteral("Kartoffel Brei"),
                       QStringLiteral("Kartoffel")}
        << QStringList{QStringLiteral("Kartoffel"), QStringLiteral("Kartoffel Brei"),
                       QStringLiteral("Kartoffeln"), QStringLiteral("Kartoffeln, gekocht"),
                       QStringLiteral("Kartoffelpüree")};
    QTest::newRow("not by code: letters beyond Z beside theirs")
        << QStringList{QStringLiteral("Zwieback"), QStringLiteral("Crème fraîche"),
                       QStringLiteral("Creme"), QStringLiteral("Cola")}
        << QStringList{QStringLiteral("Cola"), QStringLiteral("Creme"),
                       QStringLiteral("Crème fraîche"), QStringLiteral("Zwieback")};
    QTest::newRow("empty name first") << QStringList{QStringLiteral("Apfel"), QString()}
                                      << QStringList{QString(), QStringLiteral("Apfel")};
}

// Loading and adding one by one give the same order.
void tst_TextTableModel::sortedOrder()
{
    QFETCH(QStringList, loaded);
    QFETCH(QStringList, expected);

    load(loaded);
    QCOMPARE(names(*m_model), expected);

    TextTableModel added(headers());
    QAbstractItemModelTester tester(&added, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const QString &name : loaded)
        added.appendRow(rowsNamed({name}).front());
    if (!loaded.contains(QString()))
        QCOMPARE(names(added), expected);
}

void tst_TextTableModel::loadKeepsEqualNamesInLoadOrder()
{
    const QStringList pool{
        QStringLiteral("Apfel"),    QStringLiteral("Äpfel"),    QStringLiteral("apfel"),
        QStringLiteral("Brötchen"), QStringLiteral("Brot"),     QStringLiteral("Käse"),
        QStringLiteral("Kase"),     QStringLiteral("Weißkohl"), QStringLiteral("Möhre"),
        QStringLiteral("Rührei"),   QStringLiteral("Zwiebel"),  QString()};
    QRandomGenerator random(4711);
    // Enough rows that a load divides the making of collation keys among
    // threads: equal names in different parts keep their load order too.
    QList<QStringList> rows;
    for (int i = 0; i < 40000; ++i)
        rows.append({pool.at(random.bounded(int(pool.size()))), QString::number(i)});
    m_model->setRows(rows);

    QCOMPARE(m_model->rowCount(), int(rows.size()));
    const QCollator collator = UserCollator();
    QList<bool> seen(rows.size(), false);
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const int loadIndex = m_model->text(row, 1).toInt();
        QVERIFY(!seen[loadIndex]);
        seen[loadIndex] = true;
        QCOMPARE(m_model->text(row, 0), rows[loadIndex][0]);
        if (row == 0)
            continue;
        const int order = collator.compare(m_model->text(row - 1, 0), m_model->text(row, 0));
        QVERIFY2(order <= 0, qPrintable(QString::number(row)));
        if (order == 0)
            QVERIFY(m_model->text(row - 1, 1).toInt() < loadIndex);
    }
    // The test would prove nothing if equal names never met.
    QCOMPARE(m_model->text(0, 0), QString());
    QCOMPARE(m_model->text(1, 0), QString());
}

// The model makes its collation keys with ICU itself; they must give the
// order of QCollator, with which the lists sorted before, and the order of
// one row added after the other.
void tst_TextTableModel::trickyNamesInQCollatorOrder()
{
    QStringList loaded = trickyNames(3000);
    // Equal names in two spellings, in the order a collator that did not
    // normalise would turn round.
    loaded << QStringLiteral("d\u0323\u0307") << QStringLiteral("\u1E0B\u0323");
    QList<int> expected(loaded.size());
    std::iota(expected.begin(), expected.end(), 0);
    const QCollator collator = UserCollator();
    std::stable_sort(expected.begin(), expected.end(),
                     [&](int a, int b) { return collator.compare(loaded[a], loaded[b]) < 0; });

    QList<QStringList> rows;
    for (int i = 0; i < loaded.size(); ++i)
        rows.append({loaded[i], QString::number(i)});
    m_model->setRows(rows);
    QList<int> order;
    for (int row = 0; row < m_model->rowCount(); ++row)
        order.append(m_model->text(row, 1).toInt());
    QCOMPARE(order, expected);

    TextTableModel added(headers());
    for (const QStringList &row : rows) {
        if (!row.front().isEmpty())
            added.appendRow(row);
    }
    QList<int> addedOrder;
    for (int row = 0; row < added.rowCount(); ++row)
        addedOrder.append(added.text(row, 1).toInt());
    expected.removeIf([&](int i) { return loaded[i].isEmpty(); });
    QCOMPARE(addedOrder, expected);
}

// The search by first letters finds what a search through every row finds.
void tst_TextTableModel::findNamePrefix()
{
    QStringList loaded = trickyNames(3000);
    loaded << QStringLiteral("Quittengelee, hausgemacht") << QStringLiteral("quitte")
           << QStringLiteral("Thunfisch in Öl");
    load(loaded);
    m_model->appendRow({QString(), QStringLiteral("kcal ")});
    const QStringList prefixes{
        QStringLiteral("a"),        QStringLiteral("A"),       QStringLiteral("ä"),
        QStringLiteral("äp"),       QStringLiteral("ae"),      QStringLiteral("ss"),
        QStringLiteral("ß"),        QStringLiteral("ẞ"),       QStringLiteral("quitt"),
        QStringLiteral("QUITTENG"), QStringLiteral("-"),       QStringLiteral(" "),
        QStringLiteral("1"),        QStringLiteral("e\u0301"), QStringLiteral("é"),
        QStringLiteral("l·"),       QStringLiteral("ł"),       QStringLiteral("i"),
        QStringLiteral("\u00AD"),   QStringLiteral("xyz"),     QStringLiteral("zz")};
    const int count = m_model->rowCount();
    for (const QString &prefix : prefixes) {
        for (int from : {0, 1, count / 3, count / 2, count - 2, count - 1}) {
            int expected = -1;
            for (int step = 0; step < count && expected < 0; ++step) {
                const int row = (from + step) % count;
                if (m_model->text(row, 0).startsWith(prefix, Qt::CaseInsensitive))
                    expected = row;
            }
            QVERIFY2(m_model->findNamePrefix(prefix, from) == expected,
                     qPrintable(prefix + QStringLiteral(" from ") + QString::number(from)));
        }
    }
    QVERIFY(m_model->findNamePrefix(QStringLiteral("quitt"), 0) >= 0);
}

// Many edits, among them texts the store cannot hold as bytes, so that rows
// move to its side area, back, and the store collects what they left.
void tst_TextTableModel::editsKeepEveryText()
{
    QRandomGenerator random(77);
    const QStringList words{QStringLiteral("Apfel"),       QStringLiteral("Äpfel"),
                            QStringLiteral("Brot; hell"),  QStringLiteral("Łosoś"),
                            QStringLiteral("Weißkohl"),    QString(),
                            QString(60, QLatin1Char('x')), QStringLiteral("€ 1,5")};
    auto word = [&] {
        return words.at(random.bounded(int(words.size()))) + QString::number(random.bounded(50));
    };
    QHash<QString, QStringList> expected;
    int nextId = 0;
    auto newRow = [&] {
        const QStringList row{word(), QStringLiteral("id %1").arg(nextId++), word(), word(),
                              word()};
        expected.insert(row[1], row);
        return row;
    };
    QList<QStringList> rows;
    for (int i = 0; i < 200; ++i)
        rows.append(newRow());
    m_model->setRows(rows);
    for (int step = 0; step < 3000; ++step) {
        const int count = m_model->rowCount();
        const int row = count > 0 ? random.bounded(count) : -1;
        switch (random.bounded(count < 100 ? 2 : 5)) {
        case 0:
        case 1:
            m_model->appendRow(newRow());
            break;
        case 2: {
            const QString name = random.bounded(10) == 0 ? QString() : word();
            expected[m_model->text(row, 1)][0] = name;
            m_model->setName(row, name);
            break;
        }
        case 3: {
            const int column = 2 + random.bounded(3);
            const QString text = word();
            expected[m_model->text(row, 1)][column] = text;
            m_model->setText(row, column, text);
            break;
        }
        default:
            expected.remove(m_model->text(row, 1));
            m_model->removeRow(row);
        }
    }
    QCOMPARE(m_model->rowCount(), int(expected.size()));
    const QCollator collator = UserCollator();
    bool emptyTail = false;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QStringList texts = m_model->rowTexts(row);
        QCOMPARE(texts, expected.value(texts.value(1)));
        if (row > 0 && collator.compare(m_model->text(row - 1, 0), texts[0]) > 0)
            emptyTail = true;
        // Out of order may stand only empty names at the end.
        QVERIFY(!emptyTail || texts[0].isEmpty());
    }
}

void tst_TextTableModel::appendRow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");

    QTest::newRow("before every row") << QStringLiteral("Aal") << 0;
    QTest::newRow("lower case before the equal upper case") << QStringLiteral("apfel") << 0;
    QTest::newRow("umlaut right after its base") << QStringLiteral("Äpfel") << 1;
    QTest::newRow("equal name after the existing one") << QStringLiteral("Birne") << 2;
    QTest::newRow("between two rows") << QStringLiteral("Brötchen") << 2;
    QTest::newRow("before the last row") << QStringLiteral("Mohnbrot") << 4;
    QTest::newRow("after every row") << QStringLiteral("Zwiebel") << 5;
}

void tst_TextTableModel::appendRow()
{
    QFETCH(QString, name);
    QFETCH(int, index);

    load({QStringLiteral("Käse"), QStringLiteral("Apfel"), QStringLiteral("Möhre"),
          QStringLiteral("Birne"), QStringLiteral("Mohn")});
    QSignalSpy inserted(m_model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy layout(m_model.get(), &QAbstractItemModel::layoutChanged);

    QStringList row = rowsNamed({name}).front();
    row.append(QStringLiteral("neu"));
    QCOMPARE(m_model->appendRow(row), index);

    QCOMPARE(m_model->rowCount(), 6);
    QCOMPARE(m_model->text(index, 0), name);
    QCOMPARE(m_model->text(index, 2), QStringLiteral("neu"));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][1].toInt(), index);
    QCOMPARE(inserted[0][2].toInt(), index);
    QCOMPARE(layout.size(), 0);
    QStringList expected{QStringLiteral("Apfel"), QStringLiteral("Birne"), QStringLiteral("Käse"),
                         QStringLiteral("Mohn"), QStringLiteral("Möhre")};
    expected.insert(index, name);
    QCOMPARE(names(*m_model), expected);
}

void tst_TextTableModel::appendRowFillsMissingTexts()
{
    load({QStringLiteral("Birne")});
    QCOMPARE(m_model->appendRow({QStringLiteral("Apfel")}), 0);
    QCOMPARE(m_model->rowTexts(0),
             QStringList({QStringLiteral("Apfel"), QString(), QString(), QString(), QString()}));
}

void tst_TextTableModel::rename_data()
{
    QTest::addColumn<bool>("bySetData");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");

    struct Case
    {
        const char *title;
        int row;
        const char16_t *name;
        int index;
    };
    // Rows before: Apfel, Birne, Käse, Möhre, Zwiebel.
    const Case cases[] = {
        {"last row to the front", 4, u"Ananas", 0},
        {"first row before the last", 0, u"Zucker", 3},
        {"first row to the very end", 0, u"Zwiebeln", 4},
        {"one step down", 1, u"Kohl", 2},
        {"one step up", 3, u"Brötchen", 2},
        {"new name between the neighbours stays", 2, u"Kartoffel", 2},
        {"umlaut variant of the name stays", 1, u"Bírne", 1},
        {"equal to a later name: after it", 0, u"Käse", 2},
        {"equal to an earlier name: after it", 4, u"Birne", 2},
        {"same name: nothing changes", 3, u"Möhre", 3},
        {"empty name goes first", 3, u"", 0},
    };
    for (const Case &c : cases) {
        const QString name = QString::fromUtf16(c.name);
        QTest::addRow("%s, setData", c.title) << true << c.row << name << c.index;
        QTest::addRow("%s, setName", c.title) << false << c.row << name << c.index;
    }
}

// A rename in place moves the row to its sorted place; the selection and the
// views' persistent indexes go with it.
void tst_TextTableModel::rename()
{
    QFETCH(bool, bySetData);
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(int, index);

    QStringList before{QStringLiteral("Apfel"), QStringLiteral("Birne"), QStringLiteral("Käse"),
                       QStringLiteral("Möhre"), QStringLiteral("Zwiebel")};
    load(before);
    const QString oldName = before.at(row);
    QItemSelectionModel selection(m_model.get());
    selection.select(m_model->index(row, 0),
                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection.setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    const QPersistentModelIndex fat(m_model->index(row, 3));
    const QPersistentModelIndex other(m_model->index(row == 0 ? 1 : 0, 0));
    const QString otherName = other.data().toString();
    QSignalSpy moved(m_model.get(), &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(m_model.get(), &QAbstractItemModel::dataChanged);

    // The rows' second column follows the name, so that verifyRowsIntact holds.
    m_model->setText(row, 1, QStringLiteral("kcal ") + name);
    if (bySetData)
        QVERIFY(m_model->setData(m_model->index(row, 0), name));
    else
        QCOMPARE(m_model->setName(row, name), index);
    QCOMPARE(fat.row(), index);
    QCOMPARE(fat.column(), 3);
    QCOMPARE(m_model->text(index, 0), name);
    QCOMPARE(selection.selectedRows(), QModelIndexList{m_model->index(index, 0)});
    QCOMPARE(selection.currentIndex(), m_model->index(index, 0));
    QCOMPARE(other.data().toString(), otherName);

    before.removeAt(row);
    before.insert(index, name);
    QCOMPARE(names(*m_model), before);
    verifyRowsIntact(*m_model);
    QCOMPARE(moved.size(), index == row ? 0 : 1);
    const bool nameChanged = name != oldName;
    // One change of the second column above and one of the name, if it differs.
    QCOMPARE(changed.size(), nameChanged ? 2 : 0);
    if (nameChanged) {
        const auto topLeft = changed[1][0].value<QModelIndex>();
        QCOMPARE(topLeft.column(), 0);
    }
}

void tst_TextTableModel::otherColumnDoesNotMove()
{
    load({QStringLiteral("Apfel"), QStringLiteral("Birne"), QStringLiteral("Käse")});
    QSignalSpy moved(m_model.get(), &QAbstractItemModel::rowsMoved);
    QSignalSpy layout(m_model.get(), &QAbstractItemModel::layoutChanged);
    QSignalSpy changed(m_model.get(), &QAbstractItemModel::dataChanged);

    QVERIFY(m_model->setData(m_model->index(0, 3), QStringLiteral("0,1")));
    m_model->setText(2, 4, QStringLiteral("aaa"));
    m_model->setText(2, 4, QStringLiteral("aaa"));

    QCOMPARE(names(*m_model), QStringList({QStringLiteral("Apfel"), QStringLiteral("Birne"),
                                           QStringLiteral("Käse")}));
    QCOMPARE(m_model->text(0, 3), QStringLiteral("0,1"));
    QCOMPARE(m_model->text(2, 4), QStringLiteral("aaa"));
    QCOMPARE(moved.size(), 0);
    QCOMPARE(layout.size(), 0);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed[0][0].value<QModelIndex>(), m_model->index(0, 3));
    QCOMPARE(changed[1][0].value<QModelIndex>(), m_model->index(2, 4));
}

void tst_TextTableModel::emptyNameStaysAtEndUntilRename()
{
    load({QStringLiteral("Birne"), QStringLiteral("Käse"), QStringLiteral("Möhre")});
    QCOMPARE(m_model->appendRow(rowsNamed({QString()}).front()), 3);
    QItemSelectionModel selection(m_model.get());
    selection.select(m_model->index(3, 0),
                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    // Neither another column nor a removal sorts the list.
    m_model->setText(3, 2, QStringLiteral("1"));
    m_model->setText(0, 2, QStringLiteral("2"));
    m_model->removeRow(1);
    QCOMPARE(names(*m_model),
             QStringList({QStringLiteral("Birne"), QStringLiteral("Möhre"), QString()}));

    // A rename elsewhere re-sorts everything; the empty name comes first.
    QCOMPARE(m_model->setName(1, QStringLiteral("Apfel")), 1);
    m_model->setText(1, 1, QStringLiteral("kcal Apfel"));
    QCOMPARE(names(*m_model),
             QStringList({QString(), QStringLiteral("Apfel"), QStringLiteral("Birne")}));
    QCOMPARE(selection.selectedRows(), QModelIndexList{m_model->index(0, 0)});
    QCOMPARE(m_model->text(0, 2), QStringLiteral("1"));

    // From then on the list is sorted again and new rows go to their place.
    QSignalSpy layout(m_model.get(), &QAbstractItemModel::layoutChanged);
    QCOMPARE(m_model->appendRow(rowsNamed({QStringLiteral("Ananas")}).front()), 1);
    QCOMPARE(layout.size(), 0);
    verifyRowsIntact(*m_model);
}

void tst_TextTableModel::emptyNameStaysAtEndUntilNewNamedRow()
{
    load({QStringLiteral("Birne"), QStringLiteral("Käse")});
    QCOMPARE(m_model->appendRow(rowsNamed({QString()}).front()), 2);
    QCOMPARE(m_model->appendRow(rowsNamed({QString()}).front()), 3);
    QCOMPARE(names(*m_model),
             QStringList({QStringLiteral("Birne"), QStringLiteral("Käse"), QString(), QString()}));

    // A new row that gets its name is a change of a name: the list re-sorts.
    const QPersistentModelIndex firstEmpty(m_model->index(2, 0));
    QCOMPARE(m_model->appendRow(rowsNamed({QStringLiteral("Möhre")}).front()), 4);
    QCOMPARE(names(*m_model), QStringList({QString(), QString(), QStringLiteral("Birne"),
                                           QStringLiteral("Käse"), QStringLiteral("Möhre")}));
    QCOMPARE(firstEmpty.row(), 0);
    verifyRowsIntact(*m_model);
}

void tst_TextTableModel::renamingTheEmptyRowSortsItIn()
{
    load({QStringLiteral("Birne"), QStringLiteral("Möhre")});
    QCOMPARE(m_model->appendRow(rowsNamed({QString()}).front()), 2);
    m_model->setText(2, 1, QStringLiteral("kcal Käse"));
    QCOMPARE(m_model->setName(2, QStringLiteral("Käse")), 1);
    QCOMPARE(names(*m_model), QStringList({QStringLiteral("Birne"), QStringLiteral("Käse"),
                                           QStringLiteral("Möhre")}));
}

void tst_TextTableModel::removeRow()
{
    load({QStringLiteral("Apfel"), QStringLiteral("Birne"), QStringLiteral("Käse")});
    const QPersistentModelIndex last(m_model->index(2, 4));
    QSignalSpy removed(m_model.get(), &QAbstractItemModel::rowsRemoved);

    m_model->removeRow(1);
    QCOMPARE(names(*m_model), QStringList({QStringLiteral("Apfel"), QStringLiteral("Käse")}));
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed[0][1].toInt(), 1);
    QCOMPARE(removed[0][2].toInt(), 1);
    QCOMPARE(last.row(), 1);

    m_model->removeRow(2);
    m_model->removeRow(-1);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(m_model->rowCount(), 2);

    // A removal keeps the order: a new row still finds its place.
    QCOMPARE(m_model->appendRow(rowsNamed({QStringLiteral("Banane")}).front()), 1);
}

void tst_TextTableModel::clear()
{
    load({QStringLiteral("Apfel"), QStringLiteral("Birne")});
    m_model->appendRow(rowsNamed({QString()}).front());
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);

    m_model->clear();
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(m_model->columnCount(), 5);

    // The empty row left with the others; new rows sort in one by one again.
    QSignalSpy layout(m_model.get(), &QAbstractItemModel::layoutChanged);
    QCOMPARE(m_model->appendRow(rowsNamed({QStringLiteral("Birne")}).front()), 0);
    QCOMPARE(m_model->appendRow(rowsNamed({QStringLiteral("Apfel")}).front()), 0);
    QCOMPARE(layout.size(), 0);
    QCOMPARE(names(*m_model), QStringList({QStringLiteral("Apfel"), QStringLiteral("Birne")}));
}

void tst_TextTableModel::rolesAndFlags()
{
    m_model->setRows(
        {{QStringLiteral("Apfel"), QStringLiteral("kcal Apfel"), QStringLiteral("0,3")}});
    const QModelIndex name = m_model->index(0, 0);
    const QModelIndex protein = m_model->index(0, 2);
    QCOMPARE(name.data(Qt::DisplayRole), QVariant(QStringLiteral("Apfel")));
    QCOMPARE(name.data(Qt::EditRole), QVariant(QStringLiteral("Apfel")));
    QCOMPARE(protein.data(), QVariant(QStringLiteral("0,3")));
    QCOMPARE(m_model->index(0, 4).data(), QVariant(QString()));
    QVERIFY(!name.data(Qt::DecorationRole).isValid());
    QVERIFY(name.flags().testFlag(Qt::ItemIsEditable));
    QVERIFY(!protein.flags().testFlag(Qt::ItemIsEditable));
    QVERIFY(!m_model->setData(protein, QStringLiteral("1"), Qt::DisplayRole));
    QCOMPARE(m_model->headerData(4, Qt::Horizontal), QVariant(QStringLiteral("Kohlenhydrate")));
    QCOMPARE(m_model->allRows(),
             QList<QStringList>({{QStringLiteral("Apfel"), QStringLiteral("kcal Apfel"),
                                  QStringLiteral("0,3"), QString(), QString()}}));
}

QTEST_APPLESS_MAIN(tst_TextTableModel)
#include "tst_text_table_model.moc"
