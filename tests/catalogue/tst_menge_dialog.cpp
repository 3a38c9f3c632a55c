#include "catalogue/menge_dialog.h"
#include "tests/support/modal.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class tst_MengeDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void startTexts();
    void heightsOfTheTwoModes_data();
    void heightsOfTheTwoModes();
    void enterAndEscapeDoNotClose();
    void enterPressesFocusedButton();
    void noCloseBox();
    void focusFollowsLastUse();
    void textsStayFromOneUseToTheNext();
    void tabOrder();
};

void tst_MengeDialog::cleanup()
{
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

void tst_MengeDialog::startTexts()
{
    TMenge menge;
    QCOMPARE(menge.windowTitle(), QStringLiteral("Menge"));
    QCOMPARE(menge.foodTexts(),
             QStringList({QStringLiteral("Name"), QStringLiteral("0"), QStringLiteral("0"),
                          QStringLiteral("0"), QStringLiteral("0")}));
    QCOMPARE(menge.text(TMenge::GR), QStringLiteral("0"));
    QCOMPARE(menge.okButton()->text(), QStringLiteral("OK"));
    QCOMPARE(menge.cancelButton()->text(), QStringLiteral("Abbruch"));
    QVERIFY(!menge.okButton()->isDefault() && !menge.okButton()->autoDefault());
    QVERIFY(!menge.cancelButton()->isDefault() && !menge.cancelButton()->autoDefault());
    QCOMPARE(menge.field(TMenge::Name)->geometry(), QRect(8, 8, 313, 21));
    QCOMPARE(menge.field(TMenge::GR)->geometry(), QRect(208, 144, 57, 21));
}

void tst_MengeDialog::heightsOfTheTwoModes_data()
{
    QTest::addColumn<bool>("portionMode");
    QTest::addColumn<int>("outerHeight");
    QTest::addColumn<bool>("portionRowVisible");
    QTest::newRow("portion mode shows the whole dialog") << true << 235 << true;
    QTest::newRow("catalogue mode covers the portion row") << false << 195 << false;
}

void tst_MengeDialog::heightsOfTheTwoModes()
{
    QFETCH(bool, portionMode);
    QFETCH(int, outerHeight);
    QFETCH(bool, portionRowVisible);
    TMenge menge;
    if (portionMode)
        menge.preparePortion();
    else
        menge.prepareCatalogueEdit();
    QCOMPARE(menge.outerHeight(), outerHeight);
    QCOMPARE(menge.height(), outerHeight - 32);
    // The buttons keep their distance from the bottom edge.
    QCOMPARE(menge.okButton()->y(), menge.height() - 32);
    QCOMPARE(menge.cancelButton()->y(), menge.height() - 32);
    const bool covered =
        menge.okButton()->geometry().top() <= menge.field(TMenge::GR)->geometry().top();
    QCOMPARE(!covered, portionRowVisible);
    QCOMPARE(menge.field(TMenge::GR)->isEnabled(), portionMode);
    QCOMPARE(menge.field(TMenge::Name)->isEnabled(), !portionMode);
    if (!portionMode)
        QCOMPARE(menge.text(TMenge::GR), QString());
}

void tst_MengeDialog::enterAndEscapeDoNotClose()
{
    TMenge menge;
    menge.prepareCatalogueEdit();
    int result = 0;
    bool stillOpenAfterKeys = false;
    WhenModal([&](QWidget *) {
        QLineEdit *name = menge.field(TMenge::Name);
        name->setFocus();
        QTest::keyClick(name, Qt::Key_Return);
        QTest::keyClick(name, Qt::Key_Enter);
        QTest::keyClick(name, Qt::Key_Escape);
        QTest::keyClick(&menge, Qt::Key_Escape);
        QTest::keyClick(&menge, Qt::Key_F4, Qt::AltModifier);
        menge.close();
        stillOpenAfterKeys = menge.isVisible();
        QTest::mouseClick(menge.cancelButton(), Qt::LeftButton);
    });
    result = menge.exec();
    QVERIFY(stillOpenAfterKeys);
    QCOMPARE(result, TMenge::Abbruch);
}

void tst_MengeDialog::enterPressesFocusedButton()
{
    TMenge menge;
    menge.prepareCatalogueEdit();
    WhenModal([&](QWidget *) {
        menge.okButton()->setFocus();
        QTest::keyClick(menge.okButton(), Qt::Key_Return);
    });
    QCOMPARE(menge.exec(), TMenge::Ok);
    WhenModal([&](QWidget *) {
        menge.cancelButton()->setFocus();
        QTest::keyClick(menge.cancelButton(), Qt::Key_Space);
    });
    QCOMPARE(menge.exec(), TMenge::Abbruch);
}

void tst_MengeDialog::noCloseBox()
{
    TMenge menge;
    const Qt::WindowFlags flags = menge.windowFlags();
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
}

void tst_MengeDialog::focusFollowsLastUse()
{
    TMenge menge;
    QWidget *focused = nullptr;
    auto showAndClose = [&](QPushButton *closeWith) {
        WhenModal([&, closeWith](QWidget *) {
            focused = QApplication::focusWidget();
            QTest::mouseClick(closeWith, Qt::LeftButton);
        });
        menge.exec();
        return focused;
    };

    // First showing in portion mode: the portion field.
    menge.preparePortion();
    QCOMPARE(showAndClose(menge.cancelButton()), menge.field(TMenge::GR));
    // Then the button last used to close the dialog.
    QCOMPARE(showAndClose(menge.okButton()), menge.cancelButton());
    QCOMPARE(showAndClose(menge.okButton()), menge.okButton());

    // A fresh dialog whose remembered portion field is disabled: the first
    // enabled control in tab order, the OK button.
    TMenge fresh;
    fresh.prepareCatalogueEdit();
    WhenModal([&](QWidget *) {
        focused = QApplication::focusWidget();
        QTest::mouseClick(fresh.cancelButton(), Qt::LeftButton);
    });
    fresh.exec();
    QCOMPARE(focused, fresh.okButton());
}

void tst_MengeDialog::textsStayFromOneUseToTheNext()
{
    TMenge menge;
    menge.prepareCatalogueEdit();
    WhenModal([&](QWidget *) {
        QLineEdit *name = menge.field(TMenge::Name);
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Quark"));
        QTest::mouseClick(menge.cancelButton(), Qt::LeftButton);
    });
    QCOMPARE(menge.exec(), TMenge::Abbruch);
    QCOMPARE(menge.text(TMenge::Name), QStringLiteral("Quark"));
    // Nothing is checked: an empty field comes back as the empty text.
    menge.setText(TMenge::KCAL, QString());
    WhenModal([&](QWidget *) { QTest::mouseClick(menge.okButton(), Qt::LeftButton); });
    QCOMPARE(menge.exec(), TMenge::Ok);
    QCOMPARE(menge.foodTexts(),
             QStringList({QStringLiteral("Quark"), QString(), QStringLiteral("0"),
                          QStringLiteral("0"), QStringLiteral("0")}));
}

void tst_MengeDialog::tabOrder()
{
    TMenge menge;
    menge.preparePortion();
    menge.setFieldEnabled(TMenge::Name, true);
    menge.setFieldEnabled(TMenge::KCAL, true);
    QList<QWidget *> order;
    WhenModal([&](QWidget *) {
        menge.okButton()->setFocus();
        for (int i = 0; i < 5; ++i) {
            order.append(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::mouseClick(menge.cancelButton(), Qt::LeftButton);
    });
    menge.exec();
    // Disabled fields are passed over.
    QCOMPARE(order,
             QList<QWidget *>({menge.okButton(), menge.cancelButton(), menge.field(TMenge::Name),
                               menge.field(TMenge::KCAL), menge.field(TMenge::GR)}));
}

QTEST_MAIN(tst_MengeDialog)
#include "tst_menge_dialog.moc"
