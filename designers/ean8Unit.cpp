#include "designers/ean8Unit.h"

#include "symbols/symbologies.h"

namespace {
const BarFamilyForm::Layout kLayout{
    .Label1 = {12, 41},
    .Label2 = {33, 68},
    .Label7 = {62, 95},
    .Label6 = {21, 122},
    .Label3 = {22, 151},
    .fheightedt = {192, 39},
    .heardtextedt = {191, 93},
    .barcodeedt = {191, 120},
    .barwidth = {192, 66},
    .Supplementaltxt = {192, 148},
    .tabOrder = {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Button4", "Button3",
                 "barwidth", "Supplementaltxt"},
};
}  // namespace

Tfmean8::Tfmean8(QWidget* parent)
    : BarFamilyForm(
          {.options = {QStringLiteral("fmean8"), QStringLiteral("EAN-8"), QSize(687, 452),
                       QSize(656, 147), true, QStringLiteral("close"), symbols::Symbology::Ean8},
           .layout = kLayout,
           .messageLength = symbols::symbology(symbols::Symbology::Ean8).typedLength,
           .supplementalLabel = "Ean8 Supplemental: ",
           .build = &symbols::buildEan8},
          parent) {}
