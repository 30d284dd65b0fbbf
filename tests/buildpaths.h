#pragma once
// The five build paths behind one call, for tests that treat every symbology alike: each
// symbology's usual inputs, with whatever a test row changes.

#include <QString>

#include "surface/font.h"
#include "symbols/barfamilybuild.h"
#include "symbols/buildresult.h"
#include "symbols/c39build.h"
#include "symbols/ena13build.h"
#include "symbols/pagevalues.h"

namespace buildpaths {

enum class Symbology { C39, Ena13, UpcA, Ean8, UpcE };
inline constexpr Symbology kAll[] = {Symbology::C39, Symbology::Ena13, Symbology::UpcA,
                                     Symbology::Ean8, Symbology::UpcE};

inline const char* nameOf(Symbology s) {
    switch (s) {
        case Symbology::C39:
            return "C39";
        case Symbology::Ena13:
            return "EAN-13";
        case Symbology::UpcA:
            return "UPC-A";
        case Symbology::Ean8:
            return "EAN-8";
        case Symbology::UpcE:
            return "UPC-E";
    }
    return "";
}

// What a build is given. Empty texts take the symbology's usual value.
struct Inputs {
    QString message, addOn, comment, height, width, ratio;
    symbols::PageValues page;
    int fontSize = 8;
    int dpi = 96;
};

inline QString orElse(const QString& v, const char* usual) {
    return v.isEmpty() ? QString::fromLatin1(usual) : v;
}

inline surface::Font fontOf(const Inputs& in) {
    surface::Font font;
    font.pointSize = in.fontSize;
    return font;
}

// Each build path's inputs for a row.
inline symbols::C39Inputs c39Inputs(const Inputs& in) {
    symbols::C39Inputs c;
    c.message = orElse(in.message, "CODE39");
    c.comment = in.comment;
    c.height = orElse(in.height, "1.2");
    c.narrowWidth = orElse(in.width, "23");
    c.ratio = orElse(in.ratio, "2.0");
    return c;
}

inline symbols::Ena13Inputs ena13Inputs(const Inputs& in) {
    symbols::Ena13Inputs e;
    e.message = orElse(in.message, "012345678905");
    e.supplemental = in.addOn;
    e.comment = in.comment;
    e.height = orElse(in.height, "1.5");
    e.width = orElse(in.width, "1");
    e.page = in.page;
    e.font = fontOf(in);
    e.dpi = in.dpi;
    return e;
}

inline symbols::BarFamilyInputs barFamilyInputs(Symbology s, const Inputs& in) {
    symbols::BarFamilyInputs b;
    b.supplemental = in.addOn;
    b.comment = in.comment;
    b.height = orElse(in.height, "1.3");
    b.moduleWidth = orElse(in.width, "21");
    b.message = orElse(in.message, s == Symbology::UpcA   ? "03600029145"
                                   : s == Symbology::Ean8 ? "9638507"
                                                          : "123456");
    return b;
}

inline symbols::BuildResult build(Symbology s, const Inputs& in) {
    const surface::Font font = fontOf(in);
    switch (s) {
        case Symbology::C39:
            return symbols::buildC39(c39Inputs(in), in.page, font, in.dpi);
        case Symbology::Ena13:
            return symbols::buildEna13(ena13Inputs(in));
        case Symbology::UpcA:
            return symbols::buildUpcA(barFamilyInputs(s, in), in.page, font, Qt::black, in.dpi);
        case Symbology::Ean8:
            return symbols::buildEan8(barFamilyInputs(s, in), in.page, font, Qt::black, in.dpi);
        case Symbology::UpcE:
            return symbols::buildUpcE(barFamilyInputs(s, in), in.page, font, Qt::black, in.dpi);
    }
    return {};
}

}  // namespace buildpaths
