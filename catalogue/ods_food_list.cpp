#include "catalogue/ods_food_list.h"

#include "catalogue/food_table.h"
#include "catalogue/workbook_xml.h"
#include "catalogue/zip_archive.h"
#include "core/failure.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace {

using Token = QXmlStreamReader::TokenType;

constexpr QLatin1String TableNamespace("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
constexpr QLatin1String OfficeNamespace("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
constexpr QLatin1String TextNamespace("urn:oasis:names:tc:opendocument:xmlns:text:1.0");

// A count of repetitions as the attribute gives it: 1 where it has none or
// one that is not a count.
qint64 repetitions(const QXmlStreamAttributes &attributes, QLatin1String name)
{
    bool ok = false;
    const qint64 count = attributes.value(TableNamespace, name).toLongLong(&ok);
    return ok && count > 0 ? count : 1;
}

// Passes over the cells of the columns the food table does not want before
// the XML reader sees them, as the Excel reader does: Calc writes every cell
// with its value and its shown text, so a nutrient table's content part is
// many times larger than what is read of it. Cells are counted along each
// row of the table by their start tags "<table:table-cell" and
// "<table:covered-table-cell" with their table:number-columns-repeated; a
// cell none of whose columns is wanted is dropped up to its matching end
// tag, an empty cell of as many columns in its place.
// What a wanted cell holds is passed on unlooked at, so that a table nested
// in it cannot shift the counting. The filter works only on the prefix
// "table" bound to the table namespace, as Calc writes it; a part that binds
// it otherwise goes to the reader whole.
class CellFilter : public PartFilter
{
public:
    explicit CellFilter(const FoodTableReader &table) : m_table(table) {}

    template <typename Out> void add(QByteArrayView piece, Out &&out)
    {
        m_pending.append(piece.data(), piece.size());
        if (m_state == State::Undecided) {
            if (m_pending.contains(
                    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""))
                m_state = State::Counting;
            else if (m_pending.size() > 65536 || m_pending.contains("<table:table "))
                m_state = State::Off;
            else
                return;
        }
        if (m_state == State::Off) {
            out(QByteArrayView(m_pending));
            m_pending.clear();
            return;
        }
        const char *const begin = m_pending.constData();
        const char *const end = begin + m_pending.size();
        const char *p = begin;
        const char *passFrom = begin;
        while (p != end) {
            const char *open = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)));
            if (!open) {
                p = end;
                break;
            }
            const char *tagEnd = XmlTagEnd(open, end);
            if (!tagEnd) {
                p = open;
                break;
            }
            const QByteArrayView tag(open, tagEnd);
            p = tagEnd;
            const bool cellStart =
                isStart(tag, "<table:table-cell") || isStart(tag, "<table:covered-table-cell");
            const bool cellEnd =
                tag == "</table:table-cell>" || tag == "</table:covered-table-cell>";
            if (m_depth > 0) {
                // Inside a cell that is dropped or passed on whole.
                if (cellStart && tag[tag.size() - 2] != '/')
                    ++m_depth;
                else if (cellEnd)
                    --m_depth;
                if (m_depth == 0 && m_dropping) {
                    passFrom = p;
                    m_dropping = false;
                }
                continue;
            }
            if (isStart(tag, "<table:table-row")) {
                m_column = 0;
                continue;
            }
            if (!cellStart)
                continue;
            const qint64 first = m_column;
            m_column += repeatsOf(tag);
            if (tag[tag.size() - 2] == '/')
                continue;
            m_depth = 1;
            if (wantsAny(first, m_column))
                continue;
            // An empty cell keeps the columns' places for the reader.
            out(QByteArrayView(passFrom, open));
            char count[24];
            const auto written = std::to_chars(count, count + sizeof count, m_column - first);
            out(QByteArrayView("<table:table-cell table:number-columns-repeated=\""));
            out(QByteArrayView(count, written.ptr));
            out(QByteArrayView("\"/>"));
            passFrom = p;
            m_dropping = true;
        }
        if (m_dropping)
            passFrom = p;
        handOn(passFrom, p, out);
    }

private:
    enum class State
    {
        Undecided,
        Counting,
        Off,
    };

    static bool isStart(QByteArrayView tag, QByteArrayView name)
    {
        if (!tag.startsWith(name) || tag.size() <= name.size())
            return false;
        const char after = tag[name.size()];
        return after == ' ' || after == '>' || after == '/' || after == '\t' || after == '\n' ||
               after == '\r';
    }

    static qint64 repeatsOf(QByteArrayView tag)
    {
        constexpr QByteArrayView attribute = "table:number-columns-repeated=\"";
        const qsizetype at = tag.indexOf(attribute);
        if (at < 0)
            return 1;
        qint64 count = 0;
        for (qsizetype i = at + attribute.size(); i < tag.size() && tag[i] >= '0' && tag[i] <= '9';
             ++i)
            count = std::min<qint64>(count * 10 + (tag[i] - '0'), MaxSheetColumns + 1);
        return count > 0 ? count : 1;
    }

    bool wantsAny(qint64 first, qint64 last) const
    {
        if (last > MaxSheetColumns)
            return true; // the reader refuses it
        for (qint64 column = first; column < last; ++column) {
            if (m_table.wantsColumn(int(column)))
                return true;
        }
        return false;
    }

    const FoodTableReader &m_table;
    State m_state = State::Undecided;
    qint64 m_column = 0;
    int m_depth = 0;
};

class ContentReader
{
public:
    explicit ContentReader(QChar decimalSeparator)
        : m_table(decimalSeparator), m_decimalSeparator(decimalSeparator)
    {}

    bool token(QXmlStreamReader &reader)
    {
        switch (reader.tokenType()) {
        case Token::StartElement:
            startElement(reader);
            break;
        case Token::EndElement:
            return endElement(reader);
        case Token::Characters:
            if (m_inParagraph && m_annotation == 0)
                addText(reader.text());
            break;
        default:
            break;
        }
        return true;
    }

    TextStore take() { return m_table.take(); }
    const FoodTableReader &table() const { return m_table; }

private:
    struct Cell
    {
        int column;
        QString text;
        CellKind kind;
    };

    void addText(QStringView text)
    {
        m_text += text;
        if (m_text.size() > MaxTokenBytes)
            CellTooLong();
    }

    void startElement(QXmlStreamReader &reader)
    {
        const QStringView name = reader.name();
        const QStringView space = reader.namespaceUri();
        if (m_tableDepth == 0) {
            if (space == TableNamespace && name == u"table")
                m_tableDepth = 1;
            return;
        }
        ++m_tableDepth;
        if (m_nested > 0)
            return;
        if (m_inCell) {
            if (space == OfficeNamespace && name == u"annotation") {
                ++m_annotation;
            } else if (m_annotation > 0) {
            } else if (space == TextNamespace && name == u"p") {
                if (m_paragraphs++ > 0)
                    addText(u"\n");
                m_inParagraph = true;
            } else if (space == TextNamespace && name == u"s") {
                bool ok = false;
                const qint64 count =
                    reader.attributes().value(TextNamespace, QLatin1String("c")).toLongLong(&ok);
                const qint64 spaces = ok && count > 0 ? count : 1;
                if (m_text.size() + spaces > MaxTokenBytes)
                    CellTooLong();
                m_text += QString(qsizetype(spaces), u' ');
            } else if (space == TextNamespace && name == u"tab") {
                addText(u"\t");
            } else if (space == TextNamespace && name == u"line-break") {
                addText(u"\n");
            }
            return;
        }
        if (space != TableNamespace)
            return;
        if (name == u"table-row") {
            m_rowRepeat = repetitions(reader.attributes(), QLatin1String("number-rows-repeated"));
            m_column = 0;
            m_cells.clear();
        } else if (name == u"table-cell" || name == u"covered-table-cell") {
            startCell(reader.attributes());
        } else if (name == u"table") {
            // A table inside the first one (in a cell's frame) is not read.
            m_nested = m_tableDepth;
        }
    }

    void startCell(const QXmlStreamAttributes &attributes)
    {
        m_inCell = true;
        m_cellDepth = m_tableDepth;
        m_columnRepeat = repetitions(attributes, QLatin1String("number-columns-repeated"));
        m_text.resize(0);
        m_paragraphs = 0;
        m_annotation = 0;
        m_kind = CellKind::Text;
        m_valued = false;
        const QStringView type = attributes.value(OfficeNamespace, QLatin1String("value-type"));
        if (type == u"float" || type == u"percentage" || type == u"currency") {
            double value = 0;
            if (ParseCellNumber(attributes.value(OfficeNamespace, QLatin1String("value")), value)) {
                m_value = NumberCellText(value, m_decimalSeparator);
                m_kind = CellKind::Number;
                m_valued = true;
            }
        } else if (type == u"boolean") {
            m_value = BooleanCellText(
                attributes.value(OfficeNamespace, QLatin1String("boolean-value")) == u"true");
            m_valued = true;
        } else if (type == u"date" || type == u"time") {
            m_value = attributes
                          .value(OfficeNamespace,
                                 QLatin1String(type == u"date" ? "date-value" : "time-value"))
                          .toString();
            m_valued = !m_value.isEmpty();
        } else if (const QStringView text =
                       attributes.value(OfficeNamespace, QLatin1String("string-value"));
                   !text.isNull()) {
            m_value = text.toString();
            m_valued = true;
        }
    }

    bool endElement(QXmlStreamReader &reader)
    {
        if (m_tableDepth == 0)
            return true;
        const int depth = m_tableDepth--;
        if (depth == 1)
            return false; // the first table has ended: nothing after it is read
        if (m_nested > 0) {
            if (depth == m_nested)
                m_nested = 0;
            return true;
        }
        if (m_inCell) {
            if (depth == m_cellDepth) {
                endCell();
            } else if (reader.namespaceUri() == OfficeNamespace && reader.name() == u"annotation") {
                --m_annotation;
            } else if (reader.namespaceUri() == TextNamespace && reader.name() == u"p") {
                m_inParagraph = false;
            }
            return true;
        }
        if (reader.namespaceUri() == TableNamespace && reader.name() == u"table-row")
            endRow();
        return true;
    }

    void endCell()
    {
        m_inCell = false;
        m_inParagraph = false;
        QString text = m_valued ? std::move(m_value) : std::move(m_text);
        m_value = QString();
        const qint64 first = m_column;
        m_column += m_columnRepeat;
        if (text.isEmpty())
            return;
        if (m_column > MaxSheetColumns)
            TooManyColumns();
        for (qint64 column = first; column < m_column; ++column)
            m_cells.push_back({int(column), text, m_kind});
    }

    void endRow()
    {
        const qint64 first = m_row;
        m_row += m_rowRepeat;
        if (m_cells.empty())
            return;
        if (m_row > MaxSheetRows)
            TooManyRows();
        for (qint64 row = first; row < m_row; ++row) {
            for (const Cell &cell : m_cells)
                m_table.cell(cell.column, cell.text, cell.kind);
            m_table.endRow();
        }
        m_cells.clear();
    }

    FoodTableReader m_table;
    QChar m_decimalSeparator;
    // Depth inside the first table, 0 before it; a nested table's depth.
    int m_tableDepth = 0;
    int m_nested = 0;
    qint64 m_row = 0;
    qint64 m_rowRepeat = 1;
    qint64 m_column = 0;
    qint64 m_columnRepeat = 1;
    std::vector<Cell> m_cells;
    bool m_inCell = false;
    int m_cellDepth = 0;
    bool m_inParagraph = false;
    int m_paragraphs = 0;
    int m_annotation = 0;
    bool m_valued = false;
    CellKind m_kind = CellKind::Text;
    QString m_value;
    QString m_text;
};

} // namespace

TextStore FoodsFromOdsContent(QByteArrayView xml, QChar decimalSeparator)
{
    ContentReader content(decimalSeparator);
    XmlFeed feed([&content](QXmlStreamReader &reader) { return content.token(reader); });
    CellFilter filter(content.table());
    ReadFilteredBytes(xml, filter, feed);
    return content.take();
}

TextStore FoodsFromOds(QIODevice &file, QChar decimalSeparator)
{
    WorkbookArchive archive(file);
    const QString part = QStringLiteral("content.xml");
    if (!archive.contains(part))
        throw Failure(QStringLiteral("die Arbeitsmappe enthält keine Tabelle"));
    ContentReader content(decimalSeparator);
    XmlFeed feed([&content](QXmlStreamReader &reader) { return content.token(reader); });
    CellFilter filter(content.table());
    ReadFilteredPart(archive, part, filter, feed);
    return content.take();
}
