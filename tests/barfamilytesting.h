#pragma once
// Helpers for the UPC/EAN family tests: drawing a symbol the way a form does, onto a grey
// picture so that the white text cells show, and reading the result back.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include "surface/bitmap.h"
#include "symbols/pagevalues.h"
#include "symbols/symbologies.h"

namespace bartest {

// The three symbologies of the family, by their rows in the symbology table.
using Kind = symbols::Symbology;

// Module strings of the reference messages.
inline const QString kUpcA03600029145 = QStringLiteral(
    "10100011010111101010111100011010001101000110101010110110011101001100110101110010011101101"
    "100101");
inline const QString kEan89638507 =
    QStringLiteral("1010001011010111101111010110111010101001110111001010001001011100101");
inline const QString kUpcE123456 =
    QStringLiteral("101011001100100110111101001110101110010101111010101");

constexpr QRgb kBackground = 0xC0C0C0;  // grey: anything drawn stands out
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBar = 0x0000C0;  // bar colour, distinct from the text
constexpr QRgb kInk = 0x800000;  // font colour

struct Drawing {
    surface::Bitmap picture;
    QString message;  // Message after drawing
    QString error;    // the conversion error raised, if any
};

struct Options {
    QString comment;
    symbols::PageValues page;
    int moduleWidth = 2;
    int barHeight = 125;
};

// Sets a symbol up in the forms' order (96 DPI, 8-point font in kInk, bars in kBar, module
// count for the add-on's length), sizes a grey picture to TotalWidth x TotalHeight, sets
// the comment and draws, with the add-on when there is one.
Drawing draw(Kind kind, const QString& message, const QString& addOn, const Options& o = {});

int countColour(const surface::Bitmap& b, QRgb c);
int countColour(const surface::Bitmap& b, QRgb c, const QRect& area);
// The smallest rectangle holding every white pixel inside `window`: a text cell when the
// window holds one cell on a grey ground.
QRect whiteBox(const surface::Bitmap& b, const QRect& window);

// Parses "1-10,46-50" into inclusive 1-based ranges.
bool inRanges(const QString& ranges, int k);

}  // namespace bartest
