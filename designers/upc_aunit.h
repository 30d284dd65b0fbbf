#pragma once
// Tfmupc_a: the UPC-A designer form (eleven digits, optional 2- or 5-digit add-on).

#include "designers/barfamilyform.h"

class Tfmupc_a : public BarFamilyForm {
    Q_OBJECT
  public:
    explicit Tfmupc_a(QWidget* parent = nullptr);

    // Positions and tab order of the inputs; the UPC-E form uses them too.
    static const Layout& layout();
};
