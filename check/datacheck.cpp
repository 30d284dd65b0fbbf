// What a number means to GS1, who hands out the EAN/UPC numbers: parts of the number space
// that are not for trade at large, the book and serial numbers, the book trade's price
// add-on, and the one UPC-E form GS1 writes for each UPC-A number.

#include <array>

#include "check/parts.h"
#include "symbols/Tupce_unit.h"
#include "symbols/booknumbers.h"

namespace check {

namespace {

struct PrefixRule {
    int first, last;  // three-digit prefixes of an EAN-13
    const char* rule;
};
constexpr const char* kRestricted =
    "restricted circulation (GS1 keeps 020-029, 040-049 and 200-299 for numbers used within a "
    "company or a country, not for trade at large)";
// clang-format off
const std::array<PrefixRule, 7> kEan13Prefixes = {{
    {20, 29, kRestricted},
    {40, 49, kRestricted},
    {200, 299, kRestricted},
    {50, 59, "coupons (GS1 keeps 050-059 for coupons, as UPC-A number system 5)"},
    {981, 984, "coupons (GS1 keeps 981-984 for coupons in a common currency area)"},
    {990, 999, "coupons (GS1 keeps 99 for coupons)"},
    {952, 952, "demonstration (GS1 keeps 952 for samples and demonstrations, not for goods)"},
}};
// clang-format on

Finding warn(QString text) {
    return finding(Grade::Warn, "data", std::move(text));
}

void ean13Findings(const QString& data, const QString& addOn, std::vector<Finding>& out) {
    const int prefix = data.left(3).toInt();
    for (const PrefixRule& r : kEan13Prefixes) {
        if (prefix < r.first || prefix > r.last) continue;
        const int shown = r.first == 990 ? 2 : 3;
        out.push_back(warn(QStringLiteral("EAN-13 %1: prefix %2 is for %3")
                               .arg(data, data.left(shown), QLatin1String(r.rule))));
        break;
    }
    const QString book = symbols::bookNumberOf(data);
    if (book.isEmpty()) return;
    out.push_back(
        finding(Grade::Ok, "data", QStringLiteral("EAN-13 %1 is the %2").arg(data, book)));
    if (addOn.size() == 5 && !data.startsWith(QLatin1String("977"))) {
        const QString price = symbols::priceOf(addOn);
        if (!price.isEmpty())
            out.push_back(finding(Grade::Ok, "data",
                                  QStringLiteral("the price add-on %1: %2").arg(addOn, price)));
        else
            out.push_back(warn(QStringLiteral("the add-on %1 is no price the book trade uses "
                                              "(0, 3, 4, 5 or 6 and the price, or 90000)")
                                   .arg(addOn)));
    }
}

// The UPC-E GS1 writes for a UPC-A number of number system 0 (11 digits), or empty when it
// has none: the rules are tried in this order.
QString zeroSuppressed(const QString& upcA) {
    const QStringView m = QStringView(upcA).mid(1, 5), p = QStringView(upcA).mid(6, 5);
    const QStringView m345 = m.mid(2, 3);
    if ((m345 == u"000" || m345 == u"100" || m345 == u"200") && p.left(2) == u"00")
        return m.left(2).toString() + p.mid(2, 3).toString() + m[2];
    if (m.mid(3, 2) == u"00" && p.left(3) == u"000")
        return m.left(3).toString() + p.mid(3, 2).toString() + QLatin1Char('3');
    if (m[4] == u'0' && p.left(4) == u"0000") return m.left(4).toString() + p[4] + QLatin1Char('4');
    if (m[4] != u'0' && p.left(4) == u"0000" && p[4] >= u'5') return m.toString() + p[4];
    return {};
}

void upceFindings(const QString& data, std::vector<Finding>& out) {
    const QString typed = data.mid(1, 6);
    const QString upcA = symbols::Tupce::ExpandToUpcA(typed);
    const QString canonical = zeroSuppressed(upcA);
    if (canonical.isEmpty() || canonical == typed) return;
    out.push_back(warn(
        QStringLiteral("UPC-E %1 expands to the UPC-A %2 %3 %4 %5, which GS1 writes "
                       "as UPC-E %6 (zero suppression); some systems refuse "
                       "the other form")
            .arg(typed, upcA.left(1), upcA.mid(1, 5), upcA.mid(6, 5), data.right(1), canonical)));
}

}  // namespace

std::vector<Finding> dataFindings(const CheckInput& in) {
    std::vector<Finding> out;
    const QString& data = in.geometry.data;
    for (QChar c : data)
        if (c < u'0' || c > u'9') return out;
    switch (in.symbology) {
        case Symbology::Ena13:
            if (data.size() == 13) ean13Findings(data, in.geometry.addOn, out);
            break;
        case Symbology::UpcA:
            if (data.size() != 12) break;
            if (data[0] == u'2' || data[0] == u'4')
                out.push_back(warn(QStringLiteral("UPC-A %1: number system %2 is for restricted "
                                                  "circulation (GS1 keeps 2 and 4 for numbers "
                                                  "used within a company or a country)")
                                       .arg(data, data.left(1))));
            if (data[0] == u'5')
                out.push_back(warn(
                    QStringLiteral("UPC-A %1: number system 5 is for coupons (GS1)").arg(data)));
            break;
        case Symbology::Ean8:
            if (data.size() == 8 && (data[0] == u'0' || data[0] == u'2'))
                out.push_back(warn(QStringLiteral("EAN-8 %1: prefix %2 is for restricted "
                                                  "circulation (GS1 keeps EAN-8 numbers starting "
                                                  "with 0 or 2 for use within a company)")
                                       .arg(data, data.left(1))));
            if (in.geometry.addOn.size() == 5)
                out.push_back(warn(QStringLiteral("a 5-digit add-on (%1) on an EAN-8: GS1 uses "
                                                  "5-digit add-ons with EAN-13 and UPC-A only")
                                       .arg(in.geometry.addOn)));
            break;
        case Symbology::UpcE:
            if (data.size() == 8) upceFindings(data, out);
            break;
        case Symbology::C39:
            break;
    }
    return out;
}

}  // namespace check
