#pragma once
// "Symbol check": the full report of the last build's check, one finding a line, worst
// first, in a box the user can select and copy from.

#include <QDialog>
#include <functional>
#include <vector>

#include "check/symbolcheck.h"

class QLabel;
class QPushButton;
class QPlainTextEdit;

class SymbolCheckDialog : public QDialog {
    Q_OBJECT
  public:
    SymbolCheckDialog(check::Symbology symbology, const std::vector<check::Finding>& findings,
                      QWidget* parent = nullptr);

    // Shows "Apply the page values this symbol needs", which runs `apply`.
    void offerRemedy(std::function<void()> apply);

    QLabel* summary;
    QPlainTextEdit* report;
    QPushButton* applyRemedy = nullptr;  // shown where the check has a remedy

  private:
    class QDialogButtonBox* buttons_;
};
