#pragma once
// The one way an EAN-13 picture is made from what the user typed: the EAN-13 form, the
// tests and any tool call this and get the finished picture or the reason there is none.

#include <QColor>
#include <QString>

#include "surface/font.h"
#include "symbols/buildresult.h"
#include "symbols/pagevalues.h"

namespace symbols {

struct Ena13Inputs {
    QString height;        // whole symbol area, inches, as typed
    QString width;         // main symbol (95 modules), inches: the width list's text
    QString comment;       // comment line above the symbol; may be empty
    QString message;       // the twelve typed digits, without check digit
    QString supplemental;  // add-on: empty, 2 or 5 digits
    PageValues page;       // blank spaces and interval, mils
    surface::Font font;
    QColor barColor = Qt::black;
    int dpi = 0;  // resolution to draw at; 0 takes the screen's
};

// Checks the inputs and draws. In order:
//  - a message that is not 12 characters long, or that holds a non-digit, is refused
//    (stoppedAt Checks);
//  - an add-on of 1, 3 or 4 characters gives a notice and the symbol is built without it;
//    an add-on of 2 or 5 characters holding a non-digit is refused (stoppedAt Checks);
//  - from here on a stop is stoppedAt Drawing: an empty height stops silently; a height or
//    width that does not convert is refused with the conversion error; a picture too large
//    to make is refused;
//  - otherwise the picture is drawn at `dpi`, widened for the add-on.
BuildResult buildEna13(const Ena13Inputs& in);

}  // namespace symbols
