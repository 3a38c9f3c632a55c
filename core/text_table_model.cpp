#include "core/text_table_model.h"

#include "core/large_allocator.h"

#include <QLocale>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace {

// Below this many rows a second thread costs more than it saves.
constexpr size_t RowsPerThread = 8192;

// One row in the sort: eight bytes of its collation key as a number (zeros
// after a shorter key), the whole key, and the row.
struct KeyedRow
{
    uint64_t chunk;
    const unsigned char *key;
    uint32_t keyLength;
    uint32_t row;
};

using KeyedRows = std::vector<KeyedRow, LargeAllocator<KeyedRow>>;

// Bytes depth to depth + 8 of the key.
uint64_t keyChunk(const unsigned char *key, size_t length, size_t depth)
{
    uint64_t chunk = 0;
    for (size_t i = depth; i < depth + 8; ++i)
        chunk = (chunk << 8) | (i < length ? key[i] : 0);
    return chunk;
}

// Sorts rows whose keys share their first depth bytes, by the next eight
// bytes held in chunk, then the keys that go on past them by their next
// eight, and so on: the bytes of a key are fetched once per eight, not once
// per comparison, which matters when many names begin alike. A key that is
// the beginning of a longer one comes first; equal keys come in the order of
// their rows, as one stable sort of the whole would give.
void sortKeyedRows(KeyedRow *first, KeyedRow *last, size_t depth)
{
    // Keys that all go on alike past these eight bytes need no sort here.
    const auto goOnAlike = [&] {
        const uint64_t chunk = first->chunk;
        return std::all_of(first, last, [&](const KeyedRow &k) {
            return k.chunk == chunk && k.keyLength > depth + 8;
        });
    };
    while (last - first > 1 && goOnAlike()) {
        depth += 8;
        for (KeyedRow *k = first; k != last; ++k)
            k->chunk = keyChunk(k->key, k->keyLength, depth);
    }
    const size_t end = depth + 8;
    std::sort(first, last, [end](const KeyedRow &a, const KeyedRow &b) {
        if (a.chunk != b.chunk)
            return a.chunk < b.chunk;
        const bool aEnds = a.keyLength <= end;
        const bool bEnds = b.keyLength <= end;
        if (aEnds != bEnds)
            return aEnds;
        if (aEnds && a.keyLength != b.keyLength)
            return a.keyLength < b.keyLength;
        return a.row < b.row;
    });
    for (KeyedRow *run = first; run != last;) {
        KeyedRow *runEnd = run + 1;
        while (runEnd != last && runEnd->chunk == run->chunk)
            ++runEnd;
        KeyedRow *goingOn = run;
        while (goingOn != runEnd && goingOn->keyLength <= end)
            ++goingOn;
        if (runEnd - goingOn > 1) {
            for (KeyedRow *k = goingOn; k != runEnd; ++k)
                k->chunk = keyChunk(k->key, k->keyLength, end);
            sortKeyedRows(goingOn, runEnd, end);
        }
        run = runEnd;
    }
}

// Divides the rows by their first chunk at the pivots, one part per pivot
// and one more, in order.
void divideAtPivots(KeyedRow *first, KeyedRow *last, const uint64_t *pivots, size_t pivotCount,
                    std::vector<std::pair<KeyedRow *, KeyedRow *>> &parts)
{
    if (pivotCount == 0) {
        parts.emplace_back(first, last);
        return;
    }
    const size_t middle = pivotCount / 2;
    const uint64_t pivot = pivots[middle];
    KeyedRow *split =
        std::partition(first, last, [pivot](const KeyedRow &k) { return k.chunk < pivot; });
    divideAtPivots(first, split, pivots, middle, parts);
    divideAtPivots(split, last, pivots + middle + 1, pivotCount - middle - 1, parts);
}

size_t partCount(size_t rows)
{
    return std::clamp<size_t>(rows / RowsPerThread, 1,
                              std::max(1U, std::thread::hardware_concurrency()));
}

// Runs work(part, collator) for every part, the first on this thread and
// the others on threads of their own, each with a collator of its own (made
// here, before the threads start): one collator must never be used by two
// threads at once. What a part throws (memory running out) is thrown here,
// after every thread has ended.
template <typename Work> void runParts(size_t parts, const SortCollator &collator, Work work)
{
    std::vector<SortCollator> own(parts - 1, collator);
    std::vector<std::exception_ptr> failures(parts);
    {
        std::vector<std::jthread> helpers;
        helpers.reserve(parts);
        for (size_t part = 1; part < parts; ++part) {
            helpers.emplace_back([&, part] {
                try {
                    work(part, own[part - 1]);
                } catch (...) {
                    failures[part] = std::current_exception();
                }
            });
        }
        try {
            work(0, collator);
        } catch (...) {
            failures[0] = std::current_exception();
        }
    }
    for (const std::exception_ptr &failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
}

bool inOrder(const TextStore &rows, const SortCollator &collator)
{
    const size_t count = size_t(rows.size());
    const size_t parts = partCount(count);
    std::atomic<bool> outOfOrder = false;
    runParts(parts, collator, [&](size_t part, const SortCollator &own) {
        QString previous;
        QString current;
        const size_t begin = std::max<size_t>(1, count * part / parts);
        const size_t end = count * (part + 1) / parts;
        if (begin >= end)
            return;
        QStringView before = rows.textView(qsizetype(begin - 1), 0, previous);
        for (size_t row = begin; row < end && !outOfOrder.load(std::memory_order_relaxed); ++row) {
            const QStringView name = rows.textView(qsizetype(row), 0, current);
            if (own.compare(name, before) < 0) {
                outOfOrder = true;
                return;
            }
            // The view may point into current, which the next row reuses.
            if (name.data() == current.constData()) {
                std::swap(previous, current);
                before = previous;
            } else {
                before = name;
            }
        }
    });
    return !outOfOrder;
}

// The order of the rows by name (the row of index i first standing at
// order[i]); empty when they are in order already. The keys are made on
// every core, each part of the rows into one buffer; the rows are then
// divided by the first bytes of their keys, one part per core, so that the
// parts sort on their own and follow one another without a merge.
RowOrder sortedOrder(const TextStore &rows, const SortCollator &collator)
{
    if (inOrder(rows, collator))
        return {};
    const size_t count = size_t(rows.size());
    const size_t parts = partCount(count);
    KeyedRows keyed(count);
    std::vector<SortKeyBuffer> keys(parts);
    runParts(parts, collator, [&](size_t part, const SortCollator &own) {
        const size_t begin = count * part / parts;
        const size_t end = count * (part + 1) / parts;
        SortKeyBuffer &mine = keys[part];
        // Collation keys of names run a little longer than the names.
        mine.reserve((end - begin) * 48);
        QString scratch;
        for (size_t row = begin; row < end; ++row) {
            const qsizetype length =
                own.appendSortKey(rows.textView(qsizetype(row), 0, scratch), mine);
            keyed[row].keyLength = uint32_t(length);
            keyed[row].row = uint32_t(row);
        }
        // The buffer has stopped growing: the keys stay where they are.
        const unsigned char *key = mine.data();
        for (size_t row = begin; row < end; ++row) {
            keyed[row].key = key;
            keyed[row].chunk = keyChunk(key, keyed[row].keyLength, 0);
            key += keyed[row].keyLength;
        }
    });
    // Pivots from a sample of the first chunks divide the rows evenly,
    // unless very many keys begin alike.
    std::vector<uint64_t> sample;
    const size_t step = std::max<size_t>(1, count / 1024);
    for (size_t i = 0; i < count; i += step)
        sample.push_back(keyed[i].chunk);
    std::sort(sample.begin(), sample.end());
    std::vector<uint64_t> pivots;
    for (size_t part = 1; part < parts; ++part)
        pivots.push_back(sample[sample.size() * part / parts]);
    std::vector<std::pair<KeyedRow *, KeyedRow *>> divided;
    divideAtPivots(keyed.data(), keyed.data() + count, pivots.data(), pivots.size(), divided);
    runParts(parts, collator, [&](size_t part, const SortCollator &) {
        sortKeyedRows(divided[part].first, divided[part].second, 0);
    });
    RowOrder order;
    order.reserve(count);
    for (const KeyedRow &k : keyed)
        order.push_back(k.row);
    return order;
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
    const RowOrder order = sortedOrder(rows, m_collator);
    if (!order.empty())
        rows.reorder(rows.reordered(order));
    beginResetModel();
    m_rows = std::move(rows);
    m_sorted = true;
    endResetModel();
}

void TextTableModel::sortAll()
{
    const RowOrder order = sortedOrder(m_rows, m_collator);
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
