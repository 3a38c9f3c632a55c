#include "app/application.h"
#include "app/main_window.h"
#include "catalogue/csv_food_list.h"
#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "catalogue/menge_dialog.h"
#include "catalogue/suchen_dialog.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_table_model.h"
#include "tests/support/modal.h"
#include "tests/support/screen_reader.h"
#include "tests/support/source_path.h"
#include "tools/info_dialog.h"
#include "tools/web_links.h"
#include "widgets/command_guard.h"
#include "widgets/display_accessibility.h"
#include "widgets/text_list_view.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

const QByteArray SampleFile = "Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;\r\n"
                              "Zucker;400;0;0;100;\r\n"
                              "Apfel;52;0,3;0,1;12,4;\r\n"
                              "\xC4pfel getrocknet;243;0,9;0,3;65,9;\r\n"
                              "Birne;55;0,4;0,3;12,4;\r\n"
                              "apfelmus;70;0,2;0,1;16;\r\n";

QStringList names(const TextTableModel &model)
{
    QStringList result;
    for (int row = 0; row < model.rowCount(); ++row)
        result.append(model.text(row, 0));
    return result;
}

QStringList displays(const TMain &main)
{
    QStringList result;
    for (int display = TMain::KCAL1; display <= TMain::KH; ++display)
        result.append(main.display(TMain::Display(display))->text());
    return result;
}

void acceptFileDialog(QWidget *modal, const QString &fileName)
{
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    QVERIFY(dialog);
    // Typed into the file-name box, as a user would.
    auto *nameBox = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(nameBox);
    nameBox->setText(fileName);
    // Through QDialog: the file dialog's own accept() checks the typed name.
    static_cast<QDialog *>(dialog)->accept();
}

int rowOf(const TextTableModel &model, const QString &name)
{
    return int(names(model).indexOf(name));
}

// What the user does before the catalogue would be closed or replaced.
enum class Change
{
    None,
    New,
    Edit,
    Delete,
    Rename,
    PortionOnly,
    ChangeThenSave
};

// How the catalogue would go: the close box, "Programm beenden", "Öffnen".
enum class Way
{
    Close,
    Quit,
    Open
};

// The answer to the question, and what follows it.
enum class Answer
{
    NotAsked,
    Save,
    SaveDialogCancelled,
    SaveFails,
    Discard,
    DiscardThenOpenCancelled,
    Cancel,
    Escape
};

const QString ChangedQuestion = QStringLiteral(
    "Die Lebensmittelliste wurde geändert. Sollen die Änderungen gespeichert werden?");

} // namespace

Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(Way)
Q_DECLARE_METATYPE(Answer)

class tst_MainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startUpAsksForFileOnce();
    void windowLayout();
    void menusAndAccessKeys();
    void openShowsCatalogueSorted();
    void openUnreadableFileKeepsCatalogue();
    void saveWritesFileThatReadsBackIdentical();
    void saveRefusesValueThatWouldNotReadBack();
    void fileDialogTakesNameSetThroughAccessibility_data();
    void fileDialogTakesNameSetThroughAccessibility();
    void spreadsheetFilesThroughDialogs();
    void renameInPlaceResorts();
    void tabWalksTheControls_data();
    void tabWalksTheControls();
    void arrowKeySelectsRow_data();
    void arrowKeySelectsRow();
    void homeAndEndGoToFirstAndLastRow_data();
    void homeAndEndGoToFirstAndLastRow();
    void focusReturnsAfterModal_data();
    void focusReturnsAfterModal();
    void localeChangeRereadsSeparator();
    void regionalSettingsChangeShowsInNextRecalculation();
    void errorBoxForUncaughtFailure_data();
    void errorBoxForUncaughtFailure();

    void addPortionThroughDialog();
    void searchSelectsTheFoodAndAddsIt();
    void addPortionByDoubleClickToPageShown();
    void cancelAddsNothingButRecalculates();
    void addWithoutSelectionDoesNothing();
    void removeRowOfActiveMealOnly();
    void clearPlan();
    void failingRowsShowOneMessageEach();
    void displaysShowWideValuesWhole_data();
    void displaysShowWideValuesWhole();

    void newFoodFromTemplateAndWithout();
    void editMovesRenamedRowAndKeepsSelection();
    void listFollowsItsMovedRow();
    void typingFirstLettersSelectsFood_data();
    void typingFirstLettersSelectsFood();
    void deleteAndCancelLeaveMealsAlone();
    void changedCatalogueAsksBeforeItGoes_data();
    void changedCatalogueAsksBeforeItGoes();

    void rightClickSelectsRowForNutrientInfo();
    void advertisingBlockOpensMakerHomePage();
    void toolMenusOpenTheirDialogs();
    void printThroughDialog();
    void printToQueue_data();
    void printToQueue();

private:
    void openFile(const QString &fileName);
    void addPortion(int page, const QString &food, const QString &portion);
    void change(Change change);
    void goAway(Way way);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TApplicationWindows> m_windows;
    TMain *m_main = nullptr;
    QString m_sample;
};

void tst_MainWindow::initTestCase()
{
    InstallDisplayAccessibility();
}

void tst_MainWindow::init()
{
    SetDecimalSeparator(QLatin1Char(','));
    m_dir = std::make_unique<QTemporaryDir>();
    m_sample = m_dir->filePath(QStringLiteral("kost.lmk"));
    QFile file(m_sample);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(SampleFile);
    file.close();
    m_windows = std::make_unique<TApplicationWindows>();
    m_main = m_windows->Main;
    m_main->Timer1()->stop();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
}

void tst_MainWindow::cleanup()
{
    m_windows.reset();
    m_main = nullptr;
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().cbegin(),
                             QApplication::topLevelWidgets().cend(),
                             [](QWidget *w) { return w->isVisible(); }));
}

// Opens the file; changes of the catalogue shown before are not saved.
void tst_MainWindow::openFile(const QString &fileName)
{
    ModalWatch watch;
    if (m_main->catalogueModified()) {
        watch.expect([](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            box->button(QMessageBox::Discard)->click();
        });
    }
    watch.expect([fileName](QWidget *modal) { acceptFileDialog(modal, fileName); });
    m_main->ffnen1Click();
    QCOMPARE(watch.pendingHandlers(), 0);
}

void tst_MainWindow::addPortion(int page, const QString &food, const QString &portion)
{
    m_main->Page()->setCurrentIndex(page);
    m_main->LM()->selectRow(rowOf(*m_main->LM()->textModel(), food));
    WhenModal([portion](QWidget *modal) {
        auto *menge = qobject_cast<TMenge *>(modal);
        QVERIFY(menge);
        menge->field(TMenge::GR)->setText(portion);
        QTest::mouseClick(menge->okButton(), Qt::LeftButton);
    });
    QTest::mouseClick(m_main->BitBtn1(), Qt::LeftButton);
}

void tst_MainWindow::startUpAsksForFileOnce()
{
    // A fresh start with its timer running, as the program starts.
    m_windows.reset();
    m_windows = std::make_unique<TApplicationWindows>();
    m_main = m_windows->Main;
    QVERIFY(m_main->Timer1()->isActive());
    QVERIFY(m_main->Timer1()->isSingleShot());
    QCOMPARE(m_main->Timer1()->interval(), 250);
    m_main->show();

    int dialogsShown = 0;
    QString title;
    QString folder;
    WhenModal([&](QWidget *modal) {
        ++dialogsShown;
        title = modal->windowTitle();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            folder = dialog->directory().absolutePath();
        qobject_cast<QDialog *>(modal)->reject();
    });
    QTRY_COMPARE(dialogsShown, 1);
    QCOMPARE(title, QStringLiteral("Lebensmittel öffnen"));
    QCOMPARE(folder, QDir(QCoreApplication::applicationDirPath()).absolutePath());
    QVERIFY(!m_main->Timer1()->isActive());
    QCOMPARE(m_main->LM()->textModel()->rowCount(), 0);

    // However long the program stays open, it does not ask again.
    WhenModal(
        [&](QWidget *modal) {
            ++dialogsShown;
            qobject_cast<QDialog *>(modal)->reject();
        },
        800);
    QTest::qWait(900);
    QCOMPARE(dialogsShown, 1);
}

void tst_MainWindow::windowLayout()
{
    QVERIFY(m_main->windowTitle().startsWith(QStringLiteral("Menuvera 2 ")));
    QCOMPARE(m_main->centralWidget()->width(), 782);
    QCOMPARE(m_main->LM()->geometry(), QRect(0, 80, 393, 426));
    QCOMPARE(m_main->BitBtn1()->geometry(), QRect(400, 80, 41, 257));
    QCOMPARE(m_main->BitBtn2()->geometry(), QRect(400, 344, 41, 161));
    QCOMPARE(m_main->Page()->geometry(), QRect(448, 80, 329, 425));
    QCOMPARE(displays(*m_main), QStringList(8, QStringLiteral("0,0")));

    const QStringList tabs = {QStringLiteral("Frühstück"), QStringLiteral("Mittagessen"),
                              QStringLiteral("Nachmittag"), QStringLiteral("Abendessen")};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(m_main->Page()->tabText(i), tabs[i]);
    QCOMPARE(m_main->Page()->currentIndex(), 0);

    // Anchors: the catalogue grows downwards, the pages in both directions,
    // the remove button follows the bottom edge.
    m_main->resize(m_main->width() + 100, m_main->height() + 50);
    QTRY_COMPARE(m_main->LM()->geometry(), QRect(0, 80, 393, 476));
    QCOMPARE(m_main->BitBtn1()->geometry(), QRect(400, 80, 41, 307));
    QCOMPARE(m_main->BitBtn2()->geometry(), QRect(400, 394, 41, 161));
    QCOMPARE(m_main->Page()->geometry(), QRect(448, 80, 429, 475));

    const QStringList headers = {QStringLiteral("Name"),     QStringLiteral("Portion"),
                                 QStringLiteral("Kalorien"), QStringLiteral("Eiweiss"),
                                 QStringLiteral("Fett"),     QStringLiteral("Kohlenhydrate")};
    const QList<int> widths = {185, 45, 50, 50, 50, 50};
    for (int column = 0; column < 6; ++column) {
        QCOMPARE(m_main->meal(0)->model()->headerData(column, Qt::Horizontal).toString(),
                 headers[column]);
        QCOMPARE(m_main->meal(0)->columnWidth(column), widths[column]);
    }
    QCOMPARE(m_main->LM()->columnWidth(0), 185);

    // All five lists, headers and rows, show the window font.
    QCOMPARE(m_main->LM()->font(), m_main->font());
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(m_main->meal(i)->font(), m_main->font());
        QCOMPARE(m_main->meal(i)->horizontalHeader()->font(), m_main->font());
        QCOMPARE(m_main->meal(i)->viewport()->font(), m_main->font());
    }
    QCOMPARE(m_main->LM()->horizontalHeader()->font(), m_main->font());
    QCOMPARE(m_main->LM()->model()->headerData(1, Qt::Horizontal).toString(),
             QStringLiteral("Kalorien"));
}

void tst_MainWindow::menusAndAccessKeys()
{
    QStringList menus;
    for (QAction *menu : m_main->menuBar()->actions()) {
        QStringList entries;
        for (QAction *entry : menu->menu()->actions()) {
            QString text = entry->isSeparator() ? QStringLiteral("-") : entry->text();
            if (!entry->shortcut().isEmpty())
                text += QLatin1Char(' ') + entry->shortcut().toString();
            entries.append(text);
        }
        menus.append(menu->text() + QLatin1Char(':') + entries.join(QLatin1Char('|')));
    }
    QCOMPARE(menus, QStringList({
                        QStringLiteral("&Lebensmittel:Ö&ffnen|&Speichern|-|S&uchen… Ctrl+F|-|"
                                       "&Neu|&Bearbeiten|&Löschen|-|&Programm beenden"),
                        QStringLiteral("&Ernährungsplan:&Löschen|&Drucken"),
                        QStringLiteral("&Tools:&BMI Rechner|&Kalorienrechner"),
                        QStringLiteral("&Info:Ü&ber..."),
                    }));
    QCOMPARE(m_main->PopupMenu1()->actions().size(), 1);
    QCOMPARE(m_main->PopupMenu1()->actions().front()->text(), QStringLiteral("&Nährstoffinfo"));
    QCOMPARE(m_main->Rechnen()->text(), QStringLiteral("Rechnen"));
    QVERIFY(m_main->Rechnen()->associatedObjects().size() <= 1);
}

void tst_MainWindow::openShowsCatalogueSorted()
{
    openFile(m_sample);
    // Umlauts beside their base letters, a blank before any letter.
    const QStringList expected = {QStringLiteral("Apfel"), QStringLiteral("Äpfel getrocknet"),
                                  QStringLiteral("apfelmus"), QStringLiteral("Birne"),
                                  QStringLiteral("Zucker")};
    QCOMPARE(names(*m_main->LM()->textModel()), expected);
    QCOMPARE(m_main->LM()->textModel()->rowTexts(0),
             QStringList({QStringLiteral("Apfel"), QStringLiteral("52"), QStringLiteral("0,3"),
                          QStringLiteral("0,1"), QStringLiteral("12,4")}));
}

void tst_MainWindow::openUnreadableFileKeepsCatalogue()
{
    openFile(m_sample);
    const QList<QStringList> before = m_main->LM()->textModel()->allRows();
    const QString missing = m_dir->filePath(QStringLiteral("fehlt.lmk"));
    const QList<ModalWatch::Seen> boxes = CloseMessageBoxes([&] {
        WhenModal([missing](QWidget *modal) { acceptFileDialog(modal, missing); });
        m_main->menuBar()->actions().front()->menu()->actions().front()->trigger();
    });
    QCOMPARE(TextsOf(boxes),
             QStringList(QStringLiteral("Datei %1 kann nicht geöffnet werden.").arg(missing)));
    QCOMPARE(boxes.front().caption, QStringLiteral("Menuvera 2"));
    QCOMPARE(boxes.front().icon, QMessageBox::Critical);
    QCOMPARE(m_main->LM()->textModel()->allRows(), before);
}

void tst_MainWindow::saveWritesFileThatReadsBackIdentical()
{
    openFile(m_sample);
    const QString target = m_dir->filePath(QStringLiteral("neu"));
    WhenModal([&](QWidget *modal) {
        QCOMPARE(modal->windowTitle(), QStringLiteral("Lebensmittel speichern"));
        acceptFileDialog(modal, target);
    });
    m_main->Speichern1Click();
    // The default extension is added to a name typed without one.
    QFile saved(target + QStringLiteral(".lmk"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QVERIFY(bytes.startsWith(
        "Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;\r\nApfel;52;0,3;0,1;12,4;\r\n"));
    QVERIFY(bytes.endsWith("Zucker;400;0;0;100;\r\n"));

    const QList<QStringList> before = m_main->LM()->textModel()->allRows();
    openFile(saved.fileName());
    QCOMPARE(m_main->LM()->textModel()->allRows(), before);
}

void tst_MainWindow::saveRefusesValueThatWouldNotReadBack()
{
    openFile(m_sample);
    m_main->LM()->textModel()->setText(0, 1, QStringLiteral("52;5"));
    const QString target = m_dir->filePath(QStringLiteral("kaputt.lmk"));
    const QList<ModalWatch::Seen> boxes = CloseMessageBoxes([&] {
        WhenModal([&](QWidget *modal) { acceptFileDialog(modal, target); });
        m_main->menuBar()->actions().front()->menu()->actions().at(1)->trigger();
    });
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes.front().text.contains(QStringLiteral("Apfel")) &&
                 boxes.front().text.contains(QStringLiteral("52;5")),
             qPrintable(boxes.front().text));
    QVERIFY(!QFile::exists(target));
}

void tst_MainWindow::fileDialogTakesNameSetThroughAccessibility_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("Öffnen") << false;
    QTest::newRow("Speichern") << true;
}

// The user picks a file in the dialog's list, then has another name put into
// the name field through the accessibility interface, as voice control and
// screen readers do it (AT-SPI's SetTextContents), without the keyboard focus
// in the field; the dialog's button then takes the file named there.
void tst_MainWindow::fileDialogTakesNameSetThroughAccessibility()
{
    QFETCH(bool, save);
    const QByteArray header = "Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;\r\n";
    const QByteArray picked = header + "Alt;1;1;1;1;\r\n";
    const QString pickedFile = m_dir->filePath(QStringLiteral("alt.lmk"));
    const QString target = m_dir->filePath(QStringLiteral("ziel.lmk"));
    const auto write = [](const QString &fileName, const QByteArray &bytes) {
        QFile file(fileName);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QVERIFY(write(pickedFile, picked));
    if (save)
        openFile(m_sample);
    else
        QVERIFY(write(target, header + "Ziel;2;2;2;2;\r\n"));

    QString named;
    const QList<ModalWatch::Seen> boxes = CloseMessageBoxes([&] {
        WhenModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            dialog->setDirectory(m_dir->path());
            // The files are shown in a list or, with details, in a tree.
            QAbstractItemView *list = nullptr;
            for (QAbstractItemView *view : dialog->findChildren<QAbstractItemView *>()) {
                if (view->isVisible() && (view->objectName() == QLatin1String("listView") ||
                                          view->objectName() == QLatin1String("treeView")))
                    list = view;
            }
            auto *nameBox = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(list && nameBox);
            QModelIndex row;
            QTRY_VERIFY((row = list->model()->index(0, 0, list->rootIndex())).isValid());
            for (int i = 0; i < list->model()->rowCount(list->rootIndex()); ++i) {
                const QModelIndex index = list->model()->index(i, 0, list->rootIndex());
                if (index.data().toString() == QLatin1String("alt.lmk"))
                    row = index;
            }
            QCOMPARE(row.data().toString(), QStringLiteral("alt.lmk"));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
            QCOMPARE(nameBox->text(), QStringLiteral("alt.lmk"));
            QVERIFY(!nameBox->hasFocus());

            QAccessibleInterface *field = QAccessible::queryAccessibleInterface(nameBox);
            QVERIFY(field && field->editableTextInterface() && field->textInterface());
            field->editableTextInterface()->replaceText(0, field->textInterface()->characterCount(),
                                                        target);
            named = nameBox->text();
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            QVERIFY(buttons);
            QPushButton *accept =
                buttons->button(save ? QDialogButtonBox::Save : QDialogButtonBox::Open);
            QVERIFY(accept && accept->isEnabled());
            QTest::mouseClick(accept, Qt::LeftButton);
        });
        if (save)
            m_main->Speichern1Click();
        else
            m_main->ffnen1Click();
    });
    // The dialog may shorten the name to the file's name in its folder.
    QCOMPARE(QDir(m_dir->path()).absoluteFilePath(named), target);
    // No question whether to replace the file picked first, no error.
    QCOMPARE(TextsOf(boxes), QStringList());
    QFile pickedAfter(pickedFile);
    QVERIFY(pickedAfter.open(QIODevice::ReadOnly));
    QCOMPARE(pickedAfter.readAll(), picked);
    if (save) {
        QFile written(target);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().startsWith(header + "Apfel;52;"));
    } else {
        QCOMPARE(names(*m_main->LM()->textModel()), QStringList(QStringLiteral("Ziel")));
    }
}

// Both dialogs offer the catalogue's file types, opening also every readable
// one at once and workbooks; a ".csv" opens by the spreadsheet's
// rules, and saved under the spreadsheet type a name typed without an ending
// becomes a ".csv" that opens again to the same catalogue.
void tst_MainWindow::spreadsheetFilesThroughDialogs()
{
    const QString sheet = m_dir->filePath(QStringLiteral("tabelle.csv"));
    QFile file(sheet);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBFLebensmittel;kcal;Eiwei\xC3\x9F;Fett;KH\r\n"
               "\"K\xC3\xA4se; gerieben\";1.234,5;25;30,5;0,05\r\n"
               "\"Joghurt \"\"Natur\"\"\";61;3,3;3,5;4\r\n");
    file.close();
    const QStringList saveTypes{QStringLiteral("Lebensmittel (*.lmk)"),
                                QStringLiteral("CSV-Dateien (*.csv *.txt)")};
    const QStringList openTypes =
        QStringList{QStringLiteral("Alle Lebensmittellisten (*.lmk *.csv *.txt *.xlsx *.ods)")} +
        saveTypes + QStringList{QStringLiteral("Tabellen (*.xlsx *.ods)")};

    QStringList offered;
    WhenModal([&](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            offered = dialog->nameFilters();
        acceptFileDialog(modal, sheet);
    });
    m_main->ffnen1Click();
    QCOMPARE(offered, openTypes);
    const QList<QStringList> opened{
        {QStringLiteral("Joghurt \"Natur\""), QStringLiteral("61"), QStringLiteral("3,3"),
         QStringLiteral("3,5"), QStringLiteral("4")},
        {QStringLiteral("Käse; gerieben"), QStringLiteral("1234,5"), QStringLiteral("25"),
         QStringLiteral("30,5"), QStringLiteral("0,05")}};
    QCOMPARE(m_main->LM()->textModel()->allRows(), opened);

    const QString target = m_dir->filePath(QStringLiteral("neu"));
    offered.clear();
    WhenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        auto *types =
            dialog ? dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")) : nullptr;
        if (types) {
            offered = dialog->nameFilters();
            // Chosen from the list of types, as a user does.
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
        }
        acceptFileDialog(modal, target);
    });
    m_main->Speichern1Click();
    QCOMPARE(offered, saveTypes);
    QFile saved(target + QStringLiteral(".csv"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), CsvFoodListBytes(m_main->LM()->textModel()->store()));

    m_main->LM()->textModel()->setRows(TextStore(FoodFieldCount));
    openFile(saved.fileName());
    QCOMPARE(m_main->LM()->textModel()->allRows(), opened);
}

void tst_MainWindow::renameInPlaceResorts()
{
    openFile(m_sample);
    TextListView *list = m_main->LM();
    list->selectRow(0);
    const QModelIndex first = list->model()->index(0, 0);
    list->edit(first);
    auto *editor = list->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("Zwetschge"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(names(*list->textModel()).last(), QStringLiteral("Zwetschge"));
    QCOMPARE(list->selectedRow(), list->textModel()->rowCount() - 1);
    // Nothing else reacts to a rename: the totals are not recalculated.
    QCOMPARE(displays(*m_main), QStringList(8, QStringLiteral("0,0")));
}

void tst_MainWindow::tabWalksTheControls_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("backwards");
    for (int page = 0; page < 4; ++page) {
        QTest::addRow("page %d forwards", page) << page << false;
        QTest::addRow("page %d backwards", page) << page << true;
    }
}

// Tab and Shift+Tab go round LM, the tabs, the meal list shown, the add and
// the remove button, and never move a selection on the way.
void tst_MainWindow::tabWalksTheControls()
{
    QFETCH(int, page);
    QFETCH(bool, backwards);
    openFile(m_sample);
    addPortion(page, QStringLiteral("Apfel"), QStringLiteral("100"));
    addPortion(page, QStringLiteral("Birne"), QStringLiteral("100"));
    m_main->LM()->selectRow(1);
    m_main->meal(page)->selectRow(1);
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main));

    const QHash<QWidget *, QString> controls = {{m_main->LM(), QStringLiteral("LM")},
                                                {m_main->Page()->tabBar(), QStringLiteral("Page")},
                                                {m_main->meal(page), QStringLiteral("meal")},
                                                {m_main->BitBtn1(), QStringLiteral("BitBtn1")},
                                                {m_main->BitBtn2(), QStringLiteral("BitBtn2")}};
    QStringList expected = {QStringLiteral("Page"), QStringLiteral("meal"),
                            QStringLiteral("BitBtn1"), QStringLiteral("BitBtn2"),
                            QStringLiteral("LM")};
    if (backwards) {
        std::reverse(expected.begin(), expected.end() - 1);
    }
    // Starting from every control in turn: two rounds.
    expected += expected;
    QStringList walked;
    m_main->LM()->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        if (backwards)
            QTest::keyClick(focus, Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(focus, Qt::Key_Tab);
        focus = QApplication::focusWidget();
        walked.append(controls.value(
            focus, focus ? QString::fromLatin1(focus->metaObject()->className()) : QString()));
    }
    QCOMPARE(walked, expected);
    QCOMPARE(m_main->Page()->currentIndex(), page);
    QCOMPARE(m_main->LM()->selectedRow(), 1);
    QCOMPARE(m_main->meal(page)->selectedRow(), 1);
}

void tst_MainWindow::arrowKeySelectsRow_data()
{
    QTest::addColumn<bool>("meal");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addRow("LM Down") << false << int(Qt::Key_Down) << int(Qt::NoModifier);
    QTest::addRow("LM Up") << false << int(Qt::Key_Up) << int(Qt::NoModifier);
    QTest::addRow("meal Down") << true << int(Qt::Key_Down) << int(Qt::NoModifier);
    QTest::addRow("meal Up") << true << int(Qt::Key_Up) << int(Qt::NoModifier);
    QTest::addRow("meal Down on the keypad")
        << true << int(Qt::Key_Down) << int(Qt::KeypadModifier);
}

// A list reached with Tab that has rows and no current row: the first Down or
// Up selects its first row, the next Down the second.
void tst_MainWindow::arrowKeySelectsRow()
{
    QFETCH(bool, meal);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    openFile(m_sample);
    addPortion(0, QStringLiteral("Apfel"), QStringLiteral("100"));
    addPortion(0, QStringLiteral("Birne"), QStringLiteral("100"));
    // Opened afresh, the catalogue has no current row.
    openFile(m_sample);
    TextListView *list = meal ? m_main->meal(0) : m_main->LM();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main));
    list->setFocus(Qt::TabFocusReason);
    QCOMPARE(list->selectedRow(), -1);

    QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(list->selectedRow(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->selectedRow(), 1);
}

void tst_MainWindow::homeAndEndGoToFirstAndLastRow_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("row");
    QTest::addRow("End") << int(Qt::Key_End) << int(Qt::NoModifier) << 4;
    QTest::addRow("Ctrl+End") << int(Qt::Key_End) << int(Qt::ControlModifier) << 4;
    QTest::addRow("Home") << int(Qt::Key_Home) << int(Qt::NoModifier) << 0;
    QTest::addRow("Ctrl+Home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << 0;
}

// ... and keep the names in sight in a list narrower than its columns.
void tst_MainWindow::homeAndEndGoToFirstAndLastRow()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, row);
    openFile(m_sample);
    TextListView *list = m_main->LM();
    list->setColumnWidth(0, list->viewport()->width());
    list->selectRow(2);
    QTRY_VERIFY(list->horizontalScrollBar()->maximum() > 0);

    QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(list->selectedRow(), row);
    QCOMPARE(list->horizontalScrollBar()->value(), 0);
}

void tst_MainWindow::focusReturnsAfterModal_data()
{
    QTest::addColumn<QString>("road");
    QTest::addRow("start-up open") << QStringLiteral("start-up");
    QTest::addRow("portion from the add button") << QStringLiteral("add");
    QTest::addRow("BMI Rechner from the meal list") << QStringLiteral("bmi");
    QTest::addRow("error box from the catalogue") << QStringLiteral("error");
}

// When a modal window closes, the main window is active again and the control
// that had the focus before has it again; after the start-up open that is LM.
void tst_MainWindow::focusReturnsAfterModal()
{
    QFETCH(QString, road);
    QWidget *before = m_main->LM();
    if (road == QStringLiteral("start-up")) {
        m_windows.reset();
        m_windows = std::make_unique<TApplicationWindows>();
        m_main = m_windows->Main;
        before = m_main->LM();
        const QString sample = m_sample;
        WhenModal([sample](QWidget *modal) { acceptFileDialog(modal, sample); });
        m_main->show();
        QTRY_VERIFY(m_main->LM()->textModel()->rowCount() > 0);
    } else {
        openFile(m_sample);
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main));
        if (road == QStringLiteral("add")) {
            before = m_main->BitBtn1();
            m_main->LM()->selectRow(0);
            before->setFocus(Qt::TabFocusReason);
            WhenModal([](QWidget *modal) { qobject_cast<TMenge *>(modal)->okButton()->click(); });
            QTest::keyClick(before, Qt::Key_Space);
        } else if (road == QStringLiteral("bmi")) {
            before = m_main->meal(0);
            before->setFocus(Qt::TabFocusReason);
            WhenModal([](QWidget *modal) { modal->close(); });
            m_main->BMIRechner1Click();
        } else {
            m_main->LM()->setFocus(Qt::TabFocusReason);
            const QList<ModalWatch::Seen> boxes = CloseMessageBoxes([this] {
                WhenModal([this](QWidget *modal) {
                    acceptFileDialog(modal, m_dir->filePath(QStringLiteral("fehlt.lmk")));
                });
                QAction *open = m_main->menuBar()->actions().at(0)->menu()->actions().at(0);
                open->trigger();
            });
            QCOMPARE(boxes.size(), 1);
        }
    }
    QVERIFY(!QApplication::activeModalWidget());
    QTRY_COMPARE(QApplication::activeWindow(), m_main);
    QCOMPARE(QApplication::focusWidget(), before);
}

void tst_MainWindow::localeChangeRereadsSeparator()
{
    SetDecimalSeparator(QLatin1Char('#'));
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(m_main, &change);
    QCOMPARE(QString(DecimalSeparator()), QLocale::system().decimalPoint());
}

// Windows announces the change of the regional settings to the running
// program; the new separator reads and writes the numbers of the next
// recalculation, while the texts shown stay until then.
void tst_MainWindow::regionalSettingsChangeShowsInNextRecalculation()
{
#ifndef Q_OS_WIN
    QSKIP("only Windows announces a change of the regional settings to a running program");
#else
    QSettings international(QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\International"),
                            QSettings::NativeFormat);
    const QString key = QStringLiteral("sDecimal");
    const QVariant before = international.value(key);
    const auto restore = qScopeGuard([&] {
        if (before.isValid())
            international.setValue(key, before);
        else
            international.remove(key);
    });
    openFile(m_sample);
    addPortion(0, QStringLiteral("Zucker"), QStringLiteral("50"));
    QCOMPARE(displays(*m_main).first(), QStringLiteral("200,0"));

    international.setValue(key, QStringLiteral("."));
    international.sync();
    // What Windows sends to every top-level window when the user has changed
    // the settings, handed on as Qt's Windows platform hands on messages.
    // Offscreen there is no native window to send it to.
    static const wchar_t area[] = L"intl";
    MSG message{};
    message.message = WM_SETTINGCHANGE;
    message.lParam = LPARAM(area);
    qintptr result = 0;
    const QByteArray type = QByteArrayLiteral("windows_generic_MSG");
    QAbstractEventDispatcher::instance()->filterNativeEvent(type, &message, &result);
    QCOMPARE(DecimalSeparator(), QLatin1Char('.'));
    QCOMPARE(displays(*m_main).first(), QStringLiteral("200,0"));

    addPortion(0, QStringLiteral("Zucker"), QStringLiteral("12.5"));
    QCOMPARE(displays(*m_main).first(), QStringLiteral("250.0"));
    QCOMPARE(displays(*m_main).last(), QStringLiteral("62.5"));
#endif
}

void tst_MainWindow::errorBoxForUncaughtFailure_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("message gets a full stop") << 0 << QStringLiteral("Stream-Schreibfehler.");
    QTest::newRow("standard exception") << 1 << QStringLiteral("kaputt.");
    QTest::newRow("no message: empty box") << 2 << QString();
    QTest::newRow("memory ran out: said in German")
        << 3 << QStringLiteral("Nicht genügend Arbeitsspeicher.");
}

void tst_MainWindow::errorBoxForUncaughtFailure()
{
    QFETCH(int, kind);
    QFETCH(QString, expected);
    bool after = false;
    const QList<ModalWatch::Seen> boxes = CloseMessageBoxes([&] {
        RunGuarded(m_main, [&] {
            if (kind == 0)
                throw Failure(QStringLiteral("Stream-Schreibfehler"));
            if (kind == 1)
                throw std::runtime_error("kaputt");
            if (kind == 3)
                throw std::bad_alloc();
            throw 42;
            after = true;
        });
    });
    QVERIFY(!after);
    QCOMPARE(TextsOf(boxes), QStringList(expected));
    QCOMPARE(boxes.front().caption, QStringLiteral("Menuvera 2"));
    QCOMPARE(boxes.front().icon, QMessageBox::Critical);
    QCOMPARE(boxes.front().buttonCount, 1);
}

void tst_MainWindow::searchSelectsTheFoodAndAddsIt()
{
    openFile(m_sample);
    TextListView *list = m_main->LM();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main));
    WhenModal([](QWidget *modal) {
        auto *suchen = qobject_cast<TSuchen *>(modal);
        QVERIFY(suchen);
        QTest::keyClicks(suchen->field(), QStringLiteral("BIRNE"));
        QTest::keyClick(suchen->field(), Qt::Key_Return);
    });
    QTRY_VERIFY(m_main->isActiveWindow() && QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(list->textModel()->text(list->selectedRow(), 0), QStringLiteral("Birne"));
    QCOMPARE(m_main->focusWidget(), list);
    QCOMPARE(m_main->meal(0)->textModel()->rowCount(), 0);

    // Hinzufügen goes on to the portion dialog of the add button.
    QString portionOf;
    WhenModal([&](QWidget *modal) {
        auto *suchen = qobject_cast<TSuchen *>(modal);
        QVERIFY(suchen);
        QTest::keyClicks(suchen->field(), QStringLiteral("apfelmus"));
        WhenModal([&](QWidget *menge) {
            portionOf = static_cast<TMenge *>(menge)->text(TMenge::Name);
            QTest::mouseClick(static_cast<TMenge *>(menge)->okButton(), Qt::LeftButton);
        });
        QTest::mouseClick(suchen->addButton(), Qt::LeftButton);
    });
    QTRY_VERIFY(m_main->isActiveWindow() && QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(portionOf, QStringLiteral("apfelmus"));
    QCOMPARE(m_main->meal(0)->textModel()->text(0, 0), QStringLiteral("apfelmus"));
    QCOMPARE(list->textModel()->text(list->selectedRow(), 0), QStringLiteral("apfelmus"));
}

void tst_MainWindow::addPortionThroughDialog()
{
    openFile(m_sample);
    m_main->LM()->selectRow(rowOf(*m_main->LM()->textModel(), QStringLiteral("Apfel")));
    QStringList shown;
    bool foodFieldsDisabled = false;
    int height = 0;
    WhenModal([&](QWidget *modal) {
        auto *menge = qobject_cast<TMenge *>(modal);
        QVERIFY(menge);
        for (TMenge::Field field :
             {TMenge::Name, TMenge::KCAL, TMenge::EW, TMenge::FT, TMenge::KH, TMenge::GR})
            shown.append(menge->text(field));
        foodFieldsDisabled = !menge->field(TMenge::Name)->isEnabled() &&
                             !menge->field(TMenge::KH)->isEnabled() &&
                             menge->field(TMenge::GR)->isEnabled();
        height = menge->outerHeight();
        QLineEdit *portion = menge->field(TMenge::GR);
        portion->selectAll();
        QTest::keyClicks(portion, QStringLiteral("150"));
        QTest::mouseClick(menge->okButton(), Qt::LeftButton);
    });
    QTest::mouseClick(m_main->BitBtn1(), Qt::LeftButton);

    QCOMPARE(shown,
             QStringList({QStringLiteral("Apfel"), QStringLiteral("52"), QStringLiteral("0,3"),
                          QStringLiteral("0,1"), QStringLiteral("12,4"), QStringLiteral("50")}));
    QVERIFY(foodFieldsDisabled);
    QCOMPARE(height, TMenge::PortionHeight);
    QCOMPARE(m_main->meal(0)->textModel()->allRows(),
             QList<QStringList>(
                 {{QStringLiteral("Apfel"), QStringLiteral("150"), QStringLiteral("52"),
                   QStringLiteral("0,3"), QStringLiteral("0,1"), QStringLiteral("12,4")}}));
    // Protein 0.45 is held in single precision as 0.4499999881.
    QCOMPARE(displays(*m_main),
             QStringList({QStringLiteral("78,0"), QStringLiteral("0,0"), QStringLiteral("0,0"),
                          QStringLiteral("0,0"), QStringLiteral("78,0"), QStringLiteral("0,4"),
                          QStringLiteral("0,2"), QStringLiteral("18,6")}));

    // A screen reader reads each display as its caption, value and unit, and
    // its review of the window finds the value where the display shows it.
    QStringList readAloud;
    QStringList inPlace;
    for (int display = TMain::KCAL1; display <= TMain::KH; ++display) {
        readAloud.append(ReadAloud(m_main->display(TMain::Display(display))));
        inPlace.append(ShownText(m_main->display(TMain::Display(display))));
    }
    QCOMPARE(readAloud,
             QStringList(
                 {QStringLiteral("Frühstück 78,0 kcal"), QStringLiteral("Mittagessen 0,0 kcal"),
                  QStringLiteral("Nachmittag 0,0 kcal"), QStringLiteral("Abendessen 0,0 kcal"),
                  QStringLiteral("Gesamtkalorien 78,0 kcal"), QStringLiteral("Eiweiss 0,4 Gramm"),
                  QStringLiteral("Fett 0,2 Gramm"), QStringLiteral("Kohlenhydrate 18,6 Gramm")}));
    QCOMPARE(inPlace, displays(*m_main));

    // The lines between the blocks (and in the dialogs) are separators, not
    // empty frames.
    QList<QAccessible::Role> lines;
    for (QFrame *frame : m_main->findChildren<QFrame *>()) {
        if (frame->frameShape() == QFrame::VLine || frame->frameShape() == QFrame::HLine)
            lines.append(QAccessible::queryAccessibleInterface(frame)->role());
    }
    QVERIFY(lines.size() >= 3);
    QCOMPARE(lines, QList<QAccessible::Role>(lines.size(), QAccessible::Separator));
}

void tst_MainWindow::addPortionByDoubleClickToPageShown()
{
    openFile(m_sample);
    m_main->Page()->setCurrentIndex(2);
    const int row = rowOf(*m_main->LM()->textModel(), QStringLiteral("Apfel"));
    const QRect cell = m_main->LM()->visualRect(m_main->LM()->model()->index(row, 1));
    WhenModal([](QWidget *modal) {
        auto *menge = qobject_cast<TMenge *>(modal);
        QVERIFY(menge);
        menge->field(TMenge::GR)->setText(QStringLiteral("200"));
        QTest::mouseClick(menge->okButton(), Qt::LeftButton);
    });
    QTest::mouseDClick(m_main->LM()->viewport(), Qt::LeftButton, {}, cell.center());
    QTRY_COMPARE(m_main->meal(2)->textModel()->rowCount(), 1);
    QCOMPARE(m_main->meal(0)->textModel()->rowCount(), 0);
    QCOMPARE(displays(*m_main),
             QStringList({QStringLiteral("0,0"), QStringLiteral("0,0"), QStringLiteral("104,0"),
                          QStringLiteral("0,0"), QStringLiteral("104,0"), QStringLiteral("0,6"),
                          QStringLiteral("0,2"), QStringLiteral("24,8")}));

    // A food whose name sorts first stands at the top, and the same food
    // twice gives two rows.
    addPortion(2, QStringLiteral("Apfel"), QStringLiteral("10"));
    addPortion(2, QStringLiteral("Äpfel getrocknet"), QStringLiteral("10"));
    addPortion(2, QStringLiteral("Birne"), QStringLiteral("10"));
    QCOMPARE(names(*m_main->meal(2)->textModel()),
             QStringList({QStringLiteral("Apfel"), QStringLiteral("Apfel"),
                          QStringLiteral("Äpfel getrocknet"), QStringLiteral("Birne")}));
}

void tst_MainWindow::cancelAddsNothingButRecalculates()
{
    openFile(m_sample);
    m_main->display(TMain::GKAL)->setText(QStringLiteral("alt"));
    m_main->LM()->selectRow(0);
    WhenModal([](QWidget *modal) {
        QTest::mouseClick(qobject_cast<TMenge *>(modal)->cancelButton(), Qt::LeftButton);
    });
    QTest::mouseClick(m_main->BitBtn1(), Qt::LeftButton);
    QCOMPARE(m_main->meal(0)->textModel()->rowCount(), 0);
    QCOMPARE(m_main->display(TMain::GKAL)->text(), QStringLiteral("0,0"));
}

void tst_MainWindow::addWithoutSelectionDoesNothing()
{
    openFile(m_sample);
    m_main->display(TMain::GKAL)->setText(QStringLiteral("alt"));
    m_main->LM()->clearSelection();
    bool dialogShown = false;
    WhenModal(
        [&](QWidget *modal) {
            dialogShown = true;
            qobject_cast<TMenge *>(modal)->cancelButton()->click();
        },
        300);
    QTest::mouseClick(m_main->BitBtn1(), Qt::LeftButton);
    QTest::mouseDClick(m_main->LM()->viewport(), Qt::LeftButton, {},
                       QPoint(10, m_main->LM()->viewport()->height() - 5));
    QTest::qWait(350);
    QVERIFY(!dialogShown);
    QCOMPARE(m_main->display(TMain::GKAL)->text(), QStringLiteral("alt"));
}

void tst_MainWindow::removeRowOfActiveMealOnly()
{
    openFile(m_sample);
    addPortion(0, QStringLiteral("Apfel"), QStringLiteral("100"));
    addPortion(1, QStringLiteral("Birne"), QStringLiteral("100"));
    m_main->meal(0)->selectRow(0);

    // The page shown has no selected row: nothing happens, not even a
    // recalculation, whatever the other meal has selected.
    m_main->Page()->setCurrentIndex(1);
    m_main->meal(1)->clearSelection();
    m_main->display(TMain::GKAL)->setText(QStringLiteral("alt"));
    QTest::mouseClick(m_main->BitBtn2(), Qt::LeftButton);
    QCOMPARE(m_main->meal(0)->textModel()->rowCount(), 1);
    QCOMPARE(m_main->display(TMain::GKAL)->text(), QStringLiteral("alt"));

    // The removed row leaves no selection behind for a second click.
    addPortion(0, QStringLiteral("Birne"), QStringLiteral("100"));
    m_main->Page()->setCurrentIndex(0);
    m_main->meal(0)->selectRow(0);
    QTest::mouseClick(m_main->BitBtn2(), Qt::LeftButton);
    QCOMPARE(m_main->meal(0)->selectedRow(), -1);
    QTest::mouseClick(m_main->BitBtn2(), Qt::LeftButton);
    QCOMPARE(names(*m_main->meal(0)->textModel()), QStringList(QStringLiteral("Birne")));
    m_main->meal(0)->selectRow(0);
    QTest::mouseClick(m_main->BitBtn2(), Qt::LeftButton);
    QCOMPARE(m_main->meal(0)->textModel()->rowCount(), 0);
    QCOMPARE(m_main->meal(1)->textModel()->rowCount(), 1);
    QCOMPARE(m_main->display(TMain::KCAL1)->text(), QStringLiteral("0,0"));
    QCOMPARE(m_main->display(TMain::KCAL2)->text(), QStringLiteral("55,0"));
    QCOMPARE(m_main->display(TMain::GKAL)->text(), QStringLiteral("55,0"));
}

void tst_MainWindow::clearPlan()
{
    openFile(m_sample);
    addPortion(0, QStringLiteral("Apfel"), QStringLiteral("100"));
    addPortion(3, QStringLiteral("Zucker"), QStringLiteral("3086,4"));
    QCOMPARE(m_main->display(TMain::GKAL)->text(), QStringLiteral("12397,6"));
    QAction *clear = m_main->menuBar()->actions().at(1)->menu()->actions().front();
    clear->trigger();
    for (int i = 0; i < 4; ++i)
        QCOMPARE(m_main->meal(i)->textModel()->rowCount(), 0);
    QCOMPARE(displays(*m_main), QStringList(8, QStringLiteral("0,0")));
    // Clearing an empty plan still recalculates.
    m_main->display(TMain::KH)->setText(QStringLiteral("alt"));
    clear->trigger();
    QCOMPARE(m_main->display(TMain::KH)->text(), QStringLiteral("0,0"));
}

void tst_MainWindow::failingRowsShowOneMessageEach()
{
    openFile(m_sample);
    addPortion(0, QStringLiteral("Apfel"), QStringLiteral("100"));
    QList<ModalWatch::Seen> boxes =
        CloseMessageBoxes([&] { addPortion(1, QStringLiteral("Birne"), QStringLiteral("viel")); });
    QCOMPARE(TextsOf(boxes), QStringList(QStringLiteral("Fehler beim Berechnen")));
    QCOMPARE(boxes.front().caption, QStringLiteral("Menuvera 2"));
    QCOMPARE(boxes.front().icon, QMessageBox::NoIcon);
    QCOMPARE(boxes.front().buttonCount, 1);
    QCOMPARE(m_main->meal(1)->textModel()->text(0, 1), QStringLiteral("viel"));

    // A catalogue food whose fat does not convert: its energy and protein
    // count, its fat and carbohydrate do not.
    m_main->LM()->textModel()->setText(rowOf(*m_main->LM()->textModel(), QStringLiteral("Zucker")),
                                       3, QStringLiteral("wenig"));
    boxes =
        CloseMessageBoxes([&] { addPortion(2, QStringLiteral("Zucker"), QStringLiteral("10")); });
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(displays(*m_main),
             QStringList({QStringLiteral("52,0"), QStringLiteral("0,0"), QStringLiteral("40,0"),
                          QStringLiteral("0,0"), QStringLiteral("92,0"), QStringLiteral("0,3"),
                          QStringLiteral("0,1"), QStringLiteral("12,4")}));
}

void tst_MainWindow::displaysShowWideValuesWhole_data()
{
    QTest::addColumn<int>("display");
    QTest::addColumn<QString>("text");
    const char *const names[] = {"KCAL1", "KCAL2", "KCAL3", "KCAL4", "GKAL", "EW", "FT", "KH"};
    for (int display = TMain::KCAL1; display <= TMain::KH; ++display)
        QTest::addRow("99999,9 in %s", names[display]) << display << QStringLiteral("99999,9");
    QTest::newRow("16771,0 in GKAL") << int(TMain::GKAL) << QStringLiteral("16771,0");
    QTest::newRow("11965,0 in KCAL2") << int(TMain::KCAL2) << QStringLiteral("11965,0");
}

// Every character of the widest value is painted inside the display's frame,
// none cut off at its left edge.
void tst_MainWindow::displaysShowWideValuesWhole()
{
    QFETCH(int, display);
    QFETCH(QString, text);
    QLabel *label = m_main->display(TMain::Display(display));
    SetDisplayText(label, text);

    const QImage image = label->grab().toImage();
    const QRect inside = label->contentsRect();
    int firstInk = -1;
    int lastInk = -1;
    for (int x = inside.left(); x <= inside.right(); ++x) {
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                if (firstInk < 0)
                    firstInk = x;
                lastInk = x;
                break;
            }
        }
    }
    QVERIFY(firstInk >= 0);
    // A clipped digit leaves its ink at the edge of the clip.
    QVERIFY2(firstInk > inside.left() && lastInk < inside.right(),
             qPrintable(QStringLiteral("ink from %1 to %2 in %3 to %4")
                            .arg(firstInk)
                            .arg(lastInk)
                            .arg(inside.left())
                            .arg(inside.right())));
    // A screen reader's review finds each character inside the display too.
    QCOMPARE(ShownText(label), text);
    // Geometry and size of the font are as laid out.
    QCOMPARE(label->size(), QSize(48, 18));
    QCOMPARE(label->font().pixelSize(), 13);
}

void tst_MainWindow::newFoodFromTemplateAndWithout()
{
    // The first use of the dialog with no row selected shows its start texts.
    QStringList shown;
    int height = 0;
    bool portionEnabled = true;
    WhenModal([&](QWidget *modal) {
        auto *menge = qobject_cast<TMenge *>(modal);
        shown = menge->foodTexts();
        height = menge->outerHeight();
        portionEnabled = menge->field(TMenge::GR)->isEnabled();
        menge->field(TMenge::Name)->setText(QStringLiteral("Quark"));
        QTest::mouseClick(menge->okButton(), Qt::LeftButton);
    });
    m_main->Neu1Click();
    QCOMPARE(shown, QStringList({QStringLiteral("Name"), QStringLiteral("0"), QStringLiteral("0"),
                                 QStringLiteral("0"), QStringLiteral("0")}));
    QCOMPARE(height, TMenge::CatalogueEditHeight);
    QVERIFY(!portionEnabled);
    QCOMPARE(m_main->LM()->textModel()->allRows(),
             QList<QStringList>({{QStringLiteral("Quark"), QStringLiteral("0"), QStringLiteral("0"),
                                  QStringLiteral("0"), QStringLiteral("0")}}));

    // With a row selected it is the template; OK without changes adds a
    // duplicate, and the selection stays where it was.
    openFile(m_sample);
    const int birne = rowOf(*m_main->LM()->textModel(), QStringLiteral("Birne"));
    m_main->LM()->selectRow(birne);
    WhenModal([](QWidget *modal) {
        QTest::mouseClick(qobject_cast<TMenge *>(modal)->okButton(), Qt::LeftButton);
    });
    m_main->Neu1Click();
    QCOMPARE(names(*m_main->LM()->textModel()).count(QStringLiteral("Birne")), 2);
    QCOMPARE(m_main->LM()->selectedRow(), birne);

    // A new food with an empty name stays at the end.
    WhenModal([](QWidget *modal) {
        auto *menge = qobject_cast<TMenge *>(modal);
        menge->field(TMenge::Name)->clear();
        QTest::mouseClick(menge->okButton(), Qt::LeftButton);
    });
    m_main->Neu1Click();
    QCOMPARE(names(*m_main->LM()->textModel()).last(), QString());
}

void tst_MainWindow::editMovesRenamedRowAndKeepsSelection()
{
    openFile(m_sample);
    TextTableModel &catalogue = *m_main->LM()->textModel();
    m_main->LM()->selectRow(rowOf(catalogue, QStringLiteral("Apfel")));
    WhenModal([](QWidget *modal) {
        auto *menge = qobject_cast<TMenge *>(modal);
        QCOMPARE(menge->text(TMenge::KCAL), QStringLiteral("52"));
        menge->field(TMenge::Name)->setText(QStringLiteral("Pflaume"));
        menge->field(TMenge::KCAL)->setText(QStringLiteral("47"));
        QTest::mouseClick(menge->okButton(), Qt::LeftButton);
    });
    m_main->Bearbeiten1Click();
    const int moved = rowOf(catalogue, QStringLiteral("Pflaume"));
    QCOMPARE(moved, 3);
    QCOMPARE(m_main->LM()->selectedRow(), moved);
    QCOMPARE(catalogue.text(moved, 1), QStringLiteral("47"));

    // Without a selection: nothing, no dialog.
    m_main->LM()->clearSelection();
    bool dialogShown = false;
    WhenModal(
        [&](QWidget *modal) {
            dialogShown = true;
            qobject_cast<TMenge *>(modal)->cancelButton()->click();
        },
        300);
    m_main->Bearbeiten1Click();
    m_main->Lschen1Click();
    QTest::qWait(350);
    QVERIFY(!dialogShown);
    QCOMPARE(catalogue.rowCount(), 5);
}

// A rename, or a new food above it, moves the selected row; the list keeps
// it in sight.
void tst_MainWindow::listFollowsItsMovedRow()
{
    QList<QStringList> foods;
    for (int i = 0; i < 2000; ++i) {
        foods.append({QStringLiteral("Brot %1").arg(i, 4, 10, QLatin1Char('0')),
                      QStringLiteral("250"), QStringLiteral("8"), QStringLiteral("1"),
                      QStringLiteral("50")});
    }
    TextListView *list = m_main->LM();
    list->textModel()->setRows(foods);
    const auto wholeInSight = [list] {
        const QRect rect = list->visualRect(list->model()->index(list->selectedRow(), 0));
        return list->viewport()->rect().contains(rect);
    };
    const auto nameTo = [](const QString &name) {
        WhenModal([name](QWidget *modal) {
            auto *menge = qobject_cast<TMenge *>(modal);
            menge->field(TMenge::Name)->setText(name);
            QTest::mouseClick(menge->okButton(), Qt::LeftButton);
        });
    };

    list->selectRow(0);
    nameTo(QStringLiteral("Zwieback"));
    m_main->Bearbeiten1Click();
    QCOMPARE(list->selectedRow(), 1999);
    QVERIFY(wholeInSight());

    list->scrollToTop();
    int lastWhole = list->rowAt(list->viewport()->height() - 1);
    if (!list->viewport()->rect().contains(list->visualRect(list->model()->index(lastWhole, 0))))
        --lastWhole;
    list->selectRow(lastWhole);
    QVERIFY(wholeInSight());
    nameTo(QStringLiteral("Aal"));
    m_main->Neu1Click();
    QCOMPARE(list->selectedRow(), lastWhole + 1);
    QVERIFY(wholeInSight());
}

void tst_MainWindow::typingFirstLettersSelectsFood_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("selected");

    // The first row, where the cursor stands unselected.
    QTest::newRow("the first of several") << QStringLiteral("apf") << QStringLiteral("Apfel");
    QTest::newRow("case aside") << QStringLiteral("APFELM") << QStringLiteral("apfelmus");
    QTest::newRow("umlaut") << QStringLiteral("äp") << QStringLiteral("Äpfel getrocknet");
    QTest::newRow("no food begins so") << QStringLiteral("x") << QString();
}

void tst_MainWindow::typingFirstLettersSelectsFood()
{
    QFETCH(QString, typed);
    QFETCH(QString, selected);
    openFile(m_sample);
    TextListView *list = m_main->LM();
    // As after the open, when the list has the keyboard: Qt puts its cursor
    // on the first row without selecting it.
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                            QItemSelectionModel::NoUpdate);
    // As a keyboard types them, umlauts too, which QTest::keyClicks cannot.
    for (QChar c : typed) {
        const int key = c.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(list, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(list, &release);
    }
    const int row = list->selectedRow();
    QCOMPARE(row < 0 ? QString() : list->textModel()->text(row, 0), selected);
}

void tst_MainWindow::deleteAndCancelLeaveMealsAlone()
{
    openFile(m_sample);
    addPortion(0, QStringLiteral("Apfel"), QStringLiteral("100"));
    const QStringList totals = displays(*m_main);
    TextTableModel &catalogue = *m_main->LM()->textModel();
    const QList<QStringList> mealRows = m_main->meal(0)->textModel()->allRows();

    m_main->LM()->selectRow(rowOf(catalogue, QStringLiteral("Apfel")));
    WhenModal([](QWidget *modal) {
        auto *menge = qobject_cast<TMenge *>(modal);
        menge->field(TMenge::KCAL)->setText(QStringLiteral("999"));
        QTest::mouseClick(menge->cancelButton(), Qt::LeftButton);
    });
    m_main->Bearbeiten1Click();
    QCOMPARE(catalogue.text(rowOf(catalogue, QStringLiteral("Apfel")), 1), QStringLiteral("52"));

    m_main->Lschen1Click();
    QCOMPARE(rowOf(catalogue, QStringLiteral("Apfel")), -1);
    QCOMPARE(m_main->meal(0)->textModel()->allRows(), mealRows);
    QCOMPARE(displays(*m_main), totals);
}

void tst_MainWindow::changedCatalogueAsksBeforeItGoes_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<Way>("way");
    QTest::addColumn<Answer>("answer");
    const std::pair<Change, const char *> changes[] = {{Change::New, "Neu"},
                                                       {Change::Edit, "Bearbeiten"},
                                                       {Change::Delete, "Löschen"},
                                                       {Change::Rename, "rename in place"}};
    const std::pair<Way, const char *> ways[] = {
        {Way::Close, "close"}, {Way::Quit, "Programm beenden"}, {Way::Open, "Öffnen"}};
    const std::pair<Answer, const char *> answers[] = {{Answer::Save, "Speichern"},
                                                       {Answer::Discard, "Nicht speichern"},
                                                       {Answer::Cancel, "Abbrechen"}};
    for (const auto &[change, changeName] : changes) {
        for (const auto &[way, wayName] : ways) {
            for (const auto &[answer, answerName] : answers)
                QTest::addRow("%s, %s, %s", changeName, wayName, answerName)
                    << change << way << answer;
        }
    }
    for (const auto &[way, wayName] : ways) {
        QTest::addRow("nothing changed, %s", wayName) << Change::None << way << Answer::NotAsked;
        QTest::addRow("saved after the change, %s", wayName)
            << Change::ChangeThenSave << way << Answer::NotAsked;
        QTest::addRow("the day plan changed, %s", wayName)
            << Change::PortionOnly << way << Answer::NotAsked;
        QTest::addRow("save fails, %s", wayName) << Change::Delete << way << Answer::SaveFails;
    }
    QTest::newRow("save dialog cancelled")
        << Change::Delete << Way::Close << Answer::SaveDialogCancelled;
    QTest::newRow("Escape") << Change::Delete << Way::Close << Answer::Escape;
    QTest::newRow("Nicht speichern, then the open dialog cancelled")
        << Change::Delete << Way::Open << Answer::DiscardThenOpenCancelled;
}

void tst_MainWindow::change(Change change)
{
    TextTableModel &catalogue = *m_main->LM()->textModel();
    auto changeInDialog = [](TMenge::Field field, const QString &text) {
        WhenModal([field, text](QWidget *modal) {
            auto *menge = qobject_cast<TMenge *>(modal);
            QVERIFY(menge);
            menge->field(field)->setText(text);
            QTest::mouseClick(menge->okButton(), Qt::LeftButton);
        });
    };
    m_main->LM()->selectRow(rowOf(catalogue, QStringLiteral("Birne")));
    switch (change) {
    case Change::None:
        break;
    case Change::New:
        changeInDialog(TMenge::Name, QStringLiteral("Quark"));
        m_main->Neu1Click();
        break;
    case Change::Edit:
        changeInDialog(TMenge::KCAL, QStringLiteral("57"));
        m_main->Bearbeiten1Click();
        break;
    case Change::Delete:
    case Change::ChangeThenSave:
        m_main->Lschen1Click();
        break;
    case Change::Rename: {
        m_main->LM()->edit(catalogue.index(m_main->LM()->selectedRow(), 0));
        auto *editor = m_main->LM()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("Nashi"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(rowOf(catalogue, QStringLiteral("Nashi")) >= 0);
        break;
    }
    case Change::PortionOnly:
        addPortion(0, QStringLiteral("Apfel"), QStringLiteral("100"));
        break;
    }
    if (change == Change::ChangeThenSave) {
        const QString saved = m_dir->filePath(QStringLiteral("vorher.lmk"));
        WhenModal([saved](QWidget *modal) { acceptFileDialog(modal, saved); });
        m_main->Speichern1Click();
        QVERIFY(QFile::exists(saved));
    }
}

void tst_MainWindow::goAway(Way way)
{
    QMenu *foods = m_main->menuBar()->actions().front()->menu();
    switch (way) {
    case Way::Close:
        m_main->close();
        break;
    case Way::Quit:
        foods->actions().last()->trigger();
        break;
    case Way::Open:
        foods->actions().front()->trigger();
        break;
    }
}

// A changed catalogue is closed or replaced only after the user has answered
// whether to save it; the answer "Abbrechen" keeps program and catalogue.
void tst_MainWindow::changedCatalogueAsksBeforeItGoes()
{
    QFETCH(Change, change);
    QFETCH(Way, way);
    QFETCH(Answer, answer);
    openFile(m_sample);
    this->change(change);
    TextTableModel &catalogue = *m_main->LM()->textModel();
    const QList<QStringList> changed = catalogue.allRows();
    const QString other = m_dir->filePath(QStringLiteral("andere.lmk"));
    QVERIFY(QFile::copy(SourcePath(u"resources/sample/Lebensmittel.lmk"), other));
    const QString target = m_dir->filePath(
        answer == Answer::SaveFails ? QStringLiteral("fehlt/neu.lmk") : QStringLiteral("neu.lmk"));

    ModalWatch watch;
    QStringList buttons;
    const bool asked = answer != Answer::NotAsked;
    if (asked) {
        watch.expect([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            for (QAbstractButton *button : box->buttons())
                buttons.append(
                    QStringLiteral("%1 %2").arg(box->buttonRole(button)).arg(button->text()));
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Save));
            QCOMPARE(box->escapeButton(), box->button(QMessageBox::Cancel));
            switch (answer) {
            case Answer::Save:
            case Answer::SaveDialogCancelled:
            case Answer::SaveFails:
                box->button(QMessageBox::Save)->click();
                break;
            case Answer::Discard:
            case Answer::DiscardThenOpenCancelled:
                box->button(QMessageBox::Discard)->click();
                break;
            case Answer::Cancel:
                QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
                break;
            default:
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
    }
    const bool saving = answer == Answer::Save || answer == Answer::SaveDialogCancelled ||
                        answer == Answer::SaveFails;
    if (saving) {
        watch.expect([&](QWidget *modal) {
            QCOMPARE(modal->windowTitle(), QStringLiteral("Lebensmittel speichern"));
            if (answer != Answer::SaveDialogCancelled)
                acceptFileDialog(modal, target);
        });
    }
    if (answer == Answer::SaveFails)
        watch.expect([](QWidget *) {}); // The error box, closed with OK.
    const bool goesOn = answer == Answer::NotAsked || answer == Answer::Save ||
                        answer == Answer::Discard || answer == Answer::DiscardThenOpenCancelled;
    if (way == Way::Open && goesOn) {
        watch.expect([&](QWidget *modal) {
            QCOMPARE(modal->windowTitle(), QStringLiteral("Lebensmittel öffnen"));
            if (answer != Answer::DiscardThenOpenCancelled)
                acceptFileDialog(modal, other);
        });
    }
    goAway(way);
    QCOMPARE(watch.pendingHandlers(), 0);

    const QList<ModalWatch::Seen> seen = watch.takeSeen();
    QStringList boxes = TextsOf(seen);
    if (answer == Answer::SaveFails) {
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.takeLast(),
                 QStringLiteral("Datei %1 kann nicht erstellt werden.").arg(target));
    }
    QCOMPARE(boxes, asked ? QStringList(ChangedQuestion) : QStringList());
    if (asked) {
        QCOMPARE(seen.front().caption, QStringLiteral("Menuvera 2"));
        buttons.sort();
        QCOMPARE(buttons,
                 QStringList({QStringLiteral("0 &Speichern"), QStringLiteral("1 Abbrechen"),
                              QStringLiteral("2 &Nicht speichern")}));
    }

    // "Speichern" wrote the changed catalogue; no other answer writes a file.
    QCOMPARE(QFile::exists(target), answer == Answer::Save);
    if (answer == Answer::Save)
        QCOMPARE(ReadFoodList(target).rows(), changed);
    QFile opened(m_sample);
    QVERIFY(opened.open(QIODevice::ReadOnly));
    QCOMPARE(opened.readAll(), SampleFile);

    const bool replaced = way == Way::Open && goesOn && answer != Answer::DiscardThenOpenCancelled;
    const bool closed = way != Way::Open && goesOn;
    QCOMPARE(m_main->isVisible(), !closed);
    if (replaced) {
        QCOMPARE(catalogue.allRows(), ReadFoodList(other).rows());
        QVERIFY(!m_main->catalogueModified());
    } else {
        QCOMPARE(catalogue.allRows(), changed);
    }
    // What stays changed stays marked: the next close asks again.
    if (!closed && !replaced && change != Change::None && change != Change::PortionOnly &&
        change != Change::ChangeThenSave) {
        watch.expect([](QWidget *modal) {
            qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Discard)->click();
        });
        m_main->close();
        QCOMPARE(TextsOf(watch.takeSeen()), QStringList(ChangedQuestion));
        QVERIFY(!m_main->isVisible());
    }
}

void tst_MainWindow::rightClickSelectsRowForNutrientInfo()
{
    openFile(m_sample);
    TextListView *list = m_main->LM();
    list->selectRow(0);
    const int birne = rowOf(*list->textModel(), QStringLiteral("Birne"));
    const QPoint onBirne = list->visualRect(list->model()->index(birne, 0)).center();

    QString shownName;
    QString shownEnergy;
    QTimer::singleShot(50, this, [&] {
        QTRY_VERIFY(QApplication::activePopupWidget());
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        WhenModal([&](QWidget *modal) {
            auto *info = qobject_cast<TInfo *>(modal);
            QVERIFY(info);
            shownName = info->Name()->text();
            shownEnergy = info->KCAL()->text();
            info->close();
        });
        menu->actions().front()->trigger();
        menu->close();
    });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, onBirne,
                                 list->viewport()->mapToGlobal(onBirne));
    QApplication::sendEvent(list->viewport(), &rightClick);
    QTRY_COMPARE(shownName, QStringLiteral("Birne"));
    QCOMPARE(shownEnergy, QStringLiteral("100 gr = 55 kcal"));
    QCOMPARE(list->selectedRow(), birne);
}

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

void tst_MainWindow::advertisingBlockOpensMakerHomePage()
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    const QList<QLabel *> labels = m_main->centralWidget()->findChildren<QLabel *>();
    QLabel *link = nullptr;
    QLabel *picture = nullptr;
    for (QLabel *label : labels) {
        if (label->text() == ShownAddress(MakerHomePage()))
            link = label;
        if (!label->pixmap().isNull())
            picture = label;
    }
    QVERIFY(link && picture);
    QCOMPARE(picture->size(), QSize(75, 75));
    QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(picture, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(recorder.opened, QList<QUrl>({MakerHomePage(), MakerHomePage()}));
}

void tst_MainWindow::toolMenusOpenTheirDialogs()
{
    QStringList titles;
    const QList<QAction *> entries = {m_main->menuBar()->actions().at(2)->menu()->actions().at(0),
                                      m_main->menuBar()->actions().at(2)->menu()->actions().at(1),
                                      m_main->menuBar()->actions().at(3)->menu()->actions().at(0)};
    for (QAction *entry : entries) {
        WhenModal([&](QWidget *modal) {
            titles.append(modal->windowTitle());
            modal->close();
        });
        entry->trigger();
    }
    QCOMPARE(titles, QStringList({QStringLiteral("BMI Rechner"), QStringLiteral("Kalorienrechner"),
                                  QStringLiteral("Info über ..")}));
}

void tst_MainWindow::printThroughDialog()
{
    SKIP_WHERE_PRINT_DIALOG_IS_NATIVE();
    openFile(m_sample);
    addPortion(0, QStringLiteral("Apfel"), QStringLiteral("150"));
    const QString pdf = m_dir->filePath(QStringLiteral("plan.pdf"));
    m_main->Printer().setOutputFormat(QPrinter::PdfFormat);
    m_main->Printer().setOutputFileName(pdf);
    QAction *print = m_main->menuBar()->actions().at(1)->menu()->actions().at(1);

    // Cancelled: no job.
    WhenModal([](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
    print->trigger();
    QVERIFY(!QFile::exists(pdf));

    QString title;
    WhenModal([&](QWidget *modal) {
        title = modal->objectName();
        qobject_cast<QDialog *>(modal)->accept();
    });
    print->trigger();
    QCOMPARE(title, QStringLiteral("PrintDialog1"));
    QTRY_VERIFY(QFileInfo(pdf).size() > 0);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF"));
}

void tst_MainWindow::printToQueue_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<bool>("refused");
    QTest::newRow("queue takes the job") << QStringLiteral("menuvera-accepts") << false;
    QTest::newRow("queue refuses jobs") << QStringLiteral("menuvera-refuses") << true;
}

// A printer queue of the printing system that refuses the job: the error box
// says that the plan was not printed, and why.
void tst_MainWindow::printToQueue()
{
    QFETCH(QString, queue);
    QFETCH(bool, refused);
    if (qEnvironmentVariableIsEmpty("MENUVERA_PRINT_QUEUES"))
        QSKIP("needs the print queues of tests/support/print_queues.sh");
    const auto jobs = [&queue] {
        QProcess lpstat;
        lpstat.start(QStringLiteral("lpstat"),
                     {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), queue});
        lpstat.waitForFinished(30000);
        return lpstat.readAllStandardOutput().count('\n');
    };
    const qsizetype jobsBefore = jobs();
    openFile(m_sample);
    addPortion(0, QStringLiteral("Apfel"), QStringLiteral("150"));
    m_main->Printer().setPrinterName(queue);
    QCOMPARE(m_main->Printer().printerName(), queue);
    QCOMPARE(m_main->Printer().outputFormat(), QPrinter::NativeFormat);

    const QList<ModalWatch::Seen> boxes = CloseMessageBoxes([&] {
        WhenModal([](QWidget *modal) { qobject_cast<QDialog *>(modal)->accept(); });
        m_main->menuBar()->actions().at(1)->menu()->actions().at(1)->trigger();
    });
    QCOMPARE(jobs() - jobsBefore, refused ? 0 : 1);
    if (!refused) {
        QCOMPARE(TextsOf(boxes), QStringList());
        return;
    }
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.front().caption, QStringLiteral("Menuvera 2"));
    QCOMPARE(boxes.front().icon, QMessageBox::Critical);
    // The printing system's own words stand between, in its language.
    const QString text = boxes.front().text;
    QVERIFY2(text.startsWith(QStringLiteral("Der Ernährungsplan wurde nicht gedruckt.\n"
                                            "Der Drucker „menuvera-refuses“ hat den Auftrag "
                                            "abgewiesen: ")) &&
                 text.endsWith(QStringLiteral("\nGrund: Wartung bis Montag.")),
             qPrintable(text));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_main_window.moc"
