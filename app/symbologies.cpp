#include "app/symbologies.h"

#include "designers/C39form.h"
#include "designers/ENA13form.h"
#include "designers/ean8Unit.h"
#include "designers/upc_aunit.h"
#include "designers/upce_unit.h"

// One row per symbology; the stored names are the ones existing settings files hold
// ("ENA13" and "ENA8" included), so they must not be corrected.
const std::vector<SymbologyRow>& symbologyTable() {
    static const std::vector<SymbologyRow> rows = {
        {QStringLiteral("Bar Code C39"), QStringLiteral("C391"), QStringLiteral("C39"),
         [](QWidget* parent) -> QWidget* { return new Tc39fm(parent); }},
        {QStringLiteral("Bar Code ENA13"), QStringLiteral("ENA13"), QStringLiteral("EAN-13"),
         [](QWidget* parent) -> QWidget* { return new Tena13fm(parent); }},
        {QStringLiteral("Bar Code UPC-A"), QStringLiteral("upca1"), QStringLiteral("UPC-A"),
         [](QWidget* parent) -> QWidget* { return new Tfmupc_a(parent); }},
        {QStringLiteral("Bar Code ENA8"), QStringLiteral("EAN81"), QStringLiteral("EAN-8"),
         [](QWidget* parent) -> QWidget* { return new Tfmean8(parent); }},
        {QStringLiteral("Bar Code UPC-E"), QStringLiteral("UPCE1"), QStringLiteral("UPC-E"),
         [](QWidget* parent) -> QWidget* { return new Tfmupce(parent); }},
    };
    return rows;
}
