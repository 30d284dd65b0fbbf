#pragma once
// Tean8: the EAN-8 symbol. Seven digits and their check digit in 67 modules, only the
// guards full height, and an optional 2- or 5-digit add-on.

#include <QString>

#include "symbols/barsymbol.h"

namespace symbols {

class Tean8 : public BarSymbol {
  public:
    // Encodes Message (appending its check digit) and paints the bars, the digits (the
    // first and the last also beside the guards) and the comment line. A non-digit raises
    // ConvertError before anything is painted.
    void Draw();
    // Paints the add-on of Supplemental, 79 modules right of OriginX. Call after Draw.
    void DrawSupplemental();
    // The 67-module string of a 7-digit message; appends the check digit to Message.
    // Empty, with nothing appended, for any other length.
    QString Encode(const QString& message);
};

}  // namespace symbols
