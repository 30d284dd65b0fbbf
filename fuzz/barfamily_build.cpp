// The UPC-A, EAN-8 and UPC-E build paths, from typed texts and page values to a finished
// picture or a refusal. Input format: fuzz/buildinput.h; the ratio field picks the
// symbology by its first character ('A' UPC-A, '8' EAN-8, 'E' UPC-E; anything else: all
// three).

#include "fuzz/buildinput.h"
#include "fuzz/fuzzinput.h"
#include "symbols/symbologies.h"

// A zero bar height with no font and no page values still finishes, with an empty picture.
constexpr bool kEmpty = true;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::BuildInput in = fuzzing::buildInput(data, size);
    const QChar which = in.inputs.ratio.isEmpty() ? QChar() : in.inputs.ratio[0];
    const auto picked = [which](symbols::Symbology s) {
        switch (s) {
            case symbols::Symbology::UpcA:
                return which == QLatin1Char('A');
            case symbols::Symbology::Ean8:
                return which == QLatin1Char('8');
            case symbols::Symbology::UpcE:
                return which == QLatin1Char('E');
            default:
                return false;
        }
    };
    bool any = true;
    for (const symbols::SymbologyRow& row : symbols::symbologies()) any = any && !picked(row.id);
    for (const symbols::SymbologyRow& row : symbols::symbologies()) {
        if (row.width != symbols::WidthMeaning::ModuleMils || !(any || picked(row.id))) continue;
        symbols::SymbolInputs typed = in.inputs;
        typed.ratio.clear();
        fuzzing::checkResult(row.build(typed, in.context), kEmpty);
    }
    return 0;
}
