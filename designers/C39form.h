#pragma once
// The Code 39 designer form: bar height, narrow bar width, ratio, comment line and message
// in; a Code 39 picture in the preview, on the clipboard and ready to print out.

#include "designers/designerform.h"

class QComboBox;
class QLabel;
class QLineEdit;

class Tc39fm : public DesignerForm {
    Q_OBJECT
  public:
    explicit Tc39fm(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;  // symbol height after a build
    QLabel* Label5;  // symbol width after a build
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* fheightedt;    // bar height, inches
    QLineEdit* fnarwidthedt;  // narrow bar width, mils
    QComboBox* natiocbox;     // wide-to-narrow ratio
    QLineEdit* heardtextedt;  // comment line
    QLineEdit* barcodeedt;    // message

  public slots:
    void Button1Click() override;  // Build/Copy

  protected:
    symbols::BuildResult buildSymbol(const symbols::BuildContext& context) const override;

  private:
    void clearSizeLabels();
};
