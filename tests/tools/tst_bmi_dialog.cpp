#include "core/number_text.h"
#include "tests/support/modal.h"
#include "tests/support/screen_reader.h"
#include "tools/bmi_dialog.h"
#include "widgets/display_accessibility.h"

#include <memory>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class tst_BmiDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void layout();
    void startValuesGiveResult();
    void firstShowingFocusesTheButton();
    void enterAndSpacePressTheFocusedButton();
    void enterInAFieldDoesNothing();
    void tabOrder();
    void limitMessages_data();
    void limitMessages();
    void errorBox_data();
    void errorBox();
    void typedPointBecomesSeparator();
    void pastedTextIsNotChanged();
    void typedPointUnderPointSettings();
    void escapeDoesNotClose();
    void centredOnFirstShowingOnly();

private:
    void showFresh();

    std::unique_ptr<ModalWatch> m_watch;
    std::unique_ptr<TBMI> m_bmi;
};

void tst_BmiDialog::initTestCase()
{
    InstallDisplayAccessibility();
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    m_watch = std::make_unique<ModalWatch>();
}

void tst_BmiDialog::init()
{
    SetDecimalSeparator(QLatin1Char(','));
    showFresh();
}

void tst_BmiDialog::showFresh()
{
    m_bmi = std::make_unique<TBMI>();
    m_bmi->show();
    QVERIFY(QTest::qWaitForWindowActive(m_bmi.get()));
}

void tst_BmiDialog::cleanup()
{
    m_bmi->close();
    QCOMPARE(m_watch->pendingHandlers(), 0);
    m_watch->takeSeen();
    QVERIFY(OpenWindows().isEmpty());
}

void tst_BmiDialog::layout()
{
    QCOMPARE(m_bmi->windowTitle(), QStringLiteral("BMI Rechner"));
    QCOMPARE(m_bmi->size(), QSize(263, 143));
    QCOMPARE(m_bmi->minimumSize(), m_bmi->maximumSize());
    QCOMPARE(m_bmi->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(m_bmi->font().pointSize(), 8);
    QCOMPARE(m_bmi->Edit1()->geometry(), QRect(104, 16, 57, 21));
    QCOMPARE(m_bmi->Edit1()->text(), QStringLiteral("170"));
    QCOMPARE(m_bmi->Edit2()->geometry(), QRect(104, 48, 57, 21));
    QCOMPARE(m_bmi->Edit2()->text(), QStringLiteral("50"));
    QCOMPARE(m_bmi->Button1()->geometry(), QRect(8, 112, 249, 25));
    QCOMPARE(m_bmi->Button1()->text(), QStringLiteral("Berechnen"));
    QVERIFY(m_bmi->Button1()->font().bold());
    QVERIFY(!m_bmi->Button1()->isDefault());
    // The start text keeps its point whatever the separator.
    QCOMPARE(m_bmi->Label6()->text(), QStringLiteral("17.30"));
    QCOMPARE(m_bmi->Label6()->pos(), QPoint(104, 80));
    QCOMPARE(m_bmi->Label6()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(m_bmi->Label6()->font().pointSize(), 14);
    QVERIFY(m_bmi->Label6()->font().bold());

    const QList<std::pair<const char *, QPoint>> labels = {{"Label1", {16, 16}},
                                                           {"Label3", {184, 16}},
                                                           {"Label2", {16, 48}},
                                                           {"Label4", {184, 48}},
                                                           {"Label5", {16, 80}}};
    for (const auto &[name, position] : labels) {
        auto *label = m_bmi->findChild<QLabel *>(QLatin1String(name));
        QVERIFY2(label, name);
        QCOMPARE(label->pos(), position);
        // Nothing is clipped: each label is as large as its text needs and
        // stays within the window.
        QVERIFY(label->width() >= label->sizeHint().width());
        QVERIFY(m_bmi->rect().contains(label->geometry()));
    }
    // The labels of the left column end before the fields begin.
    QVERIFY(m_bmi->findChild<QLabel *>(QStringLiteral("Label2"))->geometry().right() < 104);
}

void tst_BmiDialog::startValuesGiveResult()
{
    QTest::mouseClick(m_bmi->Button1(), Qt::LeftButton);
    QVERIFY(m_watch->takeSeen().isEmpty());
    QCOMPARE(m_bmi->Label6()->text(), QStringLiteral("17,30"));
    QVERIFY(m_bmi->Label6()->width() >= m_bmi->Label6()->sizeHint().width());
    // The focus stays on the button: the result is announced, and read as
    // its number.
    QCOMPARE(Announced(m_bmi.get()), QStringLiteral("BMI 17,30"));
    QCOMPARE(ReadAloud(m_bmi->Label6()), QStringLiteral("BMI: 17,30"));
    QCOMPARE(ShownText(m_bmi->Label6()), QStringLiteral("17,30"));
}

void tst_BmiDialog::firstShowingFocusesTheButton()
{
    QCOMPARE(QApplication::focusWidget(), m_bmi->Button1());
}

void tst_BmiDialog::enterAndSpacePressTheFocusedButton()
{
    QTest::keyClick(m_bmi->Button1(), Qt::Key_Return);
    QCOMPARE(m_bmi->Label6()->text(), QStringLiteral("17,30"));
    m_bmi->Edit2()->setText(QStringLiteral("100"));
    QTest::keyClick(m_bmi->Button1(), Qt::Key_Space);
    QCOMPARE(m_bmi->Label6()->text(), QStringLiteral("34,60"));
    QVERIFY(m_bmi->isVisible());
}

void tst_BmiDialog::enterInAFieldDoesNothing()
{
    m_bmi->Edit1()->setFocus();
    QTest::keyClick(m_bmi->Edit1(), Qt::Key_Return);
    QCOMPARE(m_bmi->Label6()->text(), QStringLiteral("17.30"));
    QVERIFY(m_bmi->isVisible());
}

void tst_BmiDialog::tabOrder()
{
    QCOMPARE(QApplication::focusWidget(), m_bmi->Button1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_bmi->Edit2());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_bmi->Edit1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_bmi->Button1());
}

void tst_BmiDialog::limitMessages_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("message");

    const QString heightMessage = QStringLiteral("Feld Größe darf nicht kleiner 50 cm sein");
    const QString weightMessage = QStringLiteral("Feld Gewicht darf nicht kleiner 20 kg sein");
    QTest::newRow("height 49,9") << QStringLiteral("49,9") << QStringLiteral("50") << heightMessage;
    QTest::newRow("weight 19,99") << QStringLiteral("170") << QStringLiteral("19,99")
                                  << weightMessage;
    QTest::newRow("both too low: height first")
        << QStringLiteral("10") << QStringLiteral("10") << heightMessage;
    QTest::newRow("height too low, weight not a number")
        << QStringLiteral("10") << QStringLiteral("abc") << heightMessage;
}

void tst_BmiDialog::limitMessages()
{
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(QString, message);

    m_bmi->Edit1()->setText(height);
    m_bmi->Edit2()->setText(weight);
    QTest::mouseClick(m_bmi->Button1(), Qt::LeftButton);

    const QList<ModalWatch::Seen> seen = m_watch->takeSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].caption, QStringLiteral("Fehler"));
    QCOMPARE(seen[0].text, message);
    QCOMPARE(seen[0].icon, QMessageBox::Critical);
    QVERIFY(!seen[0].hasParent);
    QVERIFY(seen[0].staysOnTop);
    QCOMPARE(m_bmi->Label6()->text(), QStringLiteral("17.30"));
    QVERIFY(m_bmi->isVisible());
}

void tst_BmiDialog::errorBox_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("message");

    QTest::newRow("height not a number, low weight")
        << QStringLiteral("abc") << QStringLiteral("5")
        << QStringLiteral("'abc' ist kein gültiger Gleitkommawert.");
    QTest::newRow("empty height") << QString() << QStringLiteral("50")
                                  << QStringLiteral("'' ist kein gültiger Gleitkommawert.");
    QTest::newRow("empty weight") << QStringLiteral("170") << QString()
                                  << QStringLiteral("'' ist kein gültiger Gleitkommawert.");
    QTest::newRow("height beyond single precision")
        << QStringLiteral("1E39") << QStringLiteral("50") << QStringLiteral("Gleitkommaüberlauf.");
}

void tst_BmiDialog::errorBox()
{
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(QString, message);

    // A result first: a failure keeps it.
    QTest::mouseClick(m_bmi->Button1(), Qt::LeftButton);
    QCOMPARE(m_bmi->Label6()->text(), QStringLiteral("17,30"));

    m_bmi->Edit1()->setText(height);
    m_bmi->Edit2()->setText(weight);
    QTest::mouseClick(m_bmi->Button1(), Qt::LeftButton);

    const QList<ModalWatch::Seen> seen = m_watch->takeSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].caption, QStringLiteral("Menuvera 2"));
    QCOMPARE(seen[0].text, message);
    QCOMPARE(seen[0].icon, QMessageBox::Critical);
    QCOMPARE(m_bmi->Label6()->text(), QStringLiteral("17,30"));
    QVERIFY(m_bmi->isVisible());
}

void tst_BmiDialog::typedPointBecomesSeparator()
{
    m_bmi->Edit1()->clear();
    m_bmi->Edit1()->setFocus();
    QTest::keyClicks(m_bmi->Edit1(), QStringLiteral("1.70"));
    QCOMPARE(m_bmi->Edit1()->text(), QStringLiteral("1,70"));
    // 1,7 cm is below the limit.
    QTest::mouseClick(m_bmi->Button1(), Qt::LeftButton);
    const QList<ModalWatch::Seen> seen = m_watch->takeSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].text, QStringLiteral("Feld Größe darf nicht kleiner 50 cm sein"));

    // The weight field too, and a point typed on the key pad.
    m_bmi->Edit2()->clear();
    m_bmi->Edit2()->setFocus();
    QTest::keyClicks(m_bmi->Edit2(), QStringLiteral("62"));
    QTest::keyClick(m_bmi->Edit2(), Qt::Key_Period, Qt::KeypadModifier);
    QTest::keyClicks(m_bmi->Edit2(), QStringLiteral("5"));
    QCOMPARE(m_bmi->Edit2()->text(), QStringLiteral("62,5"));
}

void tst_BmiDialog::pastedTextIsNotChanged()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("1.70"));
    m_bmi->Edit1()->clear();
    m_bmi->Edit1()->setFocus();
    QTest::keyClick(m_bmi->Edit1(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_bmi->Edit1()->text(), QStringLiteral("1.70"));
    QTest::mouseClick(m_bmi->Button1(), Qt::LeftButton);
    const QList<ModalWatch::Seen> seen = m_watch->takeSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].text, QStringLiteral("'1.70' ist kein gültiger Gleitkommawert."));
}

void tst_BmiDialog::typedPointUnderPointSettings()
{
    // Under settings with a decimal point the typed point stays, so that the
    // typed number can be read.
    SetDecimalSeparator(QLatin1Char('.'));
    m_bmi->Edit1()->clear();
    m_bmi->Edit1()->setFocus();
    QTest::keyClicks(m_bmi->Edit1(), QStringLiteral("172.5"));
    QCOMPARE(m_bmi->Edit1()->text(), QStringLiteral("172.5"));
    QTest::mouseClick(m_bmi->Button1(), Qt::LeftButton);
    QVERIFY(m_watch->takeSeen().isEmpty());
    QCOMPARE(m_bmi->Label6()->text(), QStringLiteral("16.80"));
}

void tst_BmiDialog::escapeDoesNotClose()
{
    QTest::keyClick(m_bmi.get(), Qt::Key_Escape);
    QVERIFY(m_bmi->isVisible());
    // Shown again, the window keeps its texts.
    m_bmi->Edit2()->setText(QStringLiteral("80"));
    m_bmi->close();
    m_bmi->show();
    QCOMPARE(m_bmi->Edit2()->text(), QStringLiteral("80"));
}

void tst_BmiDialog::centredOnFirstShowingOnly()
{
    const QPoint screenCentre = m_bmi->screen()->availableGeometry().center();
    // Within the width of the window frame.
    QVERIFY((m_bmi->geometry().center() - screenCentre).manhattanLength() <= 8);
    m_bmi->close();
    m_bmi->move(10, 20);
    m_bmi->show();
    QCOMPARE(m_bmi->pos(), QPoint(10, 20));
}

QTEST_MAIN(tst_BmiDialog)
#include "tst_bmi_dialog.moc"
