#pragma once
// What a symbol knows about itself and its picture cannot tell: the data it encodes, the
// widths as typed, and where each part was meant to go, in picture pixels. Each build path
// fills it in for the picture it draws; the symbol check measures the picture against it.

#include <QRect>
#include <QString>
#include <span>
#include <vector>

namespace symbols {

// A piece of text as the symbol placed it (the cell it was written into); it may reach
// outside the picture.
struct TextBox {
    QString text;
    QRect box;
};

// A group of bars as the symbol placed them, from the left edge of its first bar to the
// right edge of its last and from the bars' top to their bottom. It may reach outside the
// picture, or be empty when the bars have no height.
struct BarArea {
    QString name;  // "start guard", "centre guard", "end guard", "start character", ...
    QRect rect;
};

struct SymbolGeometry {
    QString data;          // what a scanner should read: the full number with its check digit
    QString addOn;         // the add-on's digits; empty for none
    double typedMils = 0;  // module width as typed (Code 39: the narrow bar width)
    double ratio = 0;      // Code 39: the wide-to-narrow ratio as typed
    int modulePx = 0;      // module (narrow bar) width in pixels as the symbol drew it
    int modules = 0;       // modules of the main symbol, first bar to last; 0 for Code 39
    // The main symbol's bars (for UPC/EAN the data bars, which stop above the digits).
    QRect bars;
    // The guard bars of UPC/EAN (they run longer than the data bars), or the start and stop
    // characters of Code 39.
    std::vector<BarArea> guards;
    QRect addOnBars;  // the add-on's bars; empty without an add-on
    int addOnModules = 0;
    std::vector<TextBox> texts;  // human-readable digits, add-on digits, comment line
};

// Modules first to last (1-based, inclusive) at module width m from x0, rows top to bottom
// (exclusive).
QRect modulesRect(int x0, int m, int first, int last, int top, int bottom);

// A group of guard bars of the UPC/EAN family by module, first bar to last.
struct GuardModules {
    const char* name;
    int first, last;
};

// Adds each guard group at module width m from x0, rows top to bottom.
void addGuards(SymbolGeometry& g, std::span<const GuardModules> guards, int x0, int m, int top,
               int bottom);

// 20 or 47 for a 2- or 5-digit add-on, 0 for anything else.
int addOnModules(const QString& addOn);

}  // namespace symbols
