#pragma once
// "Page Setting": edits the five page values of the main window, in mils.

#include <QDialog>

class QLineEdit;
class QPushButton;

class Tpagesettingfm : public QDialog {
    Q_OBJECT
  public:
    explicit Tpagesettingfm(QWidget* parent = nullptr);

    QLineEdit* topedt;
    QLineEdit* downedt;
    QLineEdit* leftedt;
    QLineEdit* rightedt;
    QLineEdit* iwidthedt;
    QPushButton* BitBtn1;  // "Save "
    QPushButton* BitBtn2;  // "Close"

  public slots:
    void BitBtn1Click();
    void BitBtn2Click();

  private:
    void FormCreate();
};
