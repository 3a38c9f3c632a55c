#include "plan/printer_canvas.h"

#include "core/failure.h"

#include <QPainter>
#include <QPrinter>

QStringList FontFamiliesFor(const QString &face)
{
    // Fontconfig usually maps Arial to Liberation Sans already; naming the
    // stand-ins keeps that mapping when its alias file is missing, so that
    // widths and heights stay those of Arial rather than of a fallback face.
    if (face.compare(u"Arial", Qt::CaseInsensitive) == 0)
        return {face, QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")};
    return {face};
}

PrinterCanvas::PrinterCanvas(QPrinter &printer, QPainter &painter)
    : m_printer(printer), m_painter(painter), m_linePen(Qt::black, 1, Qt::SolidLine)
{
    m_painter.setBackgroundMode(Qt::TransparentMode);
}

void PrinterCanvas::setFontFace(const QString &face)
{
    m_families = FontFamiliesFor(face);
    fontChanged();
}

void PrinterCanvas::setFontSize(int points)
{
    m_points = points;
    fontChanged();
}

void PrinterCanvas::setFontColor(int red, int green, int blue)
{
    m_color = QColor(red, green, blue);
}

void PrinterCanvas::setFontBold(bool bold)
{
    m_bold = bold;
    fontChanged();
}

int PrinterCanvas::characterHeight() const
{
    return CharacterHeight(m_points, verticalDpi());
}

int PrinterCanvas::textWidth(const QString &text) const
{
    return metrics().horizontalAdvance(text);
}

void PrinterCanvas::drawText(int x, int y, const QString &text)
{
    m_painter.setFont(currentFont());
    m_painter.setPen(m_color);
    m_painter.drawText(QPoint(x, y + metrics().ascent()), text);
}

void PrinterCanvas::drawLine(int x1, int y1, int x2, int y2)
{
    m_painter.setPen(m_linePen);
    m_painter.drawLine(x1, y1, x2, y2);
}

void PrinterCanvas::newPage()
{
    // Windows' print engine says so when the spooler takes no further page;
    // going on would lose the rest of the printout without a word.
    if (!m_printer.newPage())
        throw Failure(QStringLiteral("Der Ernährungsplan wurde nicht gedruckt.\n"
                                     "Der Drucker hat die nächste Seite nicht angenommen."));
}

int PrinterCanvas::pageWidth() const
{
    return m_printer.width();
}

int PrinterCanvas::pageHeight() const
{
    return m_printer.height();
}

int PrinterCanvas::verticalDpi() const
{
    return m_printer.logicalDpiY();
}

const QFont &PrinterCanvas::currentFont() const
{
    if (!m_font) {
        QFont font;
        font.setFamilies(m_families);
        font.setBold(m_bold);
        // A font's size is its em: at s points that is E(s). Its line, ascent
        // and descent, comes out taller than E.
        font.setPixelSize(characterHeight());
        m_font = font;
    }
    return *m_font;
}

const QFontMetrics &PrinterCanvas::metrics() const
{
    if (!m_metrics)
        m_metrics.emplace(currentFont(), &m_printer);
    return *m_metrics;
}

void PrinterCanvas::fontChanged()
{
    m_font.reset();
    m_metrics.reset();
}
