#pragma once

// The page canvas of a print job: a painter that is active on a printer.
// A size in points becomes a font whose em is the character height the
// layout computes (points × dpi / 72).

#include "plan/print_layout.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPen>

#include <optional>

class QPainter;
class QPrinter;

// "Arial" and the faces that stand in for it with the same metrics where it
// is not installed.
QStringList FontFamiliesFor(const QString &face);

class PrinterCanvas final : public PageCanvas
{
public:
    // The painter must be active on the printer for as long as the canvas is used.
    PrinterCanvas(QPrinter &printer, QPainter &painter);

    void setFontFace(const QString &face) override;
    void setFontSize(int points) override;
    void setFontColor(int red, int green, int blue) override;
    void setFontBold(bool bold) override;
    int characterHeight() const override;
    int textWidth(const QString &text) const override;
    void drawText(int x, int y, const QString &text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void newPage() override;
    int pageWidth() const override;
    int pageHeight() const override;
    int verticalDpi() const override;

    // The font that stands for the current face, size and style.
    const QFont &currentFont() const;

private:
    const QFontMetrics &metrics() const;
    void fontChanged();

    QPrinter &m_printer;
    QPainter &m_painter;
    QStringList m_families;
    int m_points = 10;
    bool m_bold = false;
    QColor m_color = Qt::black;
    QPen m_linePen;
    mutable std::optional<QFont> m_font;
    mutable std::optional<QFontMetrics> m_metrics;
};
