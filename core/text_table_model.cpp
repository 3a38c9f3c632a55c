#include "core/text_table_model.h"

#include "core/name_sort.h"

#include <QLocale>

#include <algorithm>

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
    : QAbstractTableModel(parent), m_headers(std::move(headers)), m_collator(collator),
      m_rows(int(m_headers.size()))
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
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_rows.columnCount())
        return {};
    return m_rows.text(row, column);
}

QStringList TextTableModel::rowTexts(int row) const
{
    return m_rows.rowTexts(row);
}

QList<QStringList> TextTableModel::allRows() const
{
    return m_rows.rows();
}

bool TextTableModel::nameLess(QStringView a, QStringView b) const
{
    return m_collator.compare(a, b) < 0;
}

QStringView TextTableModel::name(int row, QString &scratch) const
{
    return m_rows.textView(row, 0, scratch);
}

int TextTableModel::upperBound(QStringView name, int first, int last) const
{
    QString scratch;
    while (first < last) {
        const int middle = first + (last - first) / 2;
        if (nameLess(name, this->name(middle, scratch)))
            last = middle;
        else
            first = middle + 1;
    }
    return first;
}

int TextTableModel::appendRow(const QStringList &texts)
{
    const QString newName = texts.value(0);
    const bool named = !newName.isEmpty();
    if (named && m_sorted) {
        const int index = upperBound(newName, 0, rowCount());
        beginInsertRows(QModelIndex(), index, index);
        m_rows.insert(index, texts);
        endInsertRows();
        return index;
    }
    const int last = rowCount();
    beginInsertRows(QModelIndex(), last, last);
    m_rows.append(texts);
    endInsertRows();
    if (!named) {
        QString scratch;
        m_sorted = m_sorted && (last == 0 || name(last - 1, scratch).isEmpty());
        return last;
    }
    const QPersistentModelIndex follow(index(last, 0));
    sortAll();
    return follow.row();
}

int TextTableModel::setName(int row, const QString &name)
{
    if (m_rows.text(row, 0) == name)
        return row;
    m_rows.setText(row, 0, name);
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
    QString own;
    QString scratch;
    const QStringView rowName = name(row, own);
    int place;
    if (row > 0 && nameLess(rowName, name(row - 1, scratch)))
        place = upperBound(rowName, 0, row);
    else
        place = upperBound(rowName, row + 1, rowCount()) - 1;
    if (place == row)
        return row;
    const int destination = place < row ? place : place + 1;
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), destination);
    m_rows.move(row, place);
    endMoveRows();
    return place;
}

void TextTableModel::setText(int row, int column, const QString &text)
{
    if (column == 0) {
        setName(row, text);
        return;
    }
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_rows.columnCount() ||
        m_rows.text(row, column) == text)
        return;
    m_rows.setText(row, column, text);
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed);
}

void TextTableModel::removeRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(row);
    endRemoveRows();
    if (!m_sorted) {
        // The table is in order again once the empty names at the end
        // follow nothing but empty names, or nothing stands after them.
        const int end = sortedEnd();
        m_sorted = end == 0 || end == rowCount();
    }
}

int TextTableModel::sortedEnd() const
{
    int end = rowCount();
    if (!m_sorted) {
        QString scratch;
        while (end > 0 && name(end - 1, scratch).isEmpty())
            --end;
    }
    return end;
}

void TextTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_sorted = true;
    endResetModel();
}

void TextTableModel::setRows(const QList<QStringList> &rows)
{
    setRows(TextStore::fromRows(rows, columnCount()));
}

void TextTableModel::setRows(TextStore rows)
{
    if (rows.columnCount() != columnCount()) {
        // Rows of another shape are laid out again, each text in its column.
        rows = TextStore::fromRows(rows.rows(), columnCount());
    }
    const RowOrder order = OrderByName(rows, m_collator);
    if (!order.empty())
        rows.reorder(rows.reordered(order));
    beginResetModel();
    m_rows = std::move(rows);
    m_sorted = true;
    endResetModel();
}

void TextTableModel::sortAll()
{
    const RowOrder order = OrderByName(m_rows, m_collator);
    m_sorted = true;
    if (order.empty())
        return;
    std::vector<int> newPosition(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        newPosition[order[i]] = int(i);
    TextStore::Reordering reordering = m_rows.reordered(order);
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_rows.reorder(std::move(reordering));
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newPosition[size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool TextTableModel::nameBeginsWith(int row, QStringView prefix) const
{
    QString scratch;
    return name(row, scratch).startsWith(prefix, Qt::CaseInsensitive);
}

int TextTableModel::findNamePrefix(QStringView prefix, int from) const
{
    const int count = rowCount();
    if (count == 0)
        return -1;
    from = std::clamp(from, 0, count - 1);
    SortKeyBuffer key;
    if (!m_collator.searchKey(prefix, key)) {
        for (int step = 0; step < count; ++step) {
            const int row = (from + step) % count;
            if (nameBeginsWith(row, prefix))
                return row;
        }
        return -1;
    }
    // Every name that begins with the prefix has a key whose primary part
    // (letters without accents and case) begins with the prefix's: those
    // names stand together in [first, last) of the sorted rows. Empty names
    // out of order at the end begin with nothing.
    const int orderedEnd = sortedEnd();
    QString scratch;
    SortKeyBuffer rowKey;
    auto primaryAt = [&](int row) -> const SortKeyBuffer & {
        m_collator.primaryKey(name(row, scratch), rowKey);
        return rowKey;
    };
    auto before = [&](const SortKeyBuffer &k) {
        return std::lexicographical_compare(k.data(), k.data() + k.size(), key.data(),
                                            key.data() + key.size());
    };
    auto beginsWithKey = [&](const SortKeyBuffer &k) {
        return k.size() >= key.size() && std::equal(key.data(), key.data() + key.size(), k.data());
    };
    int first = 0;
    int last = orderedEnd;
    while (first < last) {
        const int middle = first + (last - first) / 2;
        if (before(primaryAt(middle)))
            first = middle + 1;
        else
            last = middle;
    }
    last = orderedEnd;
    int low = first;
    while (low < last) {
        const int middle = low + (last - low) / 2;
        const SortKeyBuffer &k = primaryAt(middle);
        if (before(k) || beginsWithKey(k))
            low = middle + 1;
        else
            last = middle;
    }
    for (int row = std::max(first, from); row < last; ++row) {
        if (nameBeginsWith(row, prefix))
            return row;
    }
    for (int row = first; row < std::min(from, last); ++row) {
        if (nameBeginsWith(row, prefix))
            return row;
    }
    return -1;
}
