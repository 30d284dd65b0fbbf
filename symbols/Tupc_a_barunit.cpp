#include "symbols/Tupc_a_barunit.h"

#include <array>

namespace symbols {

namespace {
// Full height: left guard with the number-system digit, centre guard, check digit with
// the right guard.
constexpr std::array<BarSymbol::ModuleRange, 3> kFullBars = {{{1, 10}, {46, 50}, {86, 95}}};
// First module of digits 2 to 11, each written under its own bars.
constexpr std::array<int, 10> kDigitStarts = {11, 18, 25, 32, 39, 51, 58, 65, 72, 79};
constexpr BarSymbol::MainLayout kLayout{95, kFullBars, kDigitStarts, true, -1, 107};
}  // namespace

void Tupc_a::Draw() {
    const QString modules = Encode(message_);
    DrawMain(kLayout, modules, message_.mid(0, 1), message_.mid(1, 10), message_.mid(11, 1));
}

void Tupc_a::DrawSupplemental() {
    DrawAddOn(kLayout.addOnOffset);
}

QString Tupc_a::Encode(const QString& message) {
    return EncodeWithCheckDigit(message, 11, 6);
}

}  // namespace symbols
