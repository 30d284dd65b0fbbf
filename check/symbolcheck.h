#pragma once
// The symbol check: a finished picture judged the way a barcode verifier judges a printed
// symbol. It reads the picture back with two independent decoders row band by row band,
// measures quiet zones, module width and element widths, and looks for parts of the symbol
// that went missing. Each finding has a grade and a sentence saying what and where.
//
// Free of widgets: the window, marlisk-cli, the tests and the fuzz targets call it alike.

#include <QImage>
#include <QString>
#include <vector>

#include "symbols/buildresult.h"
#include "symbols/symbologies.h"

namespace check {

using symbols::Symbology;

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

// The symbol's own account of its layout, from its build.
using symbols::BarArea;
using symbols::TextBox;
using Geometry = symbols::SymbolGeometry;

// The bars as the symbol filled them, in picture pixels, and their colour: what the print
// tolerance grows and shrinks, and what the contrast finding names. Empty for a picture
// that carries no record of its drawing.
struct BarFills {
    std::vector<QRect> rects;
    QRgb colour = 0;
};

struct CheckInput {
    QImage picture;
    int dpi = 0;
    Symbology symbology = Symbology::C39;
    Geometry geometry;  // with the data a decoder should read and the add-on's digits
    BarFills bars;
};

// The check's input for a finished build (BuildResult::built()) of symbology `s`: its
// picture and resolution, its own account of itself, and the text cells of the picture's
// drawing record.
CheckInput checkInputOf(Symbology s, const symbols::BuildResult& built);

// Every non-empty text the picture's drawing record holds, with the cell it was written in.
std::vector<TextBox> textBoxesOf(const surface::Bitmap& picture);

// The fills of the picture's drawing record that are not white: the bars.
BarFills barFillsOf(const surface::Bitmap& picture);

// Every finding about the picture, worst first within each topic. Never throws; a picture
// that cannot be judged (empty, no resolution) gives a fail saying so.
std::vector<Finding> checkSymbol(const CheckInput& in);

// Whether a finding says that a band of rows reads data other than the symbol's own ("zbar:
// rows 25-38 read add-on 51, expected 12"): a symbol that scans as something else.
bool readsOtherData(const Finding& f);

// One line for a status bar: "Does not scan" when a decoder cannot read the symbol, reads
// other data or a red-light scanner cannot tell the bars from the background, "Check: 2
// warnings" / "Check: 1 fail, 2 warnings" otherwise, "Scan OK" when
// every finding is ok.
QString summary(const std::vector<Finding>& findings);

// A preview's tooltip: the summary, then each finding that is not ok on a line of its own
// ("warn: the left quiet zone is ..."), then how many are ok ("12 findings ok").
QString tooltip(const std::vector<Finding>& findings);

// The full report: one line a finding, "fail  decode: ..." with the grade padded to 4.
QString report(const std::vector<Finding>& findings);

// `s` as a JSON string, quoted and escaped.
QString jsonString(const QString& s);

// One finding as a line of JSON: {"grade":"warn","topic":"quiet zone","text":"..."}.
QString jsonLine(const Finding& f);

}  // namespace check
