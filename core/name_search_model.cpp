#include "core/name_search_model.h"

#include "core/text_table_model.h"

NameSearchModel::NameSearchModel(TextTableModel *catalogue, QObject *parent)
    : QAbstractTableModel(parent), m_catalogue(catalogue)
{
    // Rows that come, go, move or are renamed change the folded names
    // likewise; whatever changes, the matches shown are no longer known to
    // be right and are dropped until the next search.
    connect(catalogue, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                QString scratch;
                for (int row = first; m_foldedCurrent && row <= last; ++row)
                    m_folded.insert(row, m_catalogue->store().textView(row, 0, scratch));
                catalogueChanged();
            });
    connect(catalogue, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) {
                for (int row = last; m_foldedCurrent && row >= first; --row)
                    m_folded.erase(row);
                catalogueChanged();
            });
    connect(catalogue, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex &, int first, int last, const QModelIndex &, int destination) {
                // The catalogue moves one row at a time; more are folded anew.
                if (first != last)
                    m_foldedCurrent = false;
                else if (m_foldedCurrent)
                    m_folded.move(first, destination > first ? destination - 1 : destination);
                catalogueChanged();
            });
    connect(catalogue, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                if (topLeft.column() != 0)
                    return;
                QString scratch;
                for (int row = topLeft.row(); m_foldedCurrent && row <= bottomRight.row(); ++row)
                    m_folded.setName(row, m_catalogue->store().textView(row, 0, scratch));
                catalogueChanged();
            });
    auto wholeChange = [this] {
        m_foldedCurrent = false;
        m_folded.clear();
        catalogueChanged();
    };
    connect(catalogue, &QAbstractItemModel::modelReset, this, wholeChange);
    connect(catalogue, &QAbstractItemModel::layoutChanged, this, wholeChange);
}

int NameSearchModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int NameSearchModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_catalogue->columnCount();
}

QVariant NameSearchModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return m_catalogue->text(catalogueRow(index.row()), index.column());
}

QVariant NameSearchModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return m_catalogue->headerData(section, orientation, role);
}

int NameSearchModel::catalogueRow(int match) const
{
    if (match < 0 || size_t(match) >= m_order.size())
        return -1;
    return int(m_order[size_t(match)]);
}

void NameSearchModel::ensureFolded()
{
    if (m_foldedCurrent)
        return;
    m_folded.rebuild(m_catalogue->store());
    m_foldedCurrent = true;
}

const FoldedNames &NameSearchModel::foldedNames() const
{
    return m_folded;
}

void NameSearchModel::search(QStringView typed)
{
    ensureFolded();
    SearchQuery query = SearchQuery::fromTyped(typed);
    // After an empty query every row is a candidate: they are looked at
    // directly, not through the list of all of them.
    const bool narrowing = m_queryCurrent && !m_query.isEmpty() && query.narrows(m_query);
    // The earlier matches are the candidates; they are read while the new
    // ones are written, so they move aside first.
    if (narrowing)
        std::swap(m_candidates, m_matchedRows);
    beginResetModel();
    m_folded.find(query, narrowing ? &m_candidates : nullptr, m_matchedRows, m_order);
    m_query = std::move(query);
    m_queryCurrent = true;
    endResetModel();
}

void NameSearchModel::catalogueChanged()
{
    m_queryCurrent = false;
    if (m_order.empty() && m_matchedRows.empty())
        return;
    beginResetModel();
    m_order.clear();
    m_matchedRows.clear();
    endResetModel();
}
