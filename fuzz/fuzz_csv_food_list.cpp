// The spreadsheet file on arbitrary bytes: every file loads; behind a known
// header, the foods are the records a plain model of the quoting rules cuts
// from the text; and saving as CSV and opening again (under the decimal
// comma or the decimal point) gives the same foods, both for the foods the
// bytes read to as a file of their own and for foods made of any texts.

#include "catalogue/csv_food_list.h"
#include "catalogue/food_list_file.h"
#include "core/failure.h"
#include "fuzz_check.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

const QByteArray KnownHeader = QByteArrayLiteral("Name;Kalorien;Eiweiss;Fett;Kohlenhydrate\n");

// The text by the rules, with Qt's decoder as the judge of UTF-8.
QString modelText(QByteArrayView bytes)
{
    // Behind the mark a second one is a character (QString::fromUtf8 drops
    // one at the start of what it decodes, so a letter goes first).
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8("x" + bytes.sliced(3).toByteArray()).sliced(1);
    const bool high = std::any_of(bytes.begin(), bytes.end(),
                                  [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
    if (high) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder(bytes);
        if (!decoder.hasError())
            return text;
    }
    return DecodeWindows1252(bytes);
}

struct ModelCell
{
    QString text;
    bool quoted = false;
};
using ModelRecord = std::vector<ModelCell>;

// The records of a text, one character at a time through the states of a
// cell, the way RFC 4180 describes them and spreadsheets read them.
std::vector<ModelRecord> modelRecords(QStringView text, QChar separator)
{
    enum class State
    {
        CellStart,
        Plain,
        InQuotes,
        QuoteInQuotes,
    };
    std::vector<ModelRecord> records;
    ModelRecord record;
    ModelCell cell;
    State state = State::CellStart;
    bool anyCharacter = false;
    const auto endCell = [&] {
        record.push_back(std::move(cell));
        cell = ModelCell();
    };
    const auto endRecord = [&] {
        endCell();
        if (anyCharacter)
            records.push_back(std::move(record));
        record.clear();
        anyCharacter = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (state == State::InQuotes) {
            if (c == u'"')
                state = State::QuoteInQuotes;
            else
                cell.text += c;
            continue;
        }
        if (state == State::QuoteInQuotes) {
            if (c == u'"') {
                cell.text += c;
                state = State::InQuotes;
                continue;
            }
            state = State::Plain;
        }
        if (c == separator) {
            anyCharacter = true;
            endCell();
            state = State::CellStart;
        } else if (c == u'\r' || c == u'\n') {
            endRecord();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            state = State::CellStart;
        } else if (state == State::CellStart && c == u'"') {
            anyCharacter = true;
            cell.quoted = true;
            state = State::InQuotes;
        } else {
            anyCharacter = true;
            cell.text += c;
            state = State::Plain;
        }
    }
    if (anyCharacter)
        endRecord();
    return records;
}

// A number cell as the reader keeps it: unquoted, the marks for traces read
// as 0 and that of no value as empty, and grouping is dropped from a grouped
// number ("." groups under the decimal comma, "," under the point).
QString modelNumber(const ModelCell &cell, QChar decimalSeparator)
{
    static const QRegularExpression underComma(
        QStringLiteral("^[+-]?[0-9]{1,3}(\\.[0-9]{3})+(,[0-9]*)?$"));
    static const QRegularExpression underPoint(
        QStringLiteral("^[+-]?[0-9]{1,3}(,[0-9]{3})+(\\.[0-9]*)?$"));
    const bool comma = decimalSeparator == u',';
    if (!cell.quoted && (cell.text == u"TR" || cell.text == u"<LOD" || cell.text == u"<LOQ"))
        return QStringLiteral("0");
    if (!cell.quoted && cell.text == u"-")
        return QString();
    if (cell.quoted || !(comma ? underComma : underPoint).match(cell.text).hasMatch())
        return cell.text;
    QString text = cell.text;
    return text.remove(comma ? u'.' : u',');
}

QByteArray written(const TextStore &foods)
{
    try {
        return CsvFoodListBytes(foods);
    } catch (const Failure &failure) {
        Require(false, "foods of whole characters can be saved", [&] { return failure.message(); });
    }
    return {};
}

// Saved as CSV and opened again, the same foods. (Saved again they would
// give the same bytes: the writer's bytes follow from the texts alone.)
void requireRoundTrip(const TextStore &foods, QChar decimalSeparator)
{
    const QByteArray bytes = written(foods);
    Require(SameFoods(FoodsFromCsvBytes(bytes, decimalSeparator), foods),
            "saved as CSV, the foods open again the same",
            [&] { return Visible(QString::fromUtf8(bytes)); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    // Both decimal separators, one for each half of the inputs; the writer
    // knows neither.
    const QChar decimalSeparator = size % 2 == 0 ? u',' : u'.';

    // Behind the program's own header the columns are those of the header
    // and the separator is ";": the foods are the model's records.
    const QByteArray headed = KnownHeader + input.toByteArray();
    const TextStore foods = FoodsFromCsvBytes(headed, decimalSeparator);
    const std::vector<ModelRecord> records = modelRecords(modelText(headed), u';');
    Require(!records.empty() && size_t(foods.size()) == records.size() - 1,
            "every record after the header is one food");
    QString scratch;
    for (qsizetype row = 0; row < foods.size(); ++row) {
        const ModelRecord &record = records[size_t(row) + 1];
        for (int column = 0; column < FoodFieldCount; ++column) {
            const ModelCell cell =
                size_t(column) < record.size() ? record[size_t(column)] : ModelCell();
            const QString expected = column == 0 ? cell.text : modelNumber(cell, decimalSeparator);
            Require(foods.textView(row, column, scratch) == expected,
                    "a food has the cells of its record", [&] { return Visible(expected); });
        }
    }

    // The bytes as a file of their own: whatever the first line, separator
    // and header make of them loads and saves back the same.
    requireRoundTrip(FoodsFromCsvBytes(input, decimalSeparator), decimalSeparator);

    // Foods of any texts: rows split at U+001E, cells at U+001F.
    const QString texts = QString::fromUtf8(input);
    QList<QStringList> rows;
    for (QStringView line : QStringView(texts).split(u'\x1E'))
        rows.append(line.toString().split(u'\x1F'));
    requireRoundTrip(TextStore::fromRows(rows, FoodFieldCount), decimalSeparator);
    return 0;
}
