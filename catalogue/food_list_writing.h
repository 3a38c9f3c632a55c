#pragma once

// What the two writers of a catalogue (the food list file and the
// spreadsheet file) share: the header, the output handed on in pieces, so
// that a large catalogue is never held twice, and the refusal of a value the
// file cannot hold, named the same way in both.

#include "core/text_store.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <algorithm>
#include <functional>

// The food list file's header; the spreadsheet file's is the same without
// the last ";".
inline constexpr QStringView FoodListHeader = u"Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;";
// The characters of a field the food list file's reader keeps.
inline constexpr int FoodFieldLengthLimit = 50;

// Where a writer hands its bytes, piece by piece.
using OutputSink = std::function<void(QByteArrayView)>;

// The writers hand the file their bytes in pieces of this size.
inline constexpr qsizetype OutputChunkSize = 1 << 20;

// The output in pieces of about OutputChunkSize, each handed to the sink
// when full. The piece grows to that size as the output does, so that a
// short output costs no large block.
template <typename Sink> class ChunkedOutput
{
public:
    explicit ChunkedOutput(Sink &sink) : m_sink(sink) {}

    // Room for up to size bytes at the end of the output.
    char *room(qsizetype size)
    {
        if (m_used + size > m_chunk.size()) {
            if (m_chunk.size() >= OutputChunkSize)
                flush();
            if (m_used + size > m_chunk.size())
                m_chunk.resize(std::max({m_used + size, 2 * m_chunk.size(), qsizetype(4096)}));
        }
        return m_chunk.data() + m_used;
    }
    void advance(const char *end) { m_used = end - m_chunk.constData(); }
    void flush()
    {
        if (m_used > 0)
            m_sink(QByteArrayView(m_chunk.constData(), m_used));
        m_used = 0;
    }

private:
    Sink &m_sink;
    QByteArray m_chunk;
    qsizetype m_used = 0;
};

// Why a value cannot be written, in the order in which a value's problems
// are named: only the first is.
enum class ValueProblem
{
    None,
    Semicolon,
    TooLong,
    LineBreak,
    Nul,
    // A character the file's encoding cannot store: one outside Windows-1252
    // in the food list file, half of a surrogate pair in the spreadsheet file.
    Character,
};

// Raises the Failure "Nicht gespeichert: Lebensmittel "<name>", <column>
// "<value>" <reason>".
[[noreturn]] void RefuseValue(const TextStore &foods, qsizetype row, int column,
                              ValueProblem problem);
