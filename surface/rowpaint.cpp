#include "surface/rowpaint.h"

#include <algorithm>
#include <cstring>

namespace surface {

namespace {
// Paints rows from <= y < to of the operations, one after another: each pixel gets them in
// their order, as painting them one by one over the whole picture would.
template <typename Pixel>
void paintRun(uchar* bits, qsizetype stride, int from, int to,
              const std::vector<RowPainter>& painters) {
    const auto row = [bits, stride](int y) { return reinterpret_cast<Pixel*>(bits + y * stride); };
    for (const RowPainter& p : painters) {
        const Pixel colour = Pixel(p.colour), ink = Pixel(p.ink);
        if (p.left <= p.right)
            for (int y = std::max(p.top, from); y <= std::min(p.bottom, to - 1); ++y)
                std::fill(row(y) + p.left, row(y) + p.right + 1, colour);
        if (p.glyphs == nullptr) continue;
        for (int y = std::max(p.inkTop, from); y <= std::min(p.inkBottom, to - 1); ++y) {
            Pixel* line = row(y);
            for (const GlyphRun::Span& s : p.glyphs->inkInRow(y - p.cellTop)) {
                const int left = std::max(p.cellLeft + s.x, p.clipLeft);
                const int right = std::min(p.cellLeft + s.x + s.length - 1, p.clipRight);
                for (int x = left; x <= right; ++x) line[x] = ink;
            }
        }
    }
}

template <typename Pixel>
void paintRowsOf(uchar* bits, qsizetype stride, const std::vector<unsigned char>& fresh,
                 const std::vector<RowPainter>& painters, std::vector<RowPainter>& active) {
    const int h = int(fresh.size());
    for (int y = 0; y < h;) {
        if (!fresh[std::size_t(y)]) {
            // A band of copies of the row above, copied in blocks that double: a tall band
            // costs a few copies rather than one per row.
            int end = y + 1;
            while (end < h && !fresh[std::size_t(end)]) ++end;
            const int source = y - 1;
            while (y < end) {
                const int n = std::min(y - source, end - y);
                std::memcpy(bits + y * stride, bits + (y - n) * stride, std::size_t(n * stride));
                y += n;
            }
            continue;
        }
        // A run of fresh rows: only the operations that reach it are looked at.
        int end = y + 1;
        while (end < h && fresh[std::size_t(end)]) ++end;
        active.clear();
        for (const RowPainter& p : painters)
            if (p.reaches(y, end)) active.push_back(p);
        paintRun<Pixel>(bits, stride, y, end, active);
        y = end;
    }
}

}  // namespace

bool toIndices(std::vector<RowPainter>& painters, QVector<QRgb>& table) {
    const auto index = [&table](QRgb c) -> int {
        const qsizetype at = table.indexOf(c);
        if (at >= 0) return int(at);
        if (table.size() == 256) return -1;
        table.push_back(c);
        return int(table.size()) - 1;
    };
    for (const RowPainter& p : painters)
        if (index(p.colour) < 0 || (p.glyphs && index(p.ink) < 0)) return false;
    for (RowPainter& p : painters) {
        p.colour = QRgb(table.indexOf(p.colour));
        p.ink = p.glyphs ? QRgb(table.indexOf(p.ink)) : 0;
    }
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
