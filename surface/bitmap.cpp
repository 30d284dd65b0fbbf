#include "surface/bitmap.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

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
        record({VectorOp::Kind::Fill, QRect(0, 0, w, h), brush_, {}, {}, 0});
    } else {
        if (w > oldW) record({VectorOp::Kind::Fill, QRect(oldW, 0, w - oldW, h), brush_, {}, {}, 0});
        if (h > oldH) record({VectorOp::Kind::Fill, QRect(0, oldH, std::min(w, oldW), h - oldH), brush_, {}, {}, 0});
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
    record({VectorOp::Kind::Fill, QRect(l, t, r - l, b - t), brush_, {}, {}, 0});
    for (int y = t; y < b; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(line + l, line + r, c);
    }
}

QFont Bitmap::renderFont() const { return font_.toQFont(dpi_); }

QSize Bitmap::textExtent(const QString& text) const {
    QFontMetrics fm(renderFont());
    return {fm.horizontalAdvance(text), fm.height()};
}

void Bitmap::record(VectorOp op) {
    if (vectorsValid_) ops_.push_back(std::move(op));
}

bool Bitmap::textOut(int x, int y, const QString& text) {
    if (image_.isNull()) return true;  // nothing to write on; clipped away entirely
    QPainter p(&image_);
    if (!p.isActive()) return false;
    const QFont f = renderFont();
    p.setFont(f);
    QFontMetrics fm(f);
    const QRect cell(x, y, fm.horizontalAdvance(text), fm.height());
    record({VectorOp::Kind::Text, cell, brush_, text, font_, fm.ascent()});
    p.fillRect(cell, brush_);
    p.setPen(font_.color);
    p.drawText(QPoint(x, y + fm.ascent()), text);
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
}

void Bitmap::copyRect(const QRect& dstRect, const Bitmap& src, const QRect& srcRect) {
    if (image_.isNull() || src.image_.isNull() || dstRect.isEmpty() || srcRect.isEmpty()) return;
    // Nearest-neighbour replication done by hand: each destination pixel takes the source
    // pixel its centre falls on, so the result never depends on a paint engine's filtering.
    vectorsValid_ = false;
    ops_.clear();
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
