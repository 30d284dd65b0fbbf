// EAN-13 encoders and the shared add-on encoder: TENA13::CheckDigit, Encode and
// EncodeSupplemental, encodeAddOn. Input: the message, then the add-on (UTF-8); the raw
// bytes are also tried as UTF-16 for both.

#include "fuzz/check.h"
#include "fuzz/fuzzinput.h"
#include "surface/convert.h"
#include "symbols/ena13.h"
#include "symbols/numbersets.h"

using symbols::TENA13;

namespace {
bool allDigits(const QString& s) {
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

bool onlyOf(const QString& s, QLatin1String alphabet) {
    for (QChar c : s)
        if (!alphabet.contains(c)) return false;
    return true;
}

void message(const QString& m) {
    const int check = TENA13::CheckDigit(m);
    if (m.size() != 12) {
        FUZZ_CHECK(check == -1);
    } else if (!allDigits(m)) {
        FUZZ_CHECK(check == -2);
    } else {
        FUZZ_CHECK(check >= 0 && check <= 9);
        FUZZ_CHECK(check == symbols::checkDigitWeight3Right(m));
    }
    const QString modules = TENA13::Encode(m);
    FUZZ_CHECK(onlyOf(modules, QLatin1String("01ab")));
    if (m.size() == 12 && allDigits(m))
        FUZZ_CHECK(modules.size() == 95);
    else
        FUZZ_CHECK(modules.isEmpty() || modules == QLatin1String("bab"));
}

void addOn(const QString& a) {
    const bool digits = allDigits(a);
    for (int way = 0; way < 2; ++way) {
        try {
            const QString modules = way ? TENA13::EncodeSupplemental(a) : symbols::encodeAddOn(a);
            FUZZ_CHECK(onlyOf(modules, QLatin1String("01")) && modules.startsWith("1011"));
            const qsizetype expected = a.size() == 2 ? 20 : a.size() == 5 ? 47 : 4;
            FUZZ_CHECK(modules.size() == expected);
            FUZZ_CHECK(digits || expected == 4);
        } catch (const surface::ConvertError&) {
            FUZZ_CHECK(!digits && (a.size() == 2 || a.size() == 5));
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList f = fuzzing::fields(data, size, 2);
    message(f[0]);
    addOn(f[1]);
    const QString raw = fuzzing::utf16(data, size);
    message(raw);
    addOn(raw);
    return 0;
}
