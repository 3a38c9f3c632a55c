#pragma once

// The XML parts of a workbook, read by Qt's QXmlStreamReader as their bytes
// come, piece by piece, with the limits both workbook formats share: no
// single token (a cell's text, a tag with its attributes) may need more than
// MaxTokenBytes of the part, so that what the reader holds stays bounded
// however the part is made.

#include <QByteArrayView>
#include <QString>
#include <QXmlStreamReader>

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

// Raises the Failure of a cell's text longer than a token may be.
[[noreturn]] void CellTooLong();
[[noreturn]] void TooManyColumns();
[[noreturn]] void TooManyRows();
// The text of a workbook's boolean cell, as a German spreadsheet shows it.
QString BooleanCellText(bool value);
