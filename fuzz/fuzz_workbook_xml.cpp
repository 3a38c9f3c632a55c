// The workbooks' XML parts on arbitrary bytes: a sheet part, a shared
// strings part and a content part of any bytes end in foods or in a Failure,
// nothing else; and the same cells, written into an Excel sheet as inline
// strings and into an OpenDocument table as paragraphs, read to the same
// foods through either format.

#include "catalogue/ods_food_list.h"
#include "catalogue/xlsx_food_list.h"
#include "core/failure.h"
#include "fuzz_check.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace {

// The text as XML character data: what XML cannot hold left out, a CR read
// as the LF an XML reader makes of it, the markup characters escaped.
QByteArray xmlText(QStringView text)
{
    QString escaped;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            escaped += c;
            escaped += text[++i];
            continue;
        }
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF || (u < 0x20 && u != u'\t' && u != u'\n'))
            continue;
        if (u == u'<')
            escaped += QStringLiteral("&lt;");
        else if (u == u'&')
            escaped += QStringLiteral("&amp;");
        else if (u == u'>')
            escaped += QStringLiteral("&gt;");
        else
            escaped += c;
    }
    return escaped.toUtf8();
}

void readOrFail(auto &&read)
{
    try {
        read();
    } catch (const Failure &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));

    // Any bytes: foods or a Failure.
    SharedStrings strings;
    try {
        strings = SharedStringsFromXml(input);
    } catch (const Failure &) {
    }
    readOrFail([&] { FoodsFromXlsxSheet(input, strings, u','); });
    readOrFail([&] { FoodsFromOdsContent(input, u','); });

    // The same cells in both formats: rows split at U+001E, cells at U+001F.
    const QString texts = QString::fromUtf8(input);
    QByteArray sheet = QByteArrayLiteral(
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<sheetData>");
    QByteArray content = QByteArrayLiteral(
        "<office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
        "<office:spreadsheet><table:table>");
    for (QStringView line : QStringView(texts).split(u'\x1E')) {
        sheet += "<row>";
        content += "<table:table-row>";
        for (QStringView cell : line.split(u'\x1F')) {
            const QByteArray text = xmlText(cell);
            sheet += "<c t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
            content += "<table:table-cell office:value-type=\"string\"><text:p>" + text +
                       "</text:p></table:table-cell>";
        }
        sheet += "</row>";
        content += "</table:table-row>";
    }
    sheet += "</sheetData></worksheet>";
    content += "</table:table></office:spreadsheet></office:body></office:document-content>";
    const TextStore fromSheet = FoodsFromXlsxSheet(sheet, SharedStrings(), u',');
    const TextStore fromContent = FoodsFromOdsContent(content, u',');
    Require(SameFoods(fromSheet, fromContent), "the same cells read the same in both formats",
            [&] { return Visible(QString::fromUtf8(sheet)); });
    return 0;
}
