#pragma once

// Reading the file a catalogue is opened from, shared by every format: only
// a regular file is read (a named pipe or a device could keep the reader
// waiting for ever), and anything else, like a file that cannot be read,
// raises "Datei %s kann nicht geöffnet werden". Also the UTF-8 decoding the
// text formats share.

#include "core/large_allocator.h"

#include <QByteArrayView>
#include <QString>

class QFile;

[[noreturn]] void CannotOpen(const QString &fileName);
// The whole of the file.
void ReadRegularFile(const QString &fileName, LargeBuffer &bytes);
// Opens the file for reading as it comes, for the formats that stream it.
void OpenRegularFile(const QString &fileName, QFile &file);

// The mark a UTF-8 file may start with, as spreadsheets write it.
inline constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";
inline constexpr qsizetype Utf8ByteOrderMarkSize = sizeof Utf8ByteOrderMark - 1;
// UTF-8 text as it stands, the file's own mark cut off before: a mark at its
// start is a character. An invalid sequence (an overlong form, a surrogate,
// a code point beyond U+10FFFF, a sequence cut off) becomes U+FFFD and sets
// *valid to false.
QString DecodeUtf8(QByteArrayView bytes, bool *valid = nullptr);
