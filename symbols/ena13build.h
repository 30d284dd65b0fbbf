#pragma once
// The one way an EAN-13 picture is made from what the user typed: the EAN-13 form, the
// tests and any tool call this and get the finished picture or the reason there is none.

#include <QString>

#include "symbols/buildresult.h"

namespace symbols {

// The EAN-13 form's inputs, as typed.
struct Ena13Inputs {
    QString height = QStringLiteral("1.3");  // whole symbol area, inches
    QString width = QStringLiteral("2");     // main symbol (95 modules), inches: the width list
    QString comment;                         // comment line above the symbol; may be empty
    QString message;                         // the twelve typed digits, without check digit
    QString supplemental;                    // add-on: empty, 2 or 5 digits
};

// Checks the inputs and draws. In order:
//  - a message that is not 12 characters long, or that holds a non-digit, is refused
//    (stoppedAt Checks);
//  - an add-on of 1, 3 or 4 characters gives a notice and the symbol is built without it;
//    an add-on of 2 or 5 characters holding a non-digit is refused (stoppedAt Checks);
//  - from here on a stop is stoppedAt Drawing: an empty height stops silently; a height or
//    width that does not convert is refused with the conversion error; a picture too large
//    to make is refused;
//  - otherwise the picture is drawn at the context's resolution, widened for the add-on.
BuildResult buildEna13(const Ena13Inputs& in, const BuildContext& context);

}  // namespace symbols
