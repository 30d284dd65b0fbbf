// The palette PNG writer on pictures of any size, colours and repeats: the file reads back
// with every pixel as it was. Input format: a byte for the width, a byte for the height,
// a byte for the number of colours; every further byte picks a row's pattern: which colour
// each run of pixels takes and how long the runs are, so rows repeat, differ by a pixel, or
// hold long runs.

#include <QImage>

#include "fuzz/check.h"
#include "surface/png.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const int w = 1 + data[0] * 3;  // up to 766: rows past deflate's longest copy
    const int h = 1 + data[1] % 64;
    const int colours = 1 + data[2];
    data += 3;
    size -= 3;
    QImage picture(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t pattern = size > 0 ? data[std::size_t(y) % size] : 0;
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const int run = 1 + (pattern & 7);
        for (int x = 0; x < w; ++x) {
            const int c = (x / run + (pattern >> 3)) % colours;
            row[x] = qRgb(c, 255 - c, (c * 37) & 0xFF);
        }
    }
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    const QByteArray png = files::encodePalettePng(picture);
    FUZZ_CHECK(!png.isEmpty());
    const QImage back = QImage::fromData(png, "PNG");
    FUZZ_CHECK(back.size() == picture.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            FUZZ_CHECK((back.pixel(x, y) & 0xFFFFFF) == (picture.pixel(x, y) & 0xFFFFFF));
    return 0;
}
