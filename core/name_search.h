#pragma once

// Finding foods by what the user types. Names and the typed words are
// compared in a folded form: lower case, letters without accents, umlauts as
// their plain vowel whether written "ä" or "ae", "ß" as "ss", and no spaces or
// punctuation, so that "Hafer-Flocken", "haferflocken" and "HAFER FLOCKEN"
// are one text. The folded names of a list are made once, when its rows
// change, and kept flat (FoldedNames); a search only reads them.

#include "core/large_allocator.h"

#include <QByteArray>
#include <QList>
#include <QStringView>

#include <cstdint>
#include <vector>

class TextStore;

// The folded form of a text, as UTF-8.
QByteArray FoldForSearch(QStringView text);

// What the user typed, folded: each word on its own, and all of them one
// after the other, which is what the order of the matches is judged by.
struct SearchQuery
{
    QByteArray whole;
    // The words that fold to something, none contained in another.
    QList<QByteArray> words;

    static SearchQuery fromTyped(QStringView typed);
    bool isEmpty() const { return words.isEmpty(); }
    // Whether every name this query finds was found by the earlier one.
    bool narrows(const SearchQuery &earlier) const;
};

using RowList = std::vector<uint32_t, LargeAllocator<uint32_t>>;

class FoldedNames
{
public:
    qsizetype size() const { return qsizetype(m_rows.size()); }

    // The first column of every row of the store, in its order.
    void rebuild(const TextStore &rows);
    void insert(qsizetype row, QStringView name);
    void setName(qsizetype row, QStringView name);
    void erase(qsizetype row);
    // The row at from goes to index to; the rows between close up.
    void move(qsizetype from, qsizetype to);
    void clear();

    // The rows whose name holds every word of the query, in the order they
    // are shown: a name equal to the query first, then those that begin with
    // it, then those in which a word begins with it, then the rest; within
    // each, shorter names first, then the list's order. The candidates, in
    // the list's order, are the rows worth looking at (an earlier search's
    // matches, for a query that narrows it), or every row when null.
    // matchedRows gets the matches in the list's order. A large list is
    // searched on every core; the working memory is kept for the next search.
    void find(const SearchQuery &query, const RowList *candidates, RowList &matchedRows,
              RowList &order);

    // The memory the folded names take, to be held against the names' own.
    size_t memoryBytes() const;

private:
    // A record: the folded length in two bytes, the folded bytes, then two
    // bitmaps of one bit per folded byte: where a word of the name's own
    // begins, and where any word begins (also one in brackets).
    uint32_t store(QStringView name);
    void release(uint32_t reference);
    void compactIfWasteful();

    std::vector<unsigned char, LargeAllocator<unsigned char>> m_bytes;
    RowList m_rows;
    size_t m_deadBytes = 0;
    // What one part of the candidates gives: its matches in the list's
    // order, the bucket of each, and how many fall into each bucket.
    struct PartMatches
    {
        RowList rows;
        std::vector<uint16_t> buckets;
        std::vector<uint32_t> counts;
    };
    std::vector<PartMatches> m_parts;
};
