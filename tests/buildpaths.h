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

inline symbols::BuildResult build(Symbology s, const Inputs& in) {
    surface::Font font;
    font.pointSize = in.fontSize;
    if (s == Symbology::C39) {
        symbols::C39Inputs c;
        c.message = orElse(in.message, "CODE39");
        c.comment = in.comment;
        c.height = orElse(in.height, "1.2");
        c.narrowWidth = orElse(in.width, "23");
        c.ratio = orElse(in.ratio, "2.0");
        return symbols::buildC39(c, in.page, font, in.dpi);
    }
    if (s == Symbology::Ena13) {
        symbols::Ena13Inputs e;
        e.message = orElse(in.message, "012345678905");
        e.supplemental = in.addOn;
        e.comment = in.comment;
        e.height = orElse(in.height, "1.5");
        e.width = orElse(in.width, "1");
        e.page = in.page;
        e.font = font;
        e.dpi = in.dpi;
        return symbols::buildEna13(e);
    }
    symbols::BarFamilyInputs b;
    b.supplemental = in.addOn;
    b.comment = in.comment;
    b.height = orElse(in.height, "1.3");
    b.moduleWidth = orElse(in.width, "21");
    if (s == Symbology::UpcA) {
        b.message = orElse(in.message, "03600029145");
        return symbols::buildUpcA(b, in.page, font, Qt::black, in.dpi);
    }
    if (s == Symbology::Ean8) {
        b.message = orElse(in.message, "9638507");
        return symbols::buildEan8(b, in.page, font, Qt::black, in.dpi);
    }
    b.message = orElse(in.message, "123456");
    return symbols::buildUpcE(b, in.page, font, Qt::black, in.dpi);
}

}  // namespace buildpaths
