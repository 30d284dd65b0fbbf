#pragma once
// What a symbol knows about itself and its picture cannot tell: the data it encodes, the
// widths as typed, and where each part went, in picture pixels. A symbol's Draw records
// where it put its bars from the very numbers it drew them with; its build adds the data
// and the widths as typed; the check takes the texts from the picture's drawing. The symbol
// check measures the picture against it.

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

// A range of modules, 1-based and inclusive.
struct ModuleRange {
    int first;
    int last;
};

// The guards of a module string ('1' or 'b' a bar): each range trimmed to its first and
// last bar, at module width m from x0, rows top to bottom (exclusive). They are named by
// their place: the first "start guard", the last "end guard", any between "centre guard".
std::vector<BarArea> guardAreas(const QString& modules, std::span<const ModuleRange> ranges, int x0,
                                int m, int top, int bottom);

}  // namespace symbols
