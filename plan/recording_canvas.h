#pragma once

// A page canvas that keeps what is drawn instead of drawing it, for checking
// and measuring the printout without a printer. Each character is half the
// character height wide, so widths are whole numbers that a reader can
// follow by hand.

#include "plan/print_layout.h"

#include <QList>
#include <QString>

struct RecordedFont
{
    QString face;
    int points = 0;
    int red = 0;
    int green = 0;
    int blue = 0;
    bool bold = false;
    friend bool operator==(const RecordedFont &, const RecordedFont &) = default;
};

struct RecordedItem
{
    enum Kind
    {
        Text,
        Line
    };

    Kind kind = Text;
    // Pages count from 1.
    int page = 1;
    int x = 0;
    int y = 0;
    // The other end of a line.
    int x2 = 0;
    int y2 = 0;
    // A text's measured width, its text and the font it was drawn in.
    int width = 0;
    QString text;
    RecordedFont font;
    friend bool operator==(const RecordedItem &, const RecordedItem &) = default;
};

class RecordingCanvas final : public PageCanvas
{
public:
    RecordingCanvas(int width, int height, int verticalDpi);

    void setFontFace(const QString &face) override;
    void setFontSize(int points) override;
    void setFontColor(int red, int green, int blue) override;
    void setFontBold(bool bold) override;
    int characterHeight() const override;
    int textWidth(const QString &text) const override;
    void drawText(int x, int y, const QString &text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void newPage() override;
    int pageWidth() const override { return m_width; }
    int pageHeight() const override { return m_height; }
    int verticalDpi() const override { return m_verticalDpi; }

    const QList<RecordedItem> &items() const { return m_items; }
    int pageCount() const { return m_page; }
    // Forgets everything drawn and starts again on page 1; the font stays.
    void clear();

private:
    int m_width;
    int m_height;
    int m_verticalDpi;
    int m_page = 1;
    RecordedFont m_font;
    QList<RecordedItem> m_items;
};
