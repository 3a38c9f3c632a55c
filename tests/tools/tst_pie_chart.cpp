#include "tools/pie_chart.h"

#include <QtTest>

#include <cmath>
#include <numbers>

namespace {

const QColor Background(90, 90, 90);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);
const QColor Yellow(255, 255, 0);

QImage rendered(PieChart &chart)
{
    QImage image(chart.size(), QImage::Format_RGB32);
    image.fill(Background);
    chart.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// A point of the pie at the given angle (degrees, counter-clockwise from
// three o'clock) and share of the way from the centre to the rim.
QPoint piePoint(const PieChart &chart, qreal degrees, qreal share)
{
    const QRectF pie = chart.pieRect();
    const qreal radians = degrees * std::numbers::pi / 180;
    return QPointF(pie.center().x() + share * pie.width() / 2 * std::cos(radians),
                   pie.center().y() - share * pie.height() / 2 * std::sin(radians))
        .toPoint();
}

QColor colourAt(const QImage &image, QPoint point)
{
    return image.pixelColor(point);
}

qsizetype countColour(const QImage &image, const QColor &colour)
{
    qsizetype count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                ++count;
        }
    }
    return count;
}

} // namespace

class tst_PieChart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void slicesInOrderAndColour();
    void ellipseFillsPlottingArea();
    void calloutsAreYellowBoxesOnWhiteLines();
    void zeroSliceKeepsItsCallout();
    void negativeValueDrawnAsZero();
    void smallNeighboursDoNotCoverEachOther();
    void clearEmptiesTheChart();
};

void tst_PieChart::slicesInOrderAndColour()
{
    PieChart chart;
    chart.resize(400, 300);
    chart.addSlice(1, QStringLiteral("a"), Green);
    chart.addSlice(1, QStringLiteral("b"), Red);
    chart.addSlice(2, QStringLiteral("c"), Yellow);
    const QImage image = rendered(chart);

    // A quarter, a quarter and a half, counter-clockwise from three o'clock,
    // in the order added and not sorted by size.
    QCOMPARE(colourAt(image, piePoint(chart, 45, 0.5)), Green);
    QCOMPARE(colourAt(image, piePoint(chart, 135, 0.5)), Red);
    QCOMPARE(colourAt(image, piePoint(chart, 200, 0.5)), Yellow);
    QCOMPARE(colourAt(image, piePoint(chart, 270, 0.9)), Yellow);
    QCOMPARE(colourAt(image, piePoint(chart, 340, 0.5)), Yellow);
}

void tst_PieChart::ellipseFillsPlottingArea()
{
    PieChart chart;
    chart.resize(500, 200);
    chart.addSlice(1, QStringLiteral("x"), Green);
    QCOMPARE(chart.pieRect(), QRectF(50, 20, 400, 160));
    const QImage image = rendered(chart);

    // Not a circle: the ellipse reaches close to all four sides of the plotting area.
    QCOMPARE(colourAt(image, {53, 100}), Green);
    QCOMPARE(colourAt(image, {250, 23}), Green);
    QCOMPARE(colourAt(image, {250, 177}), Green);
    // The margins stay empty where no callout stands.
    QCOMPARE(colourAt(image, {250, 10}), Background);
    QCOMPARE(colourAt(image, {250, 190}), Background);
    QCOMPARE(colourAt(image, {470, 100}), Background);
    // Outside the ellipse in the corners of the plotting area.
    QCOMPARE(colourAt(image, {60, 30}), Background);
}

void tst_PieChart::calloutsAreYellowBoxesOnWhiteLines()
{
    // One whole slice: its middle lies at nine o'clock, so line and box stand
    // on the left on the horizontal through the centre (an odd height puts
    // that line on a pixel row).
    PieChart chart;
    chart.resize(400, 301);
    chart.addSlice(5, QStringLiteral("5"), Green);
    const QImage image = rendered(chart);

    const QList<QRect> boxes = chart.calloutRects();
    QCOMPARE(boxes.size(), 1);
    const int rimX = 40;
    const int row = 150;
    QCOMPARE(colourAt(image, {rimX - 3, row}), PieChart::CalloutLineColour);
    QCOMPARE(colourAt(image, {rimX - 6, row}), PieChart::CalloutLineColour);
    // The box ends where the line of length 8 ends, and reaches into the margin.
    QCOMPARE(boxes[0].right(), rimX - PieChart::CalloutLineLength - 1);
    QVERIFY(boxes[0].left() < rimX);
    QVERIFY(boxes[0].contains(boxes[0].right() - 2, row));
    QCOMPARE(colourAt(image, {boxes[0].right() - 2, row}), PieChart::CalloutColour);
    // The box is framed.
    QCOMPARE(colourAt(image, {boxes[0].right(), row}), QColor(Qt::black));
    QCOMPARE(colourAt(image, {boxes[0].center().x(), boxes[0].top()}), QColor(Qt::black));
}

void tst_PieChart::zeroSliceKeepsItsCallout()
{
    PieChart chart;
    chart.resize(523, 353);
    chart.addSlice(82, QStringLiteral("82,0 kcal = 47,1 %"), Green);
    chart.addSlice(92, QStringLiteral("92,0 kcal = 52,9 %"), Red);
    chart.addSlice(0, QStringLiteral("0,0 kcal = 0,0 %"), Yellow);
    const QImage image = rendered(chart);

    QCOMPARE(countColour(image, Yellow), 0);
    const QList<QRect> boxes = chart.calloutRects();
    QCOMPARE(boxes.size(), 3);
    for (const QRect &box : boxes)
        QCOMPARE(colourAt(image, {box.left() + 2, box.center().y()}), PieChart::CalloutColour);
    QCOMPARE(colourAt(image, piePoint(chart, 80, 0.5)), Green);
    QCOMPARE(colourAt(image, piePoint(chart, 250, 0.5)), Red);
}

void tst_PieChart::negativeValueDrawnAsZero()
{
    PieChart chart;
    chart.resize(400, 300);
    chart.addSlice(-5, QStringLiteral("minus"), Red);
    chart.addSlice(1, QStringLiteral("plus"), Green);
    const QImage image = rendered(chart);

    QCOMPARE(countColour(image, Red), 0);
    for (qreal degrees : {10, 100, 190, 280})
        QCOMPARE(colourAt(image, piePoint(chart, degrees, 0.5)), Green);
    QCOMPARE(chart.calloutRects().size(), 2);
}

void tst_PieChart::smallNeighboursDoNotCoverEachOther()
{
    PieChart chart;
    chart.resize(523, 353);
    chart.addSlice(1.23, QStringLiteral("1,2 kcal = 2,3 %"), Green);
    chart.addSlice(0.92, QStringLiteral("0,9 kcal = 1,7 %"), Red);
    chart.addSlice(0.01, QStringLiteral("0,0 kcal = 0,0 %"), Yellow);
    chart.addSlice(50.84, QStringLiteral("50,8 kcal = 95,9 %"), Yellow);
    const QList<QRect> boxes = chart.calloutRects();
    QCOMPARE(boxes.size(), 4);
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        QVERIFY(chart.rect().contains(boxes[i]));
        for (qsizetype j = 0; j < i; ++j)
            QVERIFY2(!boxes[i].intersects(boxes[j]), qPrintable(QString::number(i)));
    }
}

void tst_PieChart::clearEmptiesTheChart()
{
    PieChart chart;
    chart.resize(400, 300);
    chart.addSlice(1, QStringLiteral("a"), Green);
    chart.clear();
    QVERIFY(chart.slices().isEmpty());
    QVERIFY(chart.calloutRects().isEmpty());
    const QImage image = rendered(chart);
    QCOMPARE(countColour(image, Background), qsizetype(image.width()) * image.height());
}

QTEST_MAIN(tst_PieChart)
#include "tst_pie_chart.moc"
