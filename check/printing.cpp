// How a symbol fares on a printer: the module in whole dots of the resolution the picture
// is made for, and how far ink spread (or a thermal head that burns thin) may widen or
// narrow every bar before a decoder stops reading.

#include <QStringList>
#include <algorithm>
#include <tuple>

#include "check/parts.h"

namespace check {

namespace {

// The nominal EAN/UPC module, and the range of magnifications around it.
constexpr double kNominalMils = 0.33 / 25.4 * 1000;
constexpr double kLeastMagnification = 0.8, kMostMagnification = 2.0;
// Listed one by one up to this many; a longer run is given by its ends.
constexpr int kMostListed = 6;
// The print tolerance looks this many dots each way at most: it runs on every build.
constexpr int kMostDots = 4;

QString dots(int n) {
    return QStringLiteral("%1 dot%2").arg(n).arg(n == 1 ? "" : "s");
}

double milsOf(int dots, int dpi) {
    return 1000.0 * dots / dpi;
}

QString percentOf(int dots, int dpi) {
    return oneDecimal(milsOf(dots, dpi) / kNominalMils * 100) + QStringLiteral(" %");
}

Finding wholeDots(const CheckInput& in) {
    const int m = in.geometry.modulePx, dpi = in.dpi;
    if (in.symbology == Symbology::C39)
        return finding(Grade::Ok, "printing",
                       QStringLiteral("the narrow bar is %1 at %2 dpi (%3 mils)")
                           .arg(dots(m))
                           .arg(dpi)
                           .arg(oneDecimal(milsOf(m, dpi))));
    QStringList fits;
    int first = 0, last = 0;
    for (int n = 1; milsOf(n, dpi) <= kMostMagnification * kNominalMils + 1e-9; ++n) {
        if (milsOf(n, dpi) + 1e-9 < kLeastMagnification * kNominalMils) continue;
        if (first == 0) first = n;
        last = n;
        fits << QStringLiteral("%1 = %2 mils = %3")
                    .arg(dots(n), oneDecimal(milsOf(n, dpi)), percentOf(n, dpi));
    }
    QString whole;
    if (fits.isEmpty())
        whole = QStringLiteral("no whole number of dots at %1 dpi lies in 80 % to 200 %").arg(dpi);
    else if (fits.size() <= kMostListed)
        whole = QStringLiteral("at %1 dpi: %2").arg(dpi).arg(fits.join(QStringLiteral(", ")));
    else
        whole =
            QStringLiteral("at %1 dpi: %2 to %3 (%4 to %5 mils, %6 to %7)")
                .arg(dpi)
                .arg(dots(first), dots(last), oneDecimal(milsOf(first, dpi)),
                     oneDecimal(milsOf(last, dpi)), percentOf(first, dpi), percentOf(last, dpi));
    return finding(Grade::Ok, "printing",
                   QStringLiteral("the module is %1 at %2 dpi (%3 mils, magnification %4); whole "
                                  "dots from 80 % to 200 % %5")
                       .arg(dots(m))
                       .arg(dpi)
                       .arg(oneDecimal(milsOf(m, dpi)), percentOf(m, dpi), whole));
}

// The bars the fills make: a bar of several modules may be filled module by module, and
// only its outer edges move when ink spreads.
std::vector<QRect> wholeBars(std::vector<QRect> fills) {
    std::sort(fills.begin(), fills.end(), [](const QRect& a, const QRect& b) {
        return std::tuple(a.top(), a.bottom(), a.left()) <
               std::tuple(b.top(), b.bottom(), b.left());
    });
    std::vector<QRect> bars;
    for (const QRect& r : fills) {
        if (!bars.empty() && bars.back().top() == r.top() && bars.back().bottom() == r.bottom() &&
            r.left() <= bars.back().right() + 1)
            bars.back().setRight(std::max(bars.back().right(), r.right()));
        else
            bars.push_back(r);
    }
    return bars;
}

// The picture with every bar `by` dots wider (narrower when negative), the rest as drawn.
GreyPicture withBarsChanged(const GreyPicture& g, const std::vector<QRect>& bars, int by) {
    GreyPicture out = g;
    const QRect picture(0, 0, g.width, g.height);
    const auto paint = [&out](const QRect& r, std::uint8_t level) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(out.levels.begin() + std::size_t(y) * out.width + r.left(), r.width(),
                        level);
    };
    for (const QRect& r : bars) paint(r & picture, 255);
    // Ink spreads to both sides: the left edge takes the smaller half of an odd dot.
    const int left = by >= 0 ? by / 2 : -((-by + 1) / 2), right = by - left;
    for (const QRect& r : bars) {
        const QRect changed = r.adjusted(-left, 0, right, 0) & picture;
        if (changed.width() > 0 && changed.height() > 0) paint(changed, 0);
    }
    return out;
}

QString reads(const std::vector<Finding>& found) {
    QStringList texts;
    for (const Finding& f : found) texts << nameOf(f.grade) + f.text;
    return texts.join(QLatin1Char('\n'));
}

QString change(int n, int dpi, const char* way) {
    if (n == 0) return QStringLiteral("no %1").arg(QLatin1String(way));
    return QStringLiteral("up to %1 (%2 mm) %3")
        .arg(dots(n), QString::number(n * 25.4 / dpi, 'f', 2), QLatin1String(way));
}

// The picture with one row for each band of rows that are alike and lie under the same
// bars, and the bars in its rows: changing the bars changes every row of a band alike, so
// the decoders need read each band once, whatever the resolution.
struct Bands {
    GreyPicture picture;
    std::vector<QRect> bars;
};

Bands bandsOf(const GreyPicture& g, const std::vector<QRect>& bars) {
    const QRect whole(0, 0, g.width, g.height);
    std::vector<bool> starts(std::size_t(g.height) + 1, false);
    starts[0] = true;
    for (const QRect& r : bars) {
        const QRect in = r & whole;
        if (in.isEmpty()) continue;
        starts[std::size_t(in.top())] = true;
        starts[std::size_t(in.bottom()) + 1] = true;
    }
    std::vector<int> first;  // the first row of each band
    for (int y = 0; y < g.height; ++y)
        if (starts[std::size_t(y)] || !std::equal(g.row(y), g.row(y) + g.width, g.row(y - 1)))
            first.push_back(y);
    Bands b;
    b.picture.width = g.width;
    b.picture.height = int(first.size());
    for (int y : first)
        b.picture.levels.insert(b.picture.levels.end(), g.row(y), g.row(y) + g.width);
    const auto band = [&first](int y) {
        return int(std::lower_bound(first.begin(), first.end(), y) - first.begin());
    };
    for (const QRect& r : bars) {
        const QRect in = r & whole;
        if (in.isEmpty()) continue;
        b.bars.push_back(QRect(QPoint(in.left(), band(in.top())),
                               QPoint(in.right(), band(in.bottom() + 1) - 1)));
    }
    return b;
}

std::vector<Finding> tolerance(const GreyPicture& whole, const CheckInput& in) {
    if (in.bars.rects.empty() || in.geometry.modulePx <= 0) return {};
    const Bands b = bandsOf(whole, wholeBars(in.bars.rects));
    const GreyPicture& g = b.picture;
    const std::vector<QRect>& bars = b.bars;
    // The bars as recorded, drawn again: what every change is measured against.
    const std::vector<Finding> asDrawn = decodeFindings(withBarsChanged(g, bars, 0), in);
    if (std::any_of(asDrawn.begin(), asDrawn.end(),
                    [](const Finding& f) { return f.grade != Grade::Ok; }))
        return {};
    const QString wanted = reads(asDrawn);
    const auto holds = [&](int by) {
        return reads(decodeFindings(withBarsChanged(g, bars, by), in)) == wanted;
    };
    int wider = 0, narrower = 0;
    while (wider < kMostDots && holds(wider + 1)) ++wider;
    // A bar of one module must keep a dot at least.
    while (narrower < std::min(kMostDots, in.geometry.modulePx - 1) && holds(-(narrower + 1)))
        ++narrower;
    return {finding(Grade::Ok, "printing",
                    QStringLiteral("tolerates bars %1 and %2 at %3 dpi: both decoders still read "
                                   "every row band (tried up to %4 each way)")
                        .arg(change(wider, in.dpi, "wider"), change(narrower, in.dpi, "narrower"))
                        .arg(in.dpi)
                        .arg(dots(kMostDots)))};
}

}  // namespace

std::vector<Finding> printingFindings(const GreyPicture& g, const CheckInput& in,
                                      bool readsAsDrawn) {
    if (in.geometry.modulePx <= 0) return {};
    std::vector<Finding> out{wholeDots(in)};
    if (!readsAsDrawn) return out;
    std::vector<Finding> t = tolerance(g, in);
    out.insert(out.end(), t.begin(), t.end());
    return out;
}

}  // namespace check
