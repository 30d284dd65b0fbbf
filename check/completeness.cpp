#include <QStringList>
#include <algorithm>

#include "check/parts.h"

namespace check {

namespace {

int middleRow(const GreyPicture& g, const QRect& r) {
    if (r.isEmpty()) return -1;
    const int y = r.top() + r.height() / 2;
    return y >= 0 && y < g.height ? y : -1;
}

QString quoted(const std::vector<const TextBox*>& boxes) {
    QStringList texts;
    for (const TextBox* b : boxes) texts << QLatin1Char('\'') + b->text + QLatin1Char('\'');
    return texts.join(QLatin1Char(' '));
}

QRect unite(const std::vector<const TextBox*>& boxes, const QRect& within) {
    QRect all;
    for (const TextBox* b : boxes) all |= b->box & within;
    return all;
}

// The bars cut off by the picture's edges or missing from it.
void checkGuards(const GreyPicture& g, const Geometry& geo, int y, std::vector<Finding>& out,
                 bool* whole) {
    const QRect picture(0, 0, g.width, g.height);
    for (const BarArea& a : geo.guards) {
        const QRect r = a.rect;
        const bool acrossCut = r.left() < 0 || r.right() >= g.width;
        if (!picture.contains(r)) {
            // Cut at the left or right edge, bars are lost; at the top or bottom they are
            // only shorter.
            *whole = *whole && !acrossCut;
            const char* edge = r.right() >= g.width     ? "right"
                               : r.left() < 0           ? "left"
                               : r.bottom() >= g.height ? "bottom"
                                                        : "top";
            out.push_back(finding(acrossCut ? Grade::Fail : Grade::Warn, "completeness",
                                  QStringLiteral("the %1 (%2, %3) is cut off by the picture's %4 "
                                                 "edge; the picture is %5 x %6 pixels")
                                      .arg(a.name, columnsText(r.left(), r.right()),
                                           rowsText(r.top(), r.bottom()), QString::fromLatin1(edge))
                                      .arg(g.width)
                                      .arg(g.height)));
        } else if (y >= 0 && (!g.dark(r.left(), y) || !g.dark(r.right(), y))) {
            *whole = false;
            out.push_back(
                finding(Grade::Fail, "completeness",
                        QStringLiteral("the %1 (%2) is missing from the picture in %3")
                            .arg(a.name, columnsText(r.left(), r.right()), rowsText(y, y))));
        }
    }
}

// Text the symbol placed outside the picture, or where bars are.
void checkTexts(const GreyPicture& g, const Geometry& geo, int yMain, int yAddOn,
                std::vector<Finding>& out) {
    const QRect picture(0, 0, g.width, g.height);
    std::vector<const TextBox*> outside;
    for (const TextBox& t : geo.texts)
        if (!t.text.isEmpty() && !picture.contains(t.box)) outside.push_back(&t);
    if (!outside.empty()) {
        QRect all;
        for (const TextBox* b : outside) all |= b->box;
        out.push_back(finding(Grade::Warn, "completeness",
                              QStringLiteral("the text %1 (%2, %3) lies outside the picture of "
                                             "%4 x %5 pixels")
                                  .arg(quoted(outside), columnsText(all.left(), all.right()),
                                       rowsText(all.top(), all.bottom()))
                                  .arg(g.width)
                                  .arg(g.height)));
    }

    struct Area {
        QString name;
        QRect rect;
        int y;
    };
    std::vector<Area> areas{{QStringLiteral("bars"), geo.bars, yMain}};
    for (const BarArea& a : geo.guards) areas.push_back({a.name, a.rect, yMain});
    if (!geo.addOnBars.isEmpty())
        areas.push_back({QStringLiteral("add-on bars"), geo.addOnBars, yAddOn});
    for (const Area& a : areas) {
        if (a.y < 0) continue;
        std::vector<const TextBox*> over;
        for (const TextBox& t : geo.texts) {
            const QRect common = t.box & a.rect & picture;
            if (t.text.isEmpty() || common.isEmpty()) continue;
            // Only where the area has bars: the text cell between them paints nothing over.
            if (firstDark(g, a.y, common.left(), common.right() + 1) >= 0) over.push_back(&t);
        }
        if (over.empty()) continue;
        const QRect common = unite(over, a.rect & picture);
        out.push_back(
            finding(Grade::Warn, "completeness",
                    QStringLiteral("the text %1 and the %2 overlap in %3, %4")
                        .arg(quoted(over), a.name, columnsText(common.left(), common.right()),
                             rowsText(common.top(), common.bottom()))));
    }
}

}  // namespace

int mainScanRow(const GreyPicture& g, const Geometry& geometry) {
    return middleRow(g, geometry.bars);
}

int addOnScanRow(const GreyPicture& g, const Geometry& geometry) {
    return middleRow(g, geometry.addOnBars);
}

std::vector<Finding> completenessFindings(const GreyPicture& g, const CheckInput& in,
                                          bool* measurable) {
    std::vector<Finding> out;
    const Geometry& geo = in.geometry;
    const int y = mainScanRow(g, geo);
    const int first = y < 0 ? -1 : firstDark(g, y, geo.bars.left(), geo.bars.right() + 1);
    *measurable = false;
    if (geo.modulePx <= 0) {
        out.push_back(
            finding(Grade::Fail, "completeness",
                    QStringLiteral("no bars: a %1-mil %2 is 0 pixels at %3 dpi")
                        .arg(oneDecimal(geo.typedMils),
                             symbols::toQString(symbols::symbology(in.symbology).check.unit))
                        .arg(in.dpi)));
    } else if (geo.bars.height() <= 0) {
        out.push_back(
            finding(Grade::Fail, "completeness",
                    QStringLiteral("no bars: the bars are %1 pixels high").arg(geo.bars.height())));
    } else if (first < 0) {
        out.push_back(finding(
            Grade::Fail, "completeness",
            y < 0 ? QStringLiteral("no bars: the bars (%1) lie outside the "
                                   "picture's %2 rows")
                        .arg(rowsText(geo.bars.top(), geo.bars.bottom()))
                        .arg(g.height)
                  : QStringLiteral("no bars: %1 holds no bar in %2")
                        .arg(rowsText(y, y), columnsText(geo.bars.left(), geo.bars.right()))));
    } else {
        *measurable = true;
        checkGuards(g, geo, y, out, measurable);
        // Bars must be tall enough for a beam that crosses them at an angle.
        const int last = lastDark(g, y, geo.bars.left(), geo.bars.right() + 1);
        const int length = last - first + 1;
        const int high = darkRunDown(g, first, y);
        if (*measurable) {
            const bool tall = high * 100 >= 15 * length;
            out.push_back(finding(
                tall ? Grade::Ok : Grade::Warn, "completeness",
                QStringLiteral("the bars are %1 pixels high, %2 % of the symbol's length of %3 "
                               "pixels%4")
                    .arg(high)
                    .arg(oneDecimal(100.0 * high / length))
                    .arg(length)
                    .arg(tall ? QString() : QStringLiteral("; at least 15 % is needed"))));
        }
    }
    checkTexts(g, geo, y, addOnScanRow(g, geo), out);
    return out;
}

}  // namespace check
