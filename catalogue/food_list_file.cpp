#include "catalogue/food_list_file.h"

#include "catalogue/file_bytes.h"
#include "catalogue/instruction_module.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr int FieldSlotCount = 10;

// The header line names the columns, each followed by ";".
constexpr bool HeaderNamesColumns()
{
    qsizetype at = 0;
    for (QStringView name : FoodColumnNames) {
        for (qsizetype i = 0; i < name.size(); ++i, ++at) {
            if (at >= FoodListHeader.size() || FoodListHeader[at] != name[i])
                return false;
        }
        if (at >= FoodListHeader.size() || FoodListHeader[at++] != u';')
            return false;
    }
    return at == FoodListHeader.size();
}
static_assert(HeaderNamesColumns());

template <typename Char> bool endsLine(Char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

// The bytes a value held as bytes may not contain: a line break or a NUL
// would end the line or the text when the file is read.
constexpr unsigned LineBreakBit = 1;
constexpr unsigned NulBit = 2;

unsigned byteProblems(const char *first, const char *last)
{
    unsigned problems = 0;
    auto check = [&problems](char c) {
        if (c == '\r' || c == '\n')
            problems |= LineBreakBit;
        else if (c == '\0')
            problems |= NulBit;
    };
    // Eight bytes at a time, looked at one by one only where one of them is
    // below 0x0E, the first byte above those three.
    constexpr uint64_t ones = 0x0101010101010101ULL;
    constexpr uint64_t highs = 0x8080808080808080ULL;
    for (; last - first >= 8; first += 8) {
        uint64_t word;
        std::memcpy(&word, first, 8);
        if (((word - ones * 0x0E) & ~word & highs) != 0)
            std::for_each(first, first + 8, check);
    }
    std::for_each(first, last, check);
    return problems;
}

// One problem of a value, the first of them in this order.
ValueProblem firstProblem(bool semicolon, qsizetype length, bool lineBreak, bool nul, bool foreign)
{
    if (semicolon)
        return ValueProblem::Semicolon;
    if (length > FoodFieldLengthLimit)
        return ValueProblem::TooLong;
    if (lineBreak)
        return ValueProblem::LineBreak;
    if (nul)
        return ValueProblem::Nul;
    if (foreign)
        return ValueProblem::Character;
    return ValueProblem::None;
}

ValueProblem problemOf(QStringView value)
{
    bool semicolon = false;
    bool lineBreak = false;
    bool nul = false;
    bool foreign = false;
    for (QChar c : value) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x80 && u != u';')
            continue;
        if (u == u';')
            semicolon = true;
        else if (u == u'\r' || u == u'\n')
            lineBreak = true;
        else if (u == 0)
            nul = true;
        else if (!IsWindows1252(c))
            foreign = true;
    }
    return firstProblem(semicolon, value.size(), lineBreak, nul, foreign);
}

// Checks every value and encodes it straight into the output, one pass over
// the rows. A row held as bytes is already in Windows-1252 without ";";
// its texts are checked for length, line breaks and NULs as they are copied.
template <typename Sink> void encodeFoodList(const TextStore &foods, Sink &&sink)
{
    ChunkedOutput<Sink> out(sink);
    char *end = EncodeWindows1252Into(FoodListHeader, out.room(FoodListHeader.size() + 2));
    *end++ = '\r';
    *end++ = '\n';
    out.advance(end);
    const int columns = std::min(foods.columnCount(), FoodFieldCount);
    for (qsizetype row = 0; row < foods.size(); ++row) {
        if (foods.isEncoded(row)) {
            const QByteArrayView bytes = foods.encodedRow(row);
            const char *const first = bytes.data();
            const char *const end = first + bytes.size();
            const char *field = first;
            for (int column = 0; column < columns; ++column) {
                const char *fieldEnd =
                    static_cast<const char *>(std::memchr(field, ';', size_t(end - field)));
                const unsigned problems = byteProblems(field, fieldEnd);
                const ValueProblem problem = firstProblem(
                    false, fieldEnd - field, problems & LineBreakBit, problems & NulBit, false);
                if (problem != ValueProblem::None)
                    RefuseValue(foods, row, column, problem);
                field = fieldEnd + 1;
            }
            const qsizetype cut = field - first;
            char *at = out.room(cut + FoodFieldCount - columns + 2);
            std::memcpy(at, bytes.data(), size_t(cut));
            at = std::fill_n(at + cut, FoodFieldCount - columns, ';');
            *at++ = '\r';
            *at++ = '\n';
            out.advance(at);
            continue;
        }
        const QStringList &texts = foods.sideRow(row);
        qsizetype size = FoodFieldCount + 2;
        for (int column = 0; column < FoodFieldCount; ++column) {
            const QStringView value =
                column < columns ? QStringView(texts.at(column)) : QStringView();
            const ValueProblem problem = problemOf(value);
            if (problem != ValueProblem::None)
                RefuseValue(foods, row, column, problem);
            size += value.size();
        }
        char *at = out.room(size);
        for (int column = 0; column < FoodFieldCount; ++column) {
            if (column < columns)
                at = EncodeWindows1252Into(texts.at(column), at);
            *at++ = ';';
        }
        *at++ = '\r';
        *at++ = '\n';
        out.advance(at);
    }
    out.flush();
}

// The food lines of a text by the format's rules, each but the header
// handed to appendRow as FoodFieldCount fields of type View, made of a first
// character and a length.
template <typename Char, typename View, typename AppendRow>
void scanFoodLines(const Char *p, const Char *const end, AppendRow &&appendRow)
{
    bool header = true;
    View fields[FoodFieldCount];
    while (true) {
        const Char *const lineStart = p;
        // A line that lacks fields leaves them empty, not those of the line
        // before it.
        std::fill(std::begin(fields), std::end(fields), View());
        const FieldScan<Char> scan =
            ScanFields(p, end, endsLine<Char>, Char(';'), FoodFieldLengthLimit, FieldSlotCount,
                       [&fields](int index, const Char *first, qsizetype length) {
                           if (index < FoodFieldCount)
                               fields[index] = View(first, length);
                       });
        // Past the field limit the rest of the line is ignored.
        const Char *stop =
            scan.overLimit ? std::find_if(scan.stop, end, endsLine<Char>) : scan.stop;
        const bool lineBreak = stop != end && *stop != '\0';
        // After the last line break, at the end of the text, no line starts.
        if (!lineBreak && stop == lineStart)
            break;
        if (header)
            header = false;
        else
            appendRow(static_cast<const View *>(fields));
        if (!lineBreak)
            break;
        p = stop + 1;
        if (*stop == '\r' && p != end && *p == '\n')
            ++p;
    }
}

// A food list file in UTF-8, after its byte-order mark: decoded into code
// points, so that the field limit counts characters and never splits a
// surrogate pair, then read by the same rules.
TextStore foodsFromUtf8(QByteArrayView bytes)
{
    const std::u32string codePoints = DecodeUtf8(bytes).toStdU32String();
    TextStore foods(FoodFieldCount);
    const char32_t *const first = codePoints.data();
    scanFoodLines<char32_t, std::u32string_view>(
        first, first + codePoints.size(), [&foods](const std::u32string_view *fields) {
            // Not QString::fromUcs4, which takes a U+FEFF at the start of a
            // field for a byte-order mark and drops it.
            QString texts[FoodFieldCount];
            QStringView views[FoodFieldCount];
            for (int column = 0; column < FoodFieldCount; ++column) {
                QString &text = texts[column];
                text.reserve(qsizetype(fields[column].size()));
                for (char32_t c : fields[column]) {
                    if (QChar::requiresSurrogates(c)) {
                        text += QChar(QChar::highSurrogate(c));
                        text += QChar(QChar::lowSurrogate(c));
                    } else {
                        text += QChar(char16_t(c));
                    }
                }
                views[column] = text;
            }
            foods.appendTextRow(views);
        });
    return foods;
}

} // namespace

TextStore FoodsFromBytes(QByteArrayView bytes)
{
    if (bytes.startsWith(Utf8ByteOrderMark))
        return foodsFromUtf8(bytes.sliced(Utf8ByteOrderMarkSize));
    TextStore foods(FoodFieldCount);
    // A file the program wrote needs a little less room than its size.
    foods.reserveBytes(bytes.size());
    scanFoodLines<char, QByteArrayView>(
        bytes.data(), bytes.data() + bytes.size(),
        [&foods](const QByteArrayView *fields) { foods.appendEncodedRow(fields); });
    return foods;
}

QByteArray FoodListBytes(const TextStore &foods)
{
    QByteArray bytes;
    encodeFoodList(foods, [&bytes](QByteArrayView chunk) { bytes.append(chunk); });
    return bytes;
}

void EncodeFoodList(const TextStore &foods, const OutputSink &sink)
{
    encodeFoodList(foods, sink);
}
