#pragma once
// Tfmean8: the EAN-8 designer form (seven digits, optional 2- or 5-digit add-on).

#include "designers/barfamilyform.h"

class Tfmean8 : public BarFamilyForm {
    Q_OBJECT
  public:
    explicit Tfmean8(QWidget* parent = nullptr);
};
