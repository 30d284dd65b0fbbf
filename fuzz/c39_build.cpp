// The Code 39 build path, from typed texts and page values to a finished picture or a
// refusal. Input format: fuzz/buildinput.h (the add-on field is not used).

#include "fuzz/buildinput.h"
#include "fuzz/fuzzinput.h"
#include "symbols/c39build.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::BuildInput in = fuzzing::buildInput(data, size);
    symbols::C39Inputs c39;
    c39.message = in.message;
    c39.comment = in.comment;
    c39.height = in.height;
    c39.narrowWidth = in.width;
    c39.ratio = in.ratio;
    fuzzing::checkResult(symbols::buildC39(c39, in.page, in.font, in.dpi));
    return 0;
}
