#pragma once
// "Print Option": prints the print bitmap on the current printer at an X/Y offset in mils.

#include <QColor>
#include <QDialog>

class QLineEdit;
class QPushButton;

class Tpringfm : public QDialog {
    Q_OBJECT
  public:
    explicit Tpringfm(QWidget* parent = nullptr);

    QColor PrintColor = Qt::black;
    QLineEdit* xedt;
    QLineEdit* yedt;
    QPushButton* Button1;  // "Print"
    QPushButton* Button2;  // "Close"

  public slots:
    void Button1Click();
    void Button2Click();
};
