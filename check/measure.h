#pragma once
// Reading lengths off a picture as a verifier's optics would: grey levels, dark against
// light at half way, runs of one or the other along a row or down a column.

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace check {

struct GreyPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> levels;  // row by row, 0 black to 255 white

    const std::uint8_t* row(int y) const { return levels.data() + std::size_t(y) * width; }
    bool dark(int x, int y) const { return row(y)[x] < 128; }
};

GreyPicture greyOf(const QImage& picture);

// Leftmost / rightmost dark pixel of row y with from <= x < to, or -1.
int firstDark(const GreyPicture& g, int y, int from, int to);
int lastDark(const GreyPicture& g, int y, int from, int to);

// Dark or light runs of row y from `from` to `to` inclusive.
struct Run {
    int length;
    bool dark;
};
std::vector<Run> runsOf(const GreyPicture& g, int y, int from, int to);

// Rows of the dark run in column x through row y (0 when that pixel is light).
int darkRunDown(const GreyPicture& g, int x, int y);

// A length in pixels as "0.53 mm (20.8 mils)".
QString mmAndMils(double pixels, int dpi);

// "row 7" or "rows 7-12"; "x 3" or "x 3-9".
QString rowsText(int first, int last);
QString columnsText(int first, int last);

// A number with one decimal, without a trailing ".0".
QString oneDecimal(double v);

}  // namespace check
