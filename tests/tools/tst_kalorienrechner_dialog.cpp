#include "core/number_text.h"
#include "tests/support/modal.h"
#include "tests/support/screen_reader.h"
#include "tools/kalorienrechner_dialog.h"
#include "widgets/display_accessibility.h"

#include <memory>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class tst_KalorienrechnerDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void layout();
    void total_data();
    void total();
    void failureKeepsTotal_data();
    void failureKeepsTotal();
    void totalIsReadOnlyAndFirst();
    void tabOrder();
    void typedPointBecomesSeparator();
    void pastedTextIsNotChanged();
    void typedPointUnderPointSettings();
    void keysThatDoNothing();

private:
    void setGrams(const QString &protein, const QString &carbohydrate, const QString &fat);

    std::unique_ptr<ModalWatch> m_watch;
    std::unique_ptr<TKalorienrechner> m_dialog;
};

void tst_KalorienrechnerDialog::initTestCase()
{
    InstallDisplayAccessibility();
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    m_watch = std::make_unique<ModalWatch>();
}

void tst_KalorienrechnerDialog::init()
{
    SetDecimalSeparator(QLatin1Char(','));
    m_dialog = std::make_unique<TKalorienrechner>();
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
}

void tst_KalorienrechnerDialog::cleanup()
{
    m_dialog->close();
    QCOMPARE(m_watch->pendingHandlers(), 0);
    m_watch->takeSeen();
    QVERIFY(OpenWindows().isEmpty());
}

void tst_KalorienrechnerDialog::setGrams(const QString &protein, const QString &carbohydrate,
                                         const QString &fat)
{
    m_dialog->Edit1()->setText(protein);
    m_dialog->Edit2()->setText(carbohydrate);
    m_dialog->Edit3()->setText(fat);
}

void tst_KalorienrechnerDialog::layout()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Kalorienrechner"));
    QCOMPARE(m_dialog->size(), QSize(285, 188));
    QCOMPARE(m_dialog->minimumSize(), m_dialog->maximumSize());
    QCOMPARE(m_dialog->Edit1()->geometry(), QRect(136, 16, 49, 21));
    QCOMPARE(m_dialog->Edit2()->geometry(), QRect(136, 48, 49, 21));
    QCOMPARE(m_dialog->Edit3()->geometry(), QRect(136, 80, 49, 21));
    QCOMPARE(m_dialog->Edit4()->geometry(), QRect(96, 120, 89, 21));
    QCOMPARE(m_dialog->Button1()->geometry(), QRect(8, 152, 273, 33));
    QCOMPARE(m_dialog->Button1()->text(), QStringLiteral("Kalorien berechnen"));
    QCOMPARE(m_dialog->Button1()->font().pointSize(), 12);
    QVERIFY(!m_dialog->Button1()->isDefault());
    QCOMPARE(m_dialog->Edit1()->text(), QStringLiteral("10"));
    QCOMPARE(m_dialog->Edit2()->text(), QStringLiteral("50"));
    QCOMPARE(m_dialog->Edit3()->text(), QStringLiteral("5"));
    QCOMPARE(m_dialog->Edit4()->text(), QString());

    struct Label
    {
        const char *name;
        QString text;
        QPoint position;
    };
    const Label labels[] = {
        {"Label1", QStringLiteral("Eiweiß"), {16, 16}},
        {"Label2", QStringLiteral("gramm"), {200, 16}},
        {"Label3", QStringLiteral("Kohlenhydrate"), {16, 48}},
        {"Label4", QStringLiteral("gramm"), {200, 48}},
        {"Label5", QStringLiteral("Fett"), {16, 80}},
        {"Label6", QStringLiteral("gramm"), {200, 80}},
        {"Label7", QStringLiteral("Gesammt"), {16, 120}},
        {"Label8", QStringLiteral("kcal"), {200, 120}},
    };
    for (const Label &expected : labels) {
        auto *label = m_dialog->findChild<QLabel *>(QLatin1String(expected.name));
        QVERIFY2(label, expected.name);
        QCOMPARE(label->text(), expected.text);
        QCOMPARE(label->pos(), expected.position);
        QCOMPARE(label->font().pointSize(), 12);
        QVERIFY(label->width() >= label->sizeHint().width());
        QVERIFY(m_dialog->rect().contains(label->geometry()));
    }
    // The longest caption ends before its field, the total's caption before the total.
    QVERIFY(m_dialog->findChild<QLabel *>(QStringLiteral("Label3"))->geometry().right() < 136);
    QVERIFY(m_dialog->findChild<QLabel *>(QStringLiteral("Label7"))->geometry().right() < 96);
}

void tst_KalorienrechnerDialog::total_data()
{
    QTest::addColumn<QString>("protein");
    QTest::addColumn<QString>("carbohydrate");
    QTest::addColumn<QString>("fat");
    QTest::addColumn<QString>("total");

    QTest::newRow("start values") << QStringLiteral("10") << QStringLiteral("50")
                                  << QStringLiteral("5") << QStringLiteral("292");
    QTest::newRow("1 g protein") << QStringLiteral("1") << QStringLiteral("0")
                                 << QStringLiteral("0") << QStringLiteral("4");
    QTest::newRow("0,5 g fat") << QStringLiteral("0") << QStringLiteral("0")
                               << QStringLiteral("0,5") << QStringLiteral("5");
    QTest::newRow("1000 g each") << QStringLiteral("1000") << QStringLiteral("1000")
                                 << QStringLiteral("1000") << QStringLiteral("17400");
    QTest::newRow("30000 g protein") << QStringLiteral("30000") << QStringLiteral("0")
                                     << QStringLiteral("0") << QStringLiteral("1,23E5");
    QTest::newRow("negative fat") << QStringLiteral("0") << QStringLiteral("0")
                                  << QStringLiteral("-1") << QStringLiteral("-9");
}

void tst_KalorienrechnerDialog::total()
{
    QFETCH(QString, protein);
    QFETCH(QString, carbohydrate);
    QFETCH(QString, fat);
    QFETCH(QString, total);

    setGrams(protein, carbohydrate, fat);
    QTest::mouseClick(m_dialog->Button1(), Qt::LeftButton);
    QVERIFY(m_watch->takeSeen().isEmpty());
    QCOMPARE(m_dialog->Edit4()->text(), total);
    // The focus stays on the button: the total is announced.
    QCOMPARE(Announced(m_dialog.get()),
             QStringLiteral("Gesamt ") + total + QStringLiteral(" kcal"));
}

void tst_KalorienrechnerDialog::failureKeepsTotal_data()
{
    QTest::addColumn<QString>("protein");
    QTest::addColumn<QString>("carbohydrate");
    QTest::addColumn<QString>("fat");
    QTest::addColumn<QString>("message");

    QTest::newRow("protein x and fat y: only x")
        << QStringLiteral("x") << QStringLiteral("50") << QStringLiteral("y")
        << QStringLiteral("'x' ist kein gültiger Gleitkommawert.");
    QTest::newRow("empty carbohydrate is not 0")
        << QStringLiteral("10") << QString() << QStringLiteral("5")
        << QStringLiteral("'' ist kein gültiger Gleitkommawert.");
    QTest::newRow("gram value beyond single precision")
        << QStringLiteral("1E39") << QStringLiteral("0") << QStringLiteral("0")
        << QStringLiteral("Gleitkommaüberlauf.");
    QTest::newRow("total beyond single precision")
        << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("3E38")
        << QStringLiteral("Gleitkommaüberlauf.");
}

void tst_KalorienrechnerDialog::failureKeepsTotal()
{
    QFETCH(QString, protein);
    QFETCH(QString, carbohydrate);
    QFETCH(QString, fat);
    QFETCH(QString, message);

    QTest::mouseClick(m_dialog->Button1(), Qt::LeftButton);
    QCOMPARE(m_dialog->Edit4()->text(), QStringLiteral("292"));

    setGrams(protein, carbohydrate, fat);
    QTest::mouseClick(m_dialog->Button1(), Qt::LeftButton);
    const QList<ModalWatch::Seen> seen = m_watch->takeSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].caption, QStringLiteral("Menuvera 2"));
    QCOMPARE(seen[0].icon, QMessageBox::Critical);
    QCOMPARE(seen[0].text, message);
    QCOMPARE(m_dialog->Edit4()->text(), QStringLiteral("292"));
    QVERIFY(m_dialog->isVisible());
}

void tst_KalorienrechnerDialog::totalIsReadOnlyAndFirst()
{
    QCOMPARE(QApplication::focusWidget(), m_dialog->Edit4());
    QVERIFY(m_dialog->Edit4()->isReadOnly());
    QCOMPARE(m_dialog->Edit4()->palette().color(QPalette::Base),
             m_dialog->palette().color(QPalette::Button));
    QTest::keyClicks(m_dialog->Edit4(), QStringLiteral("123"));
    QCOMPARE(m_dialog->Edit4()->text(), QString());
}

void tst_KalorienrechnerDialog::tabOrder()
{
    const QList<QWidget *> order = {m_dialog->Edit4(), m_dialog->Edit1(),   m_dialog->Edit2(),
                                    m_dialog->Edit3(), m_dialog->Button1(), m_dialog->Edit4()};
    QCOMPARE(QApplication::focusWidget(), order[0]);
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), order[i]);
    }
}

void tst_KalorienrechnerDialog::typedPointBecomesSeparator()
{
    for (QLineEdit *edit : {m_dialog->Edit1(), m_dialog->Edit2(), m_dialog->Edit3()}) {
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("2.5"));
        QCOMPARE(edit->text(), QStringLiteral("2,5"));
    }
    QTest::mouseClick(m_dialog->Button1(), Qt::LeftButton);
    QVERIFY(m_watch->takeSeen().isEmpty());
    QCOMPARE(m_dialog->Edit4()->text(), QStringLiteral("44"));
}

void tst_KalorienrechnerDialog::pastedTextIsNotChanged()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("2.5"));
    m_dialog->Edit3()->clear();
    m_dialog->Edit3()->setFocus();
    QTest::keyClick(m_dialog->Edit3(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_dialog->Edit3()->text(), QStringLiteral("2.5"));
}

void tst_KalorienrechnerDialog::typedPointUnderPointSettings()
{
    SetDecimalSeparator(QLatin1Char('.'));
    setGrams(QStringLiteral("0"), QStringLiteral("0"), QString());
    m_dialog->Edit3()->setFocus();
    QTest::keyClicks(m_dialog->Edit3(), QStringLiteral("0.5"));
    QCOMPARE(m_dialog->Edit3()->text(), QStringLiteral("0.5"));
    QTest::mouseClick(m_dialog->Button1(), Qt::LeftButton);
    QVERIFY(m_watch->takeSeen().isEmpty());
    QCOMPARE(m_dialog->Edit4()->text(), QStringLiteral("5"));
}

void tst_KalorienrechnerDialog::keysThatDoNothing()
{
    // Enter in a field is not a button press, and Escape does not close.
    m_dialog->Edit1()->setFocus();
    QTest::keyClick(m_dialog->Edit1(), Qt::Key_Return);
    QCOMPARE(m_dialog->Edit4()->text(), QString());
    QTest::keyClick(m_dialog->Edit1(), Qt::Key_Escape);
    QVERIFY(m_dialog->isVisible());
    // Enter on the focused button runs the calculation.
    m_dialog->Button1()->setFocus();
    QTest::keyClick(m_dialog->Button1(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(m_dialog->Edit4()->text(), QStringLiteral("292"));
}

QTEST_MAIN(tst_KalorienrechnerDialog)
#include "tst_kalorienrechner_dialog.moc"
