#pragma once
// The five symbologies, one row each: everything that walks the symbologies (marlisk-cli,
// the main window's Symbology menu, the symbol check, the tests, the fuzz targets, the
// benchmarks) iterates this table instead of listing them again. Rows are in the order of
// the Symbology menu.

#include <QString>
#include <QStringView>
#include <span>
#include <string_view>

#include "symbols/buildresult.h"

namespace symbols {

enum class Symbology { C39, Ena13, Ean8, UpcA, UpcE };

// What each form takes, in the same words for every symbology. An empty size takes the
// form's own default.
struct SymbolInputs {
    QString message;  // as typed into the form
    QString addOn;    // EAN/UPC: empty, 2 or 5 digits
    QString comment;  // comment line above the symbol
    QString height;   // inches: bar height (EAN-13: the whole symbol area)
    QString width;  // Code 39: narrow bar, mils; EAN-13: main symbol, inches; others: module, mils
    QString ratio;  // Code 39: wide-to-narrow ratio
};

// What a symbology's width input measures.
enum class WidthMeaning { NarrowBarMils, SymbolInches, ModuleMils };

// What the symbol check holds a picture of the symbology to.
struct CheckRules {
    std::string_view unit;      // what widths are counted in: "module", "narrow bar"
    std::string_view zoneUnit;  // the same in quiet zones: "modules", "narrow widths"
    int leftQuietZone;          // least quiet zones, in units
    int rightQuietZone;
    // UPC/EAN: the module widths a scanner expects, in mm (80 % to 200 % of the nominal).
    double nominalMm;
    double leastMm;
    double mostMm;
    // Code 39: the wide-to-narrow ratios allowed; narrow bars under fineMm need fineRatio.
    double leastRatio;
    double mostRatio;
    double fineMm;
    double fineRatio;
};

struct SymbologyRow {
    Symbology id;
    std::string_view cliName;     // marlisk-cli's name, matched without regard to case
    std::string_view storedName;  // as kept in the settings file ("ENA13" must stay so)
    std::string_view title;       // as people write it: "Code 39", "EAN-13", ...
    std::string_view menuItem;    // the window's Symbology menu: the item's object name
    std::string_view
        menuCaption;  // and its caption, "&" before its mnemonic ("&C39", "EAN-1&3", ...)
    // Digits typed into the form, and the length of the whole number with its check digit,
    // which holds the typed digits from typedOffset on (UPC-E: after the number system).
    // 0 for Code 39, which takes any length of text.
    int typedLength;
    int fullLength;
    int typedOffset;
    bool takesAddOn;
    bool takesRatio;
    bool takesBarColour;
    WidthMeaning width;
    SymbolInputs defaults;  // the form's sizes before the user changes them

    // The number a scanner reads for typed digits (with the check digit; UPC-E with its
    // number system), or the Code 39 text as it reads; empty when the typed text cannot be
    // encoded.
    QString (*scannedData)(const QString& typed);
    // The module string of the main symbol as 1 (bar) and 0 (space); empty when the typed
    // text cannot be encoded.
    QString (*modules)(const QString& typed);
    // The symbology's build path over the common inputs.
    BuildResult (*build)(const SymbolInputs& inputs, const BuildContext& context);
    CheckRules check;
};

std::span<const SymbologyRow> symbologies();
const SymbologyRow& symbology(Symbology id);
// The row of a command-line name, in any case ("ean13", "EAN13"); null for none.
const SymbologyRow* symbologyNamed(QStringView cliName);
// The row of a stored name; null for none.
const SymbologyRow* symbologyStored(QStringView storedName);

inline QString toQString(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace symbols
