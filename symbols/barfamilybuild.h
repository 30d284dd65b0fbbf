#pragma once
// The one way a UPC-A, EAN-8 or UPC-E picture is made from what the user typed: the three
// designer forms, the tests and any tool call these and get the finished picture or the
// reason there is none.

#include <QColor>
#include <QString>

#include "surface/font.h"
#include "symbols/buildresult.h"
#include "symbols/pagevalues.h"

namespace symbols {

// The form's texts, as typed.
struct BarFamilyInputs {
    QString height = QStringLiteral("1.3");      // bar height, inches
    QString moduleWidth = QStringLiteral("21");  // module width, whole mils
    QString comment;                             // comment line above the bars; may be empty
    QString message;                             // the digits without check digit
    QString supplemental;                        // add-on: empty, 2 or 5 digits
};

// Control names a refusal points the form at (Refusal::field).
inline constexpr char kMessageField[] = "barcodeedt";
inline constexpr char kSupplementalField[] = "Supplementaltxt";

// Checks the inputs and draws, in this order; every refusal stops before anything is drawn
// (stoppedAt Checks):
//  - a message of the wrong length (11, 7, 6 characters) is refused, then an add-on of other
//    than 0, 2 or 5 characters; then a non-digit in the message, then in the add-on, is
//    refused naming the character and its position (field: the edit to correct);
//  - a module width that is not a whole number, then a height that is not a number, is
//    refused with the conversion error;
//  - a picture too large to make (or whose pixel counts would not fit) is refused;
//  - otherwise a white picture of the symbol's size (without the comment line's height)
//    is made at `dpi` (0: the screen's) and the symbol, with its add-on, drawn on it.
BuildResult buildUpcA(const BarFamilyInputs& in, const PageValues& page, const surface::Font& font,
                      const QColor& barColor, int dpi = 0);
BuildResult buildEan8(const BarFamilyInputs& in, const PageValues& page, const surface::Font& font,
                      const QColor& barColor, int dpi = 0);
BuildResult buildUpcE(const BarFamilyInputs& in, const PageValues& page, const surface::Font& font,
                      const QColor& barColor, int dpi = 0);

}  // namespace symbols
