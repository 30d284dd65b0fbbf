#pragma once
// Text as the pictures draw it, rendered once per font and text and kept: symbols write
// the same few digits again and again, and shaping text is far dearer than copying the
// pixels of a glyph. Glyphs are drawn without antialiasing, so a glyph pixel is either
// wholly the font colour or untouched, and setting the kept pixels gives exactly what
// drawing the text again would.
//
// Text that reaches past the picture is rendered for the part inside it alone, afresh and
// not kept: a comment of thousands of characters in a large font costs the pixels of the
// picture it is drawn on, not those of the whole line.

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "surface/font.h"

namespace surface {

struct GlyphRun {
    int advance = 0;  // width of the text cell
    int height = 0;   // height of the text cell
    int ascent = 0;   // baseline below the cell's top
    // How far glyphs may reach past their cell on every side (italics, overhanging letters).
    int overhang = 0;
    // The glyph pixels as runs along rows, relative to the cell's top-left corner (they may
    // lie outside it), row by row from the top.
    struct Span {
        int x, y, length;
    };
    std::vector<Span> ink;
    // Where each row's runs start in `ink`: row inkTop + r holds ink[rowStart[r]] up to
    // ink[rowStart[r + 1]].
    int inkTop = 0;
    std::vector<std::uint32_t> rowStart;
    // The columns the runs lie in, and, when they are fewer than 64, each row's runs as bits:
    // bit b stands for column inkLeft + b.
    int inkLeft = 0, inkRight = -1;
    std::vector<std::uint64_t> rowBits;

    // The cell alone, without its pixels.
    GlyphRun cell() const {
        GlyphRun c;
        c.advance = advance, c.height = height, c.ascent = ascent, c.overhang = overhang;
        return c;
    }

    // The runs of row y of the cell (y may lie outside it; then mostly none).
    std::span<const Span> inkInRow(int y) const {
        const long r = long(y) - inkTop;
        if (r < 0 || r + 1 >= long(rowStart.size())) return {};
        return {ink.data() + rowStart[std::size_t(r)], ink.data() + rowStart[std::size_t(r) + 1]};
    }
};

// The cell of the text, without its pixels (ink stays empty). Safe from several threads.
GlyphRun glyphMetrics(const Font& font, int dpi, const QString& text);

// The rendered text when it is kept already; null otherwise.
std::shared_ptr<const GlyphRun> keptGlyphRun(const Font& font, int dpi, const QString& text);

// The rendered text for a font on a picture of `dpi`, kept for the next call. Safe to call
// from several threads; the run stays valid as long as the caller holds it.
std::shared_ptr<const GlyphRun> glyphRun(const Font& font, int dpi, const QString& text);

// The text rendered black on white into an image of `window`'s size, where `window` is in
// the cell's coordinates (the cell's top-left corner is 0,0). Nothing is kept.
QImage renderGlyphWindow(const Font& font, int dpi, const QString& text, const GlyphRun& metrics,
                         const QRect& window);

// Pixels rendered for text by this thread so far: the work text drawing has done.
std::uint64_t glyphPixelsRendered();

}  // namespace surface
