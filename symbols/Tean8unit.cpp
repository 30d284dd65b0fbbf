#include "symbols/Tean8unit.h"

#include <array>

namespace symbols {

namespace {
// Full height: the three guards only.
constexpr std::array<BarSymbol::ModuleRange, 3> kFullBars = {{{1, 3}, {32, 36}, {65, 67}}};
// First module of digits 1 to 8, each written under its own bars.
constexpr std::array<int, 8> kDigitStarts = {4, 11, 18, 25, 37, 44, 51, 58};
constexpr BarSymbol::MainLayout kLayout{67, kFullBars, kDigitStarts, true, -1, 79};
}  // namespace

void Tean8::Draw() {
    const QString modules = Encode(message_);
    DrawMain(kLayout, modules, message_.mid(0, 1), message_.mid(0, 8), message_.mid(7, 1));
}

void Tean8::DrawSupplemental() {
    DrawAddOn(kLayout.addOnOffset);
}

QString Tean8::Encode(const QString& message) {
    return EncodeWithCheckDigit(message, 7, 4);
}

}  // namespace symbols
