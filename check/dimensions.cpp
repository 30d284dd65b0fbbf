#include <array>
#include <cmath>
#include <map>

#include "check/parts.h"
#include "surface/rounding.h"

namespace check {

namespace {

const symbols::CheckRules& rulesOf(Symbology s) {
    return symbols::symbology(s).check;
}

// Add-ons, alike for every UPC/EAN symbology.
constexpr int kLeastAddOnGap = 7, kMostAddOnGap = 12;

Finding zone(const char* side, int first, int last, double unit, int least, const QString& what,
             const QString& unitName) {
    const double width = (last - first + 1) / unit;
    const bool enough = width + 1e-9 >= least;
    const QString where =
        last < first ? QStringLiteral("no blank columns") : columnsText(first, last);
    return finding(
        enough ? Grade::Ok : Grade::Warn, "quiet zone",
        QStringLiteral("the %1 is %2 %3 (%4)%5")
            .arg(QString::fromLatin1(side), oneDecimal(std::max(width, 0.0)), unitName, where,
                 enough ? QString()
                        : QStringLiteral(", less than the %1 %2 needs").arg(least).arg(what)));
}

// Typed against drawn width of one element class.
Finding widthClass(const QString& name, double drawnPx, double typedMils, int dpi) {
    const double drawnMils = drawnPx / dpi * 1000;
    const double error = typedMils > 0 ? (drawnMils - typedMils) / typedMils * 100 : 0;
    const double shown = surface::roundEven(std::abs(error));
    const QString how =
        shown == 0 ? QStringLiteral("as")
                   : QStringLiteral("%1 % %2").arg(shown).arg(error < 0 ? QStringLiteral("under")
                                                                        : QStringLiteral("over"));
    return finding(std::abs(error) <= 10 ? Grade::Ok : Grade::Warn, "bar width",
                   QStringLiteral("%1 are %2 mils, %3 the %4 typed")
                       .arg(name, oneDecimal(drawnMils), how, oneDecimal(typedMils)));
}

void upcEanDimensions(const GreyPicture& g, const CheckInput& in, int y, int first, int last,
                      std::vector<Finding>& out) {
    const Geometry& geo = in.geometry;
    const double x = double(last - first + 1) / geo.modules;
    const QString name = nameOf(in.symbology);
    const symbols::CheckRules& rules = rulesOf(in.symbology);
    const QString modulesName = symbols::toQString(rules.zoneUnit);
    // Anything dark beside the bars (a digit, a comment) ends the quiet zone too.
    out.push_back(zone("left quiet zone", 0, firstDark(g, y, 0, first + 1) - 1, x,
                       rules.leftQuietZone, name, modulesName));
    const int ya = addOnScanRow(g, geo);
    if (geo.addOnBars.isEmpty()) {
        out.push_back(zone("right quiet zone", lastDark(g, y, last, g.width) + 1, g.width - 1, x,
                           rules.rightQuietZone, name, modulesName));
    } else if (ya >= 0) {
        const int mainEnd = lastDark(g, ya, 0, geo.addOnBars.left());
        const int addOnStart = firstDark(g, ya, geo.addOnBars.left(), g.width);
        const int addOnEnd = lastDark(g, ya, geo.addOnBars.left(), g.width);
        if (mainEnd >= 0 && addOnStart >= 0) {
            const double gap = (addOnStart - mainEnd - 1) / x;
            const bool fits = gap + 1e-9 >= kLeastAddOnGap && gap <= kMostAddOnGap + 1e-9;
            out.push_back(
                finding(fits ? Grade::Ok : Grade::Warn, "quiet zone",
                        QStringLiteral("the gap before the add-on is %1 modules (%2)%3")
                            .arg(oneDecimal(gap), columnsText(mainEnd + 1, addOnStart - 1),
                                 fits ? QString()
                                      : QStringLiteral(", outside the %1 to %2 decoders look for")
                                            .arg(kLeastAddOnGap)
                                            .arg(kMostAddOnGap))));
            out.push_back(zone("quiet zone after the add-on", addOnEnd + 1, g.width - 1, x,
                               kLeastAfterAddOn, QStringLiteral("an add-on"), modulesName));
        }
    }

    const double mm = x / in.dpi * 25.4;
    const bool inRange = mm >= rules.leastMm - 1e-9 && mm <= rules.mostMm + 1e-9;
    const auto percentOfNominal = [&](double v) {
        return QString::number(surface::roundEven(v / rules.nominalMm * 100));
    };
    out.push_back(finding(
        inRange ? Grade::Ok : Grade::Warn, "x-dimension",
        QStringLiteral("the %1 is %2 as drawn%3")
            .arg(symbols::toQString(rules.unit), mmAndMils(x, in.dpi),
                 inRange ? QString()
                         : QStringLiteral(", outside %1 to %2 mm (%3 % to "
                                          "%4 % of %5 mm)")
                               .arg(QString::number(rules.leastMm), QString::number(rules.mostMm),
                                    percentOfNominal(rules.leastMm), percentOfNominal(rules.mostMm),
                                    QString::number(rules.nominalMm)))));

    // Each run is 1 to 4 modules wide.
    std::map<int, std::pair<double, int>> classes;
    for (const Run& r : runsOf(g, y, first, last)) {
        const int k = std::clamp(surface::roundToInt(r.length / x), 1, 4);
        classes[k].first += r.length;
        ++classes[k].second;
    }
    for (const auto& [k, sum] : classes) {
        const QString cls =
            k == 1 ? QStringLiteral("modules") : QStringLiteral("%1-module elements").arg(k);
        out.push_back(widthClass(cls, sum.first / sum.second, k * geo.typedMils, in.dpi));
    }
}

void code39Dimensions(const GreyPicture& g, const CheckInput& in, int y, int first, int last,
                      std::vector<Finding>& out) {
    const Geometry& geo = in.geometry;
    const std::vector<Run> runs = runsOf(g, y, first, last);
    int shortest = g.width, longest = 0;
    for (const Run& r : runs) {
        shortest = std::min(shortest, r.length);
        longest = std::max(longest, r.length);
    }
    double narrowSum = 0, wideSum = 0;
    int narrowCount = 0, wideCount = 0;
    for (const Run& r : runs) {
        if (2 * r.length <= shortest + longest) {
            narrowSum += r.length;
            ++narrowCount;
        } else {
            wideSum += r.length;
            ++wideCount;
        }
    }
    const double narrow = narrowSum / narrowCount;
    const symbols::CheckRules& rules = rulesOf(in.symbology);
    const QString name = nameOf(in.symbology);
    const QString narrowName = symbols::toQString(rules.zoneUnit);
    out.push_back(zone("left quiet zone", 0, firstDark(g, y, 0, first + 1) - 1, narrow,
                       rules.leftQuietZone, name, narrowName));
    out.push_back(zone("right quiet zone", lastDark(g, y, last, g.width) + 1, g.width - 1, narrow,
                       rules.rightQuietZone, name, narrowName));
    out.push_back(finding(Grade::Ok, "x-dimension",
                          QStringLiteral("the %1 is %2 as drawn")
                              .arg(symbols::toQString(rules.unit), mmAndMils(narrow, in.dpi))));
    if (wideCount == 0 || 2 * longest < 3 * shortest) {
        out.push_back(finding(Grade::Fail, "x-dimension",
                              QStringLiteral("wide and narrow elements cannot be told apart in %1: "
                                             "all are %2 to %3 pixels")
                                  .arg(rowsText(y, y))
                                  .arg(shortest)
                                  .arg(longest)));
        return;
    }
    const double wide = wideSum / wideCount;
    const double ratio = wide / narrow;
    const bool fineNarrow = narrow / in.dpi * 25.4 < rules.fineMm;
    const double leastRatio = fineNarrow ? rules.fineRatio : rules.leastRatio;
    const bool ok = ratio + 1e-9 >= leastRatio && ratio <= rules.mostRatio + 1e-9;
    out.push_back(
        finding(ok ? Grade::Ok : Grade::Warn, "x-dimension",
                QStringLiteral("the wide-to-narrow ratio is %1 as drawn%2")
                    .arg(QString::number(ratio, 'f', 2),
                         ok ? QString()
                            : QStringLiteral(", outside %1 to %2%3")
                                  .arg(QString::number(leastRatio, 'f', 1),
                                       QString::number(rules.mostRatio, 'f', 1),
                                       fineNarrow ? QStringLiteral(" for narrow bars under %1 mm")
                                                        .arg(QString::number(rules.fineMm))
                                                  : QString()))));
    out.push_back(widthClass(QStringLiteral("narrow elements"), narrow, geo.typedMils, in.dpi));
    out.push_back(
        widthClass(QStringLiteral("wide elements"), wide, geo.typedMils * geo.ratio, in.dpi));
}

}  // namespace

QuietZones leastQuietZones(Symbology s) {
    const symbols::CheckRules& rules = rulesOf(s);
    return {rules.leftQuietZone, rules.rightQuietZone};
}

std::vector<Finding> dimensionFindings(const GreyPicture& g, const CheckInput& in) {
    std::vector<Finding> out;
    const int y = mainScanRow(g, in.geometry);
    if (y < 0) return out;
    const int first = firstDark(g, y, in.geometry.bars.left(), in.geometry.bars.right() + 1);
    const int last = lastDark(g, y, in.geometry.bars.left(), in.geometry.bars.right() + 1);
    if (first < 0 || last <= first) return out;
    // A symbology of wide and narrow elements is measured by those two widths.
    if (symbols::symbology(in.symbology).takesRatio)
        code39Dimensions(g, in, y, first, last, out);
    else if (in.geometry.modules > 0)
        upcEanDimensions(g, in, y, first, last, out);
    return out;
}

}  // namespace check
