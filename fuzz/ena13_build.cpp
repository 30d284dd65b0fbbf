// The EAN-13 build path, from typed texts and page values to a finished picture or a
// refusal. Input format: fuzz/buildinput.h (the ratio field is not used).

#include "fuzz/buildinput.h"
#include "fuzz/fuzzinput.h"
#include "symbols/ena13build.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::BuildInput in = fuzzing::buildInput(data, size);
    // The texts go in as typed, empty ones too (the table's rows fill in the defaults).
    const symbols::Ena13Inputs e{in.inputs.height, in.inputs.width, in.inputs.comment,
                                 in.inputs.message, in.inputs.addOn};
    fuzzing::checkResult(symbols::buildEna13(e, in.context));
    return 0;
}
