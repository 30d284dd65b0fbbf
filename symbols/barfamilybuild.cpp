#include "symbols/barfamilybuild.h"

#include <array>
#include <cmath>
#include <optional>

#include "surface/limits.h"
#include "surface/rounding.h"
#include "surface/screen.h"
#include "symbols/Tean8unit.h"
#include "symbols/Tupc_a_barunit.h"
#include "symbols/Tupce_unit.h"
#include "symbols/convert.h"

namespace symbols {

namespace {

// The forms differ in when they hand the add-on to the symbol; nothing reads it before
// drawing, but the sequence is kept as each form has it.
enum class SupplementalAt { AfterModuleCount, AfterBarHeight, AfterPageValues };

struct Symbology {
    int messageLength;
    const char* supplementalName;     // the add-on edit as its notices name it
    std::array<int, 3> moduleCounts;  // without add-on, with 2 digits, with 5 digits
    SupplementalAt supplementalAt;
};

// Module counts: the main symbol, or the add-on's offset plus its 20 or 47 modules.
constexpr Symbology kUpcA{
    11, "Upc-a Supplemental", {95, 127, 154}, SupplementalAt::AfterPageValues};
constexpr Symbology kEan8{7, "Ean8 Supplemental", {67, 99, 126}, SupplementalAt::AfterModuleCount};
constexpr Symbology kUpcE{6, "Upc-e Supplemental", {51, 83, 110}, SupplementalAt::AfterBarHeight};

BuildResult refused(BuildResult r, Refusal::Kind kind, const QString& text,
                    const QString& field = {}) {
    r.refusal = Refusal{kind, text, field};
    r.stoppedAt = BuildResult::StoppedAt::Checks;
    return r;
}

// The notice for the first character of `text` that is not a digit 0 to 9; such text can
// only arrive by pasting, past the key filters.
std::optional<QString> nonDigitNotice(const QString& text, const QString& name) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) {
            return QStringLiteral(
                       "The '%1' holds the character '%2' at position %3; only the digits 0 to "
                       "9 are allowed.")
                .arg(name, QString(text[i]))
                .arg(i + 1);
        }
    }
    return std::nullopt;
}

// Why the picture cannot be made, if it cannot. The pixel counts are worked out in double
// as Tbar's setters will work them out (no comment line yet), so a size from a settings
// file or a typed number too large for an int is refused before anything becomes one.
std::optional<QString> sizeRefusal(int modules, int widthMils, double heightInches,
                                   const PageValues& page, int fontSize, int dpi) {
    const auto px = [dpi](double mils) { return surface::roundEven(mils / 1000.0 * dpi); };
    const double f = fontSize;
    const double m = surface::roundEven(widthMils / 1000.0 * dpi);
    const double h = surface::roundEven(heightInches * dpi);
    const double width = 2 * f + px(page.fleft + page.fright) + m * modules;
    const double height = 2 * f + px(page.ftop + page.fdown) + px(page.fiwidth) + h;
    const bool fits = surface::roundsIntoInt(m * modules) && surface::roundsIntoInt(h) &&
                      surface::roundsIntoInt(px(page.fleft)) &&
                      surface::roundsIntoInt(px(page.ftop + page.fiwidth)) &&
                      surface::roundsIntoInt(width) && surface::roundsIntoInt(height);
    return surface::pictureSizeRefusal(fits ? width : HUGE_VAL, fits ? height : HUGE_VAL);
}

template <class Symbol>
BuildResult build(const Symbology& s, const BarFamilyInputs& in, const PageValues& page,
                  const surface::Font& font, const QColor& barColor, int dpi) {
    BuildResult r;
    r.dpi = dpi > 0 ? dpi : surface::screenDpi();
    using Kind = Refusal::Kind;
    const QString supplementalName = QString::fromLatin1(s.supplementalName);

    if (in.message.size() != s.messageLength) {
        return refused(
            r, Kind::Notice,
            QStringLiteral("The 'Bar code message' must contain %1 numbers.").arg(s.messageLength),
            kMessageField);
    }
    const qsizetype addOn = in.supplemental.size();
    if (addOn != 0 && addOn != 2 && addOn != 5) {
        return refused(
            r, Kind::Notice,
            QStringLiteral("The '%1' must contain 2 or 5 numbers.").arg(supplementalName),
            kSupplementalField);
    }
    if (auto why = nonDigitNotice(in.message, QStringLiteral("Bar code message")))
        return refused(r, Kind::Notice, *why, kMessageField);
    if (auto why = nonDigitNotice(in.supplemental, supplementalName))
        return refused(r, Kind::Notice, *why, kSupplementalField);

    const int modules = s.moduleCounts[addOn == 0 ? 0 : addOn == 2 ? 1 : 2];
    int widthMils = 0;
    double heightInches = 0;
    try {
        widthMils = strToInt(in.moduleWidth);
        heightInches = strToFloat(in.height);
    } catch (const ConvertError& e) {
        return refused(r, Kind::ConversionError, e.message());
    }
    if (auto why = sizeRefusal(modules, widthMils, heightInches, page, font.pointSize, r.dpi))
        return refused(r, Kind::Notice, *why);

    Symbol symbol;
    symbol.UseDpi(r.dpi);
    symbol.RefreshDpi();
    symbol.SetCanvas(&r.picture);
    symbol.SetBarColor(barColor);
    symbol.SetFont(&font);
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
    const int w = symbol.TotalWidth(), h = symbol.TotalHeight();
    r.picture.setDpi(r.dpi);
    r.picture.setBrushColor(Qt::white);
    if (!r.picture.setSize(w, h)) {
        return refused(r, Kind::Notice,
                       QStringLiteral("The picture of %1 x %2 pixels could not be made: not "
                                      "enough memory.")
                           .arg(w)
                           .arg(h));
    }
    r.picture.fillRect(0, 0, w, h);
    symbol.SetComment(in.comment);
    try {
        symbol.Draw();
        if (!in.supplemental.isEmpty()) symbol.DrawSupplemental();
    } catch (const ConvertError& e) {  // not reached: the digits were checked above
        r.refusal = Refusal{Kind::ConversionError, e.message()};
        r.stoppedAt = BuildResult::StoppedAt::Drawing;
    }
    return r;
}

}  // namespace

BuildResult buildUpcA(const BarFamilyInputs& in, const PageValues& page, const surface::Font& font,
                      const QColor& barColor, int dpi) {
    return build<Tupc_a>(kUpcA, in, page, font, barColor, dpi);
}

BuildResult buildEan8(const BarFamilyInputs& in, const PageValues& page, const surface::Font& font,
                      const QColor& barColor, int dpi) {
    return build<Tean8>(kEan8, in, page, font, barColor, dpi);
}

BuildResult buildUpcE(const BarFamilyInputs& in, const PageValues& page, const surface::Font& font,
                      const QColor& barColor, int dpi) {
    return build<Tupce>(kUpcE, in, page, font, barColor, dpi);
}

}  // namespace symbols
