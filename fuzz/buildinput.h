#pragma once
// The inputs of one build, as the build-path fuzz targets read them: one field a line,
//   message, add-on, comment, height, width, ratio, ftop, fdown, fleft, fright, fiwidth,
//   font size, resolution
// Texts go in as they stand; page values as a settings file would give them (a field that is
// not a decimal number reads as 0); the font size is taken modulo 129 (drawing text costs
// the square of its size, and a 500-point font at 600 dpi only measures that: seconds a
// build) and the resolution picks one of 0 (the screen's), 72, 96, 300 and 600.

#include <QString>
#include <cstddef>
#include <cstdint>

#include "symbols/buildresult.h"
#include "symbols/symbologies.h"

namespace fuzzing {

struct BuildInput {
    symbols::SymbolInputs inputs;
    symbols::BuildContext context;
};

BuildInput buildInput(const std::uint8_t* data, std::size_t size);

// What every build must keep to, whatever it was given: a picture within the size bound,
// a refusal with a text, no picture at all when the checks refused, and (unless
// `emptyMayFinish`) no finished build without a picture.
void checkResult(const symbols::BuildResult& r, bool emptyMayFinish = false);

}  // namespace fuzzing
