#include "barfamilytesting.h"

#include <QStringList>
#include <array>

#include "surface/convert.h"
#include "symbols/Tean8unit.h"
#include "symbols/Tupc_a_barunit.h"
#include "symbols/Tupce_unit.h"

namespace bartest {

namespace {
int moduleCount(Kind kind, qsizetype addOn) {
    const int i = addOn == 2 ? 1 : addOn == 5 ? 2 : 0;
    switch (kind) {
        case Kind::UpcA:
            return std::array{95, 127, 154}[i];
        case Kind::Ean8:
            return std::array{67, 99, 126}[i];
        case Kind::UpcE:
            return std::array{51, 83, 110}[i];
        default:
            return 0;
    }
}

template <class Symbol>
Drawing drawWith(Kind kind, const QString& message, const QString& addOn, const Options& o) {
    surface::Font font;
    font.color = QColor::fromRgb(kInk);
    Drawing d;
    Symbol s;
    s.UseDpi(96);
    s.RefreshDpi();
    s.SetCanvas(&d.picture);
    s.SetBarColor(QColor::fromRgb(kBar));
    s.SetFont(&font);
    s.SetModuleCount(moduleCount(kind, addOn.size()));
    s.SetModuleWidth(o.moduleWidth);
    s.SetBarHeight(o.barHeight);
    s.SetMessage(message);
    s.SetLeftSpace(o.page.fleft);
    s.SetTopSpace(o.page.ftop);
    s.SetRightSpace(o.page.fright);
    s.SetDownSpace(o.page.fdown);
    s.SetIntervalSpace(o.page.fiwidth);
    s.Supplemental = addOn;
    d.picture.setDpi(96);
    d.picture.setBrushColor(QColor::fromRgb(kBackground));
    d.picture.setSize(s.TotalWidth(), s.TotalHeight());
    s.SetComment(o.comment);
    try {
        s.Draw();
        if (!addOn.isEmpty()) s.DrawSupplemental();
    } catch (const surface::ConvertError& e) {
        d.error = e.message();
    }
    d.message = s.Message();
    return d;
}
}  // namespace

Drawing draw(Kind kind, const QString& message, const QString& addOn, const Options& o) {
    switch (kind) {
        case Kind::UpcA:
            return drawWith<symbols::Tupc_a>(kind, message, addOn, o);
        case Kind::Ean8:
            return drawWith<symbols::Tean8>(kind, message, addOn, o);
        case Kind::UpcE:
            return drawWith<symbols::Tupce>(kind, message, addOn, o);
        default:
            return {};
    }
}

int countColour(const surface::Bitmap& b, QRgb c) {
    return countColour(b, c, QRect(0, 0, b.width(), b.height()));
}

int countColour(const surface::Bitmap& b, QRgb c, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += x >= 0 && y >= 0 && x < b.width() && y < b.height() && b.pixel(x, y) == c;
    return n;
}

QRect whiteBox(const surface::Bitmap& b, const QRect& window) {
    QRect box;
    for (int y = window.top(); y <= window.bottom(); ++y)
        for (int x = window.left(); x <= window.right(); ++x)
            if (x >= 0 && y >= 0 && x < b.width() && y < b.height() && b.pixel(x, y) == kWhite)
                box |= QRect(x, y, 1, 1);
    return box;
}

bool inRanges(const QString& ranges, int k) {
    for (const QString& r : ranges.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList ends = r.split(QLatin1Char('-'));
        if (ends.size() == 2 && ends[0].toInt() <= k && k <= ends[1].toInt()) return true;
    }
    return false;
}

}  // namespace bartest
