#include "plan/recording_canvas.h"

RecordingCanvas::RecordingCanvas(int width, int height, int verticalDpi)
    : m_width(width), m_height(height), m_verticalDpi(verticalDpi)
{}

void RecordingCanvas::setFontFace(const QString &face)
{
    m_font.face = face;
}

void RecordingCanvas::setFontSize(int points)
{
    m_font.points = points;
}

void RecordingCanvas::setFontColor(int red, int green, int blue)
{
    m_font.red = red;
    m_font.green = green;
    m_font.blue = blue;
}

void RecordingCanvas::setFontBold(bool bold)
{
    m_font.bold = bold;
}

int RecordingCanvas::characterHeight() const
{
    return CharacterHeight(m_font.points, m_verticalDpi);
}

int RecordingCanvas::textWidth(const QString &text) const
{
    return int(text.size()) * characterHeight() / 2;
}

void RecordingCanvas::drawText(int x, int y, const QString &text)
{
    RecordedItem item;
    item.kind = RecordedItem::Text;
    item.page = m_page;
    item.x = x;
    item.y = y;
    item.width = textWidth(text);
    item.text = text;
    item.font = m_font;
    m_items.append(std::move(item));
}

void RecordingCanvas::drawLine(int x1, int y1, int x2, int y2)
{
    RecordedItem item;
    item.kind = RecordedItem::Line;
    item.page = m_page;
    item.x = x1;
    item.y = y1;
    item.x2 = x2;
    item.y2 = y2;
    m_items.append(std::move(item));
}

void RecordingCanvas::newPage()
{
    ++m_page;
}

void RecordingCanvas::clear()
{
    m_items.clear();
    m_page = 1;
}
