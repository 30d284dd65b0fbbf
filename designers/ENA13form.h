#pragma once
// The EAN-13 designer form: height, width, comment line, the twelve digits and an optional
// add-on in; an EAN-13 picture in the preview, on the clipboard and ready to print out.

#include "designers/designerform.h"

class BookNumberDialog;
class QComboBox;
class QLabel;
class QLineEdit;

class Tena13fm : public DesignerForm {
    Q_OBJECT
  public:
    explicit Tena13fm(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;  // never written
    QLabel* Label5;  // never written
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* fheightedt;    // height of the whole symbol area, inches
    QComboBox* ComboBox1;     // width of the main symbol, inches
    QLineEdit* heardtextedt;  // comment line
    QLineEdit* barcodeedt;    // the twelve digits
    QLineEdit* Edit1;         // add-on

    // Tests may answer the book-number dialog instead of running it modally: fill its
    // fields and call its tryAccept.
    static std::function<void(BookNumberDialog&)>& bookDialogHook();

  public slots:
    void Button1Click() override;  // Build/Copy
    // "Fill from ISBN, ISSN or ISMN...": fills the message, the add-on and the comment line.
    void fillFromBookNumber();

  protected:
    symbols::BuildResult buildSymbol(const symbols::BuildContext& context) const override;
};
