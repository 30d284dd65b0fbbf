#include "app/symbologies.h"

#include "designers/C39form.h"
#include "designers/ENA13form.h"
#include "designers/ean8Unit.h"
#include "designers/upc_aunit.h"
#include "designers/upce_unit.h"
#include "symbols/symbologies.h"

namespace {
QString stored(symbols::Symbology id) {
    return symbols::toQString(symbols::symbology(id).storedName);
}
}  // namespace

// One row per symbology, in the order a stored name is tested; the stored names come from
// the symbology table, which keeps them as existing settings files hold them.
const std::vector<SymbologyRow>& symbologyTable() {
    using symbols::Symbology;
    static const std::vector<SymbologyRow> rows = {
        {stored(Symbology::C39), QStringLiteral("C391"), QStringLiteral("&C39"),
         [](QWidget* parent) -> QWidget* { return new Tc39fm(parent); }},
        {stored(Symbology::Ena13), QStringLiteral("ENA13"), QStringLiteral("EAN-1&3"),
         [](QWidget* parent) -> QWidget* { return new Tena13fm(parent); }},
        {stored(Symbology::UpcA), QStringLiteral("upca1"), QStringLiteral("UPC-&A"),
         [](QWidget* parent) -> QWidget* { return new Tfmupc_a(parent); }},
        {stored(Symbology::Ean8), QStringLiteral("EAN81"), QStringLiteral("EAN-&8"),
         [](QWidget* parent) -> QWidget* { return new Tfmean8(parent); }},
        {stored(Symbology::UpcE), QStringLiteral("UPCE1"), QStringLiteral("UPC-&E"),
         [](QWidget* parent) -> QWidget* { return new Tfmupce(parent); }},
    };
    return rows;
}
