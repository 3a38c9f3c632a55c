#include "core/name_sort.h"

#include "core/large_allocator.h"
#include "core/parallel.h"

#include <algorithm>
#include <atomic>

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
    return PartCount(rows, RowsPerThread);
}

// Runs work(part, collator) for every part, each with a collator of its own
// (made here, before the threads start): one collator must never be used by
// two threads at once.
template <typename Work> void runParts(size_t parts, const SortCollator &collator, Work work)
{
    std::vector<SortCollator> own(parts - 1, collator);
    RunInParts(parts, [&](size_t part) { work(part, part == 0 ? collator : own[part - 1]); });
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

} // namespace

// The keys are made on every core, each part of the rows into one buffer;
// the rows are then divided by the first bytes of their keys, one part per
// core, so that the parts sort on their own and follow one another without a
// merge.
RowOrder OrderByName(const TextStore &rows, const SortCollator &collator)
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
