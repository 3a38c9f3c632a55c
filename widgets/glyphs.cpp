#include "widgets/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor Green(0, 150, 0);
const QColor Red(210, 0, 0);

void paintGlyph(QPainter &painter, Glyph glyph, qreal size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    switch (glyph) {
    case Glyph::ArrowRight:
    case Glyph::ArrowLeft: {
        QPainterPath arrow;
        arrow.moveTo(0.08 * s, 0.36 * s);
        arrow.lineTo(0.52 * s, 0.36 * s);
        arrow.lineTo(0.52 * s, 0.14 * s);
        arrow.lineTo(0.94 * s, 0.50 * s);
        arrow.lineTo(0.52 * s, 0.86 * s);
        arrow.lineTo(0.52 * s, 0.64 * s);
        arrow.lineTo(0.08 * s, 0.64 * s);
        arrow.closeSubpath();
        if (glyph == Glyph::ArrowLeft) {
            painter.translate(s, 0);
            painter.scale(-1, 1);
        }
        const QColor colour = glyph == Glyph::ArrowRight ? Green : Red;
        painter.setPen(QPen(colour.darker(150), s / 24.0));
        painter.setBrush(colour);
        painter.drawPath(arrow);
        break;
    }
    case Glyph::Tick: {
        QPainterPath tick;
        tick.moveTo(0.12 * s, 0.52 * s);
        tick.lineTo(0.40 * s, 0.80 * s);
        tick.lineTo(0.90 * s, 0.22 * s);
        painter.setPen(QPen(Green, s / 6.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(tick);
        break;
    }
    case Glyph::Cross:
        painter.setPen(QPen(Red, s / 6.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0.2 * s, 0.2 * s), QPointF(0.8 * s, 0.8 * s));
        painter.drawLine(QPointF(0.8 * s, 0.2 * s), QPointF(0.2 * s, 0.8 * s));
        break;
    }
}

} // namespace

QIcon GlyphIcon(Glyph glyph, int size)
{
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(QSize(size, size) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paintGlyph(painter, glyph, size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
