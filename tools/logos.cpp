#include "tools/logos.h"

#include <QFile>
#include <QGuiApplication>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

const QString SocietyLogoFile = QStringLiteral(":/images/society_logo.jpg");
const QString MakerLogoFile = QStringLiteral(":/images/maker_logo.bmp");

// libjpeg ends the process on an error unless its error handler jumps out.
// Everything the jump passes lies in this one object, reached by pointer, so
// nothing held in a register can be lost by the jump.
struct JpegDecoder
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    std::jmp_buf escape{};
    QImage image;
};

[[noreturn]] void leaveDecoder(j_common_ptr info)
{
    auto *decoder = static_cast<JpegDecoder *>(info->client_data);
    std::longjmp(decoder->escape, 1);
}

void silent(j_common_ptr) {}

bool decodeInto(JpegDecoder *decoder, const QByteArray &data)
{
    decoder->info.err = jpeg_std_error(&decoder->errors);
    decoder->errors.error_exit = leaveDecoder;
    decoder->errors.output_message = silent;
    decoder->info.client_data = decoder;
    if (setjmp(decoder->escape)) {
        jpeg_destroy_decompress(&decoder->info);
        decoder->image = QImage();
        return false;
    }
    jpeg_create_decompress(&decoder->info);
    jpeg_mem_src(&decoder->info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder->info, TRUE);
    decoder->info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder->info);
    decoder->image = QImage(int(decoder->info.output_width), int(decoder->info.output_height),
                            QImage::Format_RGB888);
    if (decoder->image.isNull() || decoder->info.output_components != 3) {
        jpeg_destroy_decompress(&decoder->info);
        decoder->image = QImage();
        return false;
    }
    while (decoder->info.output_scanline < decoder->info.output_height) {
        JSAMPROW row = decoder->image.scanLine(int(decoder->info.output_scanline));
        jpeg_read_scanlines(&decoder->info, &row, 1);
    }
    jpeg_finish_decompress(&decoder->info);
    jpeg_destroy_decompress(&decoder->info);
    return true;
}

QByteArray fileData(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

QImage DecodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    JpegDecoder decoder;
    if (!decodeInto(&decoder, data))
        return {};
    return decoder.image;
}

QPixmap SocietyLogo()
{
    return QPixmap::fromImage(DecodeJpeg(fileData(SocietyLogoFile)));
}

QPixmap MakerLogo()
{
    QImage image(MakerLogoFile);
    if (image.isNull())
        return {};
    if (image.format() != QImage::Format_Indexed8)
        image = image.convertToFormat(QImage::Format_Indexed8);
    // Every palette entry of the bottom left pixel's colour becomes clear, so
    // the logo lies on whatever background it is drawn on.
    const QRgb transparent = image.pixel(0, image.height() - 1);
    QList<QRgb> palette = image.colorTable();
    for (QRgb &entry : palette) {
        if (qRgb(qRed(entry), qGreen(entry), qBlue(entry)) == (transparent | 0xff000000u))
            entry = qRgba(qRed(entry), qGreen(entry), qBlue(entry), 0);
    }
    image.setColorTable(palette);
    return QPixmap::fromImage(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

QPixmap MakerLogo(QSize box)
{
    // Scaled down from the bitmap for the screen's pixel density, so that
    // the logo stays sharp under a scale factor above 1 instead of being
    // scaled up from a 75-pixel copy.
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap logo = MakerLogo().scaled(box * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    logo.setDevicePixelRatio(ratio);
    return logo;
}
