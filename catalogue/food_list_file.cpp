#include "catalogue/food_list_file.h"

#include "catalogue/instruction_module.h"
#include "core/failure.h"
#include "core/large_allocator.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr int FieldSlotCount = 10;
// The writer hands the file its bytes in pieces of this size, so that a
// large catalogue is never held twice.
constexpr qsizetype ChunkSize = 1 << 20;

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

bool endsLine(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

[[noreturn]] void cannotOpen(const QString &fileName)
{
    throw Failure(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(fileName));
}

// Opens the file for reading its bytes unchanged, without waiting, so that a
// named pipe without a writer does not keep the open waiting.
int openForReading(const QString &fileName)
{
#ifdef Q_OS_WIN
    // The wide-character open reaches every name; binary keeps the CR LF.
    // Windows' pipes are not in the file system, so nothing waits here.
    return ::_wopen(reinterpret_cast<const wchar_t *>(fileName.utf16()),
                    _O_RDONLY | _O_BINARY | _O_NOINHERIT);
#else
    return ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
#endif
}

// The whole of a regular file, refused unless it is a regular file, whose
// reading ends.
void readRegularFile(const QString &fileName, LargeBuffer &bytes)
{
    if (fileName.isEmpty())
        cannotOpen(fileName);
    const int fd = openForReading(fileName);
    if (fd < 0)
        cannotOpen(fileName);
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        cannotOpen(fileName);
    // The size it has now and a byte more, to see the end; a file that grows
    // while it is read is read on.
    size_t wanted = size_t(status.st_size) + 1;
    while (true) {
        // Windows reads at most an int's worth at once.
        wanted = std::min<size_t>(wanted, INT_MAX);
        const auto got = ::read(fd, bytes.room(wanted), wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            cannotOpen(fileName);
        if (got == 0)
            break;
        bytes.resize(bytes.size() + size_t(got));
        wanted = std::max<size_t>(bytes.capacity() - bytes.size(), 4096);
    }
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

enum class Problem
{
    None,
    Semicolon,
    TooLong,
    LineBreak,
    Nul,
    CodePage,
};

// One problem of a value, the first of them in this order.
Problem firstProblem(bool semicolon, qsizetype length, bool lineBreak, bool nul, bool foreign)
{
    if (semicolon)
        return Problem::Semicolon;
    if (length > FoodFieldLengthLimit)
        return Problem::TooLong;
    if (lineBreak)
        return Problem::LineBreak;
    if (nul)
        return Problem::Nul;
    if (foreign)
        return Problem::CodePage;
    return Problem::None;
}

Problem problemOf(QStringView value)
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

[[noreturn]] void refuse(const TextStore &foods, qsizetype row, int column, Problem problem)
{
    QString reason;
    switch (problem) {
    case Problem::Semicolon:
        reason = QStringLiteral("enthält ein Semikolon");
        break;
    case Problem::TooLong:
        reason = QStringLiteral("ist länger als %1 Zeichen").arg(FoodFieldLengthLimit);
        break;
    case Problem::LineBreak:
        reason = QStringLiteral("enthält einen Zeilenumbruch");
        break;
    case Problem::Nul:
        reason = QStringLiteral("enthält ein NUL-Zeichen");
        break;
    case Problem::CodePage:
    case Problem::None:
        reason = QStringLiteral("enthält ein Zeichen, das die Datei nicht speichern kann");
        break;
    }
    const QString value = column < foods.columnCount() ? foods.text(row, column) : QString();
    throw Failure(QStringLiteral("Nicht gespeichert: Lebensmittel \"%1\", %2 \"%3\" %4")
                      .arg(foods.text(row, 0), FoodColumnNames[size_t(column)], value, reason));
}

// The output in pieces of about ChunkSize, each handed to the sink when full.
// The piece grows to that size as the output does, so that a short output
// costs no large block.
template <typename Sink> class ChunkedOutput
{
public:
    explicit ChunkedOutput(Sink &sink) : m_sink(sink) {}

    // Room for up to size bytes at the end of the output.
    char *room(qsizetype size)
    {
        if (m_used + size > m_chunk.size()) {
            if (m_chunk.size() >= ChunkSize)
                flush();
            if (m_used + size > m_chunk.size())
                m_chunk.resize(std::max({m_used + size, 2 * m_chunk.size(), qsizetype(4096)}));
        }
        return m_chunk.data() + m_used;
    }
    void advance(const char *end) { m_used = end - m_chunk.constData(); }
    void flush()
    {
        if (m_used > 0)
            m_sink(QByteArrayView(m_chunk.constData(), m_used));
        m_used = 0;
    }

private:
    Sink &m_sink;
    QByteArray m_chunk;
    qsizetype m_used = 0;
};

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
                const Problem problem = firstProblem(
                    false, fieldEnd - field, problems & LineBreakBit, problems & NulBit, false);
                if (problem != Problem::None)
                    refuse(foods, row, column, problem);
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
            const Problem problem = problemOf(value);
            if (problem != Problem::None)
                refuse(foods, row, column, problem);
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

} // namespace

TextStore FoodsFromBytes(QByteArrayView bytes)
{
    TextStore foods(FoodFieldCount);
    // A file the program wrote needs a little less room than its size.
    foods.reserveBytes(bytes.size());
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    bool header = true;
    QByteArrayView fields[FoodFieldCount];
    while (true) {
        const char *const lineStart = p;
        // A line that lacks fields leaves them empty, not those of the line
        // before it.
        std::fill(std::begin(fields), std::end(fields), QByteArrayView());
        const FieldScan<char> scan =
            ScanFields(p, end, endsLine, ';', FoodFieldLengthLimit, FieldSlotCount,
                       [&fields](int index, const char *first, qsizetype length) {
                           if (index < FoodFieldCount)
                               fields[index] = QByteArrayView(first, length);
                       });
        // Past the field limit the rest of the line is ignored.
        const char *stop = scan.overLimit ? std::find_if(scan.stop, end, endsLine) : scan.stop;
        const bool lineBreak = stop != end && *stop != '\0';
        // After the last line break, at the end of the text, no line starts.
        if (!lineBreak && stop == lineStart)
            break;
        if (header)
            header = false;
        else
            foods.appendEncodedRow(fields);
        if (!lineBreak)
            break;
        p = stop + 1;
        if (*stop == '\r' && p != end && *p == '\n')
            ++p;
    }
    return foods;
}

TextStore ReadFoodList(const QString &fileName)
{
    LargeBuffer bytes;
    readRegularFile(fileName, bytes);
    return FoodsFromBytes(
        QByteArrayView(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())));
}

QByteArray FoodListBytes(const TextStore &foods)
{
    QByteArray bytes;
    encodeFoodList(foods, [&bytes](QByteArrayView chunk) { bytes.append(chunk); });
    return bytes;
}

void WriteFoodList(const QString &fileName, const TextStore &foods)
{
    QSaveFile file(fileName);
    // QSaveFile opens a temporary file even for an empty name and fails only
    // on commit, which would report a write error for a file never created.
    if (fileName.isEmpty() || !file.open(QIODevice::WriteOnly))
        throw Failure(QStringLiteral("Datei %1 kann nicht erstellt werden").arg(fileName));
    const auto writeFailed = [&file]() {
        file.cancelWriting();
        return Failure(QStringLiteral("Stream-Schreibfehler"));
    };
    encodeFoodList(foods, [&](QByteArrayView chunk) {
        if (file.write(chunk.data(), chunk.size()) != chunk.size())
            throw writeFailed();
    });
    if (!file.commit())
        throw writeFailed();
}
