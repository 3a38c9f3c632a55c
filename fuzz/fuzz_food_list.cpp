// The food list reader on arbitrary bytes: every file loads, each row has the
// five fields the format gives, rows read from a file can always be saved,
// and saving and reading them again gives the same rows. The expectations
// are views into the decoded text, so that a run allocates little.

#include "catalogue/food_list_file.h"
#include "core/failure.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// The lines of a text by the format, plainly: a NUL ends the text, CR LF,
// LF and CR end a line, and a final line without a break counts.
std::vector<QStringView> expectedLines(QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.first(nul);
    std::vector<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.push_back(text.sliced(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.sliced(start));
    return lines;
}

// Field column of a food line by the format: the column-th ";"-ended piece
// cut to the length limit, empty where the line has fewer.
QStringView expectedField(QStringView line, int column)
{
    qsizetype start = 0;
    for (int skipped = 0; skipped < column; ++skipped) {
        const qsizetype separator = line.indexOf(QLatin1Char(';'), start);
        if (separator < 0)
            return {};
        start = separator + 1;
    }
    const qsizetype separator = line.indexOf(QLatin1Char(';'), start);
    const qsizetype end = separator < 0 ? line.size() : separator;
    return line.sliced(start, std::min<qsizetype>(end - start, FoodFieldLengthLimit));
}

bool sameRows(const TextStore &a, const TextStore &b)
{
    if (a.size() != b.size())
        return false;
    QString aScratch;
    QString bScratch;
    for (qsizetype row = 0; row < a.size(); ++row) {
        for (int column = 0; column < FoodFieldCount; ++column) {
            if (a.textView(row, column, aScratch) != b.textView(row, column, bScratch))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = DecodeWindows1252(bytes);
    Require(EncodeWindows1252(text) == bytes,
            "every Windows-1252 byte survives decoding and encoding");

    const std::vector<QStringView> lines = expectedLines(text);
    const TextStore foods = FoodsFromBytes(bytes);
    Require(size_t(foods.size()) == (lines.empty() ? 0 : lines.size() - 1),
            "every line after the header is one food");
    QString scratch;
    for (qsizetype row = 0; row < foods.size(); ++row) {
        const QStringView line = lines[size_t(row) + 1];
        for (int column = 0; column < FoodFieldCount; ++column) {
            Require(foods.textView(row, column, scratch) == expectedField(line, column),
                    "a food has the fields of its line", [&] { return Visible(line); });
        }
    }

    QByteArray written;
    try {
        written = FoodListBytes(foods);
    } catch (const Failure &failure) {
        Require(false, "rows read from a file can be saved", [&] { return failure.message(); });
    }
    Require(sameRows(FoodsFromBytes(written), foods), "saved rows read back the same");
    return 0;
}
