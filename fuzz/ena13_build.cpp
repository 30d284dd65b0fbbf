// The EAN-13 build path, from typed texts and page values to a finished picture or a
// refusal. Input format: fuzz/buildinput.h (the ratio field is not used).

#include "fuzz/buildinput.h"
#include "fuzz/fuzzinput.h"
#include "symbols/ena13build.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::BuildInput in = fuzzing::buildInput(data, size);
    symbols::Ena13Inputs e;
    e.message = in.message;
    e.supplemental = in.addOn;
    e.comment = in.comment;
    e.height = in.height;
    e.width = in.width;
    e.page = in.page;
    e.font = in.font;
    e.dpi = in.dpi;
    fuzzing::checkResult(symbols::buildEna13(e));
    return 0;
}
