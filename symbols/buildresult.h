#pragma once
// The one shape of every build path: what the caller resolves once (BuildContext), what a
// build gives back (BuildResult), and the words a build refuses with (Refusal), so the
// designer forms, marlisk-cli, the tests and the fuzz targets all build symbols alike:
//
//     BuildResult build…(const …Inputs&, const BuildContext&);

#include <QColor>
#include <QString>
#include <optional>
#include <vector>

#include "surface/bitmap.h"
#include "surface/font.h"
#include "symbols/pagevalues.h"
#include "symbols/symbolgeometry.h"

namespace symbols {

// Everything a build takes besides the form's own inputs: the page values, the shared font
// and bar colour, and the resolution to draw at.
struct BuildContext {
    PageValues page;
    surface::Font font;
    QColor barColor = Qt::black;
    int dpi = 0;  // 0: the screen's resolution

    // The resolution what the user chooses is meant for: a font of 8 points reserves 8
    // pixels for its text line at 96 dpi.
    static constexpr int kChosenAt = 96;
    // The context of a picture made at `dpi` from what the user chose: the page values and
    // bar colour as they are, the font chosen at 96 dpi scaled to `dpi` (see scaledTo). The
    // window, at the screen's device resolution, and marlisk-cli, at --dpi, both resolve
    // their builds here, so a picture depends on its resolution alone, not on who made it.
    static BuildContext at(int dpi, const PageValues& page, const surface::Font& font,
                           const QColor& barColor);

    // The resolution a build draws at: `dpi`, or the screen's when it is 0.
    int resolvedDpi() const;
    // The same context at another resolution. The layouts count the font's point size as
    // pixels, so it is scaled with the resolution, and the glyphs are drawn as at this
    // context's resolution: text keeps its printed size.
    BuildContext scaledTo(int otherDpi) const;
};

// The input a refusal is about, by meaning; each form maps these to its own controls.
enum class Input { None, Message, AddOn, Height, Width, Ratio, Module };

struct Refusal {
    enum class Kind {
        Notice,           // shown in a "Notice" box
        ConversionError,  // a number field that did not convert: the general error report
    };
    // Whose message box it is: the form's, or the application's (no owner window).
    enum class Owner { Form, Application };

    Kind kind = Kind::Notice;
    QString text;
    Input input = Input::None;  // where the user should correct it
    Owner owner = Owner::Form;
};

struct BuildResult {
    // Set when the build stopped before a finished picture; picture may still hold what
    // was drawn before the stop, where a symbology says so.
    std::optional<Refusal> refusal;
    // Notices shown on the way that did not stop the build.
    std::vector<Refusal> notices;
    // The finished picture, made at `dpi`.
    surface::Bitmap picture;
    int dpi = 0;
    // The finished symbol's account of itself: its data and where its parts were meant to
    // go (texts aside: they are in the picture's drawing record).
    SymbolGeometry geometry;

    // Where a build stopped, for forms whose state depends on how far it went. Checks: an
    // input check refused it before anything else happened. Drawing: the checks passed (a
    // form clears its preview there) but no finished picture came out, with `refusal` saying
    // why or empty for a silent stop. Unset when the build finished or the path does not say.
    enum class StoppedAt { Checks, Drawing };
    std::optional<StoppedAt> stoppedAt;

    bool built() const { return !refusal.has_value() && !stoppedAt.has_value(); }
};

// The refusal vocabulary every build path speaks.
Refusal notice(QString text, Input input = Input::None,
               Refusal::Owner owner = Refusal::Owner::Form);
Refusal conversionError(QString text, Input input = Input::None);
// A result that stopped at `at`, with `why` when there is one.
BuildResult stopped(BuildResult::StoppedAt at, std::optional<Refusal> why = std::nullopt);
BuildResult refused(Refusal why, BuildResult::StoppedAt at = BuildResult::StoppedAt::Checks);
// The picture could be sized but not allocated.
Refusal noMemory(double width, double height);

// A picture's size as a symbol works it out in real numbers, before anything becomes an
// int, with the single lengths it draws inside the picture (offsets, bar lengths): a
// picture can be made when its size fits the picture bound and each of those lengths does
// on its own (page values that cancel could otherwise give a small picture whose drawing
// lands far outside it).
struct PictureExtent {
    double width = 0;
    double height = 0;
    std::vector<double> across = {};
    std::vector<double> down = {};
};

// Why no picture can be made of this extent: a picture too large (naming the page value out
// of range when one is), or one that leaves nothing to draw on.
std::optional<Refusal> sizeRefusal(const PictureExtent& extent, const BuildContext& context);

}  // namespace symbols
