// Code 39 encoders: PatternOf, Accepts, ModulesOf, Encode and PatternWidth on any text and
// any narrow width and ratio. Input: narrow width, ratio, then the text (UTF-8); the raw
// bytes are also tried as UTF-16.

#include "fuzz/check.h"
#include "fuzz/fuzzinput.h"
#include "symbols/c39.h"

using symbols::Tc39;

namespace {
const QString kNil = QString::fromLatin1(Tc39::kNil.data(), Tc39::kNil.size());

void encode(const QString& text, std::int32_t narrow, double ratio) {
    bool all = true;
    for (QChar c : text) {
        const std::string_view p = Tc39::PatternOf(c);
        FUZZ_CHECK(p == Tc39::kNil || p.size() == 12);
        all = all && Tc39::Accepts(c);
    }
    const QString modules = Tc39::ModulesOf(text);
    const QString elements = Tc39::Encode(text);
    if (!all) {
        FUZZ_CHECK(modules == kNil && elements == kNil);
        FUZZ_CHECK(Tc39::PatternWidth(elements, narrow, ratio) == -1);
        return;
    }
    // Start, the characters and stop, 12 modules each, one narrow space between them; each
    // character gives 9 elements (5 bars, 4 spaces) and the spaces between add one each.
    const qsizetype n = text.size() + 2;
    FUZZ_CHECK(modules.size() == 13 * n - 1);
    FUZZ_CHECK(elements.size() == 10 * n - 1);
    qsizetype narrowCount = 0;
    for (QChar e : elements) {
        FUZZ_CHECK(e == QLatin1Char('2') || e == QLatin1Char('4') || e == QLatin1Char('6') ||
                   e == QLatin1Char('8'));
        narrowCount += e == QLatin1Char('2') || e == QLatin1Char('4');
    }
    const std::int32_t width = Tc39::PatternWidth(elements, narrow, ratio);
    if (narrow > 0 && ratio >= 2 && ratio <= 3 && narrow < 100000 && n < 10000) {
        FUZZ_CHECK(width >= narrowCount * narrow);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList f = fuzzing::fields(data, size, 3);
    bool ok = false;
    const std::int32_t narrow = f[0].trimmed().toInt(&ok);
    const double ratio = fuzzing::anyNumber(f[1]);
    encode(f[2], ok ? narrow : 1, ratio);
    encode(fuzzing::utf16(data, size), ok ? narrow : 1, ratio);
    return 0;
}
