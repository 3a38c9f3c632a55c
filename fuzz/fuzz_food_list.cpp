// The food list reader on arbitrary bytes: every file loads, each row has the
// five fields the format gives, rows read from a file can always be saved,
// and saving and reading them again gives the same rows.

#include "app/failure.h"
#include "catalogue/food_list_file.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

namespace {

// The bytes WriteLines puts into a file, built in memory.
QByteArray encodeLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += EncodeWindows1252(line);
        bytes += "\r\n";
    }
    return bytes;
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

    const QStringList lines = SplitLines(bytes);
    for (const QString &line : lines) {
        Require(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')) &&
                    !line.contains(QChar(0)),
                "a line holds no line break and no NUL", [&] { return Visible(line); });
    }
    const QList<FoodRecord> foods = FoodsFromLines(lines);
    Require(foods.size() == std::max<qsizetype>(0, lines.size() - 1),
            "every line after the header is one food");
    for (qsizetype i = 0; i < foods.size(); ++i) {
        Require(foods[i] == expectedFood(lines[i + 1]), "a food has the fields of its line",
                [&] { return Visible(lines[i + 1]); });
    }

    try {
        CheckStorable(foods);
    } catch (const Failure &failure) {
        Require(false, "rows read from a file can be saved", [&] { return failure.message(); });
    }
    const QByteArray written = encodeLines(LinesFromFoods(foods));
    const QList<FoodRecord> readBack = FoodsFromLines(SplitLines(written));
    Require(readBack == foods, "saved rows read back the same");
    return 0;
}
