#include "check/measure.h"

#include <algorithm>
#include <cmath>

#include "surface/rounding.h"

namespace check {

GreyPicture greyOf(const QImage& picture) {
    GreyPicture g;
    if (picture.isNull()) return g;
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    g.width = grey.width();
    g.height = grey.height();
    g.levels.resize(std::size_t(g.width) * g.height);
    for (int y = 0; y < g.height; ++y)
        std::copy_n(grey.constScanLine(y), g.width, g.levels.begin() + std::size_t(y) * g.width);
    return g;
}

int firstDark(const GreyPicture& g, int y, int from, int to) {
    for (int x = std::max(from, 0); x < std::min(to, g.width); ++x)
        if (g.dark(x, y)) return x;
    return -1;
}

int lastDark(const GreyPicture& g, int y, int from, int to) {
    for (int x = std::min(to, g.width) - 1; x >= std::max(from, 0); --x)
        if (g.dark(x, y)) return x;
    return -1;
}

std::vector<Run> runsOf(const GreyPicture& g, int y, int from, int to) {
    std::vector<Run> runs;
    for (int x = from; x <= to; ++x) {
        const bool d = g.dark(x, y);
        if (runs.empty() || runs.back().dark != d)
            runs.push_back({1, d});
        else
            ++runs.back().length;
    }
    return runs;
}

int darkRunDown(const GreyPicture& g, int x, int y) {
    if (!g.dark(x, y)) return 0;
    int top = y, bottom = y;
    while (top > 0 && g.dark(x, top - 1)) --top;
    while (bottom + 1 < g.height && g.dark(x, bottom + 1)) ++bottom;
    return bottom - top + 1;
}

QString oneDecimal(double v) {
    const double tenths = surface::roundEven(v * 10);
    return QString::number(tenths / 10, 'f', std::fmod(tenths, 10.0) == 0 ? 0 : 1);
}

QString mmAndMils(double pixels, int dpi) {
    const double inches = pixels / dpi;
    return QStringLiteral("%1 mm (%2 mils)")
        .arg(QString::number(surface::roundEven(inches * 25.4 * 100) / 100, 'f', 2),
             oneDecimal(inches * 1000));
}

QString rowsText(int first, int last) {
    return first == last ? QStringLiteral("row %1").arg(first)
                         : QStringLiteral("rows %1-%2").arg(first).arg(last);
}

QString columnsText(int first, int last) {
    return first == last ? QStringLiteral("x %1").arg(first)
                         : QStringLiteral("x %1-%2").arg(first).arg(last);
}

}  // namespace check
