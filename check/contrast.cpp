// The bars as a shop's scanner sees them: it lights the symbol with red light (about
// 650 nm) and sees each colour by how much of that light it sends back. The red channel of
// a colour, made linear from sRGB, stands for that reflectance: black, blue and green bars
// are dark to it; red, orange and yellow ones are as light as white paper.

#include <QColor>
#include <algorithm>
#include <cmath>

#include "check/parts.h"
#include "surface/rounding.h"

namespace check {

namespace {

double reflectance(QRgb c) {
    const double v = qRed(c) / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Symbol contrast grades, worst last.
QChar gradeOf(int percent) {
    return percent >= 70   ? u'A'
           : percent >= 55 ? u'B'
           : percent >= 40 ? u'C'
           : percent >= 20 ? u'D'
                           : u'F';
}

// "yellow bars", or "the bars" for a colour without a plain name.
QString barsNamed(QRgb c) {
    const QColor colour = QColor::fromRgb(c);
    const int hue = colour.hsvHue();
    if (hue < 0 || colour.hsvSaturation() < 96 || colour.value() < 96)
        return QStringLiteral("the bars");
    const char* name = hue < 15 || hue >= 330 ? "red"
                       : hue < 40             ? "orange"
                       : hue < 70             ? "yellow"
                       : hue >= 270           ? "magenta"
                                              : nullptr;
    return name == nullptr ? QStringLiteral("the bars")
                           : QStringLiteral("%1 bars").arg(QLatin1String(name));
}

}  // namespace

std::vector<Finding> contrastFindings(const GreyPicture&, const CheckInput& in) {
    // Reflectances along the beam across the bars, as a verifier's profile has them.
    const QRect& bars = in.geometry.bars;
    const int y = bars.top() + bars.height() / 2;
    if (bars.isEmpty() || y < 0 || y >= in.picture.height()) return {};
    const int from = std::max(bars.left(), 0), to = std::min(bars.right(), in.picture.width() - 1);
    if (to < from) return {};
    const QImage row =
        in.picture.copy(from, y, to - from + 1, 1).convertToFormat(QImage::Format_RGB32);
    const auto* px = reinterpret_cast<const QRgb*>(row.constScanLine(0));
    double least = 1, most = 0;
    for (int x = 0; x < row.width(); ++x) {
        const double r = reflectance(px[x]);
        least = std::min(least, r);
        most = std::max(most, r);
    }
    const int contrast = std::max(0, surface::roundToInt((most - least) * 100));
    const QChar grade = gradeOf(contrast);
    if (grade == u'F') {
        const QString bars =
            in.bars.rects.empty() ? QStringLiteral("the bars") : barsNamed(in.bars.colour);
        return {finding(
            Grade::Fail, "contrast",
            QStringLiteral("Does not scan: %1 reflect the scanner's red light %2the "
                           "background (symbol contrast %3 %, grade F)")
                .arg(bars, contrast == 0 ? QStringLiteral("like ") : QStringLiteral("almost like "))
                .arg(contrast))};
    }
    return {
        finding(grade == u'D' ? Grade::Warn : Grade::Ok, "contrast",
                QStringLiteral("symbol contrast under a scanner's red light is %1 % (grade "
                               "%2%3): reflectance from the colours' red channel, sRGB made "
                               "linear; darkest %4 %, lightest %5 %")
                    .arg(contrast)
                    .arg(grade)
                    .arg(grade == u'D' ? QStringLiteral(", under the 40 % of grade C") : QString())
                    .arg(surface::roundToInt(least * 100))
                    .arg(surface::roundToInt(most * 100)))};
}

}  // namespace check
