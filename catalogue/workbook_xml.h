#pragma once

// The XML parts of a workbook, read by Qt's QXmlStreamReader as their bytes
// come, piece by piece, with the limits both workbook formats share: no
// single token (a cell's text, a tag with its attributes) may need more than
// MaxTokenBytes of the part, so that what the reader holds stays bounded
// however the part is made.

#include <QByteArrayView>
#include <QString>
#include <QXmlStreamReader>

#include "catalogue/zip_archive.h"

#include <functional>

inline constexpr qsizetype MaxTokenBytes = qsizetype(8) << 20;
// The most columns and rows a sheet of Excel or Calc can have.
inline constexpr int MaxSheetColumns = 16384;
inline constexpr qint64 MaxSheetRows = 1048576;

class XmlFeed
{
public:
    // handle sees the reader at each token; it gives false once the part has
    // told all that is wanted of it.
    explicit XmlFeed(std::function<bool(QXmlStreamReader &)> handle);

    // One more piece of the part; false once the handler wants no more.
    bool add(QByteArrayView piece);
    // The part has ended: raises where its XML is not complete.
    void finish();

private:
    void fail();

    std::function<bool(QXmlStreamReader &)> m_handle;
    QXmlStreamReader m_reader;
    qsizetype m_pending = 0;
    // Elements open, and whether the root has been seen: a part is complete
    // once its root has ended, whatever the reader says of the data after it.
    int m_depth = 0;
    bool m_rootSeen = false;
    bool m_done = false;
};

// Just past the ">" of the tag that starts at open, outside attribute
// values, or null where it does not end before end; for the filters that
// pass over cells before the reader sees them.
const char *XmlTagEnd(const char *open, const char *end);

// What the two formats' cell filters share: the bytes held back for the
// next piece (a tag may be cut off at a piece's end), and whether a cell
// being dropped goes on there.
class PartFilter
{
public:
    // The end of the part: what still waits goes to the reader.
    template <typename Out> void finish(Out &&out)
    {
        if (!m_dropping && !m_pending.isEmpty())
            out(QByteArrayView(m_pending));
        m_pending.clear();
    }

protected:
    // Hands on the bytes from passFrom to p and keeps those after p.
    template <typename Out> void handOn(const char *passFrom, const char *p, Out &&out)
    {
        if (passFrom < p)
            out(QByteArrayView(passFrom, p));
        m_pending.remove(0, p - m_pending.constData());
    }

    QByteArray m_pending;
    bool m_dropping = false;
};

// Reads a part of the archive through a cell filter into the feed: what the
// filter passes on goes to the reader a piece at a time. The filter offers
// add(piece, out) and finish(out), out taking the bytes to pass on.
template <typename Filter>
void ReadFilteredPart(WorkbookArchive &archive, const QString &part, Filter &filter, XmlFeed &feed)
{
    QByteArray wanted;
    const auto collect = [&wanted](QByteArrayView bytes) { wanted.append(bytes); };
    bool more = true;
    archive.read(part, [&](QByteArrayView piece) {
        filter.add(piece, collect);
        more = feed.add(wanted);
        wanted.resize(0);
        return more;
    });
    filter.finish(collect);
    if (more)
        feed.add(wanted);
    feed.finish();
}

// The same for a part already in memory (tests and fuzzing).
template <typename Filter> void ReadFilteredBytes(QByteArrayView xml, Filter &filter, XmlFeed &feed)
{
    QByteArray wanted;
    const auto collect = [&wanted](QByteArrayView bytes) { wanted.append(bytes); };
    filter.add(xml, collect);
    filter.finish(collect);
    feed.add(wanted);
    feed.finish();
}

// The number a workbook stores for a cell ("11.38", "1E-7", "-0.5"), blanks
// around it aside; false for anything else.
bool ParseCellNumber(QStringView text, double &value);

// Raises the Failure of a cell's text longer than a token may be.
[[noreturn]] void CellTooLong();
[[noreturn]] void TooManyColumns();
[[noreturn]] void TooManyRows();
// The text of a workbook's boolean cell, as a German spreadsheet shows it.
QString BooleanCellText(bool value);
