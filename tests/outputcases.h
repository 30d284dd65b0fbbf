#pragma once
// The builds whose outputs the drawing tests look at: each symbology, without add-on and with
// a 2- and a 5-digit one (with a comment line and a coloured bar on the 2-digit one), at
// 96, 203 and 600 dpi, turned and not.

#include <QString>
#include <vector>

#include "symbols/buildresult.h"
#include "symbols/symbologies.h"

namespace outputcases {

using symbols::Symbology;

struct Case {
    Symbology symbology;
    const char* message;
    QString addOn;
    QString comment;
    QColor bar;
    symbols::PageValues page;
    int dpi;
    bool turned;

    QString name() const {
        return QStringLiteral("%1 addon=%2 comment=%3 dpi=%4%5")
            .arg(symbols::toQString(symbols::symbology(symbology).cliName),
                 addOn.isEmpty() ? QStringLiteral("none") : addOn, comment.isEmpty() ? "no" : "yes")
            .arg(dpi)
            .arg(turned ? QStringLiteral(" turned") : QString());
    }
};

inline std::vector<Case> all() {
    // Page values (top, down, left, right, interval; mils): none at all, and roomy ones.
    constexpr symbols::PageValues kNone{0, 0, 0, 0, 0};
    constexpr symbols::PageValues kRoomy{100, 100, 200, 200, 50};
    struct Variant {
        const char* addOn;
        const char* comment;
        QColor bar;
        symbols::PageValues page;
    };
    const Variant plain{"", "", Qt::black, kNone};
    const Variant two{"12", "Lot 7 <&>", QColor(0x1F, 0x3A, 0x93), kRoomy};
    const Variant five{"52495", "", Qt::black, kRoomy};
    const Variant commented{"", "Lot 7 <&>", Qt::black, kRoomy};
    struct Symbol {
        Symbology symbology;
        const char* message;
        std::vector<Variant> variants;
    };
    const Symbol symbols[] = {
        {Symbology::C39, "CODE-39", {plain, commented}},
        {Symbology::Ena13, "400638133393", {plain, two, five}},
        {Symbology::Ean8, "9638507", {plain, two, five}},
        {Symbology::UpcA, "03600029145", {plain, two, five}},
        {Symbology::UpcE, "042100", {plain, two, five}},
    };
    std::vector<Case> cases;
    for (const Symbol& s : symbols)
        for (const Variant& v : s.variants)
            for (const int dpi : {96, 203, 600})
                for (const bool turned : {false, true})
                    cases.push_back({s.symbology, s.message, QString::fromLatin1(v.addOn),
                                     QString::fromLatin1(v.comment), v.bar, v.page, dpi, turned});
    return cases;
}

// The build as marlisk-cli makes it at the case's resolution: the 96-dpi font scaled so
// that its text keeps its printed size.
inline symbols::BuildResult build(const Case& c) {
    symbols::SymbolInputs in;
    in.message = QString::fromLatin1(c.message);
    in.addOn = c.addOn;
    in.comment = c.comment;
    symbols::BuildContext context;
    context.page = c.page;
    context.barColor = c.bar;
    context.dpi = 96;
    return symbols::symbology(c.symbology).build(in, context.scaledTo(c.dpi));
}

}  // namespace outputcases
