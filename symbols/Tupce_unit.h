#pragma once
// Tupce: the UPC-E symbol of number system 0. Six digits in 51 modules; the check digit,
// taken from the UPC-A number the six digits stand for, is carried by the parity of the
// digit codes and written right of the symbol. Optional 2- or 5-digit add-on.

#include <QString>

#include "symbols/barsymbol.h"

namespace symbols {

class Tupce : public BarSymbol {
  public:
    // Encodes Message and paints the bars, the number-system digit "0", the six digits,
    // the check digit and the comment line. A non-digit raises ConvertError before
    // anything is painted. Message is left as it is.
    void Draw();
    // Paints the add-on of Supplemental, 63 modules right of OriginX. Call after Draw.
    void DrawSupplemental();
    // The 51-module string of a 6-digit message, its parity chosen by CheckDigit (which
    // reads Message). Empty for any other length.
    QString Encode(const QString& message);
    // The check digit ("0".."9") of the UPC-A number Message expands to.
    QString CheckDigit() const;

    // The eleven-digit UPC-A number (number system, manufacturer, product; no check
    // digit) that six UPC-E digits stand for, chosen by the sixth digit. Raises
    // ConvertError naming the sixth character when it is missing or not a digit.
    static QString ExpandToUpcA(const QString& message);
};

}  // namespace symbols
