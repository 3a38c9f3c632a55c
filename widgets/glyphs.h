#pragma once

#include <QIcon>

// Button pictures, painted rather than stored so that they stay sharp at any
// scale factor.
enum class Glyph
{
    ArrowRight,
    ArrowLeft,
    Tick,
    Cross
};

QIcon GlyphIcon(Glyph glyph, int size);
