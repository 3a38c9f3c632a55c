#include "catalogue/file_bytes.h"

#include "core/failure.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

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

// A handle of the file, refused unless it is a regular file.
int openRegular(const QString &fileName)
{
    if (fileName.isEmpty())
        CannotOpen(fileName);
    const int fd = openForReading(fileName);
    if (fd < 0)
        CannotOpen(fileName);
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        CannotOpen(fileName);
    }
    return fd;
}

} // namespace

void CannotOpen(const QString &fileName)
{
    throw Failure(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(fileName));
}

void ReadRegularFile(const QString &fileName, LargeBuffer &bytes)
{
    const int fd = openRegular(fileName);
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status
    {
    };
    ::fstat(fd, &status);
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
            CannotOpen(fileName);
        if (got == 0)
            break;
        bytes.resize(bytes.size() + size_t(got));
        wanted = std::max<size_t>(bytes.capacity() - bytes.size(), 4096);
    }
}

void OpenRegularFile(const QString &fileName, QFile &file)
{
    const int fd = openRegular(fileName);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        CannotOpen(fileName);
    }
}

QString DecodeUtf8(QByteArrayView bytes, bool *valid)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (valid)
        *valid = !decoder.hasError();
    return text;
}
