#include "cli/symbolbuild.h"

#include "surface/bitmap.h"
#include "surface/font.h"
#include "surface/rounding.h"
#include "symbols/Tean8unit.h"
#include "symbols/Tupc_a_barunit.h"
#include "symbols/Tupce_unit.h"
#include "symbols/barfamilybuild.h"
#include "symbols/c39.h"
#include "symbols/c39build.h"
#include "symbols/ena13.h"
#include "symbols/ena13build.h"
#include "symbols/numbersets.h"

namespace cli {

namespace {
// Digits the form takes, and the length of the full number with its check digit.
struct Lengths {
    int typed;
    int full;
};
Lengths lengthsOf(Symbology s) {
    switch (s) {
        case Symbology::Ean13:
            return {12, 13};
        case Symbology::Ean8:
            return {7, 8};
        case Symbology::UpcA:
            return {11, 12};
        case Symbology::UpcE:
            return {6, 8};
        case Symbology::C39:
            break;
    }
    return {0, 0};
}

bool allDigits(const QString& s) {
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// The check digit of the typed digits; -1 when they are not all digits.
int checkDigitOf(Symbology s, const QString& typed) {
    if (!allDigits(typed)) return -1;
    if (s == Symbology::UpcE)
        return symbols::checkDigitWeight3Right(symbols::Tupce::ExpandToUpcA(typed));
    return symbols::checkDigitWeight3Right(typed);
}

surface::Font fontFor(const SymbolRequest& r) {
    surface::Font f;
    if (!r.fontFamily.isEmpty()) f.family = r.fontFamily;
    const int points = r.fontSize > 0 ? r.fontSize : f.pointSize;
    // The layout counts the point size as pixels: scale it with the resolution, and draw
    // the glyphs as if at 96 dpi so they keep their printed size.
    f.pointSize = std::max(1, surface::roundToInt(points * r.dpi / 96.0));
    f.renderDpi = 96;
    return f;
}

QString orDefault(const QString& v, const char* def) {
    return v.isEmpty() ? QLatin1String(def) : v;
}

QString foldGuards(QString modules) {
    modules.replace(QLatin1Char('b'), QLatin1Char('1')).replace(QLatin1Char('a'), QLatin1Char('0'));
    return modules;
}
}  // namespace

QString formMessage(const SymbolRequest& r, QString* refusal) {
    const Lengths len = lengthsOf(r.symbology);
    if (r.symbology == Symbology::C39 || r.message.size() != len.full || !allDigits(r.message))
        return r.message;
    QString typed = r.message.left(len.full - 1);
    if (r.symbology == Symbology::UpcE) {
        if (r.message[0] != QLatin1Char('0')) {
            *refusal = QStringLiteral("Invalid number system '%1' of a UPC-E number, expecting '0'")
                           .arg(r.message[0]);
            return {};
        }
        typed = r.message.mid(1, 6);
    }
    const int expected = checkDigitOf(r.symbology, typed);
    const QChar given = r.message.back();
    if (given.unicode() - '0' != expected) {
        *refusal =
            QStringLiteral("Invalid check digit '%1', expecting '%2'").arg(given).arg(expected);
        return {};
    }
    return typed;
}

symbols::BuildResult buildSymbol(const SymbolRequest& r) {
    symbols::BuildResult result;
    QString refusal;
    const QString message = formMessage(r, &refusal);
    if (!refusal.isEmpty()) {
        result.refusal = symbols::Refusal{symbols::Refusal::Kind::Notice, refusal};
        return result;
    }
    const surface::Font font = fontFor(r);
    switch (r.symbology) {
        case Symbology::C39: {
            symbols::C39Inputs in;
            in.height = orDefault(r.height, "1.2");
            in.narrowWidth = orDefault(r.narrow, "23");
            in.ratio = orDefault(r.ratio, "2.0");
            in.comment = r.comment;
            in.message = message;
            result = symbols::buildC39(in, r.page, font, r.dpi);
            break;
        }
        case Symbology::Ean13: {
            symbols::Ena13Inputs in;
            in.height = orDefault(r.height, "1.3");
            in.width = orDefault(r.width, "2");
            in.comment = r.comment;
            in.message = message;
            in.supplemental = r.addon;
            in.page = r.page;
            in.font = font;
            in.barColor = r.colour;
            in.dpi = r.dpi;
            result = symbols::buildEna13(in);
            break;
        }
        case Symbology::Ean8:
        case Symbology::UpcA:
        case Symbology::UpcE: {
            symbols::BarFamilyInputs in;
            in.height = orDefault(r.height, "1.3");
            in.moduleWidth = orDefault(r.module, "21");
            in.comment = r.comment;
            in.message = message;
            in.supplemental = r.addon;
            const auto build = r.symbology == Symbology::Ean8   ? &symbols::buildEan8
                               : r.symbology == Symbology::UpcA ? &symbols::buildUpcA
                                                                : &symbols::buildUpcE;
            result = build(in, r.page, font, r.colour, r.dpi);
            break;
        }
    }
    // A form goes on without an add-on it cannot use after its notice; a tool asked for an
    // add-on must not quietly leave it out.
    if (result.built() && !result.notices.empty())
        result.refusal = symbols::Refusal{symbols::Refusal::Kind::Notice, result.notices.front()};
    return result;
}

bool moduleStrings(const SymbolRequest& r, QString* main, QString* addon, QString* refusal) {
    const QString message = formMessage(r, refusal);
    if (!refusal->isEmpty()) return false;
    const Lengths len = lengthsOf(r.symbology);
    if (r.symbology == Symbology::C39) {
        *main = symbols::Tc39::ModulesOf(message);
        if (*main == QLatin1String("nil")) {
            *refusal = QStringLiteral("The 'Bar code message' cannot be encoded in Code 39.");
            return false;
        }
        return true;
    }
    if (message.size() != len.typed || !allDigits(message)) {
        *refusal = QStringLiteral("The 'Bar code message' must contain %1 numbers.").arg(len.typed);
        return false;
    }
    if (!r.addon.isEmpty() &&
        ((r.addon.size() != 2 && r.addon.size() != 5) || !allDigits(r.addon))) {
        *refusal = QStringLiteral("The add-on must contain 2 or 5 numbers.");
        return false;
    }
    switch (r.symbology) {
        case Symbology::Ean13:
            *main = foldGuards(symbols::TENA13::Encode(message));
            break;
        case Symbology::UpcA: {
            symbols::Tupc_a upca;
            upca.SetMessage(message);
            *main = upca.Encode(message);
            break;
        }
        case Symbology::Ean8: {
            symbols::Tean8 ean8;
            ean8.SetMessage(message);
            *main = ean8.Encode(message);
            break;
        }
        case Symbology::UpcE: {
            symbols::Tupce upce;
            upce.SetMessage(message);
            *main = upce.Encode(message);
            break;
        }
        case Symbology::C39:
            break;
    }
    *addon = r.addon.isEmpty() ? QString() : symbols::encodeAddOn(r.addon);
    return true;
}

QString expectedData(const SymbolRequest& r) {
    QString refusal;
    const QString message = formMessage(r, &refusal);
    if (r.symbology == Symbology::C39) {
        QString up;
        for (QChar c : message)
            up += (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ? c.toUpper()
                  : c == QLatin1Char('_')                          ? QLatin1Char(' ')
                                                                   : c;
        return up;
    }
    const int check = checkDigitOf(r.symbology, message);
    if (r.symbology == Symbology::UpcE) return QLatin1Char('0') + message + QString::number(check);
    return message + QString::number(check);
}

}  // namespace cli
