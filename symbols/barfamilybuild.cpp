#include "symbols/barfamilybuild.h"

#include <array>

#include "surface/convert.h"
#include "surface/rounding.h"
#include "symbols/Tean8unit.h"
#include "symbols/Tupc_a_barunit.h"
#include "symbols/Tupce_unit.h"

namespace symbols {

namespace {

// The forms differ in when they hand the add-on to the symbol; nothing reads it before
// drawing, but the sequence is kept as each form has it.
enum class SupplementalAt { AfterModuleCount, AfterBarHeight, AfterPageValues };

struct FamilyMember {
    int messageLength;
    const char* supplementalName;     // the add-on edit as its notices name it
    std::array<int, 3> moduleCounts;  // without add-on, with 2 digits, with 5 digits
    SupplementalAt supplementalAt;
};

// Module counts: the main symbol, or the add-on's offset plus its 20 or 47 modules.
constexpr FamilyMember kUpcA{
    11, "Upc-a Supplemental", {95, 127, 154}, SupplementalAt::AfterPageValues};
constexpr FamilyMember kEan8{
    7, "Ean8 Supplemental", {67, 99, 126}, SupplementalAt::AfterModuleCount};
constexpr FamilyMember kUpcE{
    6, "Upc-e Supplemental", {51, 83, 110}, SupplementalAt::AfterBarHeight};

// What a drawn symbol encodes, with its check digit (UPC-E also with its number system).
template <class Symbol>
QString scannedOf(const Symbol& s, const QString&) {
    return s.Message();
}
QString scannedOf(const Tupce& s, const QString& typed) {
    return QLatin1Char('0') + typed + s.CheckDigit();
}

template <class Symbol>
BuildResult build(const FamilyMember& s, const BarFamilyInputs& in, const BuildContext& context) {
    const QString supplementalName = QString::fromLatin1(s.supplementalName);
    // Add-on notices are the application's; the others belong to the form.
    const auto addOnNotice = [](const QString& text) {
        return notice(text, Input::AddOn, Refusal::Owner::Application);
    };

    if (in.message.size() != s.messageLength) {
        return refused(notice(
            QStringLiteral("The 'Bar code message' must contain %1 numbers.").arg(s.messageLength),
            Input::Message));
    }
    const qsizetype addOn = in.supplemental.size();
    if (addOn != 0 && addOn != 2 && addOn != 5) {
        return refused(addOnNotice(
            QStringLiteral("The '%1' must contain 2 or 5 numbers.").arg(supplementalName)));
    }
    if (auto why = surface::nonDigitNotice(in.message, QStringLiteral("Bar code message")))
        return refused(notice(*why, Input::Message));
    if (auto why = surface::nonDigitNotice(in.supplemental, supplementalName))
        return refused(addOnNotice(*why));

    const int modules = s.moduleCounts[addOn == 0 ? 0 : addOn == 2 ? 1 : 2];
    int widthMils = 0;
    double heightInches = 0;
    try {
        widthMils = surface::strToInt(in.moduleWidth);
        heightInches = surface::strToFloat(in.height);
    } catch (const surface::ConvertError& e) {
        return refused(conversionError(e.message()));
    }

    BuildResult r;
    r.dpi = context.resolvedDpi();
    const PageValues& page = context.page;
    Symbol symbol;
    symbol.UseDpi(r.dpi);
    symbol.RefreshDpi();
    symbol.SetCanvas(&r.picture);
    symbol.SetBarColor(context.barColor);
    symbol.SetFont(&context.font);
    symbol.SetModuleCount(modules);
    if (s.supplementalAt == SupplementalAt::AfterModuleCount) symbol.Supplemental = in.supplemental;
    symbol.SetModuleWidth(surface::roundToInt(widthMils / 1000.0 * symbol.Dpi()));
    symbol.SetBarHeight(surface::roundToInt(heightInches * symbol.Dpi()));
    if (s.supplementalAt == SupplementalAt::AfterBarHeight) symbol.Supplemental = in.supplemental;
    symbol.SetMessage(in.message);
    symbol.SetLeftSpace(page.fleft);
    symbol.SetTopSpace(page.ftop);
    symbol.SetRightSpace(page.fright);
    symbol.SetDownSpace(page.fdown);
    symbol.SetIntervalSpace(page.fiwidth);
    if (s.supplementalAt == SupplementalAt::AfterPageValues) symbol.Supplemental = in.supplemental;
    // The size is taken before the comment is set: a comment line moves the drawing down
    // inside the same picture rather than enlarging it.
    const PictureExtent extent = symbol.Extent();
    if (auto why = sizeRefusal(extent, context)) return refused(*why);
    // The main symbol's part of the picture needs room as it would without the add-on: a
    // picture of the add-on alone is no symbol.
    const double addOnWidth = double(symbol.ModuleWidth()) * (modules - s.moduleCounts[0]);
    if (auto why = sizeRefusal({extent.width - addOnWidth, extent.height}, context))
        return refused(*why);

    const int w = symbol.TotalWidth(), h = symbol.TotalHeight();
    r.picture.setDpi(r.dpi);
    r.picture.setBrushColor(Qt::white);
    if (!r.picture.setSize(w, h)) return refused(noMemory(w, h));
    r.picture.fillRect(0, 0, w, h);
    symbol.SetComment(in.comment);
    try {
        symbol.Draw();
        if (!in.supplemental.isEmpty()) symbol.DrawSupplemental();
    } catch (const surface::ConvertError& e) {  // not reached: the digits were checked above
        r.refusal = conversionError(e.message());
        r.stoppedAt = BuildResult::StoppedAt::Drawing;
        return r;
    }
    // Where the bars went, as the symbol drew them.
    r.geometry = symbol.Drawn();
    r.geometry.data = scannedOf(symbol, in.message);
    r.geometry.typedMils = widthMils;
    if (r.geometry.addOnModules > 0) r.geometry.addOn = in.supplemental;
    return r;
}

}  // namespace

BuildResult buildUpcA(const BarFamilyInputs& in, const BuildContext& context) {
    return build<Tupc_a>(kUpcA, in, context);
}

BuildResult buildEan8(const BarFamilyInputs& in, const BuildContext& context) {
    return build<Tean8>(kEan8, in, context);
}

BuildResult buildUpcE(const BarFamilyInputs& in, const BuildContext& context) {
    return build<Tupce>(kUpcE, in, context);
}

}  // namespace symbols
