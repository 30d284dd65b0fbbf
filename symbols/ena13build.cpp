#include "symbols/ena13build.h"

#include <cmath>
#include <initializer_list>

#include "surface/limits.h"
#include "surface/rounding.h"
#include "surface/screen.h"
#include "symbols/convert.h"
#include "symbols/ena13.h"

namespace symbols {

namespace {
using StoppedAt = BuildResult::StoppedAt;

BuildResult stop(BuildResult r, StoppedAt at) {
    r.stoppedAt = at;
    return r;
}

BuildResult refuse(BuildResult r, StoppedAt at, Refusal why) {
    r.refusal = std::move(why);
    return stop(std::move(r), at);
}

Refusal refusal(Refusal::Kind kind, const QString& text) {
    Refusal why;
    why.kind = kind;
    why.text = text;
    return why;
}

Refusal notice(const QString& text, const QString& field = {}) {
    Refusal why = refusal(Refusal::Kind::Notice, text);
    why.field = field;
    return why;
}

// The margins and origins the symbol is drawn with, in inches, from the page values in
// mils: at least 25 mils are kept left and below and 100 mils right.
struct Placement {
    double left, right, top, bottom, interval;
};

Placement place(const PageValues& p) {
    return {(p.fleft + 25) * 0.001, (p.fright + 100) * 0.001, p.ftop * 0.001,
            (p.fdown + 25) * 0.001, p.fiwidth * 0.001};
}

// Empty when a wide x high picture can be made and every length drawn in it stays within
// picture bounds on its own (cancelling page values could otherwise give a small picture
// with coordinates far outside it).
std::optional<QString> sizeRefusal(double wide, double high, double d,
                                   std::initializer_list<double> across,
                                   std::initializer_list<double> down) {
    if (auto why = surface::pictureSizeRefusal(wide, high)) return why;
    for (double v : across)
        if (auto why = surface::pictureSizeRefusal(std::abs(v * d), high)) return why;
    for (double v : down)
        if (auto why = surface::pictureSizeRefusal(wide, std::abs(v * d))) return why;
    if (wide < 1 || high < 1)
        return QStringLiteral(
                   "The picture would be %1 x %2 pixels, which leaves nothing to draw on. Use "
                   "larger sizes or page values.")
            .arg(wide)
            .arg(high);
    return std::nullopt;
}

Refusal noMemory(double wide, double high) {
    return notice(QStringLiteral("There is not enough memory for a picture of %1 x %2 pixels.")
                      .arg(wide)
                      .arg(high));
}

// Modules the picture grows by for an add-on: a 12-module gap and the add-on itself.
int addOnModules(const QString& supplemental) {
    if (supplemental.size() == 2) return 12 + 20;
    if (supplemental.size() == 5) return 12 + 47;
    return 0;
}
}  // namespace

BuildResult buildEna13(const Ena13Inputs& in) {
    BuildResult r;
    if (in.message.size() != 12)
        return refuse(std::move(r), StoppedAt::Checks,
                      notice(QStringLiteral("The 'Bar code message' must contain 12 numbers."),
                             QStringLiteral("barcodeedt")));
    if (auto why = nonDigitNotice(in.message, QStringLiteral("Bar code message")))
        return refuse(std::move(r), StoppedAt::Checks, notice(*why, QStringLiteral("barcodeedt")));

    // An add-on of the wrong length is left out; the symbol is still built.
    QString supplemental = in.supplemental;
    if (addOnModules(supplemental) == 0 && !supplemental.isEmpty()) {
        r.notices.push_back(
            QStringLiteral("The 'Ean13 Supplemental' must contain 2 or 5 numbers."));
        supplemental.clear();
    }
    if (auto why = nonDigitNotice(supplemental, QStringLiteral("Ean13 Supplemental")))
        return refuse(std::move(r), StoppedAt::Checks, notice(*why, QStringLiteral("Edit1")));

    if (in.height.isEmpty()) return stop(std::move(r), StoppedAt::Drawing);
    double codeHeight = 0, codeWidth = 0;
    try {
        codeHeight = strToFloat(in.height);
        codeWidth = strToFloat(in.width);
    } catch (const ConvertError& e) {
        return refuse(std::move(r), StoppedAt::Drawing,
                      refusal(Refusal::Kind::ConversionError, e.message()));
    }
    const int dpi = in.dpi > 0 ? in.dpi : surface::screenDpi();
    if (dpi <= 0) return stop(std::move(r), StoppedAt::Drawing);
    const double d = dpi;
    const int f = in.font.pointSize;
    const Placement p = place(in.page);

    const double wide = surface::roundEven((codeWidth + p.left + p.right) * d);
    const double high = surface::roundEven((codeHeight + p.top + p.bottom) * d);
    const double grow = surface::roundEven(d * codeWidth / 95 * addOnModules(supplemental));
    // The font's point size counts as pixels beside and above the bars.
    if (auto why = sizeRefusal(wide + grow, high, d, {codeWidth, p.left, p.right, f / d},
                               {codeHeight, p.top, p.bottom, 3.5 * p.interval, 2.0 * f / d}))
        return refuse(std::move(r), StoppedAt::Drawing, notice(*why));

    r.dpi = dpi;
    r.picture.setDpi(dpi);
    r.picture.setBrushColor(Qt::white);
    if (!r.picture.setSize(static_cast<int>(wide), static_cast<int>(high)))
        return refuse(std::move(r), StoppedAt::Drawing, noMemory(wide, high));

    TENA13 symbol;
    symbol.SetComment(in.comment);
    symbol.SetCodeHeight(codeHeight);
    symbol.SetCodeWidth(codeWidth);
    symbol.SetFont(&in.font);
    symbol.SetCanvas(&r.picture);
    symbol.SetLeftMargin(p.left);
    symbol.SetRightMargin(p.right);
    symbol.SetTopMargin(p.top);
    symbol.SetBottomMargin(p.bottom);
    symbol.SetInterval(p.interval);
    symbol.SetBarColor(in.barColor);
    symbol.SetDpi(dpi);
    symbol.SetSupplemental(supplemental);
    symbol.SetMessage(in.message);
    symbol.SetCommentX(f / d + p.left);
    symbol.SetCommentY(p.top + p.interval);

    // The first digit stands left of the bars; a comment line pushes the bars down.
    const double x = f / d + p.left;
    const double y =
        in.comment.isEmpty() ? p.top + p.interval : f / d + (2 * p.interval + p.top) + 0.03;
    symbol.DrawComment();
    symbol.Draw(x, y);

    if (addOnModules(supplemental) > 0) {
        r.picture.setBrushColor(Qt::white);
        if (!r.picture.setWidth(static_cast<int>(wide + grow)))
            return refuse(std::move(r), StoppedAt::Drawing, noMemory(wide + grow, high));
        const int xs = surface::roundToInt((codeWidth + p.left + codeWidth / 95 * 12) * d);
        const int ys = surface::roundToInt((p.top + p.interval) * d);
        symbol.DrawSupplemental(xs, ys);
    }
    return r;
}

}  // namespace symbols
