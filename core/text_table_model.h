#pragma once

// One sorted table of texts, the data of every list of the main window (the
// catalogue and the four meals), its rows held in a TextStore. Rows stand in
// ascending order of their first column, compared with the user's
// collation. A new or renamed row finds its place by binary search among the
// others; only a load or a re-sort of the whole table sorts, and it skips the
// sorting when the rows are in order already, as in every file the program
// wrote. A sort makes one collation key per row, all of them in one buffer
// per core, and sorts small (key prefix, row) records.

#include "core/sort_collator.h"
#include "core/text_store.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QStringList>

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
    QStringList rowTexts(int row) const;
    QList<QStringList> allRows() const;
    // The rows as they stand, for the writer of the food list file.
    const TextStore &store() const { return m_rows; }

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
    void setRows(const QList<QStringList> &rows);
    // The same for rows read into a store with one text per column. They are
    // sorted before the table changes, so that a failure (memory running
    // out) leaves the table as it was.
    void setRows(TextStore rows);

    // The first row at from or after it, else from the top, whose name
    // begins with prefix, case aside; -1 when there is none.
    int findNamePrefix(QStringView prefix, int from) const;

private:
    bool nameLess(QStringView a, QStringView b) const;
    QStringView name(int row, QString &scratch) const;
    // The first row in [first, last) whose name sorts after name.
    int upperBound(QStringView name, int first, int last) const;
    bool nameBeginsWith(int row, QStringView prefix) const;
    // The end of the rows in order: before the empty names that stand out of
    // order at the end while the table is not sorted.
    int sortedEnd() const;
    int moveToPlace(int row);
    void sortAll();

    QStringList m_headers;
    SortCollator m_collator;
    TextStore m_rows;
    // False while rows with an empty name stand out of order at the end.
    bool m_sorted = true;
};
