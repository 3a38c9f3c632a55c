#include "plan/print_layout.h"

#include "core/number_text.h"
#include "core/text_table_model.h"

namespace {

// Factors are doubles on purpose: 0.59 × 4800 must give 2831 in extended
// precision, because the double nearest to 0.59 lies just below it.
constexpr double TitleLeft = 0.042;
constexpr double TitleTop = 0.05;
constexpr double FirstLineTop = 0.1;
constexpr double RuleLeft = 0.05;
constexpr double RuleRight = 0.95;
constexpr double HeadingLeft = 0.05;
constexpr double NameLeft = 0.06;
constexpr double RuleSpacing = 0.002;
constexpr double SecondRuleSpacing = 0.004;
constexpr double FooterTop = 0.97;
constexpr double RowBreakLimit = 0.9;
constexpr double MealBreakLimit = 0.85;
constexpr double LineSpacing = 1.1;
constexpr double MealGap = 1.5;
constexpr double TotalsGap = 1.2;
constexpr double HalfStep = 0.5;
constexpr double ClosingRuleStep = 0.2;

constexpr double PortionEdge = 0.52;
constexpr double EnergyEdge = 0.59;
constexpr double ProteinEdge = 0.71;
constexpr double CarbohydrateEdge = 0.83;
constexpr double FatEdge = 0.95;

constexpr QStringView EnergyMask = u"####0.0";
constexpr QStringView GramMask = u"####0.0 gr";

// The nutrient columns in printed order; the row texts hold fat before
// carbohydrate.
struct NutrientColumn
{
    double edge;
    MealColumn text;
    QStringView mask;
};

constexpr std::array<NutrientColumn, 4> NutrientColumns = {{
    {EnergyEdge, MealKcal, EnergyMask},
    {ProteinEdge, MealProtein, GramMask},
    {CarbohydrateEdge, MealCarbohydrate, GramMask},
    {FatEdge, MealFat, GramMask},
}};

Extended Product(double factor, int base)
{
    return Extended(factor) * Extended(base);
}

int Truncated(Extended value)
{
    return static_cast<int>(value);
}

int Position(double factor, int base)
{
    return Truncated(Product(factor, base));
}

// The gap below a line of height e, scaled twice: e × spacing × 1.1.
int Below(int y, int e, double spacing)
{
    return Truncated(Extended(y) + Extended(e) * Extended(spacing) * Extended(LineSpacing));
}

class BlankCanvas final : public PageCanvas
{
public:
    void setFontFace(const QString &) override {}
    void setFontSize(int points) override { m_points = points; }
    void setFontColor(int, int, int) override {}
    void setFontBold(bool) override {}
    int characterHeight() const override { return CharacterHeight(m_points, verticalDpi()); }
    int textWidth(const QString &) const override { return 0; }
    void drawText(int, int, const QString &) override {}
    void drawLine(int, int, int, int) override {}
    void newPage() override {}
    int pageWidth() const override { return 4800; }
    int pageHeight() const override { return 6600; }
    int verticalDpi() const override { return 600; }

private:
    int m_points = 12;
};

} // namespace

int CharacterHeight(int points, int verticalDpi)
{
    const int scaled = points * verticalDpi;
    return scaled >= 0 ? (2 * scaled + 72) / 144 : -((-2 * scaled + 72) / 144);
}

PlanPrintInput MakePlanPrintInput(const std::array<const TextTableModel *, MealCount> &meals,
                                  const DisplayTexts &displayTexts)
{
    PlanPrintInput input;
    for (int meal = 0; meal < MealCount; ++meal) {
        input.meals[size_t(meal)] = {meals[size_t(meal)], MealNames[size_t(meal)].toString(),
                                     displayTexts[MealDisplay(meal)]};
    }
    input.dayKcal = displayTexts[GKAL];
    input.dayProtein = displayTexts[EW];
    input.dayFat = displayTexts[FT];
    input.dayCarbohydrate = displayTexts[KH];
    return input;
}

PlanPrintLayout::PlanPrintLayout(PageCanvas &canvas)
    : m_canvas(canvas), m_width(canvas.pageWidth()), m_height(canvas.pageHeight())
{}

void PlanPrintLayout::PrintPages(const PlanPrintInput &input)
{
    m_canvas.setFontFace(QStringLiteral("Arial"));
    setFont(12, 0, 0, 0, false);
    m_canvas.drawText(Position(TitleLeft, m_width), Position(TitleTop, m_height),
                      QStringLiteral("Ernährungsplan"));

    int y = firstLineY();
    for (const PlanPrintMeal &meal : input.meals) {
        if (meal.rows == nullptr || meal.rows->rowCount() == 0)
            continue;
        y = PrintMealTable(y, *meal.rows, meal.heading, meal.kcalText);
        const int e = m_canvas.characterHeight();
        y = Below(y, e, MealGap);
        drawRule(y);
        drawRule(Truncated(Extended(y) + Product(RuleSpacing, m_height)));
        y = Below(y, e, MealGap);
        if (Extended(y) > Product(MealBreakLimit, m_height)) {
            y = firstLineY();
            m_canvas.newPage();
        }
    }

    setFont(10, 0, 128, 0, true);
    TextOutRight(Position(EnergyEdge, m_width), y, QStringLiteral("Kcal"));
    TextOutRight(Position(ProteinEdge, m_width), y, QStringLiteral("Eiweiss"));
    TextOutRight(Position(CarbohydrateEdge, m_width), y, QStringLiteral("Kohlehyd."));
    TextOutRight(Position(FatEdge, m_width), y, QStringLiteral("Fett"));

    const int e = m_canvas.characterHeight();
    y = Below(y, e, TotalsGap);
    drawRule(y);
    drawRule(Truncated(Extended(y) + Product(RuleSpacing, m_height)));
    drawRule(Truncated(Extended(y) + Product(SecondRuleSpacing, m_height)));
    y = Truncated(Extended(y) + Product(LineSpacing, e));

    m_canvas.drawText(Position(HeadingLeft, m_width), y, QStringLiteral("Gesamtsumme"));
    TextOutRight(Position(EnergyEdge, m_width), y, input.dayKcal);
    TextOutRight(Position(ProteinEdge, m_width), y, input.dayProtein + QStringLiteral(" gr"));
    TextOutRight(Position(CarbohydrateEdge, m_width), y,
                 input.dayCarbohydrate + QStringLiteral(" gr"));
    TextOutRight(Position(FatEdge, m_width), y, input.dayFat + QStringLiteral(" gr"));

    // The footer keeps the bold style of the totals block.
    m_canvas.setFontSize(8);
    m_canvas.setFontColor(0, 0, 0);
    m_canvas.drawText(Position(TitleLeft, m_width), Position(FooterTop, m_height),
                      PlanPrintFooter.toString());
}

int PlanPrintLayout::PrintMealTable(int top, const TextTableModel &list, const QString &heading,
                                    const QString &sumText)
{
    if (list.rowCount() == 0)
        return top;

    setFont(10, 0, 0, 0, false);
    TextOutRight(Position(PortionEdge, m_width), top, QStringLiteral("Portion"));
    TextOutRight(Position(EnergyEdge, m_width), top, QStringLiteral("Kcal"));
    TextOutRight(Position(ProteinEdge, m_width), top, QStringLiteral("Eiweiss"));
    TextOutRight(Position(CarbohydrateEdge, m_width), top, QStringLiteral("Kohlehyd."));
    TextOutRight(Position(FatEdge, m_width), top, QStringLiteral("Fett"));

    setFont(12, 0, 0, 255, true);
    m_canvas.drawText(Position(HeadingLeft, m_width), top, heading);

    const int e = m_canvas.characterHeight();
    int y = Truncated(Extended(top) + Product(LineSpacing, e));
    const int rowStep = Position(LineSpacing, e);
    drawRule(y);

    setFont(10, 0, 0, 0, false);
    y = Truncated(Extended(y) + Product(HalfStep, rowStep));
    for (int row = 0; row < list.rowCount(); ++row) {
        const QStringList &texts = list.rowTexts(row);
        m_canvas.drawText(Position(NameLeft, m_width), y, texts.value(MealName));
        const float portion = ParsePortion(texts.value(MealPortion));
        TextOutRight(Position(PortionEdge, m_width), y,
                     texts.value(MealPortion) + QStringLiteral(" Gramm"));
        for (const NutrientColumn &column : NutrientColumns) {
            TextOutRight(
                Position(column.edge, m_width), y,
                FormatNumber(PortionAmount(texts.value(column.text), portion), column.mask));
        }
        y += rowStep;
        if (Extended(y) > Product(RowBreakLimit, m_height)) {
            y = firstLineY();
            m_canvas.newPage();
            setFont(10, 0, 0, 0, false);
        }
    }

    y = Truncated(Extended(y) + Product(ClosingRuleStep, rowStep));
    drawRule(y);
    y = Truncated(Extended(y) + Product(HalfStep, rowStep));

    setFont(10, 0, 128, 0, true);
    m_canvas.drawText(Position(HeadingLeft, m_width), y, QStringLiteral("Summe"));
    TextOutRight(Position(EnergyEdge, m_width), y, sumText);
    return y;
}

void PlanPrintLayout::TextOutRight(int x, int y, const QString &text)
{
    m_canvas.drawText(x - m_canvas.textWidth(text), y, text);
}

void PlanPrintLayout::setFont(int points, int red, int green, int blue, bool bold)
{
    m_canvas.setFontSize(points);
    m_canvas.setFontColor(red, green, blue);
    m_canvas.setFontBold(bold);
}

void PlanPrintLayout::drawRule(int y)
{
    m_canvas.drawLine(Position(RuleLeft, m_width), y, Position(RuleRight, m_width), y);
}

int PlanPrintLayout::firstLineY() const
{
    return Position(FirstLineTop, m_height);
}

void CheckPlanPrintable(const PlanPrintInput &input)
{
    BlankCanvas canvas;
    PlanPrintLayout(canvas).PrintPages(input);
}
