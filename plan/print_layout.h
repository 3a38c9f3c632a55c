#pragma once

// The printed day plan: one table per meal that has rows, the day's totals
// and a footer, laid out on an abstract page canvas. Every position is a
// fraction of the printable page or of the current character height, formed
// in extended precision and truncated once, so the layout scales with paper
// size and resolution. Row values are recomputed from the row texts; the sums
// are printed as the totals displays show them. A conversion error ends the
// layout where it stands and propagates to the caller.

#include "plan/totals.h"

#include <QString>

#include <array>

class TextTableModel;

// The surface the printout draws on. Fonts are set piecewise, as the layout
// changes face, size, colour and style independently; text is placed by the
// top-left corner of its cell on a transparent background, and lines use a
// solid black pen one device unit wide.
class PageCanvas
{
public:
    virtual ~PageCanvas() = default;

    virtual void setFontFace(const QString &face) = 0;
    virtual void setFontSize(int points) = 0;
    virtual void setFontColor(int red, int green, int blue) = 0;
    virtual void setFontBold(bool bold) = 0;
    // The height of the current font in device units.
    virtual int characterHeight() const = 0;
    virtual int textWidth(const QString &text) const = 0;
    virtual void drawText(int x, int y, const QString &text) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    virtual void newPage() = 0;

    // The printable area in device units and the vertical resolution.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    virtual int verticalDpi() const = 0;
};

// The character height of a font of the given size: points × dpi / 72,
// rounded to the nearest whole unit with halves away from zero.
int CharacterHeight(int points, int verticalDpi);

struct PlanPrintMeal
{
    // A meal without a list prints like one without rows.
    const TextTableModel *rows = nullptr;
    QString heading;
    QString kcalText;
};

struct PlanPrintInput
{
    std::array<PlanPrintMeal, MealCount> meals;
    // The day totals as displayed: GKAL, EW, KH and FT.
    QString dayKcal;
    QString dayProtein;
    QString dayCarbohydrate;
    QString dayFat;
};

// The input for the four meal lists, headed by the meals' names, and the
// texts of the eight displays.
PlanPrintInput MakePlanPrintInput(const std::array<const TextTableModel *, MealCount> &meals,
                                  const DisplayTexts &displayTexts);

inline constexpr QStringView PlanPrintFooter =
    u"Erstellt mit Menuvera 2 – nur für den privaten, nicht für den kommerziellen Gebrauch";

class PlanPrintLayout
{
public:
    // The canvas must already be on the first page of the job.
    explicit PlanPrintLayout(PageCanvas &canvas);

    // Everything from the title to the footer. Sets the face once, first.
    void PrintPages(const PlanPrintInput &input);
    // One meal's table from top; gives the y of its "Summe" line, or top
    // unchanged for a list without rows.
    int PrintMealTable(int top, const TextTableModel &list, const QString &heading,
                       const QString &sumText);
    // Draws the text in the current font with its right edge at x.
    void TextOutRight(int x, int y, const QString &text);

private:
    void setFont(int points, int red, int green, int blue, bool bold);
    void drawRule(int y);
    int firstLineY() const;

    PageCanvas &m_canvas;
    int m_width;
    int m_height;
};

// Runs the layout on a canvas that draws nothing, so that a conversion error
// comes out before a print job is begun.
void CheckPlanPrintable(const PlanPrintInput &input);
