#include "designers/designers.h"

#include "designers/C39form.h"
#include "designers/ENA13form.h"
#include "designers/ean8Unit.h"
#include "designers/upc_aunit.h"
#include "designers/upce_unit.h"

DesignerForm* createDesigner(symbols::Symbology s, QWidget* parent) {
    using symbols::Symbology;
    switch (s) {
        case Symbology::C39:
            return new Tc39fm(parent);
        case Symbology::Ena13:
            return new Tena13fm(parent);
        case Symbology::Ean8:
            return new Tfmean8(parent);
        case Symbology::UpcA:
            return new Tfmupc_a(parent);
        case Symbology::UpcE:
            return new Tfmupce(parent);
    }
    return nullptr;  // not reached: every symbology has its form
}
