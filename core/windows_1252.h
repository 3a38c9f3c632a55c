#pragma once

// Windows-1252, the code page of the food list file and of the texts held in
// the list store. The five bytes the code page leaves undefined stand for the
// C1 controls of the same code, so all 256 survive a decoding and encoding.

#include <QByteArrayView>
#include <QString>

QString DecodeWindows1252(QByteArrayView bytes);
// Writes one character per byte; the caller has made room for them.
QChar *DecodeWindows1252Into(QByteArrayView bytes, QChar *out);
// Characters outside the code page are not representable; the caller checks
// first with IsWindows1252.
QByteArray EncodeWindows1252(QStringView text);
// Writes one byte per character ("?" for one outside the code page); the
// caller has made room for them.
char *EncodeWindows1252Into(QStringView text, char *out);
bool IsWindows1252(QChar c);
// The byte of the character, or -1 when the code page has none.
int Windows1252Byte(QChar c);
