#pragma once
// Painting a picture made wholly by fills and text, row by row: a row that no operation
// starts or ends on, and that no glyph reaches, is the row above it again and is copied;
// only the other rows are painted, operation after operation.

#include <QImage>
#include <QVector>
#include <vector>

#include "surface/glyphcache.h"

namespace surface {

// One operation as painting a row needs it: rows top..bottom of columns left..right in
// `colour`, then, for text, the glyph pixels of each row inside the clip in `ink`. The
// colours are pixel values of the picture's format: 32-bit colours, or indices.
struct RowPainter {
    int top, bottom, left, right;  // inclusive; empty when right < left
    QRgb colour;
    const GlyphRun* glyphs;  // null for a fill
    int cellLeft, cellTop;
    int inkTop, inkBottom;  // the rows glyph pixels may be set on, clipped
    int clipLeft, clipRight;
    QRgb ink;

    bool reaches(int from, int to) const {  // rows from <= y < to
        return (top < to && bottom >= from) || (glyphs && inkTop < to && inkBottom >= from);
    }
};

// Paints the rows of `image` (32-bit or indexed) marked in `fresh` from the painters, in
// their order, and copies each other row from the one above; `active` is scratch.
void paintRows(QImage& image, const std::vector<unsigned char>& fresh,
               const std::vector<RowPainter>& painters, std::vector<RowPainter>& active);

// The colours the painters use as indices into `table`, in order of first use; false, and
// the painters as they were, when there are more than 256.
bool toIndices(std::vector<RowPainter>& painters, QVector<QRgb>& table);

}  // namespace surface
