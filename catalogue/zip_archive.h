#pragma once

// A workbook's archive (.xlsx and .ods are ZIP archives of XML parts), read
// entry by entry as the bytes inflate, so that neither the archive nor a
// part is ever held whole. A part that inflates to more than a hundred times
// its packed size, past the first 64 MiB, is refused: it is made to exhaust
// the memory or the patience of its reader, not by a spreadsheet.

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;
class QuaZip;

class WorkbookArchive
{
public:
    // Raises a Failure saying what is wrong where the device holds no
    // archive or a damaged one.
    explicit WorkbookArchive(QIODevice &device);
    ~WorkbookArchive();
    WorkbookArchive(const WorkbookArchive &) = delete;
    WorkbookArchive &operator=(const WorkbookArchive &) = delete;

    bool contains(const QString &name) const;
    // Hands the entry's bytes to sink piece by piece as they inflate, until
    // the end or until sink gives false. Raises a Failure where the entry is
    // damaged or inflates beyond the limit.
    void read(const QString &name, const std::function<bool(QByteArrayView)> &sink);

private:
    std::unique_ptr<QuaZip> m_zip;
};

// Where a part inflates beyond this, it may be at most a hundred times its
// packed size.
inline constexpr qint64 FreelyInflatedBytes = qint64(64) << 20;
inline constexpr qint64 InflationRatioLimit = 100;
