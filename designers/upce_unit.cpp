#include "designers/upce_unit.h"

#include "designers/upc_aunit.h"
#include "symbols/symbologies.h"

// Laid out as the UPC-A form.
Tfmupce::Tfmupce(QWidget* parent)
    : BarFamilyForm(
          {.options = {QStringLiteral("fmupce"), QStringLiteral("UPC-E"), QSize(690, 446),
                       QSize(656, 147), true, QStringLiteral("close"), symbols::Symbology::UpcE},
           .layout = Tfmupc_a::layout(),
           .messageLength = symbols::symbology(symbols::Symbology::UpcE).typedLength,
           .supplementalLabel = "Upc-e Supplemental: ",
           .build = &symbols::buildUpcE},
          parent) {}
