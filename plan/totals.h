#pragma once

// The day's totals, recomputed from all rows of the four meals after every
// change of the plan. Sums are single precision; each amount is formed and
// added in extended precision and rounded when stored back into its sum.

#include "core/number_text.h"
#include "plan/meals.h"

#include <QList>
#include <QStringList>

#include <array>

class TextTableModel;

// The portion text held as a single-precision number.
float ParsePortion(QStringView portionText);
// The amount in the portion of a value per 100 g: value × 0.01 × portion, in
// that order, in extended precision.
Extended PortionAmount(QStringView valueText, float portion);

struct PlanTotals
{
    float dayKcal = 0;
    float dayProtein = 0;
    float dayFat = 0;
    float dayCarbohydrate = 0;
    std::array<float, MealCount> mealKcal{};
};

struct FailedRow
{
    int meal;
    int row;
    friend bool operator==(const FailedRow &, const FailedRow &) = default;
};

struct TotalsResult
{
    PlanTotals sums;
    // Rows that could not be processed, in processing order. What their
    // earlier steps added stays in the sums.
    QList<FailedRow> failedRows;
};

TotalsResult ComputeTotals(const std::array<const TextTableModel *, MealCount> &meals);

// The texts of the eight displays, by display.
DisplayTexts TotalsDisplayTexts(const PlanTotals &sums);
