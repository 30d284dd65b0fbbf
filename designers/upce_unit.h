#pragma once
// Tfmupce: the UPC-E designer form (six digits; the number system 0 and the check digit
// are the symbol's; optional 2- or 5-digit add-on).

#include "designers/barfamilyform.h"

class Tfmupce : public BarFamilyForm {
    Q_OBJECT
  public:
    explicit Tfmupce(QWidget* parent = nullptr);
};
