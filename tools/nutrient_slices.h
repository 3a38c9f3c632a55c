#pragma once

// The energy split of one food for the nutrient information window: how the
// energy of its protein, fat and carbohydrate divides among the three. The
// window's chart only paints what comes from here.

#include <QList>
#include <QString>

// A colour as plain channel values, so that the core needs no GUI module.
struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

struct NutrientSlice
{
    float value = 0; // kcal, single precision as stored
    QString label;   // "1,2 kcal = 2,3 %"
    Rgb colour;
};

inline constexpr Rgb ProteinColour{0, 128, 0};
inline constexpr Rgb FatColour{255, 0, 0};
inline constexpr Rgb CarbohydrateColour{255, 255, 0};

// The three slices, protein, fat and carbohydrate in this order, from the
// gram texts per 100 g. Raises a Failure for a refused text, for an energy
// beyond single precision and for energies that add up to zero, since their
// shares cannot be computed then.
QList<NutrientSlice> NutrientSlices(const QString &protein, const QString &fat,
                                    const QString &carbohydrate);
