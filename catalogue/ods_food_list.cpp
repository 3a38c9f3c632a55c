#include "catalogue/ods_food_list.h"

#include "catalogue/food_table.h"
#include "catalogue/workbook_xml.h"
#include "catalogue/zip_archive.h"
#include "core/failure.h"

#include <QXmlStreamReader>

#include <charconv>
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

bool parseNumber(QStringView text, double &value)
{
    const QByteArray latin = text.trimmed().toLatin1();
    const char *start = latin.constData();
    const char *end = start + latin.size();
    if (start != end && *start == '+')
        ++start;
    const auto result = std::from_chars(start, end, value);
    return start != end && result.ec == std::errc() && result.ptr == end;
}

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
            if (parseNumber(attributes.value(OfficeNamespace, QLatin1String("value")), value)) {
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
    feed.add(xml);
    feed.finish();
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
    archive.read(part, [&feed](QByteArrayView piece) { return feed.add(piece); });
    feed.finish();
    return content.take();
}
