// The food list reader on arbitrary bytes: every file loads, each row has the
// five fields the format gives, rows read from a file can be saved exactly
// when their characters are all in Windows-1252 (always, unless the file is
// UTF-8 with a byte-order mark), and saving and reading them again gives the
// same rows. The expectations are views into the decoded text, in code
// points as the field limit counts them, so that a run allocates little.

#include "catalogue/food_list_file.h"
#include "core/failure.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The text of the bytes by the format: UTF-8 after the byte-order mark,
// Windows-1252 otherwise; in code points.
std::u32string expectedText(QByteArrayView bytes, bool &utf8)
{
    utf8 = bytes.startsWith("\xEF\xBB\xBF");
    const QString text = utf8 ? QString::fromUtf8(bytes.sliced(3)) : DecodeWindows1252(bytes);
    const QList<uint> codePoints = text.toUcs4();
    return std::u32string(codePoints.cbegin(), codePoints.cend());
}

// The lines of a text by the format, plainly: a NUL ends the text, CR LF,
// LF and CR end a line, and a final line without a break counts.
std::vector<std::u32string_view> expectedLines(std::u32string_view text)
{
    const size_t nul = text.find(U'\0');
    if (nul != std::u32string_view::npos)
        text = text.substr(0, nul);
    std::vector<std::u32string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c != U'\r' && c != U'\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// Field column of a food line by the format: the column-th ";"-ended piece
// cut to the length limit, empty where the line has fewer.
std::u32string_view expectedField(std::u32string_view line, int column)
{
    size_t start = 0;
    for (int skipped = 0; skipped < column; ++skipped) {
        const size_t separator = line.find(U';', start);
        if (separator == std::u32string_view::npos)
            return {};
        start = separator + 1;
    }
    const size_t separator = line.find(U';', start);
    const size_t end = separator == std::u32string_view::npos ? line.size() : separator;
    return line.substr(start, std::min<size_t>(end - start, FoodFieldLengthLimit));
}

bool sameText(QStringView actual, std::u32string_view expected)
{
    size_t at = 0;
    for (qsizetype i = 0; i < actual.size(); ++i, ++at) {
        char32_t c = actual[i].unicode();
        if (actual[i].isHighSurrogate() && i + 1 < actual.size() &&
            actual[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(actual[i], actual[i + 1]);
            ++i;
        }
        if (at == expected.size() || expected[at] != c)
            return false;
    }
    return at == expected.size();
}

QString shown(std::u32string_view text)
{
    QString line;
    for (char32_t c : text) {
        if (QChar::requiresSurrogates(c)) {
            line += QChar(QChar::highSurrogate(c));
            line += QChar(QChar::lowSurrogate(c));
        } else {
            line += QChar(char16_t(c));
        }
    }
    return Visible(line);
}

bool storable(const TextStore &foods)
{
    QString scratch;
    for (qsizetype row = 0; row < foods.size(); ++row) {
        for (int column = 0; column < FoodFieldCount; ++column) {
            const QStringView text = foods.textView(row, column, scratch);
            if (!std::all_of(text.begin(), text.end(), IsWindows1252))
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

    bool utf8 = false;
    const std::u32string expected = expectedText(bytes, utf8);
    const std::vector<std::u32string_view> lines = expectedLines(expected);
    const TextStore foods = FoodsFromBytes(bytes);
    Require(size_t(foods.size()) == (lines.empty() ? 0 : lines.size() - 1),
            "every line after the header is one food");
    QString scratch;
    for (qsizetype row = 0; row < foods.size(); ++row) {
        const std::u32string_view line = lines[size_t(row) + 1];
        for (int column = 0; column < FoodFieldCount; ++column) {
            Require(sameText(foods.textView(row, column, scratch), expectedField(line, column)),
                    "a food has the fields of its line", [&] { return shown(line); });
        }
    }

    QByteArray written;
    bool saved = true;
    try {
        written = FoodListBytes(foods);
    } catch (const Failure &failure) {
        saved = false;
        Require(utf8, "rows read from a Windows-1252 file can be saved",
                [&] { return failure.message(); });
    }
    Require(saved == storable(foods),
            "rows are saved exactly when their characters are all in Windows-1252");
    if (saved)
        Require(SameFoods(FoodsFromBytes(written), foods), "saved rows read back the same");
    return 0;
}
