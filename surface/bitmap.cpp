#include "surface/bitmap.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "surface/rowpaint.h"

namespace surface {

namespace {
constexpr double kInchesPerMetre = 1.0 / 0.0254;

void stampResolution(QImage& img, int dpi) {
    const int dpm = static_cast<int>(dpi * kInchesPerMetre + 0.5);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
}
}  // namespace

bool Bitmap::setSize(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == width() && h == height()) return true;
    if (w == 0 || h == 0) {
        image_ = QImage();
        drawing_.width = drawing_.height = 0;
        clearOperations();
        recorded_ = true;
        return true;
    }
    const int oldW = width(), oldH = height();
    // While the kept operations make every pixel, a picture that only grows needs no pixels
    // copied: its new area is one more operation. Such a picture is painted as indices into
    // its few colours, unless it has more than 256.
    const bool fromOperations = recorded_ && painted_ == 0 && w >= oldW && h >= oldH;
    QImage next(w, h, fromOperations ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (next.isNull()) return false;
    stampResolution(next, dpi());
    if (!fromOperations) {
        paintPending();
        next.fill(brush_);
        if (!isEmpty()) {
            QPainter p(&next);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(QPoint(0, 0), image_,
                        QRect(0, 0, std::min(w, width()), std::min(h, height())));
        }
    }
    image_ = std::move(next);
    drawing_.width = w;
    drawing_.height = h;
    // New area takes the brush colour: as vectors, the strips right of and below the old
    // picture (or all of it when there was none). Until then it holds no colour at all, so
    // no fill may be left out as changing nothing.
    hasBackground_ = false;
    if (oldW == 0 || oldH == 0) {
        recordFill(QRect(0, 0, w, h), brush_);
    } else {
        if (w > oldW) recordFill(QRect(oldW, 0, w - oldW, h), brush_);
        if (h > oldH) recordFill(QRect(0, oldH, std::min(w, oldW), h - oldH), brush_);
    }
    if (!fromOperations) painted_ = drawing_.marks.size();
    return true;
}

void Bitmap::setDpi(int dpi) {
    drawing_.dpi = dpi > 0 ? dpi : 96;
    if (!isEmpty()) stampResolution(image_, drawing_.dpi);
}

void Bitmap::fillRect(int x1, int y1, int x2, int y2) {
    if (isEmpty()) return;
    const int l = std::max(x1, 0), t = std::max(y1, 0);
    const int r = std::min(x2, width()), b = std::min(y2, height());
    if (l >= r || t >= b) return;
    const QRgb c = brush_;
    if (recorded_) return recordFill(QRect(l, t, r - l, b - t), c);  // painted later
    paint(QRect(l, t, r - l, b - t), c);
}

namespace {
// Rows of a rectangle of W columns; with W known the row is a few plain stores.
template <int W>
void paintColumns(QRgb* row, qsizetype step, int rows, QRgb c) {
    for (; rows > 0; --rows, row += step)
        for (int x = 0; x < W; ++x) row[x] = c;
}

// Rows painted by rows before the operations are painted one by one instead: each such
// row looks at every operation.
constexpr qint64 kRowOperationBudget = qint64(1) << 22;
}  // namespace

void Bitmap::paint(const QRect& clipped, QRgb c) const {
    // Bars are a few pixels wide and many rows high: a general fill per row would spend
    // most of its time setting itself up.
    c |= 0xFF000000;
    const qsizetype step = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    QRgb* row = reinterpret_cast<QRgb*>(image_.bits()) + clipped.top() * step + clipped.left();
    const int rows = clipped.height();
    switch (clipped.width()) {
        case 1:
            return paintColumns<1>(row, step, rows, c);
        case 2:
            return paintColumns<2>(row, step, rows, c);
        case 3:
            return paintColumns<3>(row, step, rows, c);
        case 4:
            return paintColumns<4>(row, step, rows, c);
        case 5:
            return paintColumns<5>(row, step, rows, c);
        case 6:
            return paintColumns<6>(row, step, rows, c);
        case 7:
            return paintColumns<7>(row, step, rows, c);
        case 8:
            return paintColumns<8>(row, step, rows, c);
        default:
            for (int y = rows; y > 0; --y, row += step) std::fill_n(row, clipped.width(), c);
    }
}

void Bitmap::paintText(const QRect& cell, const QRect& clip, QRgb background, QRgb ink,
                       const GlyphRun& glyphs) const {
    const QRect cellShown = cell & clip;
    if (!cellShown.isEmpty()) paint(cellShown, background);
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const QRect inside = clip.translated(-cell.topLeft());
    for (const GlyphRun::Span& s : glyphs.ink) {
        const int from = std::max(s.x, inside.left()),
                  to = std::min(s.x + s.length - 1, inside.right());
        if (s.y < inside.top() || s.y > inside.bottom() || from > to) continue;
        auto* row = reinterpret_cast<QRgb*>(bits + (cell.top() + s.y) * stride) + cell.left();
        std::fill(row + from, row + to + 1, ink | 0xFF000000);
    }
}

bool Bitmap::toRgb32() const {
    if (image_.format() == QImage::Format_RGB32) return true;
    QImage rgb = image_.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull()) return false;
    image_ = std::move(rgb);
    return true;
}

void Bitmap::paintPending() const {
    const std::vector<Drawing::Mark>& marks = drawing_.marks;
    if (painted_ >= marks.size()) return;
    const std::size_t from = painted_;
    painted_ = marks.size();
    if (isEmpty() || (from == 0 && paintByRows()) || !toRgb32()) return;
    const QRect picture(0, 0, width(), height());
    for (std::size_t i = from; i < marks.size(); ++i) {
        const Drawing::Mark& op = marks[i];
        if (op.kind == Drawing::Mark::Kind::Fill) {
            const QRect r = op.rect & picture;
            if (!r.isEmpty()) paint(r, op.colour);
            continue;
        }
        const Drawing::Text& t = drawing_.textOf(op);
        if (const GlyphRun* glyphs = glyphs_[std::size_t(op.text)])
            paintText(op.rect, t.clip & picture, op.colour, drawing_.fontOf(t).color.rgb(),
                      *glyphs);
    }
}

bool Bitmap::paintByRows() const {
    // Every pixel comes from the operations, so a row that no operation starts or ends on,
    // and that no glyph reaches, is the row above it again.
    const int h = height();
    // Scratch kept by each thread from picture to picture: a symbol is painted many times.
    thread_local std::vector<unsigned char> fresh;
    thread_local std::vector<RowPainter> painters, active;
    // A picture of very many operations does not leave its scratch behind.
    struct Release {
        ~Release() {
            if (painters.capacity() > 4096) painters = {}, active = {};
        }
    } release;
    fresh.assign(std::size_t(h), 0);
    fresh[0] = 1;
    const auto band = [h](int top, int end) {
        if (top >= 0 && top < h) fresh[std::size_t(top)] = 1;
        if (end >= 0 && end < h) fresh[std::size_t(end)] = 1;
    };
    painters.clear();
    for (const Drawing::Mark& op : drawing_.marks) {
        if (op.kind == Drawing::Mark::Kind::Fill) {
            const QRect& r = op.rect;
            band(r.top(), r.bottom() + 1);
            painters.push_back({r.top(), r.bottom(), r.left(), r.right(), op.colour | 0xFF000000,
                                nullptr, 0, 0, 0, -1, 0, 0, 0});
            continue;
        }
        const Drawing::Text& t = drawing_.textOf(op);
        const GlyphRun* glyphs = glyphs_[std::size_t(op.text)];
        if (!glyphs) continue;
        const QRgb ink = drawing_.fontOf(t).color.rgb() | 0xFF000000;
        const QRect cellShown = op.rect & t.clip;
        if (!cellShown.isEmpty()) band(cellShown.top(), cellShown.bottom() + 1);
        const int inkTop = op.rect.top() + glyphs->inkTop;
        const int inkEnd = inkTop + int(glyphs->rowStart.size()) - 1;
        const int from = std::max({inkTop, t.clip.top(), 0});
        const int to = std::min({inkEnd, t.clip.bottom() + 1, h});
        for (int y = from; y < to; ++y) fresh[std::size_t(y)] = 1;
        band(to, to);
        painters.push_back({cellShown.top(), cellShown.bottom(), cellShown.left(),
                            cellShown.right(), op.colour | 0xFF000000, glyphs, op.rect.left(),
                            op.rect.top(), from, to - 1, t.clip.left(), t.clip.right(), ink});
    }
    const qint64 rows = std::count(fresh.begin(), fresh.end(), 1);
    if (rows * qint64(painters.size()) > kRowOperationBudget) return false;
    // A picture of at most 256 colours is kept as indices: a quarter of the bytes to write.
    QVector<QRgb> table;
    if (image_.format() == QImage::Format_Indexed8 && toIndices(painters, table)) {
        image_.setColorTable(table);
        paintRows(image_, fresh, painters, active);
        return true;
    }
    if (!toRgb32()) return false;
    paintRows(image_, fresh, painters, active);
    return true;
}

QSize Bitmap::textExtent(const QString& text) const {
    const GlyphRun run = glyphMetrics(font_, dpi(), text);
    return {run.advance, run.height};
}

void Bitmap::recordFill(const QRect& r, QRgb colour) {
    if (!recorded_) return;
    if (r.left() <= 0 && r.top() <= 0 && r.right() >= width() - 1 && r.bottom() >= height() - 1) {
        background_ = colour;
        hasBackground_ = true;
        drawn_ = Extent();
    } else if (hasBackground_ && colour == background_ && !drawn_.meets(r)) {
        return;  // only the background lies there: a fill in its colour changes no pixel
    } else {
        drawn_.add(r);
    }
    std::vector<Drawing::Mark>& marks = drawing_.marks;
    if (marks.empty()) marks.reserve(256);
    // A bar of several modules comes as a fill per module: the same rows in the same colour,
    // side by side or overlapping, are one rectangle (while the last is still to be painted).
    if (!marks.empty() && painted_ < marks.size()) {
        Drawing::Mark& last = marks.back();
        const QRect& l = last.rect;
        if (last.kind == Drawing::Mark::Kind::Fill && last.colour == colour && l.top() == r.top() &&
            l.bottom() == r.bottom() && r.left() <= l.right() + 1 && l.left() <= r.right() + 1) {
            last.rect = QRect(QPoint(std::min(l.left(), r.left()), l.top()),
                              QPoint(std::max(l.right(), r.right()), l.bottom()));
            return;
        }
    }
    marks.push_back({Drawing::Mark::Kind::Fill, r, colour, -1});
}

int Bitmap::fontIndex() {
    std::vector<Font>& fonts = drawing_.fonts;
    for (std::size_t i = fonts.size(); i > 0; --i)
        if (fonts[i - 1] == font_) return int(i - 1);
    fonts.push_back(font_);
    return int(fonts.size()) - 1;
}

const GlyphRun* Bitmap::hold(const std::shared_ptr<const GlyphRun>& glyphs) {
    if (!glyphs) return nullptr;
    // A symbol writes the same few digits again and again.
    for (const auto& held : heldGlyphs_)
        if (held == glyphs) return held.get();
    if (heldGlyphs_.empty()) heldGlyphs_.reserve(16);  // a symbol's digits, without regrowing
    heldGlyphs_.push_back(glyphs);
    return glyphs.get();
}

void Bitmap::clearOperations() {
    hasBackground_ = false;
    drawn_ = Extent();
    drawing_.marks.clear();
    drawing_.texts.clear();
    drawing_.fonts.clear();
    glyphs_.clear();
    heldGlyphs_.clear();
    painted_ = 0;
}

bool Bitmap::textOut(int x, int y, const QString& text) {
    if (isEmpty()) return true;  // nothing to write on; clipped away entirely
    const int dpi = drawing_.dpi;
    const std::shared_ptr<const GlyphRun> kept = keptGlyphRun(font_, dpi, text);
    const GlyphRun metrics = kept ? kept->cell() : glyphMetrics(font_, dpi, text);
    const QRect cell(x, y, metrics.advance, metrics.height);
    const QRect picture(0, 0, width(), height());
    const QRgb background = brush_;
    const auto record = [&](const GlyphRun* glyphs) {
        const int o = metrics.overhang;
        drawn_.add(cell.adjusted(-o, -o, o, o));
        std::vector<Drawing::Text>& texts = drawing_.texts;
        if (texts.empty()) texts.reserve(16), glyphs_.reserve(16);
        texts.push_back({text, fontIndex(), metrics.ascent, picture});
        glyphs_.push_back(glyphs);
        drawing_.marks.push_back(
            {Drawing::Mark::Kind::Text, cell, background, int(texts.size()) - 1});
    };
    // The glyphs reach past the cell by up to the overhang on every side; only the part of
    // the text that can reach the picture is rendered: text beyond it costs nothing.
    const int o = metrics.overhang;
    const QRect reach = cell.adjusted(-o, -o, o, o);
    const QRect visible = reach & picture;
    // Text no larger than the picture is rendered whole once and kept (a digit beside the
    // picture's edge is drawn again in every symbol); its pixels are clipped as they are set.
    if (visible.isEmpty() || qint64(reach.width()) * reach.height() <= qint64(width()) * height()) {
        const GlyphRun* glyphs = nullptr;
        if (!visible.isEmpty()) {
            if (!recorded_) {
                paintText(cell, picture, background, font_.color.rgb(),
                          kept ? *kept : *glyphRun(font_, dpi, text));
                return true;
            }
            glyphs = kept ? hold(kept) : hold(glyphRun(font_, dpi, text));
        }
        if (recorded_) record(glyphs);  // painted later
        return true;
    }
    // Larger text is rendered for the visible part alone, now.
    paintPending();
    if (!toRgb32()) return false;
    if (recorded_) {
        record(nullptr);
        painted_ = drawing_.marks.size();
    }
    const QRect cellShown = cell & picture;
    if (!cellShown.isEmpty()) paint(cellShown, background);
    const QImage window = renderGlyphWindow(font_, dpi, text, metrics, visible.translated(-x, -y));
    if (window.isNull()) return false;
    const QRgb ink = font_.color.rgb() | 0xFF000000;
    for (int row = 0; row < window.height(); ++row) {
        const auto* src = reinterpret_cast<const QRgb*>(window.constScanLine(row));
        auto* dst = reinterpret_cast<QRgb*>(image_.scanLine(visible.top() + row)) + visible.left();
        for (int col = 0; col < window.width(); ++col)
            if (qGray(src[col]) < 128) dst[col] = ink;
    }
    return true;
}

QRgb Bitmap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    paintPending();
    return image_.pixel(x, y) & 0xFFFFFF;
}

void Bitmap::endDrawing() {
    paintPending();
    if (!toRgb32()) {  // no memory for the pixels: the picture is lost, not half written
        image_ = QImage();
        drawing_.width = drawing_.height = 0;
    }
    recorded_ = false;
    clearOperations();
}

void Bitmap::setPixel(int x, int y, QRgb rgb) {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return;
    endDrawing();
    image_.setPixel(x, y, 0xFF000000 | rgb);
}

void Bitmap::copyRect(const QRect& dstRect, const Bitmap& src, const QRect& srcRect) {
    if (isEmpty() || src.isEmpty() || dstRect.isEmpty() || srcRect.isEmpty()) return;
    // Nearest-neighbour replication done by hand: each destination pixel takes the source
    // pixel its centre falls on, so the result never depends on a paint engine's filtering.
    const QImage source = src.image().convertToFormat(QImage::Format_RGB32);
    endDrawing();
    if (isEmpty() || source.isNull()) return;
    const int dw = dstRect.width(), dh = dstRect.height();
    const int sw = srcRect.width(), sh = srcRect.height();
    for (int dy = 0; dy < dh; ++dy) {
        const int ty = dstRect.top() + dy;
        if (ty < 0 || ty >= height()) continue;
        const int sy = srcRect.top() + static_cast<int>(((2LL * dy + 1) * sh) / (2LL * dh));
        if (sy < 0 || sy >= src.height()) continue;
        const auto* sline = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
        auto* dline = reinterpret_cast<QRgb*>(image_.scanLine(ty));
        for (int dx = 0; dx < dw; ++dx) {
            const int tx = dstRect.left() + dx;
            if (tx < 0 || tx >= width()) continue;
            const int sx = srcRect.left() + static_cast<int>(((2LL * dx + 1) * sw) / (2LL * dw));
            if (sx < 0 || sx >= src.width()) continue;
            dline[tx] = sline[sx];
        }
    }
}

Bitmap turnedClockwise(const Bitmap& src) {
    Bitmap out;
    out.setDpi(src.dpi());
    const int w = src.width(), h = src.height();
    if (!out.setSize(h, w)) return out;
    for (int x = 0; x < h; ++x)
        for (int y = 0; y < w; ++y) out.setPixel(x, y, src.pixel(y, h - 1 - x));
    return out;
}

}  // namespace surface
