#pragma once

#include <QString>

// The kcal of the given grams of protein, carbohydrate and fat (texts, read in
// this order), as a whole number text. Raises a Failure for the first refused
// text and for a value beyond single precision.
QString CalculateCalories(const QString &protein, const QString &carbohydrate, const QString &fat);
