// The UPC-A, EAN-8 and UPC-E build paths, from typed texts and page values to a finished
// picture or a refusal. Input format: fuzz/buildinput.h; the ratio field picks the
// symbology by its first character ('A' UPC-A, '8' EAN-8, 'E' UPC-E; anything else: all
// three).

#include "fuzz/buildinput.h"
#include "fuzz/fuzzinput.h"
#include "symbols/barfamilybuild.h"

// A zero bar height with no font and no page values still finishes, with an empty picture.
constexpr bool kEmpty = true;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::BuildInput in = fuzzing::buildInput(data, size);
    symbols::BarFamilyInputs b;
    b.message = in.message;
    b.supplemental = in.addOn;
    b.comment = in.comment;
    b.height = in.height;
    b.moduleWidth = in.width;
    const QChar which = in.ratio.isEmpty() ? QChar() : in.ratio[0];
    const bool any =
        which != QLatin1Char('A') && which != QLatin1Char('8') && which != QLatin1Char('E');
    if (any || which == QLatin1Char('A'))
        fuzzing::checkResult(symbols::buildUpcA(b, in.page, in.font, Qt::black, in.dpi), kEmpty);
    if (any || which == QLatin1Char('8'))
        fuzzing::checkResult(symbols::buildEan8(b, in.page, in.font, Qt::black, in.dpi), kEmpty);
    if (any || which == QLatin1Char('E'))
        fuzzing::checkResult(symbols::buildUpcE(b, in.page, in.font, Qt::black, in.dpi), kEmpty);
    return 0;
}
