#pragma once
// The one way a Code 39 picture is made from what a user typed: the designer form, the
// tests and any tool that builds Code 39 pictures go through buildC39.

#include <QString>
#include <optional>

#include "symbols/buildresult.h"

namespace symbols {

// The Code 39 form's inputs, as typed.
struct C39Inputs {
    QString height = QStringLiteral("1.2");      // bar height, inches
    QString narrowWidth = QStringLiteral("23");  // narrow bar width, mils
    QString ratio = QStringLiteral("2.0");       // wide-to-narrow ratio
    QString comment;                             // comment line above the bars, may be empty
    QString message;                             // the characters to encode
};

// Parses the numbers, sets up the symbol, refuses what cannot be drawn (a set-up result
// code, a character Code 39 cannot encode, a picture too big), sizes a white picture and
// draws it.
//
// A one-character message is refused after the bars are drawn: the result's picture then
// holds the bars without the text row, at its full size.
BuildResult buildC39(const C39Inputs& inputs, const BuildContext& context);

// The text shown for a set-up result code; empty for 0 and for codes without a message.
QString c39SetupMessage(int code);

// The size labels of a built picture: "Bar Code Height:    " / "Bar Code Width:   ", the
// size in inches in 8 characters with 2 decimals, then "    inches".
QString c39HeightLabel(int heightPixels, int dpi);
QString c39WidthLabel(int widthPixels, int dpi);

}  // namespace symbols
