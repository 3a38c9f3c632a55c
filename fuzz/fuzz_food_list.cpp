// The food list reader on arbitrary bytes: every file loads, each row has the
// five fields the format gives, rows read from a file can always be saved,
// and saving and reading them again gives the same rows.

#include "app/failure.h"
#include "catalogue/food_list_file.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

namespace {

// The lines of a text by the format, plainly: a NUL ends the text, CR LF,
// LF and CR end a line, and a final line without a break counts.
QStringList expectedLines(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    const QString text = DecodeWindows1252(nul >= 0 ? bytes.first(nul) : bytes);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.sliced(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

// A food line by the format: the first five ";"-ended fields, each cut to
// the length limit, and empty where the line has fewer.
FoodRecord expectedFood(const QString &line)
{
    const QStringList parts = line.split(QLatin1Char(';'));
    FoodRecord food;
    for (int column = 0; column < FoodFieldCount; ++column)
        food.append(column < parts.size() ? parts[column].left(FoodFieldLengthLimit) : QString());
    return food;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Require(EncodeWindows1252(DecodeWindows1252(bytes)) == bytes,
            "every Windows-1252 byte survives decoding and encoding");

    const QStringList lines = expectedLines(bytes);
    const TextStore store = FoodsFromBytes(bytes);
    const QList<FoodRecord> foods = store.rows();
    Require(foods.size() == std::max<qsizetype>(0, lines.size() - 1),
            "every line after the header is one food");
    for (qsizetype i = 0; i < foods.size(); ++i) {
        Require(foods[i] == expectedFood(lines[i + 1]), "a food has the fields of its line",
                [&] { return Visible(lines[i + 1]); });
    }

    QByteArray written;
    try {
        written = FoodListBytes(store);
    } catch (const Failure &failure) {
        Require(false, "rows read from a file can be saved", [&] { return failure.message(); });
    }
    Require(FoodsFromBytes(written).rows() == foods, "saved rows read back the same");
    return 0;
}
