#include "app/text_table_model.h"

#include <QLocale>

#include <algorithm>
#include <numeric>
#include <thread>

namespace {

// Below this many rows a second thread costs more than it saves.
constexpr size_t RowsPerThread = 8192;

// A collator of the same collation for another thread: one collator must
// never be used by two threads at once.
QCollator sameCollation(const QCollator &collator)
{
    QCollator copy(collator.locale());
    copy.setCaseSensitivity(collator.caseSensitivity());
    copy.setNumericMode(collator.numericMode());
    copy.setIgnorePunctuation(collator.ignorePunctuation());
    return copy;
}

void appendSortKeys(const QCollator &collator, const std::vector<QStringList> &rows, size_t begin,
                    size_t end, std::vector<QCollatorSortKey> &keys)
{
    keys.reserve(end - begin);
    for (size_t row = begin; row < end; ++row)
        keys.push_back(collator.sortKey(rows[row].front()));
}

} // namespace

QCollator UserCollator()
{
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::German, QLocale::Germany);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

TextTableModel::TextTableModel(QStringList headers, QObject *parent)
    : TextTableModel(std::move(headers), UserCollator(), parent)
{}

TextTableModel::TextTableModel(QStringList headers, const QCollator &collator, QObject *parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)), m_collator(collator)
{}

int TextTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TextTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant TextTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return text(index.row(), index.column());
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TextTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0)
        result |= Qt::ItemIsEditable;
    return result;
}

bool TextTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setText(index.row(), index.column(), value.toString());
    return true;
}

QString TextTableModel::text(int row, int column) const
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return {};
    return m_rows[size_t(row)].value(column);
}

const QStringList &TextTableModel::rowTexts(int row) const
{
    return m_rows.at(size_t(row));
}

QList<QStringList> TextTableModel::allRows() const
{
    return QList<QStringList>(m_rows.begin(), m_rows.end());
}

QStringList TextTableModel::makeRow(QStringList texts) const
{
    texts.resize(m_headers.size());
    return texts;
}

bool TextTableModel::nameLess(const QString &a, const QString &b) const
{
    return m_collator.compare(a, b) < 0;
}

bool TextTableModel::inOrderAt(int row) const
{
    return row == 0 || !nameLess(m_rows[size_t(row)].front(), m_rows[size_t(row) - 1].front());
}

std::vector<int> TextTableModel::sortedOrder(const std::vector<QStringList> &rows) const
{
    const auto byName = [this](const QStringList &a, const QStringList &b) {
        return nameLess(a.front(), b.front());
    };
    if (std::is_sorted(rows.begin(), rows.end(), byName))
        return {};
    // A sort compares every name many times; a collation key made once per
    // name compares much faster than the collator does. Making the keys is
    // most of the work of a large load, so the rows are divided among the
    // cores, each part with a collator of its own.
    const size_t count = rows.size();
    const size_t parts = std::clamp<size_t>(count / RowsPerThread, 1,
                                            std::max(1U, std::thread::hardware_concurrency()));
    std::vector<std::vector<QCollatorSortKey>> partKeys(parts);
    {
        std::vector<std::jthread> helpers;
        for (size_t part = 1; part < parts; ++part) {
            helpers.emplace_back([&, part] {
                appendSortKeys(sameCollation(m_collator), rows, count * part / parts,
                               count * (part + 1) / parts, partKeys[part]);
            });
        }
        appendSortKeys(m_collator, rows, 0, count / parts, partKeys[0]);
    }
    std::vector<const QCollatorSortKey *> keys;
    keys.reserve(count);
    for (const std::vector<QCollatorSortKey> &part : partKeys) {
        for (const QCollatorSortKey &key : part)
            keys.push_back(&key);
    }
    // The order of rows with equal names is their order in the table, as
    // one stable sort of the whole would give.
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
        return keys[size_t(a)]->compare(*keys[size_t(b)]) < 0;
    });
    return order;
}

int TextTableModel::appendRow(const QStringList &texts)
{
    QStringList row = makeRow(texts);
    const bool named = !row.front().isEmpty();
    if (named && m_sorted) {
        const auto place = std::upper_bound(m_rows.begin(), m_rows.end(), row.front(),
                                            [this](const QString &name, const QStringList &other) {
                                                return nameLess(name, other.front());
                                            });
        const int index = int(place - m_rows.begin());
        beginInsertRows(QModelIndex(), index, index);
        m_rows.insert(place, std::move(row));
        endInsertRows();
        return index;
    }
    const int last = int(m_rows.size());
    beginInsertRows(QModelIndex(), last, last);
    m_rows.push_back(std::move(row));
    endInsertRows();
    if (!named) {
        m_sorted = m_sorted && inOrderAt(last);
        return last;
    }
    const QPersistentModelIndex follow(index(last, 0));
    sortAll();
    return follow.row();
}

int TextTableModel::setName(int row, const QString &name)
{
    QStringList &current = m_rows.at(size_t(row));
    if (current.front() == name)
        return row;
    current.front() = name;
    const QModelIndex changed = index(row, 0);
    Q_EMIT dataChanged(changed, changed);
    if (!m_sorted) {
        const QPersistentModelIndex follow(changed);
        sortAll();
        return follow.row();
    }
    return moveToPlace(row);
}

int TextTableModel::moveToPlace(int row)
{
    // The other rows are in order; find the place among them.
    const QString &name = m_rows[size_t(row)].front();
    auto byName = [this](const QString &n, const QStringList &other) {
        return nameLess(n, other.front());
    };
    int place;
    if (row > 0 && nameLess(name, m_rows[size_t(row) - 1].front())) {
        place = int(std::upper_bound(m_rows.begin(), m_rows.begin() + row, name, byName) -
                    m_rows.begin());
    } else {
        place = int(std::upper_bound(m_rows.begin() + row + 1, m_rows.end(), name, byName) -
                    m_rows.begin()) -
                1;
    }
    if (place == row)
        return row;
    const int destination = place < row ? place : place + 1;
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), destination);
    if (place < row)
        std::rotate(m_rows.begin() + place, m_rows.begin() + row, m_rows.begin() + row + 1);
    else
        std::rotate(m_rows.begin() + row, m_rows.begin() + row + 1, m_rows.begin() + place + 1);
    endMoveRows();
    return place;
}

void TextTableModel::setText(int row, int column, const QString &text)
{
    if (column == 0) {
        setName(row, text);
        return;
    }
    QStringList &current = m_rows.at(size_t(row));
    if (column < 0 || column >= current.size() || current[column] == text)
        return;
    current[column] = text;
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed);
}

void TextTableModel::removeRow(int row)
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    if (!m_sorted) {
        m_sorted = std::is_sorted(m_rows.begin(), m_rows.end(),
                                  [this](const QStringList &a, const QStringList &b) {
                                      return nameLess(a.front(), b.front());
                                  });
    }
}

void TextTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_sorted = true;
    endResetModel();
}

void TextTableModel::setRows(QList<QStringList> rows)
{
    std::vector<QStringList> loaded;
    loaded.reserve(size_t(rows.size()));
    for (QStringList &texts : rows)
        loaded.push_back(makeRow(std::move(texts)));
    rows.clear();
    const std::vector<int> order = sortedOrder(loaded);
    if (!order.empty()) {
        std::vector<QStringList> sorted;
        sorted.reserve(loaded.size());
        for (int from : order)
            sorted.push_back(std::move(loaded[size_t(from)]));
        loaded = std::move(sorted);
    }
    beginResetModel();
    m_rows = std::move(loaded);
    m_sorted = true;
    endResetModel();
}

void TextTableModel::sortAll()
{
    const std::vector<int> order = sortedOrder(m_rows);
    m_sorted = true;
    if (order.empty())
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPosition(order.size());
    std::vector<QStringList> sorted;
    sorted.reserve(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newPosition[size_t(order[i])] = int(i);
        sorted.push_back(std::move(m_rows[size_t(order[i])]));
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newPosition[size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
