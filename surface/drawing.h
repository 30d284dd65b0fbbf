#pragma once
// A drawing: what a picture is made of, as the symbols drew it through the canvas. Every
// output reads it: the pixels are painted from it, SVG and PDF (and the clipboard's SVG)
// write its fills as rectangles and its texts as text, and the symbol check finds the texts
// in it. Nothing downstream works out again where a bar or a digit went.
//
// Coordinates are device pixels of the picture from its top-left corner; rectangles are
// half-open (QRect's right() and bottom() are the last pixel inside). A mark may reach
// outside the picture: the picture's edges clip it when it is painted or written.
//
// The marks are kept in the order they were made, since a later mark covers an earlier
// one: the digits' white cells cover the feet of the guard bars under them.

#include <QColor>
#include <QRect>
#include <QString>
#include <vector>

#include "surface/font.h"

namespace surface {

struct Drawing {
    // One mark: a rectangle filled in `colour`, or a line of text whose cell `rect` was
    // filled in `colour` (the canvas brush at the time) and whose glyphs were drawn in the
    // colour of its font.
    struct Mark {
        enum class Kind : unsigned char { Fill, Text };
        Kind kind = Kind::Fill;
        QRect rect;       // the filled rectangle, or the text cell
        QRgb colour = 0;  // fill colour, or the text cell's background
        int text = -1;    // Text: index into `texts`
    };

    // The words of a Text mark and how they were written.
    struct Text {
        QString text;
        int font = 0;    // index into `fonts`; the font's colour is the ink
        int ascent = 0;  // the baseline, below the cell's top
        QRect clip;      // the picture as it was when the text was written
    };

    int width = 0, height = 0;  // the picture, in pixels
    int dpi = 96;               // the resolution it is made at
    std::vector<Mark> marks;    // oldest first
    std::vector<Text> texts;
    std::vector<Font> fonts;  // each font texts were written in, once

    bool isEmpty() const { return width == 0 || height == 0; }
    const Text& textOf(const Mark& m) const { return texts[std::size_t(m.text)]; }
    const Font& fontOf(const Text& t) const { return fonts[std::size_t(t.font)]; }
};

}  // namespace surface
