#include "surface/png.h"

#ifdef MARLISK_HAVE_ZLIB
#include <zlib.h>

#include "surface/deflate.h"
#include "surface/palette.h"
#endif

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <vector>

#ifdef MARLISK_HAVE_ZLIB
namespace files {

namespace {
void putU32(QByteArray& out, quint32 v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(b, 4);
}

void chunk(QByteArray& out, const char type[4], const QByteArray& data) {
    putU32(out, static_cast<quint32>(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* bytes = reinterpret_cast<const Bytef*>(out.constData() + start);
    putU32(out, static_cast<quint32>(crc32(0, bytes, static_cast<uInt>(out.size() - start))));
}

// Bytes in a row from which a repeated row is sent as zeros under the "Up" filter.
constexpr qsizetype kLongRow = 512;

}  // namespace

QByteArray encodePalettePng(const QImage& image) {
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) return {};
    // A picture of indices is read as it is; any other as 32-bit pixels.
    const bool indexed = image.format() == QImage::Format_Indexed8;
    const QImage pixels =
        indexed || image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_RGB32);
    const std::size_t lineBytes = std::size_t(w) * (indexed ? 1 : sizeof(QRgb));
    const QVector<QRgb> table = indexed ? image.colorTable() : QVector<QRgb>();
    std::array<int, 256> paletteOf;  // an index of the picture's table: its palette index
    paletteOf.fill(-1);

    // The palette, in order of first appearance, and the indices of each row that differs
    // from the row above. A barcode's rows repeat: a row like the one above is sent as a
    // copy of it, and is not looked at pixel by pixel.
    surface::Palette palette;
    std::vector<int> distinct;  // rows, in order
    std::vector<uchar> indices;
    for (int y = 0; y < h; ++y) {
        const uchar* line = pixels.constScanLine(y);
        if (y > 0 && std::memcmp(line, pixels.constScanLine(y - 1), lineBytes) == 0) continue;
        distinct.push_back(y);
        indices.resize(indices.size() + std::size_t(w));
        uchar* out = indices.data() + indices.size() - std::size_t(w);
        if (indexed) {
            for (int x = 0; x < w; ++x) {
                int& index = paletteOf[line[x]];
                if (index < 0) index = palette.index(line[x] < table.size() ? table[line[x]] : 0);
                if (index < 0) return {};
                out[x] = static_cast<uchar>(index);
            }
            continue;
        }
        // Runs of one colour: a bar or a space is one palette lookup.
        const auto* src = reinterpret_cast<const QRgb*>(line);
        for (int x = 0; x < w;) {
            const QRgb colour = src[x];
            const int index = palette.index(colour);
            if (index < 0) return {};
            const int start = x;
            while (x < w && src[x] == colour) ++x;
            std::memset(out + start, index, std::size_t(x - start));
        }
    }
    const int depth = palette.size() <= 2    ? 1
                      : palette.size() <= 4  ? 2
                      : palette.size() <= 16 ? 4
                                             : 8;

    // Each row after its filter byte 0 (none): the packed indices, or a copy of the row
    // above, which the stream sends as one reference to it.
    const int rowBytes = (w * depth + 7) / 8;
    const qsizetype stride = rowBytes + 1;
    QByteArray raw(stride * h, '\0');
    auto* bytes = reinterpret_cast<uchar*>(raw.data());
    const uchar* idx = indices.data();
    // A row like the one above: a copy of it where rows are short, so the stream refers back
    // to it; filtered by it ("Up", all zeros) where they are long, as a reference that far
    // back costs more than a run of zeros.
    const bool upFilter = stride > kLongRow;
    std::size_t next = 0;  // in distinct
    for (int y = 0; y < h; ++y) {
        uchar* row = bytes + qsizetype(y) * stride;
        if (next == distinct.size() || distinct[next] != y) {
            if (upFilter)
                row[0] = 2;  // and zeros
            else
                std::memcpy(row, row - stride, std::size_t(stride));
            continue;
        }
        ++next;
        // Indices packed from the highest bit down, a byte stored as it fills.
        uchar* out = row + 1;
        unsigned byte = 0;
        int filled = 0;
        for (int x = 0; x < w; ++x) {
            byte = (byte << depth) | idx[x];
            filled += depth;
            if (filled == 8) {
                *out++ = static_cast<uchar>(byte);
                byte = 0;
                filled = 0;
            }
        }
        if (filled > 0) *out = static_cast<uchar>(byte << (8 - filled));
        idx += w;
    }
    const QByteArray packed = deflateRows(raw, int(std::min<qsizetype>(stride, INT_MAX)));

    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    putU32(header, static_cast<quint32>(w));
    putU32(header, static_cast<quint32>(h));
    header.append(char(depth)).append(char(3)).append('\0').append('\0').append('\0');
    chunk(out, "IHDR", header);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        QByteArray phys;
        putU32(phys, static_cast<quint32>(image.dotsPerMeterX()));
        putU32(phys, static_cast<quint32>(image.dotsPerMeterY()));
        phys.append(char(1));  // unit: metre
        chunk(out, "pHYs", phys);
    }
    QByteArray plte;
    for (int i = 0; i < palette.size(); ++i)
        plte.append(char(qRed(palette[i])))
            .append(char(qGreen(palette[i])))
            .append(char(qBlue(palette[i])));
    chunk(out, "PLTE", plte);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

}  // namespace files

#else

namespace files {
// Built without zlib: every picture goes to the general encoder.
QByteArray encodePalettePng(const QImage&) {
    return {};
}
}  // namespace files

#endif
