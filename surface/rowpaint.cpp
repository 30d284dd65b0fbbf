#include "surface/rowpaint.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "surface/palette.h"

namespace surface {

namespace {
// Sets n pixels from p on. Bars and glyph runs are mostly a few pixels wide: a library call
// for each would cost more than the pixels it sets.
template <typename Pixel>
inline void setPixels(Pixel* p, int n, Pixel v) {
    switch (n) {
        case 8:
            p[7] = v;
            [[fallthrough]];
        case 7:
            p[6] = v;
            [[fallthrough]];
        case 6:
            p[5] = v;
            [[fallthrough]];
        case 5:
            p[4] = v;
            [[fallthrough]];
        case 4:
            p[3] = v;
            [[fallthrough]];
        case 3:
            p[2] = v;
            [[fallthrough]];
        case 2:
            p[1] = v;
            [[fallthrough]];
        case 1:
            p[0] = v;
            [[fallthrough]];
        case 0:
            return;
        default:
            if (n > 0) std::fill_n(p, n, v);
    }
}

// Sets the glyph pixels of text painter p on rows from <= y < to.
template <typename Pixel>
void paintInk(uchar* bits, qsizetype stride, int from, int to, const RowPainter& p) {
    const auto row = [bits, stride](int y) { return reinterpret_cast<Pixel*>(bits + y * stride); };
    const GlyphRun& g = *p.glyphs;
    const Pixel ink = Pixel(p.ink);
    const int first = std::max(p.inkTop, from), last = std::min(p.inkBottom, to - 1);
    if (!g.rowBits.empty()) {
        // The row's pixels as bits, less those outside the clip.
        const int x0 = p.cellLeft + g.inkLeft;
        std::uint64_t clip = ~std::uint64_t(0);
        if (p.clipLeft > x0) clip = p.clipLeft - x0 >= 64 ? 0 : clip << (p.clipLeft - x0);
        if (p.clipRight < x0 + 63)
            clip &= p.clipRight < x0 ? 0 : ~std::uint64_t(0) >> (63 - (p.clipRight - x0));
        for (int y = first; y <= last; ++y) {
            const long r = long(y - p.cellTop) - g.inkTop;
            if (r < 0 || r >= long(g.rowBits.size())) continue;
            Pixel* line = row(y);
            for (std::uint64_t m = g.rowBits[std::size_t(r)] & clip; m != 0; m &= m - 1)
                line[x0 + std::countr_zero(m)] = ink;
        }
        return;
    }
    for (int y = first; y <= last; ++y) {
        Pixel* line = row(y);
        for (const GlyphRun::Span& s : g.inkInRow(y - p.cellTop)) {
            const int left = std::max(p.cellLeft + s.x, p.clipLeft);
            const int right = std::min(p.cellLeft + s.x + s.length - 1, p.clipRight);
            setPixels(line + left, right + 1 - left, ink);
        }
    }
}

// Paints rows from <= y < to of the operations, one after another: each pixel gets them in
// their order, as painting them one by one over the whole picture would.
template <typename Pixel>
void paintRun(uchar* bits, qsizetype stride, int from, int to,
              const std::vector<RowPainter>& painters) {
    const auto row = [bits, stride](int y) { return reinterpret_cast<Pixel*>(bits + y * stride); };
    for (const RowPainter& p : painters) {
        if (p.left <= p.right)
            for (int y = std::max(p.top, from); y <= std::min(p.bottom, to - 1); ++y)
                setPixels(row(y) + p.left, p.right + 1 - p.left, Pixel(p.colour));
        if (p.glyphs != nullptr) paintInk<Pixel>(bits, stride, from, to, p);
    }
}

// Copies row `source` onto rows source < y < end, in blocks that double: a tall band costs a
// few copies rather than one per row.
void copyDown(uchar* bits, qsizetype stride, int source, int end) {
    for (int y = source + 1; y < end;) {
        const int n = std::min(y - source, end - y);
        std::memcpy(bits + y * stride, bits + (y - n) * stride, std::size_t(n * stride));
        y += n;
    }
}

// Whether, on rows from <= y < to, no fill painted after a text reaches that text's glyph
// columns: then the glyphs can be set after all the fills. Later fills are taken together
// as the columns from the leftmost to the rightmost; that is enough for symbols, whose texts
// stand beside the bars, and what it misses is only painted the slower way.
bool glyphsOnTop(int from, int to, const std::vector<RowPainter>& painters) {
    int left = INT_MAX, right = INT_MIN;  // of the fills after the painter looked at
    for (auto p = painters.rbegin(); p != painters.rend(); ++p) {
        if (p->glyphs != nullptr && p->inkTop < to && p->inkBottom >= from &&
            p->cellLeft + p->glyphs->inkLeft <= right && p->cellLeft + p->glyphs->inkRight >= left)
            return false;
        if (p->left <= p->right && p->top <= from && p->bottom >= from) {
            left = std::min(left, p->left);
            right = std::max(right, p->right);
        }
    }
    return true;
}

// Paints rows from <= y < to, each of which differs from the one above. Where no fill starts
// or ends between two rows, they differ by their glyphs alone: the fills are painted on the
// first row and copied to the others, and then the glyphs are set.
template <typename Pixel>
void paintFresh(uchar* bits, qsizetype stride, int from, int to,
                const std::vector<RowPainter>& painters) {
    // The rows a fill starts or ends on bound the bands.
    thread_local std::vector<int> cuts;
    cuts.clear();
    for (const RowPainter& p : painters) {
        if (p.left > p.right) continue;
        if (p.top > from && p.top < to) cuts.push_back(p.top);
        if (p.bottom + 1 > from && p.bottom + 1 < to) cuts.push_back(p.bottom + 1);
    }
    cuts.push_back(to);
    std::sort(cuts.begin(), cuts.end());
    int a = from;
    for (const int b : cuts) {
        if (b <= a) continue;
        if (b - a < 2 || !glyphsOnTop(a, b, painters)) {
            paintRun<Pixel>(bits, stride, a, b, painters);
            a = b;
            continue;
        }
        auto* line = reinterpret_cast<Pixel*>(bits + a * stride);
        for (const RowPainter& p : painters)
            if (p.left <= p.right && p.top <= a && p.bottom >= a)
                setPixels(line + p.left, p.right + 1 - p.left, Pixel(p.colour));
        copyDown(bits, stride, a, b);
        for (const RowPainter& p : painters)
            if (p.glyphs != nullptr && p.inkTop < b && p.inkBottom >= a)
                paintInk<Pixel>(bits, stride, a, b, p);
        a = b;
    }
}

template <typename Pixel>
void paintRowsOf(uchar* bits, qsizetype stride, const std::vector<unsigned char>& fresh,
                 const std::vector<RowPainter>& painters, std::vector<RowPainter>& active) {
    const int h = int(fresh.size());
    for (int y = 0; y < h;) {
        // A run of rows like the one above it, or a run of rows that are not.
        const bool copied = !fresh[std::size_t(y)];
        const auto* next = static_cast<const unsigned char*>(
            std::memchr(fresh.data() + y + 1, copied ? 1 : 0, std::size_t(h - y - 1)));
        const int end = next != nullptr ? int(next - fresh.data()) : h;
        if (copied) {
            copyDown(bits, stride, y - 1, end);
        } else {
            // Only the operations that reach the run are looked at.
            active.clear();
            for (const RowPainter& p : painters)
                if (p.reaches(y, end)) active.push_back(p);
            paintFresh<Pixel>(bits, stride, y, end, active);
        }
        y = end;
    }
}

}  // namespace

bool toIndices(std::vector<RowPainter>& painters, QVector<QRgb>& table) {
    Palette palette;
    for (auto p = painters.begin(); p != painters.end(); ++p) {
        const int colour = palette.index(p->colour), ink = p->glyphs ? palette.index(p->ink) : 0;
        if (colour < 0 || ink < 0) {
            // More than 256: the painters done so far get their colours back from the table.
            for (auto done = painters.begin(); done != p; ++done) {
                done->colour = palette[int(done->colour)];
                if (done->glyphs) done->ink = palette[int(done->ink)];
            }
            return false;
        }
        p->colour = QRgb(colour);
        p->ink = QRgb(ink);
    }
    table = palette.table();
    return true;
}

void paintRows(QImage& image, const std::vector<unsigned char>& fresh,
               const std::vector<RowPainter>& painters, std::vector<RowPainter>& active) {
    if (image.format() == QImage::Format_Indexed8)
        paintRowsOf<uchar>(image.bits(), image.bytesPerLine(), fresh, painters, active);
    else
        paintRowsOf<QRgb>(image.bits(), image.bytesPerLine(), fresh, painters, active);
}

}  // namespace surface
