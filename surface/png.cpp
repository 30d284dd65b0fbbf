#include "surface/png.h"

#ifdef MARLISK_HAVE_ZLIB
#include <zlib.h>
#endif

#include <algorithm>
#include <array>
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

// The colours of a picture in order of first appearance (at most 256).
class Palette {
  public:
    // The index of the colour (alpha ignored), added when new; -1 when the palette is full.
    int index(QRgb pixel) {
        if (pixel == last_ && lastIndex_ >= 0) return lastIndex_;
        const QRgb c = pixel & 0xFFFFFF;
        const QRgb* found = std::find(colours_.begin(), colours_.begin() + size_, c);
        if (found == colours_.begin() + size_) {
            if (size_ == 256) return -1;
            colours_[size_++] = c;
        }
        last_ = pixel;
        lastIndex_ = static_cast<int>(found - colours_.begin());
        return lastIndex_;
    }
    int size() const { return size_; }
    QRgb operator[](int i) const { return colours_[i]; }

  private:
    std::array<QRgb, 256> colours_{};
    int size_ = 0;
    QRgb last_ = 0;
    int lastIndex_ = -1;
};

// The zlib stream of `raw`. Each thread keeps its compressor: setting one up clears
// hundreds of kilobytes, many times the work of a symbol's few kilobytes of rows.
QByteArray compressed(const QByteArray& raw) {
    struct Compressor {
        z_stream stream{};
        bool ready = false;
        Compressor() {
            ready =
                deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 12, 4, Z_DEFAULT_STRATEGY) == Z_OK;
        }
        ~Compressor() {
            if (ready) deflateEnd(&stream);
        }
    };
    thread_local Compressor z;
    if (!z.ready || deflateReset(&z.stream) != Z_OK) return {};
    QByteArray out(static_cast<qsizetype>(deflateBound(&z.stream, uLong(raw.size()))),
                   Qt::Uninitialized);
    z.stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
    z.stream.avail_in = static_cast<uInt>(raw.size());
    z.stream.next_out = reinterpret_cast<Bytef*>(out.data());
    z.stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z.stream, Z_FINISH) != Z_STREAM_END) return {};
    out.resize(static_cast<qsizetype>(z.stream.total_out));
    return out;
}
}  // namespace

QByteArray encodePalettePng(const QImage& image) {
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) return {};
    const QImage rgb =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_RGB32);
    const auto line = [&rgb](int y) { return reinterpret_cast<const QRgb*>(rgb.constScanLine(y)); };

    // The palette, in order of first appearance, and the indices of each row that differs
    // from the row above. A barcode's rows repeat: a row like the one above is sent as "Up"
    // of the row above, all zeros, and is not looked at pixel by pixel.
    Palette palette;
    std::vector<int> distinct;  // rows, in order
    std::vector<uchar> indices;
    for (int y = 0; y < h; ++y) {
        const QRgb* src = line(y);
        if (y > 0 && std::memcmp(src, line(y - 1), sizeof(QRgb) * std::size_t(w)) == 0) continue;
        distinct.push_back(y);
        indices.resize(indices.size() + std::size_t(w));
        uchar* out = indices.data() + indices.size() - std::size_t(w);
        QRgb last = src[0];
        int index = palette.index(last);
        for (int x = 0; x < w; ++x) {
            if (src[x] != last) {
                last = src[x];
                index = palette.index(last);
            }
            if (index < 0) return {};
            out[x] = static_cast<uchar>(index);
        }
    }
    const int depth = palette.size() <= 2    ? 1
                      : palette.size() <= 4  ? 2
                      : palette.size() <= 16 ? 4
                                             : 8;

    // Each row after its filter byte: 0 (none) with the packed indices, or 2 (up) with zeros.
    const int rowBytes = (w * depth + 7) / 8;
    QByteArray raw(qsizetype(rowBytes + 1) * h, '\0');
    auto* bytes = reinterpret_cast<uchar*>(raw.data());
    for (int y = 0; y < h; ++y) bytes[qsizetype(y) * (rowBytes + 1)] = 2;
    const uchar* idx = indices.data();
    for (int y : distinct) {
        uchar* row = bytes + qsizetype(y) * (rowBytes + 1);
        *row++ = 0;
        for (int x = 0, bit = 0; x < w; ++x, bit += depth)
            row[bit >> 3] |= static_cast<uchar>(idx[x] << (8 - depth - (bit & 7)));
        idx += w;
    }
    const QByteArray packed = compressed(raw);
    if (packed.isEmpty()) return {};

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
