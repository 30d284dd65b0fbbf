#pragma once
// "Print Option": prints the print bitmap on the current printer at an X/Y offset in mils.

#include <QColor>
#include <QDialog>
#include <functional>
#include <optional>

#include "surface/bitmap.h"

class QLineEdit;
class QPushButton;

class Tpringfm : public QDialog {
    Q_OBJECT
  public:
    explicit Tpringfm(QWidget* parent = nullptr);

    QColor PrintColor = Qt::black;
    // When set, Print builds the picture anew at the printer's resolution with this and
    // prints it dot for dot, instead of stretching the print bitmap made at the screen's.
    // Nothing is printed when it gives no picture (it has said why).
    std::function<std::optional<surface::Bitmap>(int printerDpi)> buildAtPrinterResolution;
    QLineEdit* xedt;
    QLineEdit* yedt;
    QPushButton* Button1;  // "Print"
    QPushButton* Button2;  // "Close"

  public slots:
    void Button1Click();
    void Button2Click();
};
