#pragma once
// An in-memory picture with a canvas: brush, pen and font state plus the few drawing
// operations the symbols need. Every operation works in device pixels from the top-left
// corner; rectangles are half-open (right and bottom edges excluded).

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "surface/drawing.h"
#include "surface/font.h"

namespace surface {

struct GlyphRun;  // glyph pixels kept for painting (glyphcache.h)

// A picture: its drawing (see drawing.h) and the pixels painted from it, with a canvas
// (brush, pen and font state) and the few operations the symbols draw with. Fills and
// texts are added to the drawing and painted when the pixels are first asked for: a symbol
// is mostly bands of identical rows, and painted row by row each band costs one row and
// copies of it, where painting bar by bar would walk down every bar. Since a first read
// paints, one picture is used by one thread at a time (copies are independent).
//
// Setting or copying pixels one by one (setPixel, copyRect, a turned picture) makes a
// picture that no drawing describes: from then on it is its pixels alone.
class Bitmap {
  public:
    Bitmap() = default;  // 0 x 0

    int width() const { return drawing_.width; }
    int height() const { return drawing_.height; }
    bool isEmpty() const { return drawing_.isEmpty(); }

    // Resizing keeps the pixels inside the new size in place and paints new area in the
    // brush colour. Returns false (and keeps the old picture) when the memory for the new
    // size cannot be had.
    bool setWidth(int w) { return setSize(w, height()); }
    bool setHeight(int h) { return setSize(width(), h); }
    bool setSize(int w, int h);

    // Resolution the picture is made at; text point sizes are rendered against it and it
    // travels with the image (pixels per metre in files and on the clipboard).
    int dpi() const { return drawing_.dpi; }
    void setDpi(int dpi);

    QColor brushColor() const { return QColor::fromRgb(brush_); }
    void setBrushColor(const QColor& c) { brush_ = c.rgb(); }
    // The same for a colour already in pixel form, as symbols paint bar after bar.
    void setBrushRgb(QRgb c) { brush_ = c | 0xFF000000; }
    QColor penColor() const { return pen_; }
    void setPenColor(const QColor& c) { pen_ = c; }

    // Copies the font; later changes to the caller's font do not reach the canvas.
    void assignFont(const Font& f) { font_ = f; }
    const Font& font() const { return font_; }
    void setFontColor(const QColor& c) { font_.color = c; }
    int fontSize() const { return font_.pointSize; }

    // Paints x1 <= x < x2, y1 <= y < y2 in the brush colour, clipped to the picture.
    void fillRect(int x1, int y1, int x2, int y2);

    // Writes one line of text with its cell's top-left corner at (x, y): the cell is filled
    // in the brush colour, the glyphs drawn in the font colour. Returns false when the
    // text could not be written.
    bool textOut(int x, int y, const QString& text);
    // Width and height of the cell textOut would fill.
    QSize textExtent(const QString& text) const;

    QRgb pixel(int x, int y) const;
    void setPixel(int x, int y, QRgb rgb);

    // Copies srcRect of src into dstRect of this picture, stretching or shrinking it by
    // plain pixel replication (no smoothing, no blending).
    void copyRect(const QRect& dstRect, const Bitmap& src, const QRect& srcRect);

    const QImage& image() const {
        paintPending();
        return image_;
    }

    // What the picture was drawn with, every fill and text since it was first sized; null
    // when there is no picture, or once pixels were set or copied one by one.
    const Drawing* drawing() const { return recorded_ && !isEmpty() ? &drawing_ : nullptr; }

  private:
    void recordFill(const QRect& r, QRgb colour);
    // Paints a rectangle already clipped to the picture.
    void paint(const QRect& clipped, QRgb colour) const;
    // Paints text kept as glyphs: its cell's background, then its glyph pixels, both
    // clipped to `clip`.
    void paintText(const QRect& cell, const QRect& clip, QRgb background, QRgb ink,
                   const GlyphRun& glyphs) const;
    // Paints the operations not painted yet: by rows when they make the whole picture,
    // one after another otherwise.
    void paintPending() const;
    bool paintByRows() const;
    // Turns a picture of indices into 32-bit pixels, for painting operation by operation.
    // False when the memory for them cannot be had.
    bool toRgb32() const;
    // Ends keeping the drawing: the picture is pixels from here on.
    void endDrawing();
    void clearOperations();
    // Index of the canvas font in fonts_, added when new.
    int fontIndex();
    // The run, held by the picture until it is painted.
    const GlyphRun* hold(const std::shared_ptr<const GlyphRun>& glyphs);

    Drawing drawing_;
    mutable QImage image_;
    // drawing_.marks[0, painted_) are in image_; when none is and the drawing is kept, the
    // marks alone make every pixel.
    mutable std::size_t painted_ = 0;
    // Whether drawing_ still describes the picture.
    bool recorded_ = true;
    QRgb brush_ = 0xFFFFFFFF;
    QColor pen_ = Qt::black;
    Font font_;
    // The glyphs of each of drawing_.texts while it waits to be painted (null when there
    // is nothing of it to paint), and the runs they point into, held by the picture.
    std::vector<const GlyphRun*> glyphs_;
    std::vector<std::shared_ptr<const GlyphRun>> heldGlyphs_;
    // The colour of the last fill of the whole picture, and what has been drawn since: a
    // fill of that colour outside it changes nothing and is not kept (the spaces of a
    // symbol on a fresh picture).
    QRgb background_ = 0;
    bool hasBackground_ = false;
    struct Extent {  // the rectangle around what was added, inclusive edges
        int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
        void add(const QRect& r) {
            left = std::min(left, r.left()), top = std::min(top, r.top());
            right = std::max(right, r.right()), bottom = std::max(bottom, r.bottom());
        }
        bool meets(const QRect& r) const {
            return r.left() <= right && r.right() >= left && r.top() <= bottom && r.bottom() >= top;
        }
    } drawn_;
};

// The picture turned 90 degrees clockwise: the source's bottom row becomes the left
// column, its left column the top row.
Bitmap turnedClockwise(const Bitmap& src);

}  // namespace surface
