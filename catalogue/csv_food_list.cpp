#include "catalogue/csv_food_list.h"

#include "catalogue/file_bytes.h"
#include "catalogue/food_list_writing.h"
#include "catalogue/food_table.h"
#include "core/food_columns.h"
#include "core/windows_1252.h"

#include <algorithm>
#include <array>

namespace {

constexpr QChar Quote = u'"';

bool endsRecord(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// The text of the file: UTF-8 after a byte-order mark, or where the bytes
// are valid UTF-8 (Windows-1252 text with letters beyond ASCII is almost
// never valid UTF-8, and ASCII reads the same either way); Windows-1252
// otherwise.
QString decodedText(QByteArrayView bytes)
{
    if (bytes.startsWith(Utf8ByteOrderMark))
        return DecodeUtf8(bytes.sliced(Utf8ByteOrderMarkSize));
    bool valid = false;
    QString text = DecodeUtf8(bytes, &valid);
    return valid ? text : DecodeWindows1252(bytes);
}

// The separator the first line shows: ";" where it holds one outside
// quotes, else a tab, else ",", each where it holds one; ";" for a line of
// one cell. Lines without any character before it do not count.
QChar separatorOf(QStringView text)
{
    qsizetype p = 0;
    while (p < text.size() && endsRecord(text[p]))
        ++p;
    bool quoted = false;
    bool semicolon = false;
    bool tab = false;
    bool comma = false;
    for (; p < text.size(); ++p) {
        const QChar c = text[p];
        // A doubled quote turns quoting off and on again.
        if (c == Quote)
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (endsRecord(c))
            break;
        else if (c == u';')
            semicolon = true;
        else if (c == u'\t')
            tab = true;
        else if (c == u',')
            comma = true;
    }
    if (semicolon)
        return u';';
    if (tab)
        return u'\t';
    if (comma)
        return u',';
    return u';';
}

// Cuts the text into records and cells. A cell is handed over as it stands
// in the text, from its first character to the separator or line end that
// ends it, quotes included; cellText makes its text.
class RecordScanner
{
public:
    RecordScanner(QStringView text, QChar separator) : m_text(text), m_separator(separator) {}

    bool atEnd() const { return m_position == m_text.size(); }

    // Reads the next record and hands each of its cells to
    // cell(index, raw, quoted). Gives the number of cells: 0 for a line
    // without any character.
    template <typename Cell> int next(Cell &&cell)
    {
        const QChar *const begin = m_text.data();
        const QChar *const end = begin + m_text.size();
        const QChar *p = begin + m_position;
        int index = 0;
        if (p != end && endsRecord(*p)) {
            m_position = lineEnd(p) - begin;
            return 0;
        }
        while (true) {
            const QChar *const cellStart = p;
            const bool quoted = p != end && *p == Quote;
            if (quoted) {
                for (++p; p != end; ++p) {
                    if (*p != Quote)
                        continue;
                    if (p + 1 == end || p[1] != Quote) {
                        ++p;
                        break;
                    }
                    ++p;
                }
            }
            while (p != end && *p != m_separator && !endsRecord(*p))
                ++p;
            cell(index++, QStringView(cellStart, p), quoted);
            if (p == end)
                break;
            if (*p == m_separator) {
                ++p;
                continue;
            }
            p = lineEnd(p);
            break;
        }
        m_position = p - begin;
        return index;
    }

private:
    // Just past the line end at p: CR LF, LF or CR.
    const QChar *lineEnd(const QChar *p) const
    {
        const QChar *const end = m_text.data() + m_text.size();
        if (*p == u'\r' && p + 1 != end && p[1] == u'\n')
            return p + 2;
        return p + 1;
    }

    QStringView m_text;
    QChar m_separator;
    qsizetype m_position = 0;
};

// The text of a cell as RecordScanner hands it over: an unquoted cell as it
// stands; in a quoted one "" is one " up to the closing quote, and what
// follows that quote is taken as it stands. Where the text is not a piece of
// the cell it is built in scratch.
QStringView cellText(QStringView raw, bool quoted, QString &scratch)
{
    if (!quoted)
        return raw;
    if (raw.size() >= 2 && raw.back() == Quote && !raw.sliced(1, raw.size() - 2).contains(Quote))
        return raw.sliced(1, raw.size() - 2);
    scratch.clear();
    qsizetype i = 1;
    while (i < raw.size()) {
        if (raw[i] == Quote) {
            if (i + 1 < raw.size() && raw[i + 1] == Quote) {
                scratch += Quote;
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        scratch += raw[i++];
    }
    scratch += raw.sliced(i);
    return scratch;
}

// A quote opens a quoted cell only at its start, but one anywhere must be
// doubled in a quoted cell; a number cell that would lose its grouping
// marks is quoted to keep them, whichever decimal separator reads it.
bool needsQuotes(QStringView text, int column)
{
    for (QChar c : text) {
        if (c == u';' || c == Quote || c == u'\r' || c == u'\n')
            return true;
    }
    return column > 0 && ChangesUnquoted(text);
}

bool hasLoneSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

// Writes the text as UTF-8, each quote doubled where doubleQuotes holds;
// the text has no lone surrogate. At most three bytes a UTF-16 unit.
char *encodeUtf8Into(QStringView text, char *out, bool doubleQuotes)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            if (doubleQuotes && u == u'"')
                *out++ = '"';
            *out++ = char(u);
        } else if (u < 0x800) {
            *out++ = char(0xC0 | (u >> 6));
            *out++ = char(0x80 | (u & 0x3F));
        } else if (QChar::isHighSurrogate(u)) {
            const char32_t codePoint = QChar::surrogateToUcs4(u, text[++i].unicode());
            *out++ = char(0xF0 | (codePoint >> 18));
            *out++ = char(0x80 | ((codePoint >> 12) & 0x3F));
            *out++ = char(0x80 | ((codePoint >> 6) & 0x3F));
            *out++ = char(0x80 | (codePoint & 0x3F));
        } else {
            *out++ = char(0xE0 | (u >> 12));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        }
    }
    return out;
}

template <typename Sink> void encodeCsv(const TextStore &foods, Sink &sink)
{
    ChunkedOutput<Sink> out(sink);
    // The header of the food list file without its final separator.
    const QStringView header = FoodListHeader.chopped(1);
    char *at = out.room(Utf8ByteOrderMarkSize + 3 * header.size() + 2);
    at = std::copy_n(Utf8ByteOrderMark, Utf8ByteOrderMarkSize, at);
    at = encodeUtf8Into(header, at, false);
    *at++ = '\r';
    *at++ = '\n';
    out.advance(at);
    const int columns = std::min(foods.columnCount(), FoodFieldCount);
    std::array<QString, FoodFieldCount> scratch;
    std::array<QStringView, FoodFieldCount> texts;
    for (qsizetype row = 0; row < foods.size(); ++row) {
        qsizetype size = FoodFieldCount + 1;
        for (int column = 0; column < FoodFieldCount; ++column) {
            const QStringView text = column < columns
                                         ? foods.textView(row, column, scratch[size_t(column)])
                                         : QStringView();
            if (hasLoneSurrogate(text))
                RefuseValue(foods, row, column, ValueProblem::Character);
            texts[size_t(column)] = text;
            // Every quote doubled and two around it.
            size += 2 * 3 * text.size() + 2;
        }
        at = out.room(size);
        for (int column = 0; column < FoodFieldCount; ++column) {
            const QStringView text = texts[size_t(column)];
            if (column > 0)
                *at++ = ';';
            const bool quoted = needsQuotes(text, column);
            if (quoted)
                *at++ = '"';
            at = encodeUtf8Into(text, at, quoted);
            if (quoted)
                *at++ = '"';
        }
        *at++ = '\r';
        *at++ = '\n';
        out.advance(at);
    }
    out.flush();
}

} // namespace

TextStore FoodsFromCsvBytes(QByteArrayView bytes, QChar decimalSeparator)
{
    const QString text = decodedText(bytes);
    RecordScanner scanner(text, separatorOf(text));
    FoodTableReader table(decimalSeparator);
    table.reserveBytes(bytes.size());
    QString scratch;
    const auto cell = [&table, &scratch](int column, QStringView raw, bool quoted) {
        // Quoted, the cell is a text the spreadsheet was told to keep.
        table.cell(column, cellText(raw, quoted, scratch),
                   quoted ? CellKind::Quoted : CellKind::Plain);
    };
    while (!scanner.atEnd()) {
        if (scanner.next(cell) > 0)
            table.endRow();
    }
    return table.take();
}

void EncodeCsvFoodList(const TextStore &foods, const OutputSink &sink)
{
    encodeCsv(foods, sink);
}

QByteArray CsvFoodListBytes(const TextStore &foods)
{
    QByteArray bytes;
    const auto append = [&bytes](QByteArrayView chunk) { bytes.append(chunk); };
    encodeCsv(foods, append);
    return bytes;
}
