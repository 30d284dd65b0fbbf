#include "designers/upc_aunit.h"

#include "symbols/symbologies.h"

const BarFamilyForm::Layout& Tfmupc_a::layout() {
    static const Layout at{
        .Label1 = {12, 41},
        .Label2 = {33, 70},
        .Label7 = {62, 102},
        .Label6 = {21, 128},
        .Label3 = {22, 155},
        .fheightedt = {192, 39},
        .heardtextedt = {191, 98},
        .barcodeedt = {191, 125},
        .barwidth = {192, 68},
        .Supplementaltxt = {192, 152},
        .tabOrder = {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Button4", "Button3",
                     "Supplementaltxt", "barwidth"},
    };
    return at;
}

Tfmupc_a::Tfmupc_a(QWidget* parent)
    : BarFamilyForm(
          {.options = {QStringLiteral("fmupc_a"), QStringLiteral("UPC-A"), QSize(688, 445),
                       QSize(656, 147), true, QStringLiteral("close"), symbols::Symbology::UpcA},
           .layout = layout(),
           .messageLength = symbols::symbology(symbols::Symbology::UpcA).typedLength,
           .supplementalLabel = "Upc-a Supplemental: ",
           .build = &symbols::buildUpcA},
          parent) {}
