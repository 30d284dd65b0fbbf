#include "symbols/ena13build.h"

#include "surface/convert.h"
#include "surface/rounding.h"
#include "symbols/ena13.h"

namespace symbols {

namespace {
using StoppedAt = BuildResult::StoppedAt;

// The margins and origins the symbol is drawn with, in inches, from the page values in
// mils: at least 25 mils are kept left and below and 100 mils right.
struct Placement {
    double left, right, top, bottom, interval;
};

Placement place(const PageValues& p) {
    return {(p.fleft + 25) * 0.001, (p.fright + 100) * 0.001, p.ftop * 0.001,
            (p.fdown + 25) * 0.001, p.fiwidth * 0.001};
}

}  // namespace

BuildResult buildEna13(const Ena13Inputs& in, const BuildContext& context) {
    if (in.message.size() != 12)
        return refused(notice(QStringLiteral("The 'Bar code message' must contain 12 numbers."),
                              Input::Message));
    if (auto why = surface::nonDigitNotice(in.message, QStringLiteral("Bar code message")))
        return refused(notice(*why, Input::Message));

    // An add-on of the wrong length is left out; the symbol is still built.
    std::vector<Refusal> notices;
    QString supplemental = in.supplemental;
    if (TENA13::AddOnModules(supplemental) == 0 && !supplemental.isEmpty()) {
        notices.push_back(
            notice(QStringLiteral("The 'Ean13 Supplemental' must contain 2 or 5 numbers."),
                   Input::AddOn, Refusal::Owner::Application));
        supplemental.clear();
    }
    const auto stop = [&notices](StoppedAt at, std::optional<Refusal> why = std::nullopt) {
        BuildResult r = stopped(at, std::move(why));
        r.notices = notices;
        return r;
    };
    if (auto why = surface::nonDigitNotice(supplemental, QStringLiteral("Ean13 Supplemental")))
        return stop(StoppedAt::Checks, notice(*why, Input::AddOn));

    if (in.height.isEmpty()) return stop(StoppedAt::Drawing);
    double codeHeight = 0, codeWidth = 0;
    try {
        codeHeight = surface::strToFloat(in.height);
        codeWidth = surface::strToFloat(in.width);
    } catch (const surface::ConvertError& e) {
        return stop(StoppedAt::Drawing, conversionError(e.message()));
    }
    const int dpi = context.resolvedDpi();
    if (dpi <= 0) return stop(StoppedAt::Drawing);
    const double d = dpi;
    const int f = context.font.pointSize;
    const Placement p = place(context.page);

    TENA13 symbol;
    symbol.SetComment(in.comment);
    symbol.SetCodeHeight(codeHeight);
    symbol.SetCodeWidth(codeWidth);
    symbol.SetFont(&context.font);
    symbol.SetLeftMargin(p.left);
    symbol.SetRightMargin(p.right);
    symbol.SetTopMargin(p.top);
    symbol.SetBottomMargin(p.bottom);
    symbol.SetInterval(p.interval);
    symbol.SetBarColor(context.barColor);
    symbol.SetDpi(dpi);
    symbol.SetSupplemental(supplemental);
    symbol.SetMessage(in.message);
    symbol.SetCommentX(f / d + p.left);
    symbol.SetCommentY(p.top + p.interval);
    if (auto why = sizeRefusal(symbol.Extent(), context)) return stop(StoppedAt::Drawing, *why);
    // The main symbol is drawn on a picture of its own width before an add-on widens it:
    // that picture needs room too, as it would without the add-on.
    if (auto why = sizeRefusal({symbol.MainWidthF(), symbol.HeightF()}, context))
        return stop(StoppedAt::Drawing, *why);

    BuildResult r;
    r.notices = notices;
    r.dpi = dpi;
    r.picture.setDpi(dpi);
    r.picture.setBrushColor(Qt::white);
    const double wide = symbol.MainWidthF(), high = symbol.HeightF();
    if (!r.picture.setSize(static_cast<int>(wide), static_cast<int>(high)))
        return stop(StoppedAt::Drawing, noMemory(wide, high));
    symbol.SetCanvas(&r.picture);

    // The first digit stands left of the bars; a comment line pushes the bars down.
    const double x = f / d + p.left;
    const double y =
        in.comment.isEmpty() ? p.top + p.interval : f / d + (2 * p.interval + p.top) + 0.03;
    symbol.DrawComment();
    symbol.Draw(x, y);

    if (TENA13::AddOnModules(supplemental) > 0) {
        const double grown = wide + symbol.AddOnWidthF();
        r.picture.setBrushColor(Qt::white);
        if (!r.picture.setWidth(static_cast<int>(grown)))
            return stop(StoppedAt::Drawing, noMemory(grown, high));
        const int xs = surface::roundToInt((codeWidth + p.left + codeWidth / 95 * 12) * d);
        const int ys = surface::roundToInt((p.top + p.interval) * d);
        symbol.DrawSupplemental(xs, ys);
    }
    // Where the bars went, as the symbol drew them.
    r.geometry = symbol.Drawn();
    r.geometry.data = in.message + QString::number(TENA13::CheckDigit(in.message));
    r.geometry.typedMils = codeWidth * 1000 / 95;
    if (r.geometry.addOnModules > 0) r.geometry.addOn = supplemental;
    return r;
}

}  // namespace symbols
