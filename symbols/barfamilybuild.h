#pragma once
// The one way a UPC-A, EAN-8 or UPC-E picture is made from what the user typed: the three
// designer forms, the tests and any tool call these and get the finished picture or the
// reason there is none.

#include <QString>

#include "symbols/buildresult.h"

namespace symbols {

// The form's texts, as typed.
struct BarFamilyInputs {
    QString height = QStringLiteral("1.3");      // bar height, inches
    QString moduleWidth = QStringLiteral("21");  // module width, whole mils
    QString comment;                             // comment line above the bars; may be empty
    QString message;                             // the digits without check digit
    QString supplemental;                        // add-on: empty, 2 or 5 digits
};

// Checks the inputs and draws, in this order; every refusal stops before anything is drawn
// (stoppedAt Checks):
//  - a message of the wrong length (11, 7, 6 characters) is refused, then an add-on of other
//    than 0, 2 or 5 characters; then a non-digit in the message, then in the add-on, is
//    refused naming the character and its position;
//  - a module width that is not a whole number, then a height that is not a number, is
//    refused with the conversion error;
//  - a page value out of range, or a picture too large or empty, is refused;
//  - otherwise a white picture of the symbol's size (without the comment line's height)
//    is made at the context's resolution and the symbol, with its add-on, drawn on it.
BuildResult buildUpcA(const BarFamilyInputs& in, const BuildContext& context);
BuildResult buildEan8(const BarFamilyInputs& in, const BuildContext& context);
BuildResult buildUpcE(const BarFamilyInputs& in, const BuildContext& context);

}  // namespace symbols
