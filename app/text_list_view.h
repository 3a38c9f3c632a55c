#pragma once

#include <QTableView>

class TextTableModel;

// A report-style list: header row, whole-row single selection that stays
// visible without the focus, grid lines, in-place editing of the first
// column by clicking the name of the row already selected.
class TextListView final : public QTableView
{
    Q_OBJECT

public:
    TextListView(TextTableModel *model, const QList<int> &columnWidths, QWidget *parent = nullptr);

    TextTableModel *textModel() const { return m_model; }
    // The single selected row, or -1.
    int selectedRow() const;

Q_SIGNALS:
    // A double-click anywhere in the list, on a row or not.
    void listDoubleClicked();

protected:
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    TextTableModel *m_model;
    bool m_selectedRowRemoved = false;
};
