#pragma once

// The five columns of a food: the order of the fields in a food list line,
// of the catalogue list's columns and of the texts the dialogs exchange.

#include <QList>
#include <QStringList>
#include <QStringView>

#include <array>

enum FoodColumn
{
    FoodName,
    FoodKcal,
    FoodProtein,
    FoodFat,
    FoodCarbohydrate
};
inline constexpr int FoodFieldCount = 5;

// The column headers of the catalogue list; the writer's messages name a
// value's column by them too.
inline constexpr std::array<QStringView, FoodFieldCount> FoodColumnNames = {
    u"Name", u"Kalorien", u"Eiweiss", u"Fett", u"Kohlenhydrate"};
// The catalogue list's column widths in the main window, in pixels.
inline constexpr std::array<int, FoodFieldCount> FoodColumnWidths = {185, 50, 50, 50, 50};

// A list of names or widths as the list model and the list view take them.
template <size_t N> QStringList ToStringList(const std::array<QStringView, N> &texts)
{
    QStringList list;
    list.reserve(qsizetype(N));
    for (QStringView text : texts)
        list.append(text.toString());
    return list;
}

template <size_t N> QList<int> ToList(const std::array<int, N> &values)
{
    return QList<int>(values.begin(), values.end());
}
