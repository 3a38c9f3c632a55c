#include "core/name_search.h"

#include "core/parallel.h"
#include "core/text_store.h"

#include <QChar>
#include <QString>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>

namespace {

// A folded record's length is held in two bytes; a longer name is searched
// in its first 65,535 folded bytes.
constexpr size_t MaxFolded = 0xFFFF;

// What a character of a name folds to: up to four bytes of UTF-8 (none for a
// space or a punctuation mark).
struct Folded
{
    std::array<char, 8> bytes{};
    unsigned char size = 0;
    bool letterOrDigit = false;
};

void appendUtf8(Folded &folded, char32_t code)
{
    auto put = [&folded](unsigned value) {
        if (folded.size < folded.bytes.size())
            folded.bytes[folded.size++] = char(value);
    };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | (code >> 6));
        put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        put(0xE0 | (code >> 12));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | (code >> 18));
        put(0x80 | ((code >> 12) & 0x3F));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    }
}

Folded foldCharacter(char32_t code)
{
    Folded folded;
    if (code == U'ß' || code == U'ẞ') {
        folded.letterOrDigit = true;
        appendUtf8(folded, U's');
        appendUtf8(folded, U's');
        return folded;
    }
    if (!QChar::isLetterOrNumber(code))
        return folded;
    folded.letterOrDigit = true;
    // The decomposition parts a letter from its accents ("ä" is "a" and two
    // dots) and a ligature into its letters; the accents are dropped.
    const QString parts = QChar::decomposition(code);
    if (parts.isEmpty()) {
        appendUtf8(folded, QChar::toLower(code));
        return folded;
    }
    for (char32_t part : parts.toUcs4()) {
        if (QChar::isLetterOrNumber(part))
            appendUtf8(folded, QChar::toLower(part));
    }
    return folded;
}

// The foldings of the first 256 characters, which nearly every name is made of.
const std::array<Folded, 256> &latin1Foldings()
{
    static const std::array<Folded, 256> table = [] {
        std::array<Folded, 256> result;
        for (char32_t code = 0; code < 256; ++code)
            result[code] = foldCharacter(code);
        return result;
    }();
    return table;
}

// Folds a text into bytes, and notes where its words begin: a word is a run
// of letters and digits. Words inside brackets say what a dish is made with
// ("Kräuterquark (aus Magerquark)"): they are told apart, so that the order
// does not count them as the name's own words.
template <typename Sink> void fold(QStringView text, Sink &&sink)
{
    const auto &table = latin1Foldings();
    int depth = 0;
    bool inWord = false;
    // The last byte of the word so far, for the umlaut written with "e".
    char last = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(char16_t(code), text[i + 1].unicode());
            ++i;
        }
        const Folded folded = code < 256 ? table[code] : foldCharacter(code);
        if (!folded.letterOrDigit) {
            if (code == U'(' || code == U'[')
                ++depth;
            else if ((code == U')' || code == U']') && depth > 0)
                --depth;
            inWord = false;
            last = 0;
            continue;
        }
        // "ae", "oe" and "ue" within a word are the umlaut spelt out: the
        // "e" goes, as the dots of "ä" do.
        if (folded.size == 1 && folded.bytes[0] == 'e' &&
            (last == 'a' || last == 'o' || last == 'u')) {
            last = 0;
            continue;
        }
        sink(folded.bytes.data(), folded.size, !inWord, depth > 0);
        inWord = true;
        last = folded.bytes[size_t(folded.size) - 1];
    }
}

bool contains(std::string_view haystack, const QByteArray &needle)
{
    return haystack.find(std::string_view(needle.constData(), size_t(needle.size()))) !=
           std::string_view::npos;
}

// The ranks of the order of the matches. Where the name or one of its words
// begins with the query, a query that is a whole word comes first: "Apfel
// roh" before "Apfelmus".
enum Rank : unsigned
{
    Equal,
    BeginsWithWord,
    Begins,
    WordIs,
    WordBegins,
    Other,
    RankCount
};

// The matches are put in order by counting: one bucket per rank and length,
// the longest lengths sharing the last bucket of their rank.
constexpr unsigned LengthBuckets = 256;

size_t foldedLength(const unsigned char *record)
{
    return size_t(record[0]) | (size_t(record[1]) << 8);
}

// One bit per folded byte.
size_t bitmapSize(size_t length)
{
    return (length + 7) / 8;
}

// The length, the folded bytes, the starts of the name's own words and the
// starts of all its words.
// Before the folded bytes: their length in two bytes, then which letters
// they hold in four.
constexpr size_t HeaderSize = 6;

size_t recordSize(size_t length)
{
    return HeaderSize + length + 2 * bitmapSize(length);
}

// One bit for each letter from a to z, one for the digits, one for the rest:
// a name that lacks a letter of the query is passed over at once.
uint32_t letterBit(unsigned char byte)
{
    if (byte >= 'a' && byte <= 'z')
        return 1U << (byte - 'a');
    return byte >= '0' && byte <= '9' ? 1U << 26 : 1U << 27;
}

uint32_t lettersOf(const char *bytes, size_t size)
{
    uint32_t letters = 0;
    for (size_t i = 0; i < size; ++i)
        letters |= letterBit(static_cast<unsigned char>(bytes[i]));
    return letters;
}

uint32_t lettersOfRecord(const unsigned char *record)
{
    uint32_t letters;
    std::memcpy(&letters, record + 2, sizeof letters);
    return letters;
}

} // namespace

QByteArray FoldForSearch(QStringView text)
{
    QByteArray result;
    result.reserve(text.size());
    fold(text, [&result](const char *bytes, int size, bool, bool) { result.append(bytes, size); });
    return result;
}

SearchQuery SearchQuery::fromTyped(QStringView typed)
{
    SearchQuery query;
    for (QStringView word : typed.split(u' ', Qt::SkipEmptyParts)) {
        const QByteArray folded = FoldForSearch(word.trimmed());
        if (folded.isEmpty())
            continue;
        query.whole += folded;
        query.words.append(folded);
    }
    // A word inside another is found wherever the other is; the longest are
    // looked for first, since they rule out the most names.
    std::stable_sort(query.words.begin(), query.words.end(),
                     [](const QByteArray &a, const QByteArray &b) { return a.size() > b.size(); });
    QList<QByteArray> kept;
    for (const QByteArray &word : std::as_const(query.words)) {
        const bool inside = std::any_of(kept.begin(), kept.end(),
                                        [&word](const QByteArray &k) { return k.contains(word); });
        if (!inside)
            kept.append(word);
    }
    query.words = kept;
    return query;
}

bool SearchQuery::narrows(const SearchQuery &earlier) const
{
    return std::all_of(earlier.words.begin(), earlier.words.end(), [this](const QByteArray &old) {
        return std::any_of(words.begin(), words.end(),
                           [&old](const QByteArray &word) { return word.contains(old); });
    });
}

uint32_t FoldedNames::store(QStringView name)
{
    // The folded bytes are at most four per character of the name (a letter
    // outside the first plane is two characters and four bytes; "ß" is one
    // and two).
    const size_t room = std::min(size_t(name.size()) * 4, MaxFolded);
    const size_t start = m_bytes.size();
    if (start + HeaderSize + room + 2 * (room / 8 + 1) > UINT32_MAX)
        throw std::bad_alloc();
    m_bytes.resize(start + HeaderSize + room);
    unsigned char *folded = m_bytes.data() + start + HeaderSize;
    // The word starts gather here until the length is known; the top bit
    // marks a word in brackets.
    thread_local std::vector<uint32_t> starts;
    starts.clear();
    size_t length = 0;
    fold(name, [&](const char *bytes, int size, bool wordStart, bool inBrackets) {
        if (length + size_t(size) > room)
            return;
        if (wordStart)
            starts.push_back(uint32_t(length) | (inBrackets ? 0x80000000U : 0));
        std::memcpy(folded + length, bytes, size_t(size));
        length += size_t(size);
    });
    const size_t bitmap = bitmapSize(length);
    m_bytes.resize(start + recordSize(length));
    unsigned char *record = m_bytes.data() + start;
    record[0] = static_cast<unsigned char>(length & 0xFF);
    record[1] = static_cast<unsigned char>(length >> 8);
    const uint32_t letters = lettersOf(reinterpret_cast<const char *>(folded), length);
    std::memcpy(record + 2, &letters, sizeof letters);
    unsigned char *ownWords = record + HeaderSize + length;
    unsigned char *allWords = ownWords + bitmap;
    std::fill(ownWords, ownWords + 2 * bitmap, 0);
    for (uint32_t word : starts) {
        const uint32_t at = word & 0x7FFFFFFFU;
        const auto bit = static_cast<unsigned char>(1U << (at % 8));
        allWords[at / 8] |= bit;
        if ((word & 0x80000000U) == 0)
            ownWords[at / 8] |= bit;
    }
    return uint32_t(start);
}

void FoldedNames::rebuild(const TextStore &rows)
{
    clear();
    m_rows.reserve(size_t(rows.size()));
    QString scratch;
    size_t nameBytes = 0;
    for (qsizetype row = 0; row < rows.size(); ++row)
        nameBytes += size_t(rows.textView(row, 0, scratch).size());
    // Folding keeps most letters and drops the spaces; the word bits add two
    // in eight.
    m_bytes.reserve(nameBytes + nameBytes / 4 + (HeaderSize + 2) * size_t(rows.size()));
    for (qsizetype row = 0; row < rows.size(); ++row)
        m_rows.push_back(store(rows.textView(row, 0, scratch)));
    m_bytes.shrink_to_fit();
}

void FoldedNames::insert(qsizetype row, QStringView name)
{
    const uint32_t reference = store(name);
    m_rows.insert(m_rows.begin() + row, reference);
}

void FoldedNames::setName(qsizetype row, QStringView name)
{
    const uint32_t reference = store(name);
    release(std::exchange(m_rows[size_t(row)], reference));
    compactIfWasteful();
}

void FoldedNames::erase(qsizetype row)
{
    release(m_rows[size_t(row)]);
    m_rows.erase(m_rows.begin() + row);
    compactIfWasteful();
}

void FoldedNames::move(qsizetype from, qsizetype to)
{
    MoveElement(m_rows, from, to);
}

void FoldedNames::clear()
{
    m_bytes.clear();
    m_rows.clear();
    m_deadBytes = 0;
}

void FoldedNames::release(uint32_t reference)
{
    m_deadBytes += recordSize(foldedLength(m_bytes.data() + reference));
}

void FoldedNames::compactIfWasteful()
{
    if (m_deadBytes * 2 < m_bytes.size())
        return;
    std::vector<unsigned char, LargeAllocator<unsigned char>> bytes;
    bytes.reserve(m_bytes.size() - m_deadBytes);
    for (uint32_t &reference : m_rows) {
        const unsigned char *record = m_bytes.data() + reference;
        reference = uint32_t(bytes.size());
        bytes.insert(bytes.end(), record, record + recordSize(foldedLength(record)));
    }
    m_bytes = std::move(bytes);
    m_deadBytes = 0;
}

size_t FoldedNames::memoryBytes() const
{
    return m_bytes.capacity() + m_rows.capacity() * sizeof(uint32_t);
}

namespace {

constexpr size_t BucketCount = RankCount * LengthBuckets;

// Below this many names a second thread costs more than it saves.
constexpr size_t NamesPerThread = 65536;

} // namespace

void FoldedNames::find(const SearchQuery &query, const RowList *candidates, RowList &matchedRows,
                       RowList &order)
{
    matchedRows.clear();
    order.clear();
    const size_t count = candidates ? candidates->size() : m_rows.size();
    if (query.isEmpty()) {
        // Nothing typed: every row, in the list's order.
        for (size_t i = 0; i < count; ++i)
            matchedRows.push_back(candidates ? (*candidates)[i] : uint32_t(i));
        order = matchedRows;
        return;
    }
    const char *whole = query.whole.constData();
    const size_t wholeSize = size_t(query.whole.size());
    const uint32_t letters = lettersOf(whole, wholeSize);
    // A single letter is in every name that has its bit.
    const bool lettersTell =
        query.words.size() == 1 && wholeSize == 1 && whole[0] >= 'a' && whole[0] <= 'z';
    const unsigned char *bytes = m_bytes.data();

    // Every part looks at a run of the candidates on a core of its own.
    const size_t parts = PartCount(count, NamesPerThread);
    if (m_parts.size() < parts)
        m_parts.resize(parts);
    RunInParts(parts, [&](size_t part) {
        PartMatches &matches = m_parts[part];
        matches.rows.clear();
        matches.buckets.clear();
        matches.counts.assign(BucketCount, 0);
        const size_t end = count * (part + 1) / parts;
        for (size_t i = count * part / parts; i < end; ++i) {
            const uint32_t row = candidates ? (*candidates)[i] : uint32_t(i);
            const unsigned char *record = bytes + m_rows[row];
            if ((lettersOfRecord(record) & letters) != letters)
                continue;
            const size_t length = foldedLength(record);
            const char *folded = reinterpret_cast<const char *>(record + HeaderSize);
            const std::string_view name(folded, length);
            if (!lettersTell &&
                !std::all_of(query.words.begin(), query.words.end(),
                             [&name](const QByteArray &word) { return contains(name, word); }))
                continue;
            const unsigned char *ownWords = record + HeaderSize + length;
            const unsigned char *allWords = ownWords + bitmapSize(length);
            // Whether a word ends where the query would end, at.
            auto wordEndsAt = [&](size_t at) {
                return at == length || (allWords[at / 8] & (1U << (at % 8))) != 0;
            };
            // Most places differ in their first byte: a call to compare the
            // rest costs more than that test.
            auto queryAt = [&](size_t at) {
                return folded[at] == whole[0] &&
                       std::memcmp(folded + at + 1, whole + 1, wholeSize - 1) == 0;
            };
            Rank rank = Other;
            if (length >= wholeSize && queryAt(0)) {
                rank = length == wholeSize     ? Equal
                       : wordEndsAt(wholeSize) ? BeginsWithWord
                                               : Begins;
            } else if (length > wholeSize) {
                const size_t lastStart = length - wholeSize;
                for (size_t byte = 0; byte <= lastStart / 8 && rank != WordIs; ++byte) {
                    unsigned set = ownWords[byte];
                    while (set != 0) {
                        const size_t at = byte * 8 + size_t(std::countr_zero(set));
                        set &= set - 1;
                        if (at > lastStart)
                            break;
                        if (queryAt(at)) {
                            rank = wordEndsAt(at + wholeSize) ? WordIs : WordBegins;
                            if (rank == WordIs)
                                break;
                        }
                    }
                }
            }
            const unsigned bucket =
                rank * LengthBuckets + unsigned(std::min<size_t>(length, LengthBuckets - 1));
            matches.rows.push_back(row);
            matches.buckets.push_back(uint16_t(bucket));
            ++matches.counts[bucket];
        }
    });

    // Where each bucket begins in the order, and where each part's share of
    // it begins: an earlier part's matches come first, as in the list.
    std::array<uint32_t, BucketCount + 1> bucketStart{};
    size_t total = 0;
    for (size_t part = 0; part < parts; ++part) {
        total += m_parts[part].rows.size();
        for (size_t b = 0; b < BucketCount; ++b)
            bucketStart[b + 1] += m_parts[part].counts[b];
    }
    for (size_t b = 1; b < bucketStart.size(); ++b)
        bucketStart[b] += bucketStart[b - 1];
    std::vector<std::array<uint32_t, BucketCount>> next(parts);
    for (size_t b = 0; b < BucketCount; ++b) {
        uint32_t at = bucketStart[b];
        for (size_t part = 0; part < parts; ++part) {
            next[part][b] = at;
            at += m_parts[part].counts[b];
        }
    }
    matchedRows.resize(total);
    order.resize(total);
    RunInParts(parts, [&](size_t part) {
        const PartMatches &matches = m_parts[part];
        size_t first = 0;
        for (size_t earlier = 0; earlier < part; ++earlier)
            first += m_parts[earlier].rows.size();
        std::copy(matches.rows.begin(), matches.rows.end(), matchedRows.begin() + first);
        std::array<uint32_t, BucketCount> &slot = next[part];
        for (size_t i = 0; i < matches.rows.size(); ++i)
            order[slot[matches.buckets[i]]++] = matches.rows[i];
    });
    // The longest names of a rank share a bucket: there the length decides.
    auto lengthOf = [this, bytes](uint32_t row) { return foldedLength(bytes + m_rows[row]); };
    for (unsigned rank = Equal; rank < RankCount; ++rank) {
        const unsigned last = rank * LengthBuckets + LengthBuckets - 1;
        std::stable_sort(order.begin() + bucketStart[last], order.begin() + bucketStart[last + 1],
                         [&](uint32_t a, uint32_t b) { return lengthOf(a) < lengthOf(b); });
    }
}
