#include "check/layout.h"

#include <span>

#include "surface/rounding.h"
#include "symbols/Tean8unit.h"
#include "symbols/Tupc_a_barunit.h"
#include "symbols/Tupce_unit.h"
#include "symbols/c39.h"
#include "symbols/convert.h"
#include "symbols/ena13.h"

namespace check {

namespace {

using surface::roundEven;
using surface::roundToInt;

CheckInput started(Symbology s, const symbols::BuildResult& built) {
    CheckInput c;
    c.picture = built.picture.image();
    c.dpi = built.dpi;
    c.symbology = s;
    c.geometry.texts = textBoxesOf(built.picture);
    return c;
}

// Modules first to last, 1-based and inclusive, at module width m from x0, rows top to
// bottom (exclusive).
QRect modulesRect(int x0, int m, int first, int last, int top, int bottom) {
    return QRect(x0 + (first - 1) * m, top, (last - first + 1) * m, bottom - top);
}

// The guard bars of the UPC/EAN family, first bar to last bar of each, by module.
struct GuardModules {
    const char* name;
    int first, last;
};
constexpr GuardModules kEan13Guards[] = {
    {"start guard", 1, 3}, {"centre guard", 47, 49}, {"end guard", 93, 95}};
// UPC-A draws the first and last digit's bars as long as its guards.
constexpr GuardModules kUpcAGuards[] = {
    {"start guard", 1, 10}, {"centre guard", 47, 49}, {"end guard", 86, 95}};
constexpr GuardModules kEan8Guards[] = {
    {"start guard", 1, 3}, {"centre guard", 33, 35}, {"end guard", 65, 67}};
constexpr GuardModules kUpcEGuards[] = {{"start guard", 1, 3}, {"end guard", 47, 51}};

template <std::size_t N>
void addGuards(Geometry& g, const GuardModules (&guards)[N], int x0, int m, int top, int bottom) {
    for (const GuardModules& gm : guards)
        g.guards.push_back(
            {QString::fromLatin1(gm.name), modulesRect(x0, m, gm.first, gm.last, top, bottom)});
}

int addOnModules(const QString& addOn) {
    return addOn.size() == 2 ? 20 : addOn.size() == 5 ? 47 : 0;
}

}  // namespace

std::vector<TextBox> textBoxesOf(const surface::Bitmap& picture) {
    std::vector<TextBox> boxes;
    if (!picture.hasVectors()) return boxes;
    for (const surface::VectorOp& op : picture.vectorOps()) {
        if (op.kind != surface::VectorOp::Kind::Text) continue;
        const QString& text = picture.textRuns()[std::size_t(op.text)].text;
        if (!text.isEmpty() && !op.rect.isEmpty()) boxes.push_back({text, op.rect});
    }
    return boxes;
}

CheckInput checkInputFor(const symbols::C39Inputs& in, const symbols::PageValues& page,
                         const surface::Font& font, const symbols::BuildResult& built) {
    CheckInput c = started(Symbology::C39, built);
    symbols::Tc39 s;
    const double height = symbols::strToFloat(in.height);
    const double narrow = symbols::strToFloat(in.narrowWidth);
    const double ratio = symbols::strToFloat(in.ratio);
    s.Setup(font, built.dpi, page.fiwidth / 1000, height, narrow / 1000, ratio, page.fleft / 1000,
            page.fright / 1000, in.comment, in.message, page.ftop / 1000, page.fdown / 1000);
    c.data = s.Message.toUpper();

    const double f = s.font().pointSize;
    const int top = roundToInt(in.comment.isEmpty() ? double(s.TopSpace) + s.IntervalSpace
                                                    : f + 2.0 * s.IntervalSpace + s.TopSpace);
    const QString elements = symbols::Tc39::Encode(s.Message);
    const int width = symbols::Tc39::PatternWidth(elements, s.NarrowWidth, s.Ratio);
    // The start and stop characters: the first and the last nine elements.
    const int ends = symbols::Tc39::PatternWidth(elements.left(9), s.NarrowWidth, s.Ratio);
    Geometry& g = c.geometry;
    g.typedMils = narrow;
    g.ratio = ratio;
    g.modulePx = s.NarrowWidth;
    g.bars = QRect(s.LeftSpace, top, width, s.BarHeight);
    g.guards.push_back(
        {QStringLiteral("start character"), QRect(s.LeftSpace, top, ends, s.BarHeight)});
    g.guards.push_back({QStringLiteral("stop character"),
                        QRect(s.LeftSpace + width - ends, top, ends, s.BarHeight)});
    return c;
}

CheckInput checkInputFor(const symbols::Ena13Inputs& in, const symbols::BuildResult& built) {
    CheckInput c = started(Symbology::Ean13, built);
    c.data = in.message + QString::number(symbols::TENA13::CheckDigit(in.message));
    const QString addOn = addOnModules(in.supplemental) > 0 ? in.supplemental : QString();
    c.addOn = addOn;

    // As the build places the symbol: margins of the page values plus 25 mils left and below.
    const double d = built.dpi, f = in.font.pointSize;
    const double codeHeight = symbols::strToFloat(in.height);
    const double codeWidth = symbols::strToFloat(in.width);
    const double left = (in.page.fleft + 25) * 0.001, top = in.page.ftop * 0.001;
    const double interval = in.page.fiwidth * 0.001;
    const double x = f / d + left;
    const double y = in.comment.isEmpty() ? top + interval : f / d + (2 * interval + top) + 0.03;
    const int x0 = roundToInt(d * x), y0 = roundToInt(d * y);
    const int s = roundToInt((codeHeight - 3.5 * interval) * d) - 2 * int(f);
    const int guardHigh = s + roundToInt(0.06 * s);
    const int m = roundToInt(d * codeWidth) / 95;

    Geometry& g = c.geometry;
    g.typedMils = codeWidth * 1000 / 95;
    g.modulePx = m;
    g.modules = 95;
    g.bars = modulesRect(x0, m, 1, 95, y0, y0 + s);
    addGuards(g, kEan13Guards, x0, m, y0, y0 + guardHigh);
    if (!addOn.isEmpty()) {
        const int xs = roundToInt((codeWidth + left + codeWidth / 95 * 12) * d);
        const int ys = roundToInt((top + interval) * d);
        const int sh = roundToInt((codeHeight - 2.5 * interval) * d) - 2 * int(f);
        const int m2 = roundToInt(d * codeWidth / 95);
        const int h = in.comment.isEmpty() ? 0 : 2 * int(f);
        const int barTop = roundToInt(ys + h + f + d * interval);
        g.addOnModules = addOnModules(addOn);
        g.addOn = QRect(xs, barTop, g.addOnModules * m2, ys + h + sh - barTop);
    }
    return c;
}

namespace {
// What the three symbols of the UPC/EAN family differ in.
struct Family {
    int modules;
    int addOnOffset;  // modules from the symbol's origin to the add-on
    std::span<const GuardModules> guards;
};

template <class Symbol>
void layOut(CheckInput& c, const Family& fam, const symbols::BarFamilyInputs& in,
            const symbols::PageValues& page, const surface::Font& font) {
    Symbol s;
    s.UseDpi(c.dpi);
    s.RefreshDpi();
    s.SetFont(&font);
    s.SetModuleWidth(roundToInt(symbols::strToInt(in.moduleWidth) / 1000.0 * s.Dpi()));
    s.SetBarHeight(roundToInt(symbols::strToFloat(in.height) * s.Dpi()));
    s.SetTopSpace(page.ftop);
    s.SetLeftSpace(page.fleft);
    s.SetIntervalSpace(page.fiwidth);
    s.SetComment(in.comment);

    const int m = s.ModuleWidth(), x0 = s.OriginX(), f = s.F(), t = s.BarTop(), h = s.BarHeight();
    const double interval = page.fiwidth / 1000.0 * s.Dpi();
    Geometry& g = c.geometry;
    g.typedMils = symbols::strToInt(in.moduleWidth);
    g.modulePx = m;
    g.modules = fam.modules;
    // Data bars stop at 14/15 of the guards' height.
    const int shortBottom = roundToInt(h / 15.0 * 14.0 + t);
    g.bars = modulesRect(x0 + f, m, 1, fam.modules, t, shortBottom);
    for (const GuardModules& gm : fam.guards)
        g.guards.push_back(
            {QString::fromLatin1(gm.name), modulesRect(x0 + f, m, gm.first, gm.last, t, t + h)});
    g.addOnModules = addOnModules(in.supplemental);
    if (g.addOnModules > 0) {
        const int addOnTop = roundToInt(roundEven(f + t + interval));
        g.addOn = QRect(x0 + fam.addOnOffset * m, addOnTop, g.addOnModules * m, t + h - addOnTop);
    }
}
}  // namespace

CheckInput checkInputFor(Symbology sym, const symbols::BarFamilyInputs& in,
                         const symbols::PageValues& page, const surface::Font& font,
                         const symbols::BuildResult& built) {
    CheckInput c = started(sym, built);
    c.addOn = addOnModules(in.supplemental) > 0 ? in.supplemental : QString();
    if (sym == Symbology::UpcE) {
        symbols::Tupce s;
        s.SetMessage(in.message);
        c.data = QLatin1Char('0') + in.message + s.CheckDigit();
        layOut<symbols::Tupce>(c, {51, 63, kUpcEGuards}, in, page, font);
    } else if (sym == Symbology::Ean8) {
        symbols::Tean8 s;
        s.SetMessage(in.message);
        s.Encode(in.message);
        c.data = s.Message();
        layOut<symbols::Tean8>(c, {67, 79, kEan8Guards}, in, page, font);
    } else {
        symbols::Tupc_a s;
        s.SetMessage(in.message);
        s.Encode(in.message);
        c.data = s.Message();
        layOut<symbols::Tupc_a>(c, {95, 107, kUpcAGuards}, in, page, font);
    }
    return c;
}

}  // namespace check
