// A seeded monkey: thousands of random commands, clicks and typed texts on
// the main window and its food-entry dialog. The program must never crash,
// every message it shows must be one of its own, and afterwards the catalogue
// must still save and read back identical.

#include "app/application.h"
#include "app/main_window.h"
#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "catalogue/menge_dialog.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_table_model.h"
#include "tests/support/modal.h"
#include "tests/support/source_path.h"
#include "widgets/text_list_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

class tst_Monkey : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomCommands();
};

namespace {

QString randomText(QRandomGenerator &random)
{
    static const QStringList pieces = {QStringLiteral("12"),    QStringLiteral(",5"),
                                       QStringLiteral("Käse"),  QStringLiteral("1E39"),
                                       QStringLiteral(" "),     QStringLiteral("abc"),
                                       QStringLiteral("0"),     QStringLiteral("-3"),
                                       QStringLiteral("1.5"),   QStringLiteral("E"),
                                       QStringLiteral("Äpfel"), QStringLiteral("99999,95"),
                                       QStringLiteral("€"),     QString()};
    QString text;
    for (int n = int(random.bounded(3)); n >= 0; --n)
        text += pieces[random.bounded(int(pieces.size()))];
    return text;
}

// Whether a message is one the program itself can show.
bool isOwnMessage(const QString &text)
{
    static const QRegularExpression own(
        QStringLiteral("^('.*' ist kein gültiger Gleitkommawert\\.|Fehler beim "
                       "Berechnen|Gleitkommaüberlauf\\.|"
                       "Nicht gespeichert: .*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    return own.match(text).hasMatch();
}

} // namespace

void tst_Monkey::randomCommands()
{
    SetDecimalSeparator(QLatin1Char(','));
    QTemporaryDir dir;
    TApplicationWindows windows;
    TMain &main = *windows.Main;
    main.Timer1()->stop();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    TextTableModel &catalogue = *main.LM()->textModel();
    catalogue.setRows(ReadFoodList(SourcePath(u"resources/sample/Lebensmittel.lmk")));

    QRandomGenerator random(20261207);
    constexpr int Actions = 2000;
    QStringList messages;
    auto answerDialog = [&random](QWidget *modal) {
        auto *menge = qobject_cast<TMenge *>(modal);
        if (!menge) {
            modal->close();
            return;
        }
        for (int field = TMenge::Name; field <= TMenge::GR; ++field) {
            QLineEdit *edit = menge->field(TMenge::Field(field));
            if (edit->isEnabled() && random.bounded(2))
                edit->setText(randomText(random));
        }
        QTest::mouseClick(random.bounded(4) ? menge->okButton() : menge->cancelButton(),
                          Qt::LeftButton);
    };

    for (int action = 0; action < Actions; ++action) {
        const QList<ModalWatch::Seen> boxes = CloseMessageBoxes([&] {
            const int rows = catalogue.rowCount();
            switch (random.bounded(9)) {
            case 0:
                main.LM()->selectRow(rows ? int(random.bounded(rows)) : 0);
                break;
            case 1:
                main.Page()->setCurrentIndex(int(random.bounded(4)));
                break;
            case 2:
                WhenModal(answerDialog, 300);
                QTest::mouseClick(main.BitBtn1(), Qt::LeftButton);
                break;
            case 3: {
                TextListView *meal = main.meal(main.Page()->currentIndex());
                if (meal->textModel()->rowCount())
                    meal->selectRow(int(random.bounded(meal->textModel()->rowCount())));
                QTest::mouseClick(main.BitBtn2(), Qt::LeftButton);
                break;
            }
            case 4:
                WhenModal(answerDialog, 300);
                main.Neu1Click();
                break;
            case 5:
                WhenModal(answerDialog, 300);
                main.Bearbeiten1Click();
                break;
            case 6:
                if (random.bounded(4) == 0)
                    main.Lschen1Click();
                break;
            case 7:
                if (random.bounded(20) == 0)
                    main.Lschen2Click();
                break;
            case 8:
                if (rows)
                    catalogue.setData(catalogue.index(int(random.bounded(rows)), 0),
                                      randomText(random));
                break;
            }
        });
        messages += TextsOf(boxes);
        QCoreApplication::processEvents();
    }

    for (const QString &message : std::as_const(messages))
        QVERIFY2(isOwnMessage(message), qPrintable(message));
    for (int display = TMain::KCAL1; display <= TMain::KH; ++display) {
        const QString shown = main.display(TMain::Display(display))->text();
        QVERIFY2(!shown.contains(QStringLiteral("INF")) && !shown.contains(QStringLiteral("NAN")),
                 qPrintable(shown));
    }

    // The catalogue still saves and reads back identical, or the save refuses
    // a value that would not read back and writes nothing.
    const QString file = dir.filePath(QStringLiteral("nach.lmk"));
    const QList<QStringList> before = catalogue.allRows();
    try {
        WriteFoodList(file, catalogue.store());
        QCOMPARE(ReadFoodList(file).rows(), before);
    } catch (const Failure &failure) {
        QVERIFY2(failure.message().startsWith(QStringLiteral("Nicht gespeichert")),
                 qPrintable(failure.message()));
        QVERIFY(!QFile::exists(file));
    }
    qInfo("%d actions, %lld messages, %d foods", Actions, qlonglong(messages.size()),
          catalogue.rowCount());
}

QTEST_MAIN(tst_Monkey)
#include "tst_monkey.moc"
