// The field splitter against a character-by-character model of its
// algorithm, with the limits and the separator taken from the input.

#include "catalogue/instruction_module.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// Longer than any field can be (the length limit is below 500), so a slot
// that still holds it was not written.
const QString &untouched()
{
    static const QString text(501, QLatin1Char('#'));
    return text;
}

// The splitter's steps one character at a time.
int modelSplit(QStringView line, QString *slots, int lengthLimit, int fieldLimit, QChar separator)
{
    QString field;
    int index = 0;
    for (QChar c : line) {
        if (c == QLatin1Char('\n'))
            break;
        if (c == separator) {
            slots[index] = field;
            field.clear();
            if (++index == fieldLimit)
                return -1;
        } else if (field.size() < lengthLimit) {
            field += c;
        }
    }
    slots[index] = field;
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    // Byte 0: length limit, small ones most often. Byte 1: field limit 1 to
    // 16. Byte 2: ";" unless its top bit is set, then byte 3 picks the
    // separator. The rest is the line, as Latin-1 or as UTF-16.
    const int lengthLimit =
        data[0] < 0xC0 ? data[0] % 64 : ((data[0] - 0xC0) * 8 + data[3] % 8) % 500;
    const int fieldLimit = 1 + data[1] % 16;
    const QChar separator =
        (data[2] & 0x80) ? QChar(char16_t(data[3] | ((data[2] & 0x3) << 8))) : QLatin1Char(';');
    const bool utf16 = data[2] & 0x40;
    const char *rest = reinterpret_cast<const char *>(data + 4);
    const qsizetype restSize = qsizetype(size - 4);
    const QString line = utf16 ? QString(reinterpret_cast<const QChar *>(rest), restSize / 2)
                               : QString::fromLatin1(rest, restSize);

    // Exactly fieldLimit slots, so that a write beyond them is a heap overflow.
    std::unique_ptr<QString[]> slots(new QString[size_t(fieldLimit)]);
    std::unique_ptr<QString[]> expected(new QString[size_t(fieldLimit)]);
    for (int i = 0; i < fieldLimit; ++i)
        slots[i] = expected[i] = untouched();

    const int result =
        TInstructionModule::SplitFields(line, slots.get(), lengthLimit, fieldLimit, separator);
    const int expectedResult = modelSplit(line, expected.get(), lengthLimit, fieldLimit, separator);

    const qsizetype end = line.indexOf(QLatin1Char('\n'));
    const qsizetype separators =
        QStringView(line).first(end < 0 ? line.size() : end).count(separator);
    Require(result == (separators >= fieldLimit ? -1 : 0),
            "-1 exactly when the line has more fields than the limit",
            [&] { return Visible(line); });
    Require(result == expectedResult, "result as the algorithm gives it",
            [&] { return Visible(line); });
    const qsizetype written = std::min<qsizetype>(separators + 1, fieldLimit);
    for (int i = 0; i < fieldLimit; ++i) {
        if (i < written) {
            Require(slots[i].size() <= lengthLimit, "a field keeps at most the length limit",
                    [&] { return Visible(slots[i]); });
        } else {
            Require(slots[i] == untouched(), "slots above the last field are left as they were");
        }
        Require(slots[i] == expected[i], "fields as the algorithm gives them", [&] {
            return QStringLiteral("slot %1: '%2', expected '%3', line '%4'")
                .arg(i)
                .arg(Visible(slots[i]), Visible(expected[i]), Visible(line));
        });
    }
    return 0;
}
