#pragma once
// The designer form of the UPC-A, EAN-8 and UPC-E symbols: bar height, module width,
// comment line, the message digits and an optional add-on in; the symbol in the preview,
// on the clipboard and ready to print. The three forms are this one design and differ
// only by the data they give it: size, caption of the add-on, positions, tab order,
// message length and build path.

#include <array>

#include "designers/designerform.h"
#include "symbols/barfamilybuild.h"

class QLabel;
class QLineEdit;

class BarFamilyForm : public DesignerForm {
    Q_OBJECT
  public:
    struct Spot {
        int x;
        int y;
    };
    // Where the input controls stand on Panel2 (their sizes are common to all three).
    struct Layout {
        Spot Label1, Label2, Label7, Label6, Label3;
        Spot fheightedt, heardtextedt, barcodeedt, barwidth, Supplementaltxt;
        // Object names of the controls, in tab order.
        std::array<const char*, 8> tabOrder;
    };
    using BuildPath = symbols::BuildResult (*)(const symbols::BarFamilyInputs&,
                                               const symbols::BuildContext&);
    struct Data {
        DesignerForm::Options options;
        const Layout& layout;
        int messageLength;              // the message edit's maximum length
        const char* supplementalLabel;  // Label3's caption
        BuildPath build;
    };

    BarFamilyForm(const Data& data, QWidget* parent);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* fheightedt;       // bar height, inches
    QLineEdit* barwidth;         // module width, mils
    QLineEdit* heardtextedt;     // comment line
    QLineEdit* barcodeedt;       // the message digits
    QLineEdit* Supplementaltxt;  // add-on digits

  public slots:
    void Button1Click() override;  // Build/Copy

  protected:
    symbols::BuildResult buildSymbol(const symbols::BuildContext& context) const override;

  private:
    BuildPath build_;
};
