#pragma once

// The foods of a catalogue that match what the user typed, as a table with
// the catalogue's columns. The folded names follow the catalogue as it
// changes, row by row; after a load or a re-sort of the whole catalogue they
// are made again, once, when the next search needs them. A query that only
// adds to the one before looks only at that one's matches.

#include "core/name_search.h"

#include <QAbstractTableModel>

class TextTableModel;

class NameSearchModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit NameSearchModel(TextTableModel *catalogue, QObject *parent = nullptr);

    TextTableModel *catalogue() const { return m_catalogue; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Shows the foods that match typed, in their order.
    void search(QStringView typed);
    // The catalogue's row of a match, or -1.
    int catalogueRow(int match) const;

    const FoldedNames &foldedNames() const;

private:
    void catalogueChanged();
    void ensureFolded();

    TextTableModel *m_catalogue;
    FoldedNames m_folded;
    // False after a change the folded names did not follow row by row.
    bool m_foldedCurrent = false;
    // The last search, while the catalogue has not changed since.
    SearchQuery m_query;
    bool m_queryCurrent = false;
    RowList m_matchedRows;
    RowList m_order;
    // The matches before the last, kept for their memory.
    RowList m_candidates;
};
