#include "core/windows_1252.h"

namespace {

// 0x80 to 0x9F of Windows-1252; the undefined 0x81, 0x8D, 0x8F, 0x90 and 0x9D
// map to the C1 control of the same code.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

int Windows1252Byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == u)
            return 0x80 + i;
    }
    return -1;
}

bool IsWindows1252(QChar c)
{
    return Windows1252Byte(c) >= 0;
}

QChar *DecodeWindows1252Into(QByteArrayView bytes, QChar *out)
{
    for (char b : bytes) {
        const unsigned char u = static_cast<unsigned char>(b);
        *out++ = QChar(u >= 0x80 && u < 0xA0 ? HighControls[u - 0x80] : char16_t(u));
    }
    return out;
}

QString DecodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    DecodeWindows1252Into(bytes, text.data());
    return text;
}

char *EncodeWindows1252Into(QStringView text, char *out)
{
    for (QChar c : text) {
        // Most texts are ASCII; only the rest needs the table.
        const char16_t u = c.unicode();
        if (u < 0x80) {
            *out++ = char(u);
            continue;
        }
        const int b = Windows1252Byte(c);
        *out++ = char(b < 0 ? '?' : b);
    }
    return out;
}

QByteArray EncodeWindows1252(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    EncodeWindows1252Into(text, bytes.data());
    return bytes;
}
