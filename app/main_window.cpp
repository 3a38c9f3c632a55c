#include "app/main_window.h"

#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "catalogue/menge_dialog.h"
#include "catalogue/suchen_dialog.h"
#include "core/number_text.h"
#include "core/text_table_model.h"
#include "plan/plan_printer.h"
#include "plan/print_layout.h"
#include "plan/totals.h"
#include "tools/bmi_dialog.h"
#include "tools/info_dialog.h"
#include "tools/kalorienrechner_dialog.h"
#include "tools/logos.h"
#include "tools/ueber_dialog.h"
#include "tools/web_links.h"
#include "widgets/click_label.h"
#include "widgets/command_guard.h"
#include "widgets/display_accessibility.h"
#include "widgets/file_dialog.h"
#include "widgets/fixed_dialog.h"
#include "widgets/glyphs.h"
#include "widgets/text_list_view.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCompleter>
#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// The client area below the menu bar, status bar included, as the window
// opens; anchored controls keep their distance to the edges they follow.
constexpr int ClientWidth = 782;
constexpr int ClientHeight = 526;
constexpr int StatusBarHeight = 19;
constexpr int ListsHeight = ClientHeight - StatusBarHeight;

const QColor SkyBlue(0xA6, 0xCA, 0xF0);
const QColor MoneyGreen(0xC0, 0xDC, 0xC0);

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

// Shows a file dialog starting in the program's folder; gives the chosen
// file, or the empty text when the user cancels.
QString chooseFile(QFileDialog *dialog)
{
    dialog->setDirectory(ProgramFolder());
    const int result = dialog->exec();
    // The file-name box's completion list can outlive its dialog where no
    // window manager takes the focus away; it must not stay on the screen.
    for (QCompleter *completer : dialog->findChildren<QCompleter *>())
        completer->popup()->hide();
    return result == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
}

// A dialog for the catalogue's files, in the program's folder, offering the
// types given; a name typed without an ending gets that of the type chosen
// (the format follows the ending).
template <size_t N>
QFileDialog *makeFoodListDialog(QWidget *parent, const QString &caption,
                                QFileDialog::AcceptMode mode, const FoodFileType (&types)[N])
{
    auto *dialog = new QFileDialog(parent, caption, ProgramFolder());
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FoodFileType &type : types)
        filters.append(type.filter.toString());
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(types[0].suffix.toString());
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog,
                     [dialog, &types](const QString &filter) {
                         for (const FoodFileType &type : types) {
                             if (filter == type.filter)
                                 dialog->setDefaultSuffix(type.suffix.toString());
                         }
                     });
    FollowNameField(dialog);
    return dialog;
}

// Asks whether the changed catalogue is to be saved. The buttons are captioned
// here rather than by Qt's translations, so that they read the same wherever
// those are missing or word them otherwise; Escape and the box's close box
// give "Abbrechen".
QMessageBox::StandardButton askToSaveChanges(QWidget *parent)
{
    QMessageBox box(QMessageBox::Warning, ApplicationTitle.toString(),
                    QStringLiteral("Die Lebensmittelliste wurde geändert. "
                                   "Sollen die Änderungen gespeichert werden?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Save)->setText(QStringLiteral("&Speichern"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Nicht speichern"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return box.standardButton(box.clickedButton());
}

QLabel *makeCell(QWidget *parent, const QString &text, const QRect &geometry, const QColor &colour,
                 Qt::Alignment alignment)
{
    auto *cell = new QLabel(text, parent);
    cell->setGeometry(geometry);
    cell->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    cell->setLineWidth(1);
    cell->setAlignment(alignment | Qt::AlignVCenter);
    cell->setAutoFillBackground(true);
    QPalette colours = cell->palette();
    colours.setColor(QPalette::Window, colour);
    colours.setColor(QPalette::WindowText, Qt::black);
    cell->setPalette(colours);
    cell->setFont(PixelFont(13));
    cell->setMargin(0);
    cell->setIndent(2);
    return cell;
}

// A value display of the totals block. The block is laid out for a design
// face whose digits are narrower than those of the faces that stand in for
// it, so the display's font is condensed until the widest value it shows
// fits between its frame and its indent, kept on both sides: otherwise a
// five-digit value loses its first digit at the left edge.
QLabel *makeDisplay(QWidget *parent, const QRect &geometry)
{
    QLabel *display = makeCell(parent, QStringLiteral("0,0"), geometry, MoneyGreen, Qt::AlignRight);
    const int room = display->contentsRect().width() - 2 * display->indent();
    display->setFont(CondensedToFit(display->font(), QStringLiteral("99999,9"), room));
    return display;
}

QFrame *makeLine(QWidget *parent, QFrame::Shape shape, const QRect &geometry)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(geometry);
    return line;
}

} // namespace

TMain::TMain(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Menuvera 2 – der Ernährungsplaner von Menuvera Software"));
    setFont(WindowFont());

    auto *client = new QWidget(this);
    setCentralWidget(client);
    createTotalsBlock(client);
    createAdvertisingBlock(client);
    createLists(client);
    createMenus();
    // The control that has the focus when the window first becomes active,
    // also when the start-up open comes first.
    m_LM->setFocus();

    auto *status = new QLabel(
        QStringLiteral("Neu von Menuvera: Menuvera Fit, der Trainingsplaner zum Ernährungsplan – "
                       "www.menuvera.example"),
        this);
    statusBar()->addWidget(status, 1);
    statusBar()->setSizeGripEnabled(true);
    statusBar()->setFixedHeight(StatusBarHeight);

    m_rechnen = new QAction(QStringLiteral("Rechnen"), this);
    connect(m_rechnen, &QAction::triggered, this, guarded(&TMain::RechnenExecute));

    m_openDialog = makeFoodListDialog(this, QStringLiteral("Lebensmittel öffnen"),
                                      QFileDialog::AcceptOpen, OpenFileTypes);
    m_saveDialog = makeFoodListDialog(this, QStringLiteral("Lebensmittel speichern"),
                                      QFileDialog::AcceptSave, SaveFileTypes);

    resize(ClientWidth, menuBar()->sizeHint().height() + ListsHeight + StatusBarHeight);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    m_timer1 = new QTimer(this);
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(250);
    connect(m_timer1, &QTimer::timeout, this, guarded(&TMain::Timer1Timer));
    m_timer1->start();

    // Every modal window of the program, the file dialogs and message boxes
    // included, hands the activation back when it closes.
    qApp->installEventFilter(this);

    connect(qApp, &QGuiApplication::commitDataRequest, this, &TMain::commitData);
}

TMain::~TMain() = default;

void TMain::setDialogs(const TMainDialogs &dialogs)
{
    m_dialogs = dialogs;
}

std::function<void()> TMain::guarded(void (TMain::*command)())
{
    return [this, command] { RunGuarded(this, [this, command] { (this->*command)(); }); };
}

void TMain::createMenus()
{
    struct Entry
    {
        const char16_t *caption;
        void (TMain::*command)();
        QKeySequence shortcut = {};
    };
    auto addMenu = [this](const char16_t *title, std::initializer_list<Entry> entries) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf16(title));
        for (const Entry &entry : entries) {
            if (!entry.command) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(QString::fromUtf16(entry.caption));
            action->setShortcut(entry.shortcut);
            connect(action, &QAction::triggered, this, guarded(entry.command));
        }
    };
    addMenu(u"&Lebensmittel",
            {{u"Ö&ffnen", &TMain::ffnen1Click},
             {u"&Speichern", &TMain::Speichern1Click},
             {nullptr, nullptr},
             // "S" is taken by "Speichern": the next letter.
             {u"S&uchen…", &TMain::Suchen1Click, QKeySequence(Qt::CTRL | Qt::Key_F)},
             {nullptr, nullptr},
             {u"&Neu", &TMain::Neu1Click},
             {u"&Bearbeiten", &TMain::Bearbeiten1Click},
             {u"&Löschen", &TMain::Lschen1Click},
             {nullptr, nullptr},
             {u"&Programm beenden", &TMain::Programmbeenden1Click}});
    addMenu(u"&Ernährungsplan",
            {{u"&Löschen", &TMain::Lschen2Click}, {u"&Drucken", &TMain::Drucken1Click}});
    addMenu(u"&Tools", {{u"&BMI Rechner", &TMain::BMIRechner1Click},
                        {u"&Kalorienrechner", &TMain::Kalorienrechner1Click}});
    addMenu(u"&Info", {{u"Ü&ber...", &TMain::ber1Click}});

    m_popupMenu = new QMenu(this);
    QAction *info = m_popupMenu->addAction(QStringLiteral("&Nährstoffinfo"));
    connect(info, &QAction::triggered, this, guarded(&TMain::Nhrstoffinfo1Click));
}

void TMain::createTotalsBlock(QWidget *client)
{
    // The day's displays on the left, the meals' on the right, a row each.
    static_assert(DayDisplays.size() == MealCount);
    for (int i = 0; i < MealCount; ++i) {
        const int y = 2 + 18 * i;
        const DayDisplay &dayDisplay = DayDisplays[size_t(i)];
        const QString dayCaption = dayDisplay.caption.toString();
        const QString dayUnit = dayDisplay.unit.toString();
        makeCell(client, dayCaption, QRect(2, y, 103, 18), SkyBlue, Qt::AlignLeft);
        QLabel *day = makeDisplay(client, QRect(105, y, 48, 18));
        makeCell(client, dayUnit, QRect(153, y, 32, 18), SkyBlue, Qt::AlignLeft);
        // "gr" would be spelt out.
        MakeValueDisplay(day, dayCaption,
                         dayUnit == QLatin1String("gr") ? QStringLiteral("Gramm") : dayUnit);
        m_displays[dayDisplay.display] = day;

        const QString mealCaption = MealNames[size_t(i)].toString();
        makeCell(client, mealCaption, QRect(192, y, 89, 18), SkyBlue, Qt::AlignLeft);
        QLabel *meal = makeDisplay(client, QRect(281, y, 48, 18));
        makeCell(client, QStringLiteral("kcal"), QRect(329, y, 38, 18), SkyBlue, Qt::AlignLeft);
        MakeValueDisplay(meal, mealCaption, QStringLiteral("kcal"));
        m_displays[MealDisplay(i)] = meal;
    }
    makeLine(client, QFrame::VLine, QRect(187, 2, 3, 74));
    makeLine(client, QFrame::VLine, QRect(369, 2, 3, 74));
}

void TMain::createAdvertisingBlock(QWidget *client)
{
    m_advertising = new QWidget(client);
    makeLine(m_advertising, QFrame::VLine, QRect(0, 0, 3, 75));

    auto *product = new QLabel(QStringLiteral("Menuvera Fit"), m_advertising);
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);
    product->setGeometry(10, 2, 160, 16);

    auto *slogan =
        new QLabel(QStringLiteral("Der Trainingsplaner\nzum Ernährungsplan"), m_advertising);
    slogan->setGeometry(10, 18, 160, 30);

    auto *link = new ClickLabel(m_advertising);
    connect(link, &ClickLabel::clicked, this, guarded(&TMain::Label3Click));
    link->setText(ShownAddress(MakerHomePage()));
    link->setFont(PixelFont(13, true));
    QPalette green = link->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    link->setPalette(green);
    link->setGeometry(10, 54, 165, 18);
    link->setAccessibleName(QStringLiteral("Webseite von Menuvera öffnen"));

    auto *picture = new ClickLabel(m_advertising);
    connect(picture, &ClickLabel::clicked, this, guarded(&TMain::Image1Click));
    m_advertisingPicture = picture;
    m_advertisingPicture->setPixmap(MakerLogo(QSize(75, 75)));
    m_advertisingPicture->setToolTip(MakerHomePage().toString());
    m_advertisingPicture->setAlignment(Qt::AlignCenter);
    m_advertisingPicture->setAccessibleName(
        QStringLiteral("Logo von Menuvera, öffnet die Webseite"));
}

void TMain::createLists(QWidget *client)
{
    m_catalogue = new TextTableModel(ToStringList(FoodColumnNames), this);
    // Every change of the rows marks the catalogue changed, whichever command
    // or edit in place made it; opening and saving clear the mark.
    const auto changed = [this] { setCatalogueModified(true); };
    connect(m_catalogue, &QAbstractItemModel::dataChanged, this, changed);
    connect(m_catalogue, &QAbstractItemModel::rowsInserted, this, changed);
    connect(m_catalogue, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(m_catalogue, &QAbstractItemModel::modelReset, this, changed);
    m_LM = new TextListView(m_catalogue, ToList(FoodColumnWidths), client);
    m_LM->setAccessibleName(QStringLiteral("Lebensmittel"));
    m_LM->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_LM, &TextListView::listDoubleClicked, this, guarded(&TMain::LMDblClick));
    connect(m_LM, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        // A right-click on a row selects it first, so the information is
        // about the row clicked.
        const QModelIndex index = m_LM->indexAt(position);
        if (index.isValid())
            m_LM->selectRow(index.row());
        m_popupMenu->exec(m_LM->viewport()->mapToGlobal(position));
    });

    // The focus goes round in the order the controls are made: LM, the tabs
    // and the meal list shown, the add button, the remove button.
    m_page = new QTabWidget(client);
    m_page->setAccessibleName(QStringLiteral("Mahlzeiten"));
    // Tabs drawn as buttons. The style sheet stays on the tab bar: on the page
    // control it would reach the meal lists, which would then no longer take
    // the window font.
    m_page->tabBar()->setStyleSheet(QStringLiteral(
        "QTabBar::tab { background: palette(button); border: 2px outset palette(midlight);"
        " padding: 2px 5px; margin: 1px 1px 3px 0px; }"
        "QTabBar::tab:selected { border-style: inset; background: palette(midlight); }"));
    for (int i = 0; i < MealCount; ++i) {
        auto *model = new TextTableModel(ToStringList(MealColumnNames), this);
        auto *list = new TextListView(model, ToList(MealColumnWidths), m_page);
        const QString name = MealNames[size_t(i)].toString();
        list->setAccessibleName(name);
        m_page->addTab(list, name);
        m_meals[size_t(i)] = list;
    }
    m_page->setCurrentIndex(0);

    m_bitBtn1 = new QPushButton(GlyphIcon(Glyph::ArrowRight, 32), QString(), client);
    m_bitBtn1->setIconSize(QSize(32, 32));
    m_bitBtn1->setAccessibleName(QStringLiteral("Zur Mahlzeit hinzufügen"));
    m_bitBtn1->setToolTip(QStringLiteral("Zur Mahlzeit hinzufügen"));
    connect(m_bitBtn1, &QPushButton::clicked, this, guarded(&TMain::BitBtn1Click));
    m_bitBtn2 = new QPushButton(GlyphIcon(Glyph::ArrowLeft, 32), QString(), client);
    m_bitBtn2->setIconSize(QSize(32, 32));
    m_bitBtn2->setAccessibleName(QStringLiteral("Aus der Mahlzeit entfernen"));
    m_bitBtn2->setToolTip(QStringLiteral("Aus der Mahlzeit entfernen"));
    connect(m_bitBtn2, &QPushButton::clicked, this, guarded(&TMain::BitBtn2Click));
}

void TMain::layoutClientArea()
{
    const QWidget *client = centralWidget();
    const int width = client->width();
    const int height = client->height();
    // Bottom and right anchors keep the distances of the opening layout.
    m_advertising->setGeometry(530, 2, std::max(0, width - 530), 75);
    m_advertisingPicture->setGeometry(std::max(0, width - 530 - 75), 0, 75, 75);
    m_LM->setGeometry(0, 80, 393, height - 80 - (ListsHeight - 506));
    m_bitBtn1->setGeometry(400, 80, 41, height - 80 - (ListsHeight - 337));
    m_bitBtn2->setGeometry(400, height - (ListsHeight - 344), 41, 161);
    m_page->setGeometry(448, 80, width - 448 - (ClientWidth - 777),
                        height - 80 - (ListsHeight - 505));
}

bool TMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        const auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && window->isModal())
            QTimer::singleShot(0, this, &TMain::activateAfterModal);
    }
    return QMainWindow::eventFilter(watched, event);
}

// The platform activates a modal window when it opens, but nothing gives the
// activation back when it closes unless a window manager does; without it the
// keyboard would reach no window. The window below takes it back, and with it
// the control that had the focus before.
void TMain::activateAfterModal()
{
    QWidget *below = QApplication::activeModalWidget();
    if (below == nullptr)
        below = this;
    if (!below->isVisible() || below->isActiveWindow())
        return;
    // A window manager may hand the keyboard to the window while the closing
    // dialog still blocks it; Qt then records no active window, and asking
    // the platform again changes nothing, since the keyboard is there already.
    if (QGuiApplication::focusWindow() == below->windowHandle())
        QApplication::setActiveWindow(below);
    else
        below->activateWindow();
}

void TMain::closeEvent(QCloseEvent *event)
{
    bool mayClose = false;
    RunGuarded(this, [&] { mayClose = saveOrDiscardChanges(); });
    if (mayClose)
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

// The session asks before it ends. The window's close follows, which then
// asks nothing more about the changes the user answered for here.
void TMain::commitData(QSessionManager &manager)
{
    // Without leave to ask, the question comes with the close that follows.
    if (!m_catalogueModified || m_changesGivenUp || !manager.allowsInteraction())
        return;
    bool mayEnd = false;
    RunGuarded(this, [&] { mayEnd = saveOrDiscardChanges(); });
    if (!mayEnd)
        manager.cancel();
    else if (m_catalogueModified)
        m_changesGivenUp = true;
}

void TMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutClientArea();
}

void TMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LocaleChange)
        ReadDecimalSeparator();
    QMainWindow::changeEvent(event);
}

TextTableModel &TMain::mealModel(int index) const
{
    return *m_meals[size_t(index)]->textModel();
}

std::array<const TextTableModel *, MealCount> TMain::mealModels() const
{
    std::array<const TextTableModel *, MealCount> models{};
    for (int i = 0; i < MealCount; ++i)
        models[size_t(i)] = &mealModel(i);
    return models;
}

TextTableModel &TMain::catalogue() const
{
    return *m_catalogue;
}

void TMain::setCatalogueModified(bool modified)
{
    m_catalogueModified = modified;
    m_changesGivenUp = false;
}

bool TMain::saveOrDiscardChanges()
{
    if (!m_catalogueModified || m_changesGivenUp)
        return true;
    switch (askToSaveChanges(this)) {
    case QMessageBox::Save:
        return saveCatalogue();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

bool TMain::saveCatalogue()
{
    const QString fileName = chooseFile(m_saveDialog);
    if (fileName.isEmpty())
        return false;
    WriteFoodList(fileName, catalogue().store());
    setCatalogueModified(false);
    return true;
}

void TMain::Timer1Timer()
{
    m_timer1->stop();
    ffnen1Click();
}

void TMain::ffnen1Click()
{
    // First the question, then the dialog, as the user decides about the
    // catalogue shown before choosing another.
    if (!saveOrDiscardChanges())
        return;
    const QString fileName = chooseFile(m_openDialog);
    if (fileName.isEmpty())
        return;
    // The file is read before the catalogue is touched, so a file that
    // cannot be read leaves the catalogue as it was, and its mark.
    catalogue().setRows(ReadFoodList(fileName));
    setCatalogueModified(false);
}

void TMain::Speichern1Click()
{
    saveCatalogue();
}

void TMain::Neu1Click()
{
    TMenge &menge = *m_dialogs.Menge;
    menge.prepareCatalogueEdit();
    const int row = m_LM->selectedRow();
    if (row >= 0)
        menge.fillFromFood(catalogue().rowTexts(row));
    if (menge.exec() != TMenge::Ok)
        return;
    catalogue().appendRow(menge.foodTexts());
}

void TMain::Bearbeiten1Click()
{
    const int row = m_LM->selectedRow();
    if (row < 0)
        return;
    TMenge &menge = *m_dialogs.Menge;
    menge.prepareCatalogueEdit();
    menge.fillFromFood(catalogue().rowTexts(row));
    if (menge.exec() != TMenge::Ok)
        return;
    const QStringList texts = menge.foodTexts();
    const int movedTo = catalogue().setName(row, texts.front());
    for (int column = 1; column < texts.size(); ++column)
        catalogue().setText(movedTo, column, texts[column]);
}

void TMain::Lschen1Click()
{
    const int row = m_LM->selectedRow();
    if (row >= 0)
        catalogue().removeRow(row);
}

void TMain::Suchen1Click()
{
    TSuchen &suchen = *m_dialogs.Suchen;
    const int result = suchen.exec();
    const int row = suchen.chosenRow();
    if (result == TSuchen::Schliessen || row < 0)
        return;
    // The found food is selected in the list, in sight, and the list has the
    // keyboard, so that the add button or a double-click adds it.
    m_LM->selectRow(row);
    m_LM->scrollTo(catalogue().index(row, 0), QAbstractItemView::PositionAtCenter);
    m_LM->setFocus();
    if (result == TSuchen::Hinzufuegen)
        BitBtn1Click();
}

void TMain::Programmbeenden1Click()
{
    close();
}

void TMain::LMDblClick()
{
    m_bitBtn1->click();
}

void TMain::BitBtn1Click()
{
    const int row = m_LM->selectedRow();
    if (row < 0)
        return;
    TMenge &menge = *m_dialogs.Menge;
    menge.preparePortion();
    menge.fillFromFood(catalogue().rowTexts(row));
    menge.setText(TMenge::GR, QStringLiteral("50"));
    if (menge.exec() == TMenge::Ok) {
        mealModel(m_page->currentIndex())
            .appendRow({menge.text(TMenge::Name), menge.text(TMenge::GR), menge.text(TMenge::KCAL),
                        menge.text(TMenge::EW), menge.text(TMenge::FT), menge.text(TMenge::KH)});
    }
    m_rechnen->trigger();
}

void TMain::BitBtn2Click()
{
    TextListView *list = m_meals[size_t(m_page->currentIndex())];
    const int row = list->selectedRow();
    if (row < 0)
        return;
    list->textModel()->removeRow(row);
    m_rechnen->trigger();
}

void TMain::Lschen2Click()
{
    for (int i = 0; i < MealCount; ++i)
        mealModel(i).clear();
    m_rechnen->trigger();
}

void TMain::RechnenExecute()
{
    const TotalsResult result = ComputeTotals(mealModels());
    for (qsizetype i = 0; i < result.failedRows.size(); ++i)
        ShowCalculationError();
    const DisplayTexts texts = TotalsDisplayTexts(result.sums);
    for (size_t display = 0; display < texts.size(); ++display)
        SetDisplayText(m_displays[display], texts[display]);
}

void TMain::Drucken1Click()
{
    DisplayTexts texts;
    for (size_t display = 0; display < texts.size(); ++display)
        texts[display] = m_displays[display]->text();
    PrintPlanWithDialog(this, m_printer, MakePlanPrintInput(mealModels(), texts));
}

void TMain::BMIRechner1Click()
{
    m_dialogs.BMI->exec();
}

void TMain::Kalorienrechner1Click()
{
    m_dialogs.Kalorienrechner->exec();
}

void TMain::ber1Click()
{
    m_dialogs.Ueber->exec();
}

void TMain::Nhrstoffinfo1Click()
{
    const int row = m_LM->selectedRow();
    if (row >= 0)
        ShowNutrientInfo(*m_dialogs.Info, catalogue().rowTexts(row));
}

void TMain::Image1Click()
{
    OpenWebAddress(MakerHomePage());
}

void TMain::Label3Click()
{
    OpenWebAddress(MakerHomePage());
}
