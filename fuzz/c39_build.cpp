// The Code 39 build path, from typed texts and page values to a finished picture or a
// refusal. Input format: fuzz/buildinput.h (the add-on field is not used).

#include "fuzz/buildinput.h"
#include "fuzz/fuzzinput.h"
#include "symbols/c39build.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::BuildInput in = fuzzing::buildInput(data, size);
    // The texts go in as typed, empty ones too (the table's rows fill in the defaults).
    const symbols::C39Inputs c39{in.inputs.height, in.inputs.width, in.inputs.ratio,
                                 in.inputs.comment, in.inputs.message};
    fuzzing::checkResult(symbols::buildC39(c39, in.context));
    return 0;
}
