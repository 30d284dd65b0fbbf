#pragma once
// A build through the build paths together with the symbol check's input for it.

#include "check/layout.h"
#include "tests/buildpaths.h"

namespace checkpaths {

using buildpaths::Inputs;
using buildpaths::Symbology;

inline check::Symbology checkSymbology(Symbology s) {
    switch (s) {
        case Symbology::C39:
            return check::Symbology::C39;
        case Symbology::Ena13:
            return check::Symbology::Ean13;
        case Symbology::UpcA:
            return check::Symbology::UpcA;
        case Symbology::Ean8:
            return check::Symbology::Ean8;
        case Symbology::UpcE:
            return check::Symbology::UpcE;
    }
    return check::Symbology::C39;
}

// The check's input for a finished build of `in`.
inline check::CheckInput checkInput(Symbology s, const Inputs& in,
                                    const symbols::BuildResult& built) {
    if (s == Symbology::C39)
        return check::checkInputFor(buildpaths::c39Inputs(in), in.page, buildpaths::fontOf(in),
                                    built);
    if (s == Symbology::Ena13) return check::checkInputFor(buildpaths::ena13Inputs(in), built);
    return check::checkInputFor(checkSymbology(s), buildpaths::barFamilyInputs(s, in), in.page,
                                buildpaths::fontOf(in), built);
}

}  // namespace checkpaths
