#pragma once
// Text as the pictures draw it, rendered once per font and text and kept: symbols write
// the same few digits again and again, and shaping text is far dearer than copying the
// pixels of a glyph. Glyphs are drawn without antialiasing, so a glyph pixel is either
// wholly the font colour or untouched, and setting the kept pixels gives exactly what
// drawing the text again would.

#include <QPoint>
#include <QString>
#include <vector>

#include "surface/font.h"

namespace surface {

struct GlyphRun {
    int advance = 0;  // width of the text cell
    int height = 0;   // height of the text cell
    int ascent = 0;   // baseline below the cell's top
    // The glyph pixels, relative to the cell's top-left corner (they may lie outside it).
    std::vector<QPoint> ink;
};

// The rendered text for a font on a picture of `dpi`. Safe to call from several threads.
const GlyphRun& glyphRun(const Font& font, int dpi, const QString& text);

}  // namespace surface
