#pragma once

// The four meals of the day plan, the columns of their lists and the eight
// total displays that the recalculation fills.

#include "core/food_columns.h"

#include <QString>

#include <array>

inline constexpr int MealCount = 4;

// Breakfast to dinner: the tabs of the meal lists, the captions of their
// energy displays and the headings of the printout.
inline constexpr std::array<QStringView, MealCount> MealNames = {u"Frühstück", u"Mittagessen",
                                                                 u"Nachmittag", u"Abendessen"};

// The texts of a meal row, by column: the food's name, the portion in grams,
// then the food's values per 100 g.
enum MealColumn
{
    MealName,
    MealPortion,
    MealKcal,
    MealProtein,
    MealFat,
    MealCarbohydrate
};
inline constexpr int MealColumnCount = 6;

inline constexpr std::array<QStringView, MealColumnCount> MealColumnNames = {
    FoodColumnNames[FoodName], u"Portion",
    FoodColumnNames[FoodKcal], FoodColumnNames[FoodProtein],
    FoodColumnNames[FoodFat],  FoodColumnNames[FoodCarbohydrate]};
inline constexpr std::array<int, MealColumnCount> MealColumnWidths = {185, 45, 50, 50, 50, 50};

// The eight total displays: each meal's energy, then the day's energy,
// protein, fat and carbohydrate.
enum TotalsDisplay
{
    KCAL1,
    KCAL2,
    KCAL3,
    KCAL4,
    GKAL,
    EW,
    FT,
    KH
};
inline constexpr int TotalsDisplayCount = 8;
using DisplayTexts = std::array<QString, TotalsDisplayCount>;

constexpr TotalsDisplay MealDisplay(int meal)
{
    return TotalsDisplay(KCAL1 + meal);
}

// The day's displays with the caption and the unit shown beside them.
struct DayDisplay
{
    TotalsDisplay display;
    QStringView caption;
    QStringView unit;
};
inline constexpr std::array<DayDisplay, 4> DayDisplays = {{{GKAL, u"Gesamtkalorien", u"kcal"},
                                                           {EW, u"Eiweiss", u"gr"},
                                                           {FT, u"Fett", u"gr"},
                                                           {KH, u"Kohlenhydrate", u"gr"}}};
