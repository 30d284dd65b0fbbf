#pragma once
// The check's input for a finished build, laid out from the inputs it was built with the
// way each build path lays out its symbol, and the text cells read from the picture's
// drawing record.

#include "check/symbolcheck.h"
#include "surface/bitmap.h"
#include "symbols/barfamilybuild.h"
#include "symbols/c39build.h"
#include "symbols/ena13build.h"

namespace check {

// Each expects a finished build (BuildResult::built()) of the same inputs.
CheckInput checkInputFor(const symbols::C39Inputs& in, const symbols::PageValues& page,
                         const surface::Font& font, const symbols::BuildResult& built);
CheckInput checkInputFor(const symbols::Ena13Inputs& in, const symbols::BuildResult& built);
// UPC-A, EAN-8 or UPC-E.
CheckInput checkInputFor(Symbology s, const symbols::BarFamilyInputs& in,
                         const symbols::PageValues& page, const surface::Font& font,
                         const symbols::BuildResult& built);

// Every non-empty text the picture's drawing record holds, with the cell it was written in.
std::vector<TextBox> textBoxesOf(const surface::Bitmap& picture);

}  // namespace check
