#pragma once
// Tupc_a: the UPC-A symbol. Eleven digits and their check digit in 95 modules, the outer
// digits' bars full height, and an optional 2- or 5-digit add-on.

#include <QString>

#include "symbols/barsymbol.h"

namespace symbols {

class Tupc_a : public BarSymbol {
  public:
    // Encodes Message (appending its check digit) and paints the bars, the twelve digits
    // and the comment line. A non-digit raises ConvertError before anything is painted.
    void Draw();
    // Paints the add-on of Supplemental, 107 modules right of OriginX. Call after Draw.
    void DrawSupplemental();
    // The 95-module string of an 11-digit message; appends the check digit to Message.
    // Empty, with nothing appended, for any other length.
    QString Encode(const QString& message);
};

}  // namespace symbols
