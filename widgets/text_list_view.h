#pragma once

#include <QElapsedTimer>
#include <QTableView>

class QAbstractItemModel;
class TextTableModel;

// A report-style list: header row, whole-row single selection that stays
// visible without the focus, grid lines, in-place editing of the first
// column by clicking the name of the row already selected. Its model is
// mostly a sorted text table; another model is shown alike, without the
// quick type-ahead.
class TextListView final : public QTableView
{
    Q_OBJECT

public:
    TextListView(QAbstractItemModel *model, const QList<int> &columnWidths,
                 QWidget *parent = nullptr);

    // The text table shown, or null for another model.
    TextTableModel *textModel() const { return m_model; }
    // The single selected row, or -1.
    int selectedRow() const;

    // Typing the first letters of a name selects the first row from the
    // selected one on (from the top when none follows or none is selected) whose name begins with
    // them, case aside, as Qt's views do; the letters typed within the
    // keyboard input interval add up. Searches the names whatever the
    // column of the current cell, in the model's sorted order, so that it
    // stays quick in a catalogue of a million foods.
    void keyboardSearch(const QString &search) override;

Q_SIGNALS:
    // A double-click anywhere in the list, on a row or not.
    void listDoubleClicked();

protected:
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool selectedRowInSight() const;

    TextTableModel *m_model;
    bool m_selectedRowRemoved = false;
    // Whether the selected row was in sight before rows moved or came in.
    bool m_followSelectedRow = false;
    QString m_typed;
    QElapsedTimer m_typingTime;
};
