#include "catalogue/zip_archive.h"

#include "core/failure.h"

#include <QByteArray>
#include <QIODevice>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <algorithm>

namespace {

constexpr qint64 PieceSize = 256 * 1024;

[[noreturn]] void damaged()
{
    throw Failure(QStringLiteral("die Arbeitsmappe ist beschädigt oder unvollständig"));
}

} // namespace

WorkbookArchive::WorkbookArchive(QIODevice &device) : m_zip(std::make_unique<QuaZip>(&device))
{
    // An archive starts with the header of its first entry or, empty, with
    // the end of its directory.
    const QByteArray start = device.peek(4);
    if (start != QByteArrayView("PK\x03\x04", 4) && start != QByteArrayView("PK\x05\x06", 4))
        throw Failure(QStringLiteral("sie ist keine Arbeitsmappe (kein ZIP-Archiv, wie .xlsx- "
                                     "und .ods-Dateien es sind)"));
    m_zip->setAutoClose(false);
    if (!m_zip->open(QuaZip::mdUnzip))
        damaged();
}

WorkbookArchive::~WorkbookArchive()
{
    m_zip->close();
}

bool WorkbookArchive::contains(const QString &name) const
{
    return m_zip->setCurrentFile(name, QuaZip::csSensitive);
}

void WorkbookArchive::read(const QString &name, const std::function<bool(QByteArrayView)> &sink)
{
    if (!m_zip->setCurrentFile(name, QuaZip::csSensitive))
        damaged();
    QuaZipFileInfo64 info;
    if (!m_zip->getCurrentFileInfo(&info))
        damaged();
    const qint64 limit = std::max(FreelyInflatedBytes,
                                  qint64(std::min<quint64>(info.compressedSize, quint64(1) << 40)) *
                                      InflationRatioLimit);
    QuaZipFile entry(m_zip.get());
    if (!entry.open(QIODevice::ReadOnly))
        damaged();
    QByteArray piece(PieceSize, Qt::Uninitialized);
    qint64 inflated = 0;
    while (true) {
        const qint64 got = entry.read(piece.data(), PieceSize);
        if (got < 0)
            damaged();
        if (got == 0)
            break;
        inflated += got;
        if (inflated > limit)
            throw Failure(QStringLiteral("ein Teil der Arbeitsmappe entpackt sich auf mehr als das "
                                         "Hundertfache seiner Größe"));
        if (!sink(QByteArrayView(piece.constData(), got)))
            return;
    }
    // The check sum is only known at the end.
    entry.close();
    if (entry.getZipError() != UNZ_OK)
        damaged();
}
