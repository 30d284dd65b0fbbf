#pragma once
// What one build of a symbol gives back to whoever asked for it (a designer form, a test,
// a command-line tool): the finished picture, or why there is none.

#include <QString>
#include <optional>
#include <vector>

#include "surface/bitmap.h"

namespace symbols {

struct Refusal {
    enum class Kind {
        Notice,           // shown in a "Notice" box
        ConversionError,  // a number field that did not convert: the general error report
    };
    Kind kind = Kind::Notice;
    QString text;
    // The input the user should correct, by the form's control name ("barcodeedt"); empty
    // when the refusal names none. A form puts the focus there.
    QString field = {};
};

struct BuildResult {
    // Set when the build stopped before a finished picture; picture may still hold what
    // was drawn before the stop, where a symbology says so.
    std::optional<Refusal> refusal;
    // Notices shown on the way that did not stop the build.
    std::vector<QString> notices;
    // The finished picture, made at `dpi`.
    surface::Bitmap picture;
    int dpi = 0;

    // Where a build stopped, for forms whose state depends on how far it went. Checks: an
    // input check refused it before anything else happened. Drawing: the checks passed (a
    // form clears its preview there) but no finished picture came out, with `refusal` saying
    // why or empty for a silent stop. Unset when the build finished or the path does not say.
    enum class StoppedAt { Checks, Drawing };
    std::optional<StoppedAt> stoppedAt;

    bool built() const { return !refusal.has_value() && !stoppedAt.has_value(); }
};

}  // namespace symbols
