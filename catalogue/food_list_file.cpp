#include "catalogue/food_list_file.h"

#include "app/failure.h"
#include "catalogue/instruction_module.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <utility>

namespace {

// 0x80 to 0x9F of Windows-1252; the undefined 0x81, 0x8D, 0x8F, 0x90 and 0x9D
// map to the C1 control of the same code.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int windows1252Byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == u)
            return 0x80 + i;
    }
    return -1;
}

constexpr int FieldSlotCount = 10;

// Writes one byte per character; the caller has made room for them.
char *encodeInto(QStringView text, char *out)
{
    for (QChar c : text) {
        // Most of a catalogue is ASCII; only the rest needs the table.
        const char16_t u = c.unicode();
        if (u < 0x80) {
            *out++ = char(u);
            continue;
        }
        const int b = windows1252Byte(c);
        *out++ = char(b < 0 ? '?' : b);
    }
    return out;
}

const QString EmptyField;

// A record shorter than five texts has empty fields at its end.
inline const QString &field(const FoodRecord &food, int column)
{
    return column < food.size() ? food.at(column) : EmptyField;
}

// Why a value would not read back as it stands, or an empty text. One pass
// over the value finds every problem; the message names the first of them in
// this order: semicolon, length, line break, code page.
QString storeProblem(const QString &value)
{
    bool semicolon = false;
    bool lineBreak = false;
    bool foreign = false;
    for (QChar c : value) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x80 && u != u';')
            continue;
        if (u == u';')
            semicolon = true;
        else if (u == u'\r' || u == u'\n' || u == 0)
            lineBreak = true;
        else if (windows1252Byte(c) < 0)
            foreign = true;
    }
    if (semicolon)
        return QStringLiteral("enthält ein Semikolon");
    if (value.size() > FoodFieldLengthLimit)
        return QStringLiteral("ist länger als %1 Zeichen").arg(FoodFieldLengthLimit);
    if (lineBreak)
        return QStringLiteral("enthält einen Zeilenumbruch");
    if (foreign)
        return QStringLiteral("enthält ein Zeichen, das die Datei nicht speichern kann");
    return {};
}

} // namespace

QString DecodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char b : bytes) {
        const unsigned char u = static_cast<unsigned char>(b);
        *out++ = QChar(u >= 0x80 && u < 0xA0 ? HighControls[u - 0x80] : char16_t(u));
    }
    return text;
}

bool IsWindows1252(QChar c)
{
    return windows1252Byte(c) >= 0;
}

QByteArray EncodeWindows1252(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    encodeInto(text, bytes.data());
    return bytes;
}

QStringList SplitLines(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes = bytes.first(nul);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(DecodeWindows1252(bytes.sliced(start, i - start)));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(DecodeWindows1252(bytes.sliced(start)));
    return lines;
}

QStringList ReadLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(fileName));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(fileName));
    return SplitLines(bytes);
}

QList<FoodRecord> FoodsFromLines(const QStringList &lines)
{
    QList<FoodRecord> foods;
    foods.reserve(std::max<qsizetype>(0, lines.size() - 1));
    QString fieldSlots[FieldSlotCount];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        TInstructionModule::SplitFields(lines[i], fieldSlots, FoodFieldLengthLimit, FieldSlotCount,
                                        QLatin1Char(';'));
        // The row takes its five slots and leaves them empty, so a short
        // line never takes the values of the line before it. The slots above
        // are never read.
        FoodRecord food;
        food.reserve(FoodFieldCount);
        for (int slot = 0; slot < FoodFieldCount; ++slot)
            food.append(std::exchange(fieldSlots[slot], QString()));
        foods.append(std::move(food));
    }
    return foods;
}

void CheckStorable(const QList<FoodRecord> &foods)
{
    static const char *const columnNames[FoodFieldCount] = {"Name", "Kalorien", "Eiweiss", "Fett",
                                                            "Kohlenhydrate"};
    for (const FoodRecord &food : foods) {
        for (int column = 0; column < FoodFieldCount; ++column) {
            const QString &value = field(food, column);
            const QString reason = storeProblem(value);
            if (!reason.isEmpty()) {
                throw Failure(
                    QStringLiteral("Nicht gespeichert: Lebensmittel \"%1\", %2 \"%3\" %4")
                        .arg(field(food, 0), QLatin1String(columnNames[column]), value, reason));
            }
        }
    }
}

QStringList LinesFromFoods(const QList<FoodRecord> &foods)
{
    QStringList lines;
    lines.reserve(foods.size() + 1);
    lines.append(FoodListHeader.toString());
    for (const FoodRecord &food : foods) {
        // Laid out in one piece: a large catalogue has many lines.
        qsizetype size = FoodFieldCount;
        for (int column = 0; column < FoodFieldCount; ++column)
            size += field(food, column).size();
        QString line(size, Qt::Uninitialized);
        QChar *out = line.data();
        for (int column = 0; column < FoodFieldCount; ++column) {
            const QString &value = field(food, column);
            out = std::copy(value.cbegin(), value.cend(), out);
            *out++ = QLatin1Char(';');
        }
        lines.append(std::move(line));
    }
    return lines;
}

void WriteLines(const QString &fileName, const QStringList &lines)
{
    QSaveFile file(fileName);
    // QSaveFile opens a temporary file even for an empty name and fails only
    // on commit, which would report a write error for a file never created.
    if (fileName.isEmpty() || !file.open(QIODevice::WriteOnly))
        throw Failure(QStringLiteral("Datei %1 kann nicht erstellt werden").arg(fileName));
    // Encoded in pieces, so that a large catalogue is never held twice.
    constexpr qsizetype chunkSize = 1 << 20;
    QByteArray bytes;
    bytes.reserve(chunkSize);
    bool written = true;
    for (const QString &line : lines) {
        const qsizetype start = bytes.size();
        bytes.resize(start + line.size() + 2);
        char *end = encodeInto(line, bytes.data() + start);
        end[0] = '\r';
        end[1] = '\n';
        if (bytes.size() >= chunkSize) {
            written = file.write(bytes) == bytes.size();
            bytes.resize(0);
            if (!written)
                break;
        }
    }
    if (written && !bytes.isEmpty())
        written = file.write(bytes) == bytes.size();
    if (!written || !file.commit()) {
        file.cancelWriting();
        throw Failure(QStringLiteral("Stream-Schreibfehler"));
    }
}

QList<FoodRecord> ReadFoodList(const QString &fileName)
{
    return FoodsFromLines(ReadLines(fileName));
}

void WriteFoodList(const QString &fileName, const QList<FoodRecord> &foods)
{
    CheckStorable(foods);
    WriteLines(fileName, LinesFromFoods(foods));
}
