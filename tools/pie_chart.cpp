#include "tools/pie_chart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr qreal MarginShare = 0.1;
constexpr qreal CalloutPaddingX = 4;
constexpr qreal CalloutPaddingY = 2;
// Beyond this share of the direction the box sits beside rather than centred.
constexpr qreal AttachThreshold = 0.25;

qreal shownValue(const PieChart::Slice &slice)
{
    return std::max(0.0, slice.value);
}

// Places a box of the given size at the end of the callout line, on the side
// of the line away from the pie.
QRectF boxAt(QPointF anchor, QPointF direction, QSizeF size)
{
    QRectF box(QPointF(), size);
    if (direction.x() > AttachThreshold)
        box.moveLeft(anchor.x());
    else if (direction.x() < -AttachThreshold)
        box.moveRight(anchor.x());
    else
        box.moveLeft(anchor.x() - size.width() / 2);
    if (direction.y() > AttachThreshold)
        box.moveTop(anchor.y());
    else if (direction.y() < -AttachThreshold)
        box.moveBottom(anchor.y());
    else
        box.moveTop(anchor.y() - size.height() / 2);
    return box;
}

// Moves the box into the area as far as it fits, so that a callout beside the
// pie stays whole even where it covers the pie's rim.
QRect keptInside(QRect box, const QRect &area)
{
    box.moveLeft(
        std::clamp(box.left(), area.left(), std::max(area.left(), area.right() - box.width() + 1)));
    box.moveTop(
        std::clamp(box.top(), area.top(), std::max(area.top(), area.bottom() - box.height() + 1)));
    return box;
}

template <typename Callouts> bool overlapsAny(const QRect &box, const Callouts &callouts)
{
    return std::any_of(callouts.cbegin(), callouts.cend(),
                       [&](const auto &earlier) { return earlier.box.intersects(box); });
}

QPointF nearestPoint(const QRectF &box, QPointF point)
{
    return {std::clamp(point.x(), box.left(), box.right()),
            std::clamp(point.y(), box.top(), box.bottom())};
}

} // namespace

PieChart::PieChart(QWidget *parent) : QWidget(parent) {}

void PieChart::clear()
{
    m_slices.clear();
    update();
}

void PieChart::addSlice(double value, const QString &label, const QColor &colour)
{
    m_slices.append({value, label, colour});
    update();
}

QRectF PieChart::pieRect() const
{
    const qreal marginX = width() * MarginShare;
    const qreal marginY = height() * MarginShare;
    return QRectF(marginX, marginY, width() - 2 * marginX, height() - 2 * marginY);
}

QList<QRect> PieChart::calloutRects() const
{
    QList<QRect> rects;
    for (const Callout &callout : layout().callouts)
        rects.append(callout.box);
    return rects;
}

PieChart::Layout PieChart::layout() const
{
    const QRectF pie = pieRect();
    const QPointF centre = pie.center();
    qreal total = 0;
    for (const Slice &slice : m_slices)
        total += shownValue(slice);

    const QFontMetricsF metrics(font());
    Layout result;
    qreal start = 0;
    for (const Slice &slice : m_slices) {
        const qreal span = total > 0 ? 360 * shownValue(slice) / total : 0;
        result.starts.append(start);
        result.spans.append(span);

        // Qt's arcs measure angles on the circle that the ellipse is
        // stretched from, so the middle of the slice's rim lies here.
        const qreal middle = (start + span / 2) * std::numbers::pi / 180;
        const QPointF fromCentre(pie.width() / 2 * std::cos(middle),
                                 -pie.height() / 2 * std::sin(middle));
        const qreal length = std::hypot(fromCentre.x(), fromCentre.y());
        const QPointF direction =
            length > 0 ? fromCentre / length : QPointF(std::cos(middle), -std::sin(middle));
        Callout callout;
        callout.edge = centre + fromCentre;
        callout.anchor = callout.edge + direction * CalloutLineLength;
        const QSizeF size(std::ceil(metrics.horizontalAdvance(slice.label)) + 2 * CalloutPaddingX,
                          std::ceil(metrics.height()) + 2 * CalloutPaddingY);
        callout.box = keptInside(boxAt(callout.anchor, direction, size).toAlignedRect(), rect());
        // Neighbouring small slices would stack their boxes on each other: a
        // later box moves on, away from the middle, until it stands free; where
        // the edge of the chart stops it, it tries the other way.
        const int away = direction.y() > 0 ? 1 : -1;
        for (int step : {away, -away}) {
            QRect box = callout.box;
            while (rect().contains(box) && overlapsAny(box, result.callouts))
                box.translate(0, step);
            if (rect().contains(box)) {
                callout.box = box;
                break;
            }
        }
        result.callouts.append(callout);
        start += span;
    }
    return result;
}

void PieChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout slices = layout();
    const QRectF pie = pieRect();

    painter.setPen(QPen(Qt::black, 1));
    for (qsizetype i = 0; i < m_slices.size(); ++i) {
        if (slices.spans[i] <= 0)
            continue;
        QPainterPath path(pie.center());
        path.arcTo(pie, slices.starts[i], slices.spans[i]);
        path.closeSubpath();
        painter.setBrush(m_slices[i].colour);
        painter.drawPath(path);
    }

    // Callouts are drawn crisp: thin white lines and framed boxes.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(CalloutLineColour, 1));
    for (const Callout &callout : slices.callouts) {
        painter.drawLine(callout.edge, callout.anchor);
        const QPointF joint = nearestPoint(QRectF(callout.box), callout.anchor);
        if (joint != callout.anchor)
            painter.drawLine(callout.anchor, joint);
    }

    painter.setBrush(CalloutColour);
    for (qsizetype i = 0; i < m_slices.size(); ++i) {
        const QRect box = slices.callouts[i].box;
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.drawText(box, Qt::AlignCenter, m_slices[i].label);
    }
}
