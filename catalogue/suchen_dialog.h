#pragma once

#include "widgets/fixed_dialog.h"

class Announcer;
class NameSearchModel;
class QLabel;
class QLineEdit;
class QPushButton;
class TextListView;
class TextTableModel;

// The search of the catalogue: a field, the foods whose names hold every
// word typed, best first, and their count. The dialog only finds: it hands
// back the catalogue row chosen and whether the food is to be added, and the
// caller selects it and adds it. Up and Down move in the list from the field;
// Enter or a double-click chooses, "Hinzufügen" chooses to add, Escape and
// "Schließen" close without a choice. The field keeps its text for the next
// search. A screen reader hears the count as it changes and each food as the
// selection moves while the field has the keyboard.
class TSuchen final : public FixedDialog
{
    Q_OBJECT

public:
    // The results of exec().
    static constexpr int Schliessen = 0;
    static constexpr int Auswahl = 1;
    static constexpr int Hinzufuegen = 2;

    explicit TSuchen(TextTableModel *catalogue, QWidget *parent = nullptr);
    ~TSuchen() override;

    // The catalogue row chosen by the last use, or -1.
    int chosenRow() const { return m_chosenRow; }

    QLineEdit *field() const { return m_field; }
    TextListView *list() const { return m_list; }
    QLabel *countLabel() const { return m_count; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *closeButton() const { return m_close; }
    Announcer *announcer() const { return m_announcer; }

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    // Closes with the selected match, or the first when none is selected;
    // with no match the dialog stays.
    void choose(int result);
    void announceSelected();

    NameSearchModel *m_search = nullptr;
    QLineEdit *m_field = nullptr;
    TextListView *m_list = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_close = nullptr;
    Announcer *m_announcer = nullptr;
    int m_chosenRow = -1;
};
