#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>

// Decodes JPEG data with libjpeg into an RGB image. Data it cannot read give a
// null image; the decoder's errors never end the program.
QImage DecodeJpeg(const QByteArray &data);

// The nutrition society's logo, a JPEG of 221 x 316 pixels.
QPixmap SocietyLogo();

// The maker's logo, a 256-colour bitmap of 275 x 285 pixels, transparent
// wherever it has the colour of its bottom left pixel.
QPixmap MakerLogo();
// The same, scaled to fit into the box with its proportions kept; drawn for
// the screen's pixel density.
QPixmap MakerLogo(QSize box);
