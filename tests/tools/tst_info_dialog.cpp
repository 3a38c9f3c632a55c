#include "core/number_text.h"
#include "tests/support/modal.h"
#include "tools/info_dialog.h"
#include "tools/pie_chart.h"

#include <memory>

#include <QGroupBox>
#include <QLabel>
#include <QtTest>

namespace {

struct ShownChart
{
    QString name;
    QString kcal;
    QStringList labels;
    QList<QColor> colours;
    QList<double> values;
    bool visible = false;
};

ShownChart readInfo(QWidget *modal)
{
    ShownChart shown;
    auto *info = qobject_cast<TInfo *>(modal);
    if (!info)
        return shown;
    shown.visible = info->isVisible();
    shown.name = info->Name()->text();
    shown.kcal = info->KCAL()->text();
    for (const PieChart::Slice &slice : info->C1()->slices()) {
        shown.labels << slice.label;
        shown.colours << slice.colour;
        shown.values << slice.value;
    }
    return shown;
}

} // namespace

class tst_InfoDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init() { SetDecimalSeparator(QLatin1Char(',')); }
    void cleanup();

    void layout();
    void slicesOfAFood_data();
    void slicesOfAFood();
    void failedCalculationShowsEmptyChart_data();
    void failedCalculationShowsEmptyChart();
    void kcalTextIsShownAsStored();
    void nextOpeningReplacesEverything();
    void escapeDoesNotClose();

private:
    std::unique_ptr<ModalWatch> m_watch;
    std::unique_ptr<TInfo> m_info;
};

void tst_InfoDialog::initTestCase()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    m_watch = std::make_unique<ModalWatch>();
    m_info = std::make_unique<TInfo>();
}

void tst_InfoDialog::cleanup()
{
    QCOMPARE(m_watch->pendingHandlers(), 0);
    m_watch->takeSeen();
    QVERIFY(OpenWindows().isEmpty());
}

void tst_InfoDialog::layout()
{
    QCOMPARE(m_info->windowTitle(), QStringLiteral("Nährstoff Info"));
    QCOMPARE(m_info->size(), QSize(540, 428));
    QCOMPARE(m_info->minimumSize(), m_info->maximumSize());
    QCOMPARE(m_info->Name()->geometry(), QRect(2, 2, 247, 18));
    QCOMPARE(m_info->KCAL()->geometry(), QRect(256, 2, 201, 18));
    QCOMPARE(m_info->KCAL()->font().pixelSize(), 13);
    QCOMPARE(m_info->Name()->palette().color(QPalette::Window), QColor(0xa6, 0xca, 0xf0));
    QCOMPARE(m_info->GroupBox1()->geometry(), QRect(2, 24, 535, 401));
    QCOMPARE(m_info->GroupBox1()->title(), QStringLiteral("Prozentuale Kalorienverteilung"));
    QCOMPARE(m_info->C1()->parentWidget(), m_info->GroupBox1());
    QCOMPARE(m_info->C1()->geometry(), QRect(6, 40, 523, 353));

    struct Key
    {
        const char *name;
        QString text;
        QRect geometry;
        QColor background;
        QColor text_colour;
    };
    const Key keys[] = {
        {"StaticText1", QStringLiteral("Eiweiss"), {8, 15, 89, 18}, QColor(0, 128, 0), Qt::white},
        {"StaticText3",
         QStringLiteral("Kohlenhydrate"),
         {104, 15, 89, 18},
         QColor(255, 255, 0),
         Qt::black},
        {"StaticText2", QStringLiteral("Fett"), {200, 15, 89, 18}, QColor(255, 0, 0), Qt::white},
    };
    for (const Key &key : keys) {
        auto *label = m_info->GroupBox1()->findChild<QLabel *>(QLatin1String(key.name));
        QVERIFY2(label, key.name);
        QCOMPARE(label->text(), key.text);
        QCOMPARE(label->geometry(), key.geometry);
        QCOMPARE(label->palette().color(QPalette::Window), key.background);
        QCOMPARE(label->palette().color(QPalette::WindowText), key.text_colour);
        // The key's text fits its box.
        QVERIFY(label->fontMetrics().horizontalAdvance(key.text) <= label->contentsRect().width());
    }
}

void tst_InfoDialog::slicesOfAFood_data()
{
    QTest::addColumn<QStringList>("food");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("apple") << QStringList{QStringLiteral("Apfel"), QStringLiteral("52"),
                                          QStringLiteral("0,3"), QStringLiteral("0,1"),
                                          QStringLiteral("12,4")}
                           << QStringList{QStringLiteral("1,2 kcal = 2,3 %"),
                                          QStringLiteral("0,9 kcal = 1,7 %"),
                                          QStringLiteral("50,8 kcal = 95,9 %")};
    QTest::newRow("no carbohydrate")
        << QStringList{QStringLiteral("Hähnchen"), QStringLiteral("170"), QStringLiteral("20"),
                       QStringLiteral("10"), QStringLiteral("0")}
        << QStringList{QStringLiteral("82,0 kcal = 47,1 %"), QStringLiteral("92,0 kcal = 52,9 %"),
                       QStringLiteral("0,0 kcal = 0,0 %")};
}

void tst_InfoDialog::slicesOfAFood()
{
    QFETCH(QStringList, food);
    QFETCH(QStringList, labels);

    ShownChart shown;
    m_watch->expect([&](QWidget *modal) { shown = readInfo(modal); });
    ShowNutrientInfo(*m_info, food);

    QVERIFY(m_watch->takeSeen().isEmpty());
    QVERIFY(shown.visible);
    QCOMPARE(shown.name, food[0]);
    QCOMPARE(shown.kcal, QStringLiteral("100 gr = %1 kcal").arg(food[1]));
    QCOMPARE(shown.labels, labels);
    QCOMPARE(shown.colours,
             (QList<QColor>{QColor(0, 128, 0), QColor(255, 0, 0), QColor(255, 255, 0)}));
    QCOMPARE(shown.values.size(), 3);
    QCOMPARE(shown.values[0], double(float(ParseNumber(food[2]) * Extended(4.1))));
}

void tst_InfoDialog::failedCalculationShowsEmptyChart_data()
{
    QTest::addColumn<QStringList>("food");

    QTest::newRow("nothing but water")
        << QStringList{QStringLiteral("Wasser"), QStringLiteral("0"), QStringLiteral("0"),
                       QStringLiteral("0"), QStringLiteral("0")};
    QTest::newRow("protein text refused")
        << QStringList{QStringLiteral("Tippfehler"), QStringLiteral("52"), QStringLiteral("abc"),
                       QStringLiteral("1"), QStringLiteral("1")};
    QTest::newRow("carbohydrate text refused after two good ones")
        << QStringList{QStringLiteral("Brot"), QStringLiteral("250"), QStringLiteral("8"),
                       QStringLiteral("1"), QStringLiteral("48.5")};
}

void tst_InfoDialog::failedCalculationShowsEmptyChart()
{
    QFETCH(QStringList, food);

    // A food with slices first, so that an emptied chart shows.
    m_watch->expect([](QWidget *) {});
    ShowNutrientInfo(*m_info, {QStringLiteral("Apfel"), QStringLiteral("52"), QStringLiteral("0,3"),
                               QStringLiteral("0,1"), QStringLiteral("12,4")});
    m_watch->takeSeen();

    ShownChart shown;
    ModalWatch::Seen message;
    m_watch->expect([&](QWidget *modal) { message = ModalWatch::describe(modal); });
    m_watch->expect([&](QWidget *modal) { shown = readInfo(modal); });
    ShowNutrientInfo(*m_info, food);

    QCOMPARE(message.text, QStringLiteral("Fehler beim Berechnen"));
    QCOMPARE(message.caption, QStringLiteral("Menuvera 2"));
    QCOMPARE(message.icon, QMessageBox::NoIcon);
    QVERIFY(shown.visible);
    QCOMPARE(shown.name, food[0]);
    QCOMPARE(shown.kcal, QStringLiteral("100 gr = %1 kcal").arg(food[1]));
    QVERIFY(shown.labels.isEmpty());
}

void tst_InfoDialog::kcalTextIsShownAsStored()
{
    ShownChart shown;
    m_watch->expect([&](QWidget *modal) { shown = readInfo(modal); });
    ShowNutrientInfo(*m_info, {QStringLiteral("Nuss"), QStringLiteral(" viel "),
                               QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")});
    QVERIFY(m_watch->takeSeen().isEmpty());
    QCOMPARE(shown.kcal, QStringLiteral("100 gr =  viel  kcal"));
    QCOMPARE(shown.labels.size(), 3);
}

void tst_InfoDialog::nextOpeningReplacesEverything()
{
    m_watch->expect([](QWidget *) {});
    ShowNutrientInfo(*m_info, {QStringLiteral("Apfel"), QStringLiteral("52"), QStringLiteral("0,3"),
                               QStringLiteral("0,1"), QStringLiteral("12,4")});
    ShownChart shown;
    m_watch->expect([&](QWidget *modal) { shown = readInfo(modal); });
    ShowNutrientInfo(*m_info, {QStringLiteral("Butter"), QStringLiteral("741"),
                               QStringLiteral("0,7"), QStringLiteral("83"), QStringLiteral("0,6")});
    QCOMPARE(shown.name, QStringLiteral("Butter"));
    QCOMPARE(shown.kcal, QStringLiteral("100 gr = 741 kcal"));
    QCOMPARE(shown.labels,
             (QStringList{QStringLiteral("2,9 kcal = 0,4 %"), QStringLiteral("763,6 kcal = 99,3 %"),
                          QStringLiteral("2,5 kcal = 0,3 %")}));
}

void tst_InfoDialog::escapeDoesNotClose()
{
    bool openAfterEscape = false;
    m_watch->expect([&](QWidget *modal) {
        QTest::keyClick(modal, Qt::Key_Escape);
        openAfterEscape = modal->isVisible();
    });
    ShowNutrientInfo(*m_info, {QStringLiteral("Apfel"), QStringLiteral("52"), QStringLiteral("0,3"),
                               QStringLiteral("0,1"), QStringLiteral("12,4")});
    QVERIFY(openAfterEscape);
}

QTEST_MAIN(tst_InfoDialog)
#include "tst_info_dialog.moc"
