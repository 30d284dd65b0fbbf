#include "check/remedy.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "check/parts.h"

namespace check {

namespace {

// Pixels missing on each side: of a quiet zone, or of the picture under a text.
struct Shortfall {
    int left = 0, right = 0, top = 0, bottom = 0;
    bool any() const { return left > 0 || right > 0 || top > 0 || bottom > 0; }
};

Shortfall shortfallOf(const CheckInput& in) {
    Shortfall s;
    const Geometry& geo = in.geometry;
    const GreyPicture g = greyOf(in.picture);
    const int y = mainScanRow(g, geo);
    if (y < 0 || geo.modulePx <= 0) return s;
    const int first = firstDark(g, y, geo.bars.left(), geo.bars.right() + 1);
    const int last = lastDark(g, y, geo.bars.left(), geo.bars.right() + 1);
    if (first < 0 || last < first) return s;
    // The module as the quiet zones are measured in: across the bars as drawn.
    const double x = geo.modules > 0 ? double(last - first + 1) / geo.modules : geo.modulePx;
    const auto needs = [x](int modules) { return int(std::ceil(modules * x - 1e-9)); };
    const QuietZones least = leastQuietZones(in.symbology);
    s.left = needs(least.left) - std::max(firstDark(g, y, 0, first + 1), 0);
    const int ya = addOnScanRow(g, geo);
    if (geo.addOnBars.isEmpty())
        s.right = needs(least.right) - (g.width - 1 - lastDark(g, y, last, g.width));
    else if (ya >= 0)
        s.right = needs(kLeastAfterAddOn) -
                  (g.width - 1 - lastDark(g, ya, geo.addOnBars.left(), g.width));
    for (const TextBox& t : geo.texts) {
        if (t.text.isEmpty()) continue;
        s.left = std::max(s.left, -t.box.left());
        s.right = std::max(s.right, t.box.right() - (g.width - 1));
        s.top = std::max(s.top, -t.box.top());
        s.bottom = std::max(s.bottom, t.box.bottom() - (g.height - 1));
    }
    return s;
}

// Raises a page value by `pixels`, in whole tens of mils.
void raise(double& mils, int pixels, int dpi) {
    if (pixels <= 0) return;
    mils = std::ceil((mils + 1000.0 * pixels / dpi) / 10 - 1e-9) * 10;
}

}  // namespace

std::optional<Remedy> remedyFor(const CheckInput& in, const symbols::PageValues& page,
                                const Rebuild& rebuild) {
    Shortfall s = shortfallOf(in);
    if (!s.any() || in.dpi <= 0) return std::nullopt;
    symbols::PageValues p = page;
    // Page values are margins of the picture, but a symbol may turn them into its own
    // margins by rules of its own: build again until it stands whole.
    for (int attempt = 0; attempt < 6; ++attempt) {
        raise(p.fleft, s.left, in.dpi);
        raise(p.fright, s.right, in.dpi);
        raise(p.ftop, s.top, in.dpi);
        raise(p.fdown, s.bottom, in.dpi);
        const symbols::BuildResult again = rebuild(p);
        if (!again.built()) return std::nullopt;
        CheckInput next = checkInputOf(in.symbology, again);
        s = shortfallOf(next);
        if (s.any()) continue;
        Remedy r{p, {}};
        QStringList options;
        const auto add = [&options](const char* option, double was, double now) {
            if (now != was)
                options << QStringLiteral("--%1 %2").arg(QLatin1String(option)).arg(now);
        };
        add("top", page.ftop, p.ftop);
        add("down", page.fdown, p.fdown);
        add("left", page.fleft, p.fleft);
        add("right", page.fright, p.fright);
        r.options = options.join(QLatin1Char(' '));
        return r;
    }
    return std::nullopt;
}

Finding remedyFinding(const Remedy& remedy) {
    return finding(Grade::Ok, "suggest",
                   QStringLiteral("%1 (page values in mils that give full quiet zones and "
                                  "whole text)")
                       .arg(remedy.options));
}

}  // namespace check
