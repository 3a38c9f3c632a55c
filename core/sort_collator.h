#pragma once

// The collation of the lists, reached through ICU directly so that sort keys
// can be written into one buffer for a whole catalogue instead of one heap
// block each. It is made from a QCollator and sets up ICU as QCollator does
// (the locale's name, normalisation on, tertiary strength when case-sensitive
// and secondary otherwise, numeric mode and the handling of punctuation as
// set), so that it orders every pair of texts as that QCollator's compare()
// does. One object must not be used by two threads at once; a copy is an
// independent collator of the same collation.

#include "core/large_allocator.h"

#include <QCollator>
#include <QStringView>

#include <cstddef>
#include <memory>
#include <vector>

struct UCollator;

// Collation keys one after the other in one block.
using SortKeyBuffer = LargeBuffer;

class SortCollator
{
public:
    explicit SortCollator(const QCollator &settings);
    SortCollator(const SortCollator &other);
    SortCollator &operator=(const SortCollator &other);
    ~SortCollator();

    // Below, equal to or above zero as a comes before, with or after b. The
    // empty text comes before every other, as in QCollator::compare.
    int compare(QStringView a, QStringView b) const;

    // Appends the sort key of the text to keys and gives its length. Keys
    // compare bytewise, a key that is the beginning of a longer one first, in
    // the order compare() gives; the key of the empty text is empty.
    qsizetype appendSortKey(QStringView text, SortKeyBuffer &keys) const;

    // For the search by the first letters of a name: the beginning of the key
    // that ignores accents and case, which every text beginning with prefix
    // (case aside) has as the beginning of its own, or false when this
    // collation cannot give that for the prefix (then the caller searches
    // every row).
    bool searchKey(QStringView prefix, SortKeyBuffer &key) const;
    // The beginning of the text's key up to where accents and case start.
    void primaryKey(QStringView text, SortKeyBuffer &key) const;

private:
    struct SearchSafety
    {
        bool contractionsKnown = false;
        // Characters (case-folded, sorted) after which a contraction of
        // this collation could join what follows, so that the key of a
        // prefix ending there would not begin the keys of longer texts.
        std::vector<char32_t> unsafe;
    };

    void open();
    const SearchSafety &searchSafety() const;

    QLocale m_locale;
    Qt::CaseSensitivity m_caseSensitivity;
    bool m_numericMode;
    bool m_ignorePunctuation;
    // Null where ICU has no collator for the locale, or the locale is "C":
    // then texts are ordered by their UTF-16 code units, as QCollator does.
    UCollator *m_collator = nullptr;
    // Made on the first search and shared with the copies.
    mutable std::shared_ptr<const SearchSafety> m_searchSafety;
};
