#pragma once

// The rows of a list held flat, so that a catalogue of a million foods is
// not a million lists of five strings:
//
// - m_bytes: the texts of the rows in Windows-1252, each followed by ";". A
//   row read from a food list file stands there as the writer writes its
//   line, without the line end.
// - m_rows: one 32-bit reference per row, in the order of the list: the
//   offset of the row's first byte in m_bytes or, with the top bit set, the
//   index of the row in m_side.
// - m_side: the few rows with a text the bytes cannot hold (a character
//   outside Windows-1252, or ";"), as lists of strings.
//
// A changed row is written anew at the end of m_bytes (or into m_side); what
// it leaves behind is counted and collected, all rows laid out again in
// their order, once it outweighs the living rows. Moving, inserting and
// removing rows moves only their references. A text becomes a QString only
// when it is asked for.

#include "core/large_allocator.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// An order of rows: the row of index i is the one that stood at order[i].
using RowOrder = std::vector<uint32_t, LargeAllocator<uint32_t>>;

// Moves the element at from to index to; the elements between close up.
void MoveElement(std::vector<uint32_t, LargeAllocator<uint32_t>> &elements, qsizetype from,
                 qsizetype to);

class TextStore
{
    // One per row, in the order of the list (see above).
    using References = std::vector<uint32_t, LargeAllocator<uint32_t>>;

public:
    // A new order of the rows, made beforehand, so that putting it in place
    // cannot fail (the views may have been told already that rows move).
    class Reordering
    {
        friend class TextStore;
        References m_rows;
    };

    explicit TextStore(int columnCount = 0);

    int columnCount() const { return m_columnCount; }
    qsizetype size() const { return qsizetype(m_rows.size()); }
    bool empty() const { return m_rows.empty(); }

    QString text(qsizetype row, int column) const;
    QStringList rowTexts(qsizetype row) const;
    // The text without a copy where the row holds it as a string, else
    // decoded into scratch.
    QStringView textView(qsizetype row, int column, QString &scratch) const;

    // Texts beyond the columns are dropped and missing ones are empty.
    void insert(qsizetype row, const QStringList &texts);
    void append(const QStringList &texts) { insert(size(), texts); }
    void setText(qsizetype row, int column, QStringView text);
    void erase(qsizetype row);
    // The row at from goes to index to; the rows between close up.
    void move(qsizetype from, qsizetype to);
    // The rows in the order given, which holds every row once.
    Reordering reordered(const RowOrder &order) const;
    void reorder(Reordering &&reordering) noexcept;
    void clear();

    QList<QStringList> rows() const;
    static TextStore fromRows(const QList<QStringList> &rows, int columnCount);

    // For readers: a row of columnCount texts already in Windows-1252, none
    // holding ";".
    void appendEncodedRow(const QByteArrayView *texts);
    // For readers of text: a row of columnCount texts, held as bytes where
    // the code page can hold them all.
    void appendTextRow(const QStringView *texts);
    void reserveBytes(qsizetype bytes);
    // For writers: whether the row is held as bytes, and then those bytes
    // (every text followed by ";"); the other rows give their texts.
    bool isEncoded(qsizetype row) const { return (m_rows[size_t(row)] & SideRow) == 0; }
    QByteArrayView encodedRow(qsizetype row) const;
    const QStringList &sideRow(qsizetype row) const;

private:
    static constexpr uint32_t SideRow = 0x80000000U;

    const char *rowStart(uint32_t reference) const { return m_bytes.data() + reference; }
    qsizetype encodedLength(uint32_t reference) const;
    static bool encodable(QStringView text);
    uint32_t storeRow(const QStringList &texts);
    uint32_t storeSide(QStringList &&texts);
    // Room at the end of the bytes for a row of these texts, each with its
    // terminator; gives the row's reference.
    template <typename View> char *rowRoom(const View *texts, uint32_t &reference);
    // Texts that encodable() accepts.
    uint32_t storeInBytes(const QStringView *texts);
    uint32_t storeEncoded(const QByteArrayView *texts);
    void release(uint32_t reference);
    void collectIfWasteful();
    void compact();

    int m_columnCount;
    std::vector<char, LargeAllocator<char>> m_bytes;
    References m_rows;
    std::vector<QStringList> m_side;
    size_t m_deadBytes = 0;
    size_t m_deadSideRows = 0;
};
