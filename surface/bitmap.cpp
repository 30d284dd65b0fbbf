#include "surface/bitmap.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "surface/glyphcache.h"

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
        ops_.clear();
        texts_.clear();
        vectorsValid_ = true;
        return true;
    }
    QImage next(w, h, QImage::Format_RGB32);
    if (next.isNull()) return false;
    next.fill(brush_);
    stampResolution(next, dpi_);
    if (!image_.isNull()) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), image_, QRect(0, 0, std::min(w, width()), std::min(h, height())));
    }
    const int oldW = width(), oldH = height();
    image_ = std::move(next);
    // New area takes the brush colour: as vectors, the strips right of and below the old
    // picture (or all of it when there was none).
    if (oldW == 0 || oldH == 0) {
        recordFill(QRect(0, 0, w, h), brush_.rgb());
    } else {
        if (w > oldW) recordFill(QRect(oldW, 0, w - oldW, h), brush_.rgb());
        if (h > oldH) recordFill(QRect(0, oldH, std::min(w, oldW), h - oldH), brush_.rgb());
    }
    return true;
}

void Bitmap::setDpi(int dpi) {
    dpi_ = dpi > 0 ? dpi : 96;
    if (!image_.isNull()) stampResolution(image_, dpi_);
}

void Bitmap::fillRect(int x1, int y1, int x2, int y2) {
    if (image_.isNull()) return;
    const int l = std::max(x1, 0), t = std::max(y1, 0);
    const int r = std::min(x2, width()), b = std::min(y2, height());
    if (l >= r || t >= b) return;
    const QRgb c = brush_.rgb();
    recordFill(QRect(l, t, r - l, b - t), c);
    paint(QRect(l, t, r - l, b - t), c);
}

namespace {
// Rows of a rectangle of W columns; with W known the row is a few plain stores.
template <int W>
void paintColumns(QRgb* row, qsizetype step, int rows, QRgb c) {
    for (; rows > 0; --rows, row += step)
        for (int x = 0; x < W; ++x) row[x] = c;
}
}  // namespace

void Bitmap::paint(const QRect& clipped, QRgb c) {
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

QSize Bitmap::textExtent(const QString& text) const {
    const GlyphRun run = glyphMetrics(font_, dpi_, text);
    return {run.advance, run.height};
}

void Bitmap::recordFill(const QRect& r, QRgb colour) {
    if (!vectorsValid_) return;
    if (ops_.empty()) ops_.reserve(256);
    ops_.push_back({VectorOp::Kind::Fill, r, colour, -1});
}

bool Bitmap::textOut(int x, int y, const QString& text) {
    if (image_.isNull()) return true;  // nothing to write on; clipped away entirely
    const GlyphRun metrics = glyphMetrics(font_, dpi_, text);
    const QRect cell(x, y, metrics.advance, metrics.height);
    if (vectorsValid_) {
        texts_.push_back({text, font_, metrics.ascent});
        ops_.push_back(
            {VectorOp::Kind::Text, cell, brush_.rgb(), static_cast<int>(texts_.size()) - 1});
    }
    const QRect picture(0, 0, width(), height());
    const QRect background = cell & picture;
    if (!background.isEmpty()) paint(background, brush_.rgb());
    // The glyphs, wherever they reach, clipped to the picture. Only the part of the text
    // that can reach the picture is rendered: text beyond it costs nothing.
    const int o = metrics.overhang;
    const QRect reach = cell.adjusted(-o, -o, o, o);
    const QRect visible = reach & picture;
    if (visible.isEmpty()) return true;
    const QRgb ink = font_.color.rgb() | 0xFF000000;
    // Text no larger than the picture is rendered whole once and kept (a digit beside the
    // picture's edge is drawn again in every symbol); its pixels are clipped as they are set.
    if (qint64(reach.width()) * reach.height() <= qint64(width()) * height()) {
        uchar* bits = image_.bits();
        const qsizetype stride = image_.bytesPerLine();
        const QRect inside = visible.translated(-x, -y);
        for (const QPoint& p : glyphRun(font_, dpi_, text).ink)
            if (inside.contains(p))
                reinterpret_cast<QRgb*>(bits + (y + p.y()) * stride)[x + p.x()] = ink;
        return true;
    }
    const QImage window = renderGlyphWindow(font_, dpi_, text, metrics, visible.translated(-x, -y));
    if (window.isNull()) return false;
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
    return image_.pixel(x, y) & 0xFFFFFF;
}

void Bitmap::setPixel(int x, int y, QRgb rgb) {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return;
    image_.setPixel(x, y, 0xFF000000 | rgb);
    vectorsValid_ = false;
    ops_.clear();
    texts_.clear();
}

void Bitmap::copyRect(const QRect& dstRect, const Bitmap& src, const QRect& srcRect) {
    if (image_.isNull() || src.image_.isNull() || dstRect.isEmpty() || srcRect.isEmpty()) return;
    // Nearest-neighbour replication done by hand: each destination pixel takes the source
    // pixel its centre falls on, so the result never depends on a paint engine's filtering.
    vectorsValid_ = false;
    ops_.clear();
    texts_.clear();
    const int dw = dstRect.width(), dh = dstRect.height();
    const int sw = srcRect.width(), sh = srcRect.height();
    for (int dy = 0; dy < dh; ++dy) {
        const int ty = dstRect.top() + dy;
        if (ty < 0 || ty >= height()) continue;
        const int sy = srcRect.top() + static_cast<int>(((2LL * dy + 1) * sh) / (2LL * dh));
        if (sy < 0 || sy >= src.height()) continue;
        const auto* sline = reinterpret_cast<const QRgb*>(src.image_.constScanLine(sy));
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
