#pragma once

// One sorted table of texts, the data of every list of the main window (the
// catalogue and the four meals). Rows stand in ascending order of their first
// column, compared with the user's collation. A new or renamed row finds its
// place by binary search among the others; only a load or a re-sort of the
// whole table sorts, and it skips the sorting when the rows are in order
// already, as in every file the program wrote.

#include <QAbstractTableModel>
#include <QCollator>
#include <QStringList>

#include <vector>

// The collation of the user's locale, case-sensitive; German where the locale
// is "C" or "POSIX", so that umlauts stand beside their base letters.
QCollator UserCollator();

class TextTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TextTableModel(QStringList headers, QObject *parent = nullptr);
    TextTableModel(QStringList headers, const QCollator &collator, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // An edit of the first column is a rename: the row moves to its place.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    QString text(int row, int column) const;
    const QStringList &rowTexts(int row) const;
    QList<QStringList> allRows() const;

    // A new row starts with an empty name; giving it its name sorts it in.
    // An empty name changes nothing, so such a row stays at the end until a
    // later rename re-sorts the table. Missing texts are empty. Gives the
    // row's final index.
    int appendRow(const QStringList &texts);
    // Gives the row's index after the change.
    int setName(int row, const QString &name);
    // Changes a text in place; the first column goes through setName.
    void setText(int row, int column, const QString &text);
    void removeRow(int row);
    void clear();
    // Replaces every row and sorts them; rows with equal names keep their order.
    void setRows(QList<QStringList> rows);

private:
    QStringList makeRow(QStringList texts) const;
    bool nameLess(const QString &a, const QString &b) const;
    bool inOrderAt(int row) const;
    // The stable order of the rows by name; empty when they are in order.
    std::vector<int> sortedOrder(const std::vector<QStringList> &rows) const;
    int moveToPlace(int row);
    void sortAll();

    QStringList m_headers;
    QCollator m_collator;
    std::vector<QStringList> m_rows;
    // False while a row with an empty name stands out of order at the end.
    bool m_sorted = true;
};
