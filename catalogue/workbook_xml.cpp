#include "catalogue/workbook_xml.h"

#include "core/failure.h"

#include <QLocale>

#include <charconv>

XmlFeed::XmlFeed(std::function<bool(QXmlStreamReader &)> handle) : m_handle(std::move(handle)) {}

bool XmlFeed::add(QByteArrayView piece)
{
    if (m_done)
        return false;
    m_reader.addData(QByteArray(piece.data(), piece.size()));
    m_pending += piece.size();
    while (true) {
        const QXmlStreamReader::TokenType token = m_reader.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (m_reader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                fail();
            // The token goes on in the next piece, unless it has grown too
            // large to be a cell's.
            if (m_pending > MaxTokenBytes)
                CellTooLong();
            return true;
        }
        m_pending = 0;
        if (token == QXmlStreamReader::StartElement) {
            ++m_depth;
            m_rootSeen = true;
        } else if (token == QXmlStreamReader::EndElement) {
            --m_depth;
        }
        if (!m_handle(m_reader) || token == QXmlStreamReader::EndDocument) {
            m_done = true;
            return false;
        }
    }
}

void XmlFeed::finish()
{
    if (!m_done && !(m_rootSeen && m_depth == 0))
        fail();
}

void XmlFeed::fail()
{
    const QString reason = m_reader.error() == QXmlStreamReader::PrematureEndOfDocumentError
                               ? QStringLiteral("es bricht vorzeitig ab")
                               : m_reader.errorString();
    throw Failure(QStringLiteral("ein Teil der Arbeitsmappe ist kein gültiges XML (Zeile %1: %2)")
                      .arg(m_reader.lineNumber())
                      .arg(reason));
}

void CellTooLong()
{
    throw Failure(
        QStringLiteral("ein Eintrag der Tabelle ist größer als %1 MB").arg(MaxTokenBytes >> 20));
}

void TooManyColumns()
{
    throw Failure(QStringLiteral("eine Zeile der Tabelle hat mehr als %1 Zellen")
                      .arg(QLocale(QLocale::German).toString(MaxSheetColumns)));
}

void TooManyRows()
{
    throw Failure(QStringLiteral("die Tabelle hat mehr als %1 Zeilen")
                      .arg(QLocale(QLocale::German).toString(MaxSheetRows)));
}

QString BooleanCellText(bool value)
{
    return value ? QStringLiteral("WAHR") : QStringLiteral("FALSCH");
}

const char *XmlTagEnd(const char *open, const char *end)
{
    char quote = 0;
    for (const char *p = open + 1; p != end; ++p) {
        if (quote) {
            if (*p == quote)
                quote = 0;
        } else if (*p == '"' || *p == '\'') {
            quote = *p;
        } else if (*p == '>') {
            return p + 1;
        }
    }
    return nullptr;
}

bool ParseCellNumber(QStringView text, double &value)
{
    text = text.trimmed();
    char buffer[64];
    if (text.isEmpty() || text.size() >= qsizetype(sizeof buffer))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return false;
        buffer[i] = char(c);
    }
    const char *const end = buffer + text.size();
    const char *start = buffer;
    // from_chars takes no plus sign.
    if (*start == '+')
        ++start;
    const auto result = std::from_chars(start, end, value);
    return result.ec == std::errc() && result.ptr == end;
}
