#include "catalogue/suchen_dialog.h"
#include "core/food_columns.h"
#include "core/text_table_model.h"
#include "tests/support/modal.h"
#include "tests/support/screen_reader.h"
#include "widgets/display_accessibility.h"
#include "widgets/text_list_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// One step of a road through the dialog.
enum class Step
{
    TypeApfel,
    TypeNothingFound,
    Down,
    Enter,
    Escape,
    DoubleClickSecond,
    ClickAdd,
    ClickClose,
};

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class tst_SuchenDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void roads_data();
    void roads();
    void fieldKeepsItsTextSelected();
    void tabOrder();
    void screenReaderHearsCountAndFood();

private:
    std::unique_ptr<TextTableModel> m_catalogue;
};

void tst_SuchenDialog::initTestCase()
{
    InstallDisplayAccessibility();
}

void tst_SuchenDialog::init()
{
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    m_catalogue = std::make_unique<TextTableModel>(ToStringList(FoodColumnNames), collator);
    m_catalogue->setRows({{QStringLiteral("Apfelmus"), QStringLiteral("80")},
                          {QStringLiteral("Apfel roh"), QStringLiteral("52")},
                          {QStringLiteral("Banane"), QStringLiteral("93")},
                          {QStringLiteral("Bratapfel"), QStringLiteral("105")}});
}

void tst_SuchenDialog::cleanup()
{
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(OpenWindows().isEmpty());
}

void tst_SuchenDialog::roads_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("chosen");
    using enum Step;
    QTest::newRow("Enter takes the best match")
        << QList<Step>{TypeApfel, Enter} << TSuchen::Auswahl << QStringLiteral("Apfel roh");
    QTest::newRow("Down from the field, then Enter")
        << QList<Step>{TypeApfel, Down, Down, Enter} << TSuchen::Auswahl
        << QStringLiteral("Apfelmus");
    QTest::newRow("a double-click chooses the food clicked")
        << QList<Step>{TypeApfel, DoubleClickSecond} << TSuchen::Auswahl
        << QStringLiteral("Apfelmus");
    QTest::newRow("Hinzufügen chooses to add")
        << QList<Step>{TypeApfel, Down, ClickAdd} << TSuchen::Hinzufuegen
        << QStringLiteral("Apfel roh");
    QTest::newRow("Escape changes nothing")
        << QList<Step>{TypeApfel, Down, Escape} << TSuchen::Schliessen << QString();
    QTest::newRow("Schließen changes nothing")
        << QList<Step>{TypeApfel, Down, ClickClose} << TSuchen::Schliessen << QString();
    QTest::newRow("with nothing found Enter keeps the dialog open")
        << QList<Step>{TypeNothingFound, Enter, Escape} << TSuchen::Schliessen << QString();
}

void tst_SuchenDialog::roads()
{
    QFETCH(QList<Step>, steps);
    QFETCH(int, result);
    QFETCH(QString, chosen);
    TSuchen suchen(m_catalogue.get());
    // The watch would close a dialog that the steps left open.
    bool closedBySteps = false;
    WhenModal([&](QWidget *) {
        QLineEdit *field = suchen.field();
        for (Step step : steps) {
            switch (step) {
            case Step::TypeApfel:
                QTest::keyClicks(field, QStringLiteral("APFEL"));
                break;
            case Step::TypeNothingFound:
                QTest::keyClicks(field, QStringLiteral("zzz"));
                break;
            case Step::Down:
                QTest::keyClick(field, Qt::Key_Down);
                break;
            case Step::Enter:
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                break;
            case Step::Escape:
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                break;
            case Step::DoubleClickSecond: {
                TextListView *list = suchen.list();
                const QPoint second = list->visualRect(list->model()->index(1, 0)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
                break;
            }
            case Step::ClickAdd:
                QTest::mouseClick(suchen.addButton(), Qt::LeftButton);
                break;
            case Step::ClickClose:
                QTest::mouseClick(suchen.closeButton(), Qt::LeftButton);
                break;
            }
            if (!suchen.isVisible()) {
                closedBySteps = true;
                return;
            }
        }
    });
    QCOMPARE(suchen.exec(), result);
    QVERIFY(closedBySteps);
    QCOMPARE(m_catalogue->text(suchen.chosenRow(), FoodName), chosen);
    QCOMPARE(suchen.chosenRow() >= 0, !chosen.isEmpty());
}

void tst_SuchenDialog::fieldKeepsItsTextSelected()
{
    TSuchen suchen(m_catalogue.get());
    WhenModal([&](QWidget *) {
        QTest::keyClicks(suchen.field(), QStringLiteral("apfel"));
        QTest::keyClick(suchen.field(), Qt::Key_Escape);
    });
    suchen.exec();
    // A food that came meanwhile is found at the next showing.
    m_catalogue->appendRow({QStringLiteral("Apfelsaft"), QStringLiteral("45")});
    QString selected;
    QWidget *focused = nullptr;
    QString count;
    WhenModal([&](QWidget *) {
        selected = suchen.field()->selectedText();
        focused = QApplication::focusWidget();
        count = suchen.countLabel()->text();
    });
    suchen.exec();
    QCOMPARE(selected, QStringLiteral("apfel"));
    QCOMPARE(focused, suchen.field());
    QCOMPARE(count, QStringLiteral("4 Lebensmittel"));
}

void tst_SuchenDialog::tabOrder()
{
    TSuchen suchen(m_catalogue.get());
    QList<QWidget *> visited;
    WhenModal([&](QWidget *) {
        for (int i = 0; i < 4; ++i) {
            visited.append(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        visited.append(QApplication::focusWidget());
    });
    suchen.exec();
    QCOMPARE(visited, (QList<QWidget *>{suchen.field(), suchen.list(), suchen.addButton(),
                                        suchen.closeButton(), suchen.field()}));
}

void tst_SuchenDialog::screenReaderHearsCountAndFood()
{
    TSuchen suchen(m_catalogue.get());
    QStringList heard;
    WhenModal([&](QWidget *) {
        heard.append(Announced(&suchen));
        QTest::keyClicks(suchen.field(), QStringLiteral("apfel"));
        heard.append(Announced(&suchen));
        QTest::keyClick(suchen.field(), Qt::Key_Down);
        heard.append(Announced(&suchen));
        QTest::keyClick(suchen.field(), Qt::Key_Down);
        heard.append(Announced(&suchen));
    });
    suchen.exec();
    QCOMPARE(heard, (QStringList{QStringLiteral("4 Lebensmittel"), QStringLiteral("3 Lebensmittel"),
                                 QStringLiteral("Apfel roh"), QStringLiteral("Apfelmus")}));
}

QTEST_MAIN(tst_SuchenDialog)
#include "tst_suchen_dialog.moc"
