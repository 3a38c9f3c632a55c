#include "catalogue/xlsx_food_list.h"

#include "catalogue/food_table.h"
#include "catalogue/workbook_xml.h"
#include "catalogue/zip_archive.h"
#include "core/failure.h"

#include <QHash>

#include <algorithm>
#include <cstring>

namespace {

using Token = QXmlStreamReader::TokenType;

[[noreturn]] void noSheet()
{
    throw Failure(QStringLiteral("die Arbeitsmappe enthält keine Tabelle"));
}

// Reads a part of the archive through the handler; a part that is not there
// gives false.
bool readPart(WorkbookArchive &archive, const QString &name,
              std::function<bool(QXmlStreamReader &)> handle)
{
    if (name.isEmpty() || !archive.contains(name))
        return false;
    XmlFeed feed(std::move(handle));
    archive.read(name, [&feed](QByteArrayView piece) { return feed.add(piece); });
    feed.finish();
    return true;
}

void readBytes(QByteArrayView xml, std::function<bool(QXmlStreamReader &)> handle)
{
    XmlFeed feed(std::move(handle));
    feed.add(xml);
    feed.finish();
}

// The relationships of a part: its folder's _rels/<name>.rels.
QString relationshipsOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

// A relationship's target, relative to the folder of the part it is of, or
// from the archive's root where it starts with "/".
QString resolve(const QString &part, QStringView target)
{
    if (target.startsWith(u'/'))
        return target.sliced(1).toString();
    QString folder = part.left(part.lastIndexOf(u'/') + 1);
    QStringView rest = target;
    while (rest.startsWith(u"../")) {
        rest = rest.sliced(3);
        folder.chop(1);
        folder = folder.left(folder.lastIndexOf(u'/') + 1);
    }
    return folder + rest.toString();
}

struct Relationships
{
    QHash<QString, QString> targets;
    QString sharedStrings;
    QString officeDocument;
};

Relationships readRelationships(WorkbookArchive &archive, const QString &part)
{
    Relationships found;
    readPart(archive, relationshipsOf(part), [&](QXmlStreamReader &reader) {
        if (reader.tokenType() != Token::StartElement || reader.name() != u"Relationship")
            return true;
        const QXmlStreamAttributes attributes = reader.attributes();
        const QStringView type = attributes.value(QLatin1String("Type"));
        const QString target = resolve(part, attributes.value(QLatin1String("Target")));
        found.targets.insert(attributes.value(QLatin1String("Id")).toString(), target);
        if (type.endsWith(u"/sharedStrings"))
            found.sharedStrings = target;
        else if (type.endsWith(u"/officeDocument"))
            found.officeDocument = target;
        return true;
    });
    return found;
}

// The relationship id of the workbook's first sheet.
QString firstSheetId(WorkbookArchive &archive, const QString &workbook)
{
    QString id;
    const bool found = readPart(archive, workbook, [&id](QXmlStreamReader &reader) {
        if (reader.tokenType() != Token::StartElement || reader.name() != u"sheet")
            return true;
        // r:id, in the namespace of relationships (transitional or strict).
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                id = attribute.value().toString();
        }
        return false;
    });
    if (!found || id.isEmpty())
        noSheet();
    return id;
}

// The text of <t> elements, leaving out the phonetic runs of East Asian
// texts: what a shared string and an inline string show.
class RunText
{
public:
    // Follows the token; gives whether it was part of the text.
    void token(QXmlStreamReader &reader)
    {
        switch (reader.tokenType()) {
        case Token::StartElement:
            if (reader.name() == u"rPh")
                ++m_phonetic;
            else if (reader.name() == u"t" && m_phonetic == 0)
                m_inText = true;
            break;
        case Token::EndElement:
            if (reader.name() == u"rPh")
                --m_phonetic;
            else if (reader.name() == u"t")
                m_inText = false;
            break;
        case Token::Characters:
            if (m_inText) {
                m_text += reader.text();
                if (m_text.size() > MaxTokenBytes)
                    CellTooLong();
            }
            break;
        default:
            break;
        }
    }
    void clear()
    {
        m_text.resize(0);
        m_inText = false;
        m_phonetic = 0;
    }
    const QString &text() const { return m_text; }

private:
    QString m_text;
    bool m_inText = false;
    int m_phonetic = 0;
};

std::function<bool(QXmlStreamReader &)> sharedStringsHandler(SharedStrings &strings)
{
    return [&strings, run = RunText(), inString = false](QXmlStreamReader &reader) mutable {
        const Token token = reader.tokenType();
        if (token == Token::StartElement && reader.name() == u"si") {
            run.clear();
            inString = true;
        } else if (token == Token::EndElement && reader.name() == u"si") {
            strings.append(run.text());
            inString = false;
        } else if (inString) {
            run.token(reader);
        }
        return true;
    };
}

// The column of a cell reference ("AB12" is column 27, from 0), or -1 where
// it has no letters; beyond the sheet's columns it is MaxSheetColumns.
int columnOfReference(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size(); ++i) {
        const char16_t c = reference[i].unicode();
        int letter;
        if (c >= u'A' && c <= u'Z')
            letter = c - u'A' + 1;
        else if (c >= u'a' && c <= u'z')
            letter = c - u'a' + 1;
        else
            break;
        column = std::min(column * 26 + letter, MaxSheetColumns + 1);
    }
    return i == 0 ? -1 : column - 1;
}

// Passes over the cells of the columns the food table does not want before
// the XML reader sees them: a sheet of a nutrient table has hundreds of
// columns and five are read, and reading all would take the reader many
// times as long as inflating the sheet. A cell is found by its start tag
// "<c" with a reference r="..." (a cell without one, or with one beyond the
// sheet's columns, is always passed on, so that the reader places it or
// refuses it) and ends at its "</c>" or with its start tag's "/>"; cells
// hold no other cell. Everything else goes to the reader unchanged.
class CellFilter : public PartFilter
{
public:
    explicit CellFilter(const FoodTableReader &table) : m_table(table) {}

    // Hands out the part of the bytes seen so far that goes to the reader;
    // what may be a tag cut off at the end waits for the next piece.
    template <typename Out> void add(QByteArrayView piece, Out &&out)
    {
        m_pending.append(piece.data(), piece.size());
        const char *const begin = m_pending.constData();
        const char *const end = begin + m_pending.size();
        const char *p = begin;
        const char *passFrom = begin;
        while (p != end) {
            if (m_dropping) {
                const qsizetype close = QByteArrayView(p, end).indexOf("</c>");
                if (close < 0) {
                    // The end of the cell may begin in the last three bytes.
                    p = std::max(p, end - 3);
                    passFrom = p;
                    break;
                }
                p += close + 4;
                passFrom = p;
                m_dropping = false;
                continue;
            }
            const char *open = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)));
            if (!open) {
                p = end;
                break;
            }
            if (end - open < 3) {
                p = open;
                break;
            }
            const char after = open[2];
            if (open[1] != 'c' || !(after == ' ' || after == '\t' || after == '\n' ||
                                    after == '\r' || after == '>' || after == '/')) {
                p = open + 1;
                continue;
            }
            const char *tagEnd = XmlTagEnd(open, end);
            if (!tagEnd) {
                p = open;
                break;
            }
            const int column = referencedColumn(QByteArrayView(open, tagEnd));
            p = tagEnd;
            if (column < 0 || column >= MaxSheetColumns || m_table.wantsColumn(column))
                continue;
            out(QByteArrayView(passFrom, open));
            passFrom = p;
            m_dropping = tagEnd[-2] != '/';
        }
        handOn(passFrom, p, out);
    }

private:
    // The column of the tag's r attribute, or -1.
    static int referencedColumn(QByteArrayView tag)
    {
        qsizetype at = tag.indexOf(" r=\"");
        if (at < 0)
            at = tag.indexOf(" r='");
        if (at < 0)
            return -1;
        int column = 0;
        qsizetype i = at + 4;
        for (; i < tag.size() && tag[i] >= 'A' && tag[i] <= 'Z'; ++i)
            column = std::min(column * 26 + (tag[i] - 'A' + 1), MaxSheetColumns + 1);
        return i == at + 4 ? -1 : column - 1;
    }

    const FoodTableReader &m_table;
};

class SheetReader
{
public:
    SheetReader(const SharedStrings &strings, QChar decimalSeparator)
        : m_strings(strings), m_table(decimalSeparator), m_decimalSeparator(decimalSeparator)
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
            if (m_inValue) {
                m_value += reader.text();
                if (m_value.size() > MaxTokenBytes)
                    CellTooLong();
            } else if (m_inInline) {
                m_inline.token(reader);
            }
            break;
        default:
            break;
        }
        return true;
    }

    TextStore take() { return m_table.take(); }
    const FoodTableReader &table() const { return m_table; }

private:
    void startElement(QXmlStreamReader &reader)
    {
        const QStringView name = reader.name();
        if (m_inInline) {
            m_inline.token(reader);
        } else if (name == u"c") {
            const QXmlStreamAttributes attributes = reader.attributes();
            const int column = columnOfReference(attributes.value(QLatin1String("r")));
            m_column = column >= 0 ? column : m_column + 1;
            m_type = attributes.value(QLatin1String("t")).toString();
            m_value.resize(0);
            m_hasValue = false;
        } else if (name == u"v") {
            m_inValue = true;
            m_hasValue = true;
        } else if (name == u"is") {
            m_inInline = true;
            m_hasValue = true;
            m_inline.clear();
        } else if (name == u"row") {
            const QStringView number = reader.attributes().value(QLatin1String("r"));
            bool ok = false;
            const qint64 row = number.toLongLong(&ok);
            m_row = ok ? row : m_row + 1;
            m_column = -1;
        }
    }

    bool endElement(QXmlStreamReader &reader)
    {
        const QStringView name = reader.name();
        if (m_inInline) {
            if (name == u"is")
                m_inInline = false;
            else
                m_inline.token(reader);
        } else if (name == u"v") {
            m_inValue = false;
        } else if (name == u"c") {
            cell();
        } else if (name == u"row") {
            m_table.endRow();
        } else if (name == u"sheetData") {
            // Nothing after the cells is read.
            return false;
        }
        return true;
    }

    void cell()
    {
        // A cell outside a row, or one whose row began inside it, has no place.
        if (!m_hasValue || m_column < 0)
            return;
        QStringView text = m_value;
        CellKind kind = CellKind::Text;
        if (m_type == u"s") {
            bool ok = false;
            const qsizetype index = m_value.trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= m_strings.size())
                throw Failure(QStringLiteral("die Tabelle verweist auf einen Text, den die "
                                             "Arbeitsmappe nicht enthält"));
            text = m_strings.at(index);
        } else if (m_type == u"inlineStr") {
            text = m_inline.text();
        } else if (m_type == u"b") {
            m_scratch = BooleanCellText(m_value.trimmed() == u"1");
            text = m_scratch;
        } else if (m_type.isEmpty() || m_type == u"n") {
            double value = 0;
            if (ParseCellNumber(m_value, value)) {
                m_scratch = NumberCellText(value, m_decimalSeparator);
                text = m_scratch;
                kind = CellKind::Number;
            }
        }
        // "str", a formula's text, "e", an error, and "d", a date, as they
        // stand; an empty text shows as an empty cell.
        if (text.isEmpty())
            return;
        if (m_column >= MaxSheetColumns)
            TooManyColumns();
        if (m_row > MaxSheetRows)
            TooManyRows();
        m_table.cell(m_column, text, kind);
    }

    const SharedStrings &m_strings;
    FoodTableReader m_table;
    QChar m_decimalSeparator;
    qint64 m_row = 0;
    int m_column = -1;
    QString m_type;
    QString m_value;
    QString m_scratch;
    bool m_hasValue = false;
    bool m_inValue = false;
    bool m_inInline = false;
    RunText m_inline;
};

} // namespace

void SharedStrings::append(QStringView text)
{
    m_text += text;
    m_ends.push_back(m_text.size());
}

QStringView SharedStrings::at(qsizetype index) const
{
    const qsizetype start = index == 0 ? 0 : m_ends[size_t(index - 1)];
    return QStringView(m_text).sliced(start, m_ends[size_t(index)] - start);
}

SharedStrings SharedStringsFromXml(QByteArrayView xml)
{
    SharedStrings strings;
    readBytes(xml, sharedStringsHandler(strings));
    return strings;
}

TextStore FoodsFromXlsxSheet(QByteArrayView xml, const SharedStrings &strings,
                             QChar decimalSeparator)
{
    SheetReader sheet(strings, decimalSeparator);
    XmlFeed feed([&sheet](QXmlStreamReader &reader) { return sheet.token(reader); });
    CellFilter filter(sheet.table());
    ReadFilteredBytes(xml, filter, feed);
    return sheet.take();
}

TextStore FoodsFromXlsx(QIODevice &file, QChar decimalSeparator)
{
    WorkbookArchive archive(file);
    QString workbook = readRelationships(archive, QString()).officeDocument;
    if (workbook.isEmpty())
        workbook = QStringLiteral("xl/workbook.xml");
    const Relationships relationships = readRelationships(archive, workbook);
    const QString sheetPart = relationships.targets.value(firstSheetId(archive, workbook));
    if (sheetPart.isEmpty() || !archive.contains(sheetPart))
        noSheet();
    SharedStrings strings;
    readPart(archive, relationships.sharedStrings, sharedStringsHandler(strings));
    SheetReader sheet(strings, decimalSeparator);
    XmlFeed feed([&sheet](QXmlStreamReader &reader) { return sheet.token(reader); });
    CellFilter filter(sheet.table());
    ReadFilteredPart(archive, sheetPart, filter, feed);
    return sheet.take();
}
