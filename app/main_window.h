#pragma once

// The main window: the catalogue list LM on the left, the four meal lists on
// the pages of Page on the right, the totals block above them. Every command
// of its menus and buttons runs through the command guard, so a failure ends
// the command and shows the error box. The dialogs are created after the
// main window and handed to it before the event loop starts.

#include "app/regional_settings.h"
#include "plan/meals.h"

#include <QMainWindow>
#include <QPrinter>
#include <QStringList>

#include <array>

class QAction;
class QFileDialog;
class QSessionManager;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;
class TextListView;
class TextTableModel;
class TMenge;
class TInfo;
class TUeber;
class TKalorienrechner;
class TBMI;
class TSuchen;

struct TMainDialogs
{
    TMenge *Menge = nullptr;
    TInfo *Info = nullptr;
    TUeber *Ueber = nullptr;
    TKalorienrechner *Kalorienrechner = nullptr;
    TBMI *BMI = nullptr;
    TSuchen *Suchen = nullptr;
};

class TMain final : public QMainWindow
{
    Q_OBJECT

public:
    // The eight total displays, named as the window's controls.
    using Display = TotalsDisplay;
    using enum TotalsDisplay;

    explicit TMain(QWidget *parent = nullptr);
    ~TMain() override;

    void setDialogs(const TMainDialogs &dialogs);

    TextListView *LM() const { return m_LM; }
    TextListView *meal(int index) const { return m_meals[size_t(index)]; }
    QTabWidget *Page() const { return m_page; }
    QPushButton *BitBtn1() const { return m_bitBtn1; }
    QPushButton *BitBtn2() const { return m_bitBtn2; }
    QLabel *display(Display display) const { return m_displays[display]; }
    QTimer *Timer1() const { return m_timer1; }
    QAction *Rechnen() const { return m_rechnen; }
    QFileDialog *OpenDialog1() const { return m_openDialog; }
    QFileDialog *SaveDialog1() const { return m_saveDialog; }
    QMenu *PopupMenu1() const { return m_popupMenu; }
    QPrinter &Printer() { return m_printer; }
    // Whether the catalogue changed since it was last opened or saved.
    bool catalogueModified() const { return m_catalogueModified; }

    // The commands; each shows the error box itself when it fails.
    void ffnen1Click();
    void Speichern1Click();
    void Suchen1Click();
    void Neu1Click();
    void Bearbeiten1Click();
    void Lschen1Click();
    void Programmbeenden1Click();
    void Lschen2Click();
    void Drucken1Click();
    void BMIRechner1Click();
    void Kalorienrechner1Click();
    void ber1Click();
    void Nhrstoffinfo1Click();
    void LMDblClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void Image1Click();
    void Label3Click();
    void RechnenExecute();
    void Timer1Timer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    // The close box, Alt+F4, "Programm beenden" and the end of the session
    // all come here: a changed catalogue is not lost without a question.
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenus();
    void createTotalsBlock(QWidget *client);
    void createAdvertisingBlock(QWidget *client);
    void createLists(QWidget *client);
    void layoutClientArea();
    void activateAfterModal();
    TextTableModel &mealModel(int index) const;
    std::array<const TextTableModel *, MealCount> mealModels() const;
    TextTableModel &catalogue() const;
    void setCatalogueModified(bool modified);
    // Writes the catalogue to the file chosen in the save dialog; false when
    // the user cancels the dialog. A failed write throws and keeps the mark.
    bool saveCatalogue();
    // Before a changed catalogue is closed or replaced: asks whether to save
    // it. True when the command may go on (nothing changed, saved, or not to
    // be saved), false when the user cancels the question or the save dialog.
    bool saveOrDiscardChanges();
    void commitData(QSessionManager &manager);
    // Wraps a command so that it runs through the command guard.
    std::function<void()> guarded(void (TMain::*command)());

    TMainDialogs m_dialogs;
    TextTableModel *m_catalogue = nullptr;
    TextListView *m_LM = nullptr;
    std::array<TextListView *, MealCount> m_meals{};
    QTabWidget *m_page = nullptr;
    QPushButton *m_bitBtn1 = nullptr;
    QPushButton *m_bitBtn2 = nullptr;
    std::array<QLabel *, TotalsDisplayCount> m_displays{};
    QWidget *m_advertising = nullptr;
    QLabel *m_advertisingPicture = nullptr;
    QTimer *m_timer1 = nullptr;
    QAction *m_rechnen = nullptr;
    QMenu *m_popupMenu = nullptr;
    QFileDialog *m_openDialog = nullptr;
    QFileDialog *m_saveDialog = nullptr;
    QPrinter m_printer{QPrinter::HighResolution};
    bool m_catalogueModified = false;
    // The user answered "Nicht speichern" as the session ends; the closing
    // that follows asks no second time unless the catalogue changes again.
    bool m_changesGivenUp = false;
    // The separator of the next conversion follows the regional settings.
    RegionalSettingsWatcher m_regionalSettings;
};
