#include "symbols/Tupce_unit.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

#include "surface/convert.h"
#include "symbols/numbersets.h"

namespace symbols {

namespace {
// Parity of the six digits for number system 0, by check digit: O = number set A (odd),
// E = number set B (even).
constexpr std::array<std::string_view, 10> kParity = {
    "EEEOOO",  // 0
    "EEOEOO",  // 1
    "EEOOEO",  // 2
    "EEOOOE",  // 3
    "EOEEOO",  // 4
    "EOOEEO",  // 5
    "EOOOEE",  // 6
    "EOEOEO",  // 7
    "EOEOOE",  // 8
    "EOOEOE",  // 9
};
static_assert(std::all_of(kParity.begin(), kParity.end(),
                          [](auto row) { return row.size() == 6; }));

// Full height: the start guard and the six-module end guard.
constexpr std::array<BarSymbol::ModuleRange, 2> kFullBars = {{{1, 3}, {46, 51}}};
// First module of each of the six digits. Their text is placed from OriginX without the
// F column the bars start after: digit at X0 + (k + 6) x m.
constexpr std::array<int, 6> kDigitStarts = {4, 11, 18, 25, 32, 39};
constexpr BarSymbol::MainLayout kLayout{51, kFullBars, kDigitStarts, false, 6, 63};
}  // namespace

namespace {
// The UPC-A number six UPC-E digits stand for, written to `out` (room for 11); returns its
// length.
qsizetype expand(QStringView message, QChar* out) {
    const QChar sixth = message.size() > 5 ? message[5] : QChar();
    const int d6 = sixth >= u'0' && sixth <= u'9' ? sixth.unicode() - '0'
                                                  : surface::strToInt(message.mid(5, 1).toString());
    qsizetype n = 0;
    const auto put = [&](std::initializer_list<QStringView> pieces) {
        out[n++] = QLatin1Char('0');
        for (QStringView p : pieces)
            for (QChar c : p) out[n++] = c;
        return n;
    };
    const auto d = [&message](int from, int count) { return message.mid(from, count); };
    switch (d6) {
        case 0:
        case 1:
        case 2:  // 0, d1, d2, d6, 0, 0, 0, 0, d3, d4, d5
            return put({d(0, 2), d(5, 1), u"0000", d(2, 3)});
        case 3:  // 0, d1, d2, d3, 0, 0, 0, 0, 0, d4, d5
            return put({d(0, 3), u"00000", d(3, 2)});
        case 4:  // 0, d1, d2, d3, d4, 0, 0, 0, 0, 0, d5
            return put({d(0, 4), u"00000", d(4, 1)});
        default:  // 0, d1, d2, d3, d4, d5, 0, 0, 0, 0, d6
            return put({d(0, 5), u"0000", d(5, 1)});
    }
}
}  // namespace

QString Tupce::ExpandToUpcA(const QString& message) {
    QChar upcA[11];
    return QString(upcA, expand(message, upcA));
}

QString Tupce::CheckDigit() const {
    QChar upcA[11];
    return surface::digitText(UpcCheckDigit(QStringView(upcA, expand(message_, upcA))));
}

QString Tupce::Encode(const QString& message) {
    if (message.size() != 6) return {};
    const std::string_view parity = kParity[CheckDigit().toInt()];
    QString out;
    out.reserve(3 + 6 * 7 + 6);
    out += QLatin1String("101");
    for (int i = 0; i < 6; ++i) out += digitCode(parity[i] == 'O' ? kSetA : kSetB, message[i]);
    return out + QLatin1String("010101");
}

void Tupce::Draw() {
    const QString modules = Encode(message_);
    const QString check = modules.isEmpty() ? QString() : CheckDigit();
    DrawMain(kLayout, modules, QStringLiteral("0"), message_.left(6), check);
}

void Tupce::DrawSupplemental() {
    DrawAddOn(kLayout.addOnOffset);
}

}  // namespace symbols
