// UPC-A, EAN-8 and UPC-E encoders: each symbol's Encode, the add-on's EncodeSupplemental,
// UPC-E's CheckDigit and ExpandToUpcA. Input: the message, then the add-on (UTF-8); the raw
// bytes are also tried as UTF-16 for both.

#include "fuzz/check.h"
#include "fuzz/fuzzinput.h"
#include "surface/convert.h"
#include "symbols/Tean8unit.h"
#include "symbols/Tupc_a_barunit.h"
#include "symbols/Tupce_unit.h"

namespace {
bool allDigits(const QString& s) {
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

bool bits(const QString& s) {
    for (QChar c : s)
        if (c != QLatin1Char('0') && c != QLatin1Char('1')) return false;
    return true;
}

// Encode of a symbol that appends its check digit: `length` digits give `modules` modules
// and one more digit on Message; any other length gives nothing and leaves Message alone.
template <class Symbol>
void withCheckDigit(const QString& m, qsizetype length, qsizetype modules) {
    Symbol s;
    s.SetMessage(m);
    try {
        const QString out = s.Encode(m);
        if (m.size() != length) {
            FUZZ_CHECK(out.isEmpty() && s.Message() == m);
            return;
        }
        FUZZ_CHECK(allDigits(m));
        FUZZ_CHECK(out.size() == modules && bits(out));
        FUZZ_CHECK(s.Message().size() == length + 1 && s.Message().startsWith(m));
    } catch (const surface::ConvertError&) {
        FUZZ_CHECK(m.size() == length && !allDigits(m));
    }
}

void upce(const QString& m) {
    symbols::Tupce s;
    s.SetMessage(m);
    try {
        const QString upcA = symbols::Tupce::ExpandToUpcA(m);
        FUZZ_CHECK(m.size() >= 6 && allDigits(m.mid(5, 1)) && upcA.size() == 11);
    } catch (const surface::ConvertError&) {
        FUZZ_CHECK(m.size() < 6 || !allDigits(m.mid(5, 1)));
    }
    try {
        const QString out = s.Encode(m);
        if (m.size() != 6) {
            FUZZ_CHECK(out.isEmpty());
        } else {
            FUZZ_CHECK(allDigits(m));
            FUZZ_CHECK(out.size() == 51 && bits(out));
            const QString check = s.CheckDigit();
            FUZZ_CHECK(check.size() == 1 && allDigits(check));
        }
        FUZZ_CHECK(s.Message() == m);
    } catch (const surface::ConvertError&) {
        FUZZ_CHECK(m.size() == 6 && !allDigits(m));
    }
}

void addOn(const QString& a) {
    try {
        const QString out = symbols::BarSymbol::EncodeSupplemental(a);
        const qsizetype expected = a.size() == 2 ? 20 : a.size() == 5 ? 47 : 4;
        FUZZ_CHECK(out.size() == expected && bits(out));
        FUZZ_CHECK(expected == 4 || allDigits(a));
    } catch (const surface::ConvertError&) {
        FUZZ_CHECK((a.size() == 2 || a.size() == 5) && !allDigits(a));
    }
}

void all(const QString& m, const QString& a) {
    withCheckDigit<symbols::Tupc_a>(m, 11, 95);
    withCheckDigit<symbols::Tean8>(m, 7, 67);
    upce(m);
    addOn(a);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList f = fuzzing::fields(data, size, 2);
    all(f[0], f[1]);
    const QString raw = fuzzing::utf16(data, size);
    all(raw, raw);
    return 0;
}
