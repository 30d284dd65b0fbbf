#include "surface/png.h"

#ifdef MARLISK_HAVE_ZLIB
#include <zlib.h>
#endif

#include <QVector>
#include <cstring>

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
}  // namespace

QByteArray encodePalettePng(const QImage& image) {
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) return {};
    const QImage rgb =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_RGB32);

    // The palette, in order of first appearance, and each pixel's index in it.
    QVector<QRgb> palette;
    QByteArray indices(qsizetype(w) * h, Qt::Uninitialized);
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        char* dst = indices.data() + qsizetype(y) * w;
        for (int x = 0; x < w; ++x) {
            const QRgb c = src[x] & 0xFFFFFF;
            if (c != last || lastIndex < 0) {
                lastIndex = static_cast<int>(palette.indexOf(c));
                if (lastIndex < 0) {
                    if (palette.size() == 256) return {};
                    lastIndex = static_cast<int>(palette.size());
                    palette.push_back(c);
                }
                last = c;
            }
            dst[x] = static_cast<char>(lastIndex);
        }
    }
    const int depth = palette.size() <= 2    ? 1
                      : palette.size() <= 4  ? 2
                      : palette.size() <= 16 ? 4
                                             : 8;

    // Rows packed to the depth, each after a filter byte of 0 (none).
    const int rowBytes = (w * depth + 7) / 8;
    QByteArray raw(qsizetype(rowBytes + 1) * h, '\0');
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uchar*>(raw.data()) + qsizetype(y) * (rowBytes + 1) + 1;
        const auto* idx = reinterpret_cast<const uchar*>(indices.constData()) + qsizetype(y) * w;
        if (depth == 8) {
            std::memcpy(row, idx, w);
            continue;
        }
        for (int x = 0, bit = 0; x < w; ++x, bit += depth)
            row[bit >> 3] |= static_cast<uchar>(idx[x] << (8 - depth - (bit & 7)));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    QByteArray packed(static_cast<qsizetype>(packedSize), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.constData()), static_cast<uLong>(raw.size()),
                  Z_BEST_SPEED) != Z_OK)
        return {};
    packed.resize(static_cast<qsizetype>(packedSize));

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
    for (QRgb c : palette)
        plte.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
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
