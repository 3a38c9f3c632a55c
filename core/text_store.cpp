#include "core/text_store.h"

#include "core/windows_1252.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr char Terminator = ';';

// Below this much garbage a collection is not worth its pass.
constexpr size_t CollectAtBytes = 4096;
constexpr size_t CollectAtSideRows = 64;

} // namespace

TextStore::TextStore(int columnCount) : m_columnCount(columnCount) {}

qsizetype TextStore::encodedLength(uint32_t reference) const
{
    const char *start = rowStart(reference);
    const char *end = m_bytes.data() + m_bytes.size();
    const char *p = start;
    for (int column = 0; column < m_columnCount; ++column)
        p = static_cast<const char *>(std::memchr(p, Terminator, size_t(end - p))) + 1;
    return p - start;
}

QByteArrayView TextStore::encodedRow(qsizetype row) const
{
    const uint32_t reference = m_rows[size_t(row)];
    return QByteArrayView(rowStart(reference), encodedLength(reference));
}

const QStringList &TextStore::sideRow(qsizetype row) const
{
    return m_side[m_rows[size_t(row)] & ~SideRow];
}

QStringView TextStore::textView(qsizetype row, int column, QString &scratch) const
{
    const uint32_t reference = m_rows[size_t(row)];
    if (reference & SideRow)
        return m_side[reference & ~SideRow].at(column);
    const char *end = m_bytes.data() + m_bytes.size();
    const char *p = rowStart(reference);
    for (int skipped = 0; skipped < column; ++skipped)
        p = static_cast<const char *>(std::memchr(p, Terminator, size_t(end - p))) + 1;
    const char *textEnd = static_cast<const char *>(std::memchr(p, Terminator, size_t(end - p)));
    const QByteArrayView bytes(p, textEnd - p);
    scratch.resize(bytes.size());
    DecodeWindows1252Into(bytes, scratch.data());
    return scratch;
}

QString TextStore::text(qsizetype row, int column) const
{
    QString scratch;
    const QStringView view = textView(row, column, scratch);
    // Where the view is the scratch itself the string is returned as it is.
    return view.data() == scratch.constData() ? scratch : view.toString();
}

QStringList TextStore::rowTexts(qsizetype row) const
{
    const uint32_t reference = m_rows[size_t(row)];
    if (reference & SideRow)
        return m_side[reference & ~SideRow];
    QStringList texts;
    texts.reserve(m_columnCount);
    for (int column = 0; column < m_columnCount; ++column)
        texts.append(text(row, column));
    return texts;
}

bool TextStore::encodable(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            return u != u';';
        return IsWindows1252(c);
    });
}

template <typename View> char *TextStore::rowRoom(const View *texts, uint32_t &reference)
{
    size_t length = size_t(m_columnCount);
    for (int column = 0; column < m_columnCount; ++column)
        length += size_t(texts[column].size());
    // The offsets have 31 bits; more texts than that do not fit in memory
    // beside what a row costs elsewhere in the program.
    if (m_bytes.size() + length > SideRow)
        throw std::bad_alloc();
    reference = uint32_t(m_bytes.size());
    m_bytes.resize(m_bytes.size() + length);
    return m_bytes.data() + reference;
}

uint32_t TextStore::storeEncoded(const QByteArrayView *texts)
{
    uint32_t reference = 0;
    char *out = rowRoom(texts, reference);
    for (int column = 0; column < m_columnCount; ++column) {
        const QByteArrayView text = texts[column];
        if (!text.isEmpty())
            std::memcpy(out, text.data(), size_t(text.size()));
        out += text.size();
        *out++ = Terminator;
    }
    return reference;
}

uint32_t TextStore::storeSide(QStringList &&texts)
{
    if (m_side.size() >= SideRow)
        throw std::bad_alloc();
    m_side.push_back(std::move(texts));
    return uint32_t(m_side.size() - 1) | SideRow;
}

uint32_t TextStore::storeInBytes(const QStringView *texts)
{
    uint32_t reference = 0;
    char *out = rowRoom(texts, reference);
    for (int column = 0; column < m_columnCount; ++column) {
        out = EncodeWindows1252Into(texts[column], out);
        *out++ = Terminator;
    }
    return reference;
}

uint32_t TextStore::storeRow(const QStringList &texts)
{
    QStringList row = texts;
    row.resize(m_columnCount);
    if (!std::all_of(row.cbegin(), row.cend(), [](const QString &t) { return encodable(t); }))
        return storeSide(std::move(row));
    const std::vector<QStringView> views(row.cbegin(), row.cend());
    return storeInBytes(views.data());
}

void TextStore::appendTextRow(const QStringView *texts)
{
    uint32_t reference;
    if (std::all_of(texts, texts + m_columnCount, encodable)) {
        reference = storeInBytes(texts);
    } else {
        QStringList row;
        row.reserve(m_columnCount);
        for (int column = 0; column < m_columnCount; ++column)
            row.append(texts[column].toString());
        reference = storeSide(std::move(row));
    }
    m_rows.push_back(reference);
}

void TextStore::appendEncodedRow(const QByteArrayView *texts)
{
    const uint32_t reference = storeEncoded(texts);
    m_rows.push_back(reference);
}

void TextStore::reserveBytes(qsizetype bytes)
{
    m_bytes.reserve(size_t(std::clamp<qsizetype>(bytes, 0, SideRow)));
}

void TextStore::insert(qsizetype row, const QStringList &texts)
{
    const uint32_t reference = storeRow(texts);
    m_rows.insert(m_rows.begin() + row, reference);
}

void TextStore::setText(qsizetype row, int column, QStringView text)
{
    const uint32_t reference = m_rows[size_t(row)];
    if (reference & SideRow) {
        m_side[reference & ~SideRow][column] = text.toString();
        return;
    }
    uint32_t replacement;
    if (encodable(text)) {
        // Copied out first: writing the new row may move the bytes.
        const QByteArray old(rowStart(reference), encodedLength(reference));
        const QByteArray encoded = EncodeWindows1252(text);
        std::vector<QByteArrayView> fields(static_cast<size_t>(m_columnCount));
        qsizetype start = 0;
        for (int c = 0; c < m_columnCount; ++c) {
            const qsizetype end = old.indexOf(Terminator, start);
            fields[size_t(c)] = c == column ? QByteArrayView(encoded)
                                            : QByteArrayView(old).sliced(start, end - start);
            start = end + 1;
        }
        replacement = storeEncoded(fields.data());
    } else {
        QStringList texts = rowTexts(row);
        texts[column] = text.toString();
        replacement = storeRow(texts);
    }
    release(reference);
    m_rows[size_t(row)] = replacement;
    collectIfWasteful();
}

void TextStore::release(uint32_t reference)
{
    if (reference & SideRow) {
        m_side[reference & ~SideRow] = QStringList();
        ++m_deadSideRows;
    } else {
        m_deadBytes += size_t(encodedLength(reference));
    }
}

void TextStore::erase(qsizetype row)
{
    release(m_rows[size_t(row)]);
    m_rows.erase(m_rows.begin() + row);
    collectIfWasteful();
}

void MoveElement(std::vector<uint32_t, LargeAllocator<uint32_t>> &elements, qsizetype from,
                 qsizetype to)
{
    const auto first = elements.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else if (to < from)
        std::rotate(first + to, first + from, first + from + 1);
}

void TextStore::move(qsizetype from, qsizetype to)
{
    MoveElement(m_rows, from, to);
}

TextStore::Reordering TextStore::reordered(const RowOrder &order) const
{
    Reordering reordering;
    reordering.m_rows.reserve(order.size());
    for (uint32_t from : order)
        reordering.m_rows.push_back(m_rows[from]);
    return reordering;
}

void TextStore::reorder(Reordering &&reordering) noexcept
{
    m_rows.swap(reordering.m_rows);
}

void TextStore::clear()
{
    decltype(m_bytes)().swap(m_bytes);
    decltype(m_rows)().swap(m_rows);
    std::vector<QStringList>().swap(m_side);
    m_deadBytes = 0;
    m_deadSideRows = 0;
}

QList<QStringList> TextStore::rows() const
{
    QList<QStringList> result;
    result.reserve(size());
    for (qsizetype row = 0; row < size(); ++row)
        result.append(rowTexts(row));
    return result;
}

TextStore TextStore::fromRows(const QList<QStringList> &rows, int columnCount)
{
    TextStore store(columnCount);
    store.m_rows.reserve(size_t(rows.size()));
    for (const QStringList &texts : rows)
        store.append(texts);
    return store;
}

void TextStore::collectIfWasteful()
{
    const bool bytesWasted =
        m_deadBytes >= CollectAtBytes && m_deadBytes > m_bytes.size() - m_deadBytes;
    const bool sideWasted =
        m_deadSideRows >= CollectAtSideRows && 2 * m_deadSideRows > m_side.size();
    if (!bytesWasted && !sideWasted)
        return;
    // Collecting is an economy: without the memory for it the garbage stays.
    try {
        compact();
    } catch (const std::bad_alloc &) {
    }
}

void TextStore::compact()
{
    TextStore compacted(m_columnCount);
    compacted.m_bytes.reserve(m_bytes.size() - m_deadBytes);
    compacted.m_rows.reserve(m_rows.size());
    for (qsizetype row = 0; row < size(); ++row) {
        if (isEncoded(row)) {
            const QByteArrayView bytes = encodedRow(row);
            compacted.m_rows.push_back(uint32_t(compacted.m_bytes.size()));
            compacted.m_bytes.insert(compacted.m_bytes.end(), bytes.begin(), bytes.end());
        } else {
            // A row whose texts were all changed back to storable ones
            // returns to the bytes.
            compacted.append(sideRow(row));
        }
    }
    *this = std::move(compacted);
}
