#pragma once

#include <QString>

inline constexpr QStringView HeightLimitMessage = u"Feld Größe darf nicht kleiner 50 cm sein";
inline constexpr QStringView WeightLimitMessage = u"Feld Gewicht darf nicht kleiner 20 kg sein";

// The outcome of one calculation: either the BMI text for the result label or,
// when a value is below its limit, the message the dialog shows instead.
struct BmiOutcome
{
    QString bmi;
    QString limitMessage;
};

// The body mass index from the height in cm and the weight in kg, both texts.
// The height is converted and checked before the weight is looked at.
// Raises a Failure for a refused text and for a value beyond single precision.
BmiOutcome CalculateBmi(const QString &height, const QString &weight);
