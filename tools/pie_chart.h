#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

// A flat pie chart and nothing else: no title, legend, axes or frame. The pie
// is an ellipse filling the widget less a margin of 10 % of its width and
// height on each side. The first slice starts at three o'clock and the slices
// follow counter-clockwise in the order they were added. Each slice has a
// callout with its label, a pale yellow box joined to the slice by a short
// white line; callouts may reach into the margins. A slice of value 0 is not
// drawn but keeps its callout, and a negative value counts as 0.
class PieChart final : public QWidget
{
    Q_OBJECT

public:
    struct Slice
    {
        double value = 0;
        QString label;
        QColor colour;
    };

    static constexpr QColor CalloutColour{255, 255, 128};
    static constexpr QColor CalloutLineColour{255, 255, 255};
    static constexpr int CalloutLineLength = 8;

    explicit PieChart(QWidget *parent = nullptr);

    void clear();
    void addSlice(double value, const QString &label, const QColor &colour);
    const QList<Slice> &slices() const { return m_slices; }

    // The ellipse the pie fills, in widget coordinates.
    QRectF pieRect() const;
    // The callout boxes, one for each slice in order, in widget coordinates.
    QList<QRect> calloutRects() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Callout
    {
        QPointF edge;   // on the rim of the pie, in the middle of the slice
        QPointF anchor; // the end of the callout line
        QRect box;
    };
    struct Layout
    {
        QList<qreal> starts; // degrees, counter-clockwise from three o'clock
        QList<qreal> spans;
        QList<Callout> callouts;
    };

    Layout layout() const;

    QList<Slice> m_slices;
};
