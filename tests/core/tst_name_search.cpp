#include "core/food_columns.h"
#include "core/name_search_model.h"
#include "core/text_table_model.h"
#include "tests/support/source_path.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

namespace {

QCollator germanCollator()
{
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

// The German names of the national food table's extract.
QStringList tableNames()
{
    QFile file(SourcePath(u"resources/bls-4.0/bls_4_0_macros.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList names;
    qsizetype nameColumn = -1;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        if (line.startsWith(QLatin1Char('#'))) {
            // The comment that names the columns.
            const QStringList columns = line.mid(1).trimmed().split(QLatin1Char('\t'));
            if (columns.contains(QStringLiteral("name_de")))
                nameColumn = columns.indexOf(QStringLiteral("name_de"));
            continue;
        }
        if (nameColumn >= 0)
            names.append(line.split(QLatin1Char('\t')).value(nameColumn));
    }
    return names;
}

QList<QStringList> rowsNamed(const QStringList &names)
{
    QList<QStringList> rows;
    for (const QString &name : names)
        rows.append({name, QStringLiteral("1")});
    return rows;
}

QStringList found(const NameSearchModel &search)
{
    QStringList names;
    for (int match = 0; match < search.rowCount(); ++match)
        names.append(search.data(search.index(match, FoodName)).toString());
    return names;
}

// The names a search of a catalogue of these names finds, in their order.
QStringList searchIn(const QStringList &names, const QString &typed)
{
    TextTableModel catalogue(ToStringList(FoodColumnNames), germanCollator());
    catalogue.setRows(rowsNamed(names));
    NameSearchModel search(&catalogue);
    search.search(typed);
    return found(search);
}

} // namespace

class tst_NameSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void folding_data();
    void folding();
    void firstInTheTable_data();
    void firstInTheTable();
    void spellingsFindTheSame_data();
    void spellingsFindTheSame();
    void order_data();
    void order();
    void followsTheCatalogue();
    void foldedNamesAreSmall();

private:
    QStringList m_tableNames;
};

void tst_NameSearch::initTestCase()
{
    m_tableNames = tableNames();
    QCOMPARE(m_tableNames.size(), 7140);
}

void tst_NameSearch::folding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("folded");
    QTest::newRow("case") << QStringLiteral("HAFERflocken") << QByteArray("haferflocken");
    QTest::newRow("spaces and punctuation")
        << QStringLiteral("Hafer-Flocken, roh (1. Wahl)") << QByteArray("haferflockenroh1wahl");
    QTest::newRow("umlaut") << QStringLiteral("Käse") << QByteArray("kase");
    QTest::newRow("umlaut spelt out") << QStringLiteral("Kaese") << QByteArray("kase");
    QTest::newRow("spelt-out umlauts only within a word")
        << QStringLiteral("Pasta Eier") << QByteArray("pastaeier");
    QTest::newRow("sharp s") << QStringLiteral("Straße") << QByteArray("strasse");
    QTest::newRow("capital sharp s") << QStringLiteral("STRAẞE") << QByteArray("strasse");
    QTest::newRow("accents") << QStringLiteral("Crème fraîche") << QByteArray("cremefraiche");
    QTest::newRow("digits stay") << QStringLiteral("3,5 % Fett") << QByteArray("35fett");
    QTest::newRow("ligature") << QStringLiteral("Souﬄé") << QByteArray("souffle");
    QTest::newRow("outside Latin-1") << QStringLiteral("Čevapčići") << QByteArray("cevapcici");
    QTest::newRow("letter without decomposition") << QStringLiteral("Smørrebrød")
                                                  << QByteArray("sm\xC3\xB8rrebr\xC3\xB8"
                                                                "d");
    QTest::newRow("only punctuation") << QStringLiteral(" - , ") << QByteArray();
}

void tst_NameSearch::folding()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, folded);
    QCOMPARE(FoldForSearch(text), folded);
}

void tst_NameSearch::firstInTheTable_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("first");
    const QString oats = QStringLiteral("Hafer Flocken");
    QTest::newRow("oat flakes as one word") << QStringLiteral("haferflocken") << oats;
    QTest::newRow("oat flakes with a hyphen") << QStringLiteral("Hafer-Flocken") << oats;
    QTest::newRow("oat flakes in capitals") << QStringLiteral("HAFERFLOCKEN") << oats;
    QTest::newRow("oat flakes as two words") << QStringLiteral("hafer flocken") << oats;
    // The plain quark before the dishes made with it.
    QTest::newRow("skimmed quark")
        << QStringLiteral("magerquark")
        << QStringLiteral("Speisequark Magerstufe, Magerquark < 10 % Fett i. Tr.");
    QTest::newRow("pasta") << QStringLiteral("teigwaren")
                           << QStringLiteral("Teigwaren eifrei, roh");
    QTest::newRow("noodles as a word of their own")
        << QStringLiteral("nudeln")
        << QStringLiteral("Ausgezogene Nudeln/Knienudeln (Hefeteig) frittiert");
    const QString chickenBreast = QStringLiteral("Hähnchen Brust, ohne Haut, roh");
    QTest::newRow("chicken breast") << QStringLiteral("hähnchenbrust") << chickenBreast;
    QTest::newRow("chicken breast spelt out") << QStringLiteral("haehnchenbrust") << chickenBreast;
    QTest::newRow("chicken breast fillet")
        << QStringLiteral("hähnchenbrustfilet") << QStringLiteral("Hähnchen Brustfilet, roh");
    QTest::newRow("words in any order")
        << QStringLiteral("roh brustfilet hähnchen") << QStringLiteral("Hähnchen Brustfilet, roh");
    QTest::newRow("the plain food before shorter dishes")
        << QStringLiteral("kartoffel") << QStringLiteral("Kartoffel geschält, roh");
}

void tst_NameSearch::firstInTheTable()
{
    QFETCH(QString, typed);
    QFETCH(QString, first);
    QCOMPARE(searchIn(m_tableNames, typed).value(0), first);
}

void tst_NameSearch::spellingsFindTheSame_data()
{
    QTest::addColumn<QStringList>("spellings");
    QTest::newRow("cheese") << QStringList{QStringLiteral("käse"), QStringLiteral("kaese"),
                                           QStringLiteral("kase"), QStringLiteral("KÄSE")};
    QTest::newRow("white bread") << QStringList{
        QStringLiteral("weißbrot"), QStringLiteral("weissbrot"), QStringLiteral("Weiss-Brot")};
    QTest::newRow("sweet") << QStringList{QStringLiteral("süß"), QStringLiteral("suess"),
                                          QStringLiteral("SÜSS")};
}

void tst_NameSearch::spellingsFindTheSame()
{
    QFETCH(QStringList, spellings);
    TextTableModel catalogue(ToStringList(FoodColumnNames), germanCollator());
    catalogue.setRows(rowsNamed(m_tableNames));
    NameSearchModel search(&catalogue);
    search.search(spellings.front());
    const QStringList first = found(search);
    QVERIFY(first.size() > 1);
    for (const QString &spelling : spellings.mid(1)) {
        search.search(spelling);
        QCOMPARE(found(search), first);
    }
}

void tst_NameSearch::order_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("equal, begins, a word begins, the rest")
        << QStringList{QStringLiteral("Milchreis"),
                       QStringLiteral("Reis"),
                       QStringLiteral("Brot"),
                       QStringLiteral("Reisnudeln"),
                       QStringLiteral("Huhn mit Reisnudeln"),
                       QStringLiteral("Huhn mit Reis")}
        << QStringLiteral("reis")
        << QStringList{QStringLiteral("Reis"), QStringLiteral("Reisnudeln"),
                       QStringLiteral("Huhn mit Reis"), QStringLiteral("Huhn mit Reisnudeln"),
                       QStringLiteral("Milchreis")};
    QTest::newRow("a whole word first, then shorter first, then the list's order")
        << QStringList{QStringLiteral("Apfel, gebacken"), QStringLiteral("Apfel roh"),
                       QStringLiteral("Apfel gar"), QStringLiteral("Apfelsaft")}
        << QStringLiteral("apfel")
        << QStringList{QStringLiteral("Apfel gar"), QStringLiteral("Apfel roh"),
                       QStringLiteral("Apfel, gebacken"), QStringLiteral("Apfelsaft")};
    QTest::newRow("a word in brackets is what a dish is made with")
        << QStringList{QStringLiteral("Dip (aus Quark)"), QStringLiteral("Speise, Quark fett")}
        << QStringLiteral("quark")
        << QStringList{QStringLiteral("Speise, Quark fett"), QStringLiteral("Dip (aus Quark)")};
    QTest::newRow("every word, anywhere")
        << QStringList{QStringLiteral("Brot roh"), QStringLiteral("Roggenbrot"),
                       QStringLiteral("Roggen")}
        << QStringLiteral("brot roggen") << QStringList{QStringLiteral("Roggenbrot")};
    const QString x300 = QLatin1Char('a') + QString(300, QLatin1Char('x'));
    const QString x280 = QLatin1Char('b') + QString(280, QLatin1Char('x'));
    const QString x290 = QLatin1Char('c') + QString(290, QLatin1Char('x'));
    QTest::newRow("the longest names by their length too")
        << QStringList{x300, x280, x290} << QStringLiteral("x") << QStringList{x280, x290, x300};
    // A list this long is searched in parts, one per core: a name of one
    // part may not pass one of an earlier part that it follows in the list.
    QStringList copies;
    QStringList copiesFound;
    constexpr int Times = 19;
    for (const QString &name : std::as_const(m_tableNames))
        copies.append(QStringList(Times, name));
    for (const QString &name : searchIn(m_tableNames, QStringLiteral("kase")))
        copiesFound.append(QStringList(Times, name));
    QTest::newRow("a long list: still the list's order")
        << copies << QStringLiteral("kase") << copiesFound;
    QTest::newRow("nothing typed: all, in the list's order")
        << QStringList{QStringLiteral("B"), QStringLiteral("A")} << QStringLiteral(" - ")
        << QStringList{QStringLiteral("A"), QStringLiteral("B")};
}

void tst_NameSearch::order()
{
    QFETCH(QStringList, names);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    QCOMPARE(searchIn(names, typed), expected);
}

// Whatever the catalogue goes through, a search finds what a search made
// afresh on it finds, also while the user types on.
void tst_NameSearch::followsTheCatalogue()
{
    TextTableModel catalogue(ToStringList(FoodColumnNames), germanCollator());
    catalogue.setRows(rowsNamed(m_tableNames.mid(0, 400)));
    NameSearchModel search(&catalogue);
    QAbstractItemModelTester tester(&search,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QRandomGenerator random(24);
    const QStringList typing{QStringLiteral("k"),     QStringLiteral("ka"),
                             QStringLiteral("kae"),   QStringLiteral("kaes"),
                             QStringLiteral("kaese"), QStringLiteral("kaese r"),
                             QStringLiteral("r")};
    for (int step = 0; step < 300; ++step) {
        const int rows = catalogue.rowCount();
        const QString name = m_tableNames[random.bounded(m_tableNames.size())];
        switch (random.bounded(6)) {
        case 0:
            catalogue.appendRow({name, QStringLiteral("2")});
            break;
        case 1:
            catalogue.removeRow(random.bounded(rows));
            break;
        case 2:
            catalogue.setName(random.bounded(rows), name);
            break;
        case 3:
            catalogue.setText(random.bounded(rows), FoodKcal, QStringLiteral("3"));
            break;
        case 4:
            // A row without a name stays at the end until a rename sorts the table.
            catalogue.appendRow({QString(), QStringLiteral("4")});
            break;
        default:
            if (step % 50 == 0)
                catalogue.setRows(rowsNamed(m_tableNames.mid(random.bounded(7000), 300)));
            break;
        }
        for (const QString &typed : typing.mid(0, 1 + random.bounded(typing.size()))) {
            search.search(typed);
            NameSearchModel afresh(&catalogue);
            afresh.search(typed);
            QCOMPARE(found(search), found(afresh));
            for (int match = 0; match < search.rowCount(); ++match)
                QCOMPARE(search.catalogueRow(match), afresh.catalogueRow(match));
        }
    }
}

// At most half as much again as the names take in the catalogue's store,
// one byte a letter.
void tst_NameSearch::foldedNamesAreSmall()
{
    TextTableModel catalogue(ToStringList(FoodColumnNames), germanCollator());
    catalogue.setRows(rowsNamed(m_tableNames));
    NameSearchModel search(&catalogue);
    search.search(QStringLiteral("a"));
    qsizetype nameBytes = 0;
    for (const QString &name : std::as_const(m_tableNames))
        nameBytes += name.size();
    QCOMPARE_LE(search.foldedNames().memoryBytes(), size_t(nameBytes) * 3 / 2);
}

QTEST_APPLESS_MAIN(tst_NameSearch)
#include "tst_name_search.moc"
