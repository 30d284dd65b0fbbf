#pragma once
// The symbol check: a finished picture judged the way a barcode verifier judges a printed
// symbol. It reads the picture back with two independent decoders row band by row band,
// measures quiet zones, module width and element widths, and looks for parts of the symbol
// that went missing. Each finding has a grade and a sentence saying what and where.
//
// Free of widgets: the window, marlisk-cli, the tests and the fuzz targets call it alike.

#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

namespace check {

enum class Symbology { C39, Ean13, UpcA, Ean8, UpcE };

// "Code 39", "EAN-13", "UPC-A", "EAN-8", "UPC-E".
QString nameOf(Symbology s);

enum class Grade { Ok, Warn, Fail };

// "ok", "warn", "fail".
QString nameOf(Grade g);

struct Finding {
    Grade grade = Grade::Ok;
    QString topic;  // "decode", "quiet zone", "x-dimension", "bar width", "completeness"
    QString text;   // one sentence: what, and where in the picture
};

// A piece of text as the symbol placed it (the cell it was written into), in picture
// pixels; it may reach outside the picture.
struct TextBox {
    QString text;
    QRect box;
};

// A group of bars as the symbol placed them, in picture pixels, from the left edge of its
// first bar to the right edge of its last and from the bars' top to their bottom. It may
// reach outside the picture, or be empty when the bars have no height.
struct BarArea {
    QString name;  // "start guard", "centre guard", "end guard", "start character", ...
    QRect rect;
};

// What the symbol knows about its own layout and the picture cannot tell: the widths as
// typed, and where each part was meant to go.
struct Geometry {
    double typedMils = 0;  // module width as typed (Code 39: the narrow bar width)
    double ratio = 0;      // Code 39: the wide-to-narrow ratio as typed
    int modulePx = 0;      // module (narrow bar) width in pixels as the symbol drew it
    int modules = 0;       // modules of the main symbol, first bar to last; 0 for Code 39
    // The main symbol's bars (for UPC/EAN the data bars, which stop above the digits).
    QRect bars;
    // The guard bars of UPC/EAN (they run longer than the data bars), or the start and stop
    // characters of Code 39.
    std::vector<BarArea> guards;
    QRect addOn;  // the add-on's bars; empty without an add-on
    int addOnModules = 0;
    std::vector<TextBox> texts;  // human-readable digits, add-on digits, comment line
};

struct CheckInput {
    QImage picture;
    int dpi = 0;
    Symbology symbology = Symbology::C39;
    QString data;   // what a decoder should read: the full number with its check digit
    QString addOn;  // the add-on's digits; empty for none
    Geometry geometry;
};

// Every finding about the picture, worst first within each topic. Never throws; a picture
// that cannot be judged (empty, no resolution) gives a fail saying so.
std::vector<Finding> checkSymbol(const CheckInput& in);

// One line for a status bar: "Does not scan" when a decoder cannot read the symbol or reads
// other data, "Check: 2 warnings" / "Check: 1 fail, 2 warnings" otherwise, "Scan OK" when
// every finding is ok.
QString summary(const std::vector<Finding>& findings);

// The full report: one line a finding, "fail  decode: ..." with the grade padded to 4.
QString report(const std::vector<Finding>& findings);

// One finding as a line of JSON: {"grade":"warn","topic":"quiet zone","text":"..."}.
QString jsonLine(const Finding& f);

}  // namespace check
