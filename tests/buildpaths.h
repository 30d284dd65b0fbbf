#pragma once
// The five build paths behind one call, for tests that treat every symbology alike: each
// symbology's usual inputs, with whatever a test row changes.

#include <QString>

#include "symbols/buildresult.h"
#include "symbols/symbologies.h"

namespace buildpaths {

using symbols::Symbology;

inline const char* nameOf(Symbology s) {
    return symbols::symbology(s).title.data();
}

// What a build is given. Empty texts take the symbology's usual value.
struct Inputs {
    QString message, addOn, comment, height, width, ratio;
    symbols::PageValues page;
    int fontSize = 8;
    int dpi = 96;
};

// A message each symbology encodes, and the sizes these tests use where a form's default
// does not suit (a narrower EAN-13 keeps the pictures small).
struct Usual {
    Symbology symbology;
    const char* message;
    const char* height;
    const char* width;
};
inline constexpr Usual kUsual[] = {{Symbology::C39, "CODE39", nullptr, nullptr},
                                   {Symbology::Ena13, "012345678905", "1.5", "1"},
                                   {Symbology::Ean8, "9638507", nullptr, nullptr},
                                   {Symbology::UpcA, "03600029145", nullptr, nullptr},
                                   {Symbology::UpcE, "123456", nullptr, nullptr}};

inline QString orElse(const QString& v, const char* usual) {
    return v.isEmpty() && usual != nullptr ? QString::fromLatin1(usual) : v;
}

inline symbols::BuildResult build(Symbology s, const Inputs& in) {
    const Usual* usual = &kUsual[0];
    for (const Usual& u : kUsual)
        if (u.symbology == s) usual = &u;
    symbols::SymbolInputs inputs;
    inputs.message = orElse(in.message, usual->message);
    inputs.addOn = in.addOn;
    inputs.comment = in.comment;
    inputs.height = orElse(in.height, usual->height);
    inputs.width = orElse(in.width, usual->width);
    inputs.ratio = in.ratio;
    symbols::BuildContext context;
    context.page = in.page;
    context.font.pointSize = in.fontSize;
    context.dpi = in.dpi;
    return symbols::symbology(s).build(inputs, context);
}

}  // namespace buildpaths
