#pragma once
// "Symbol check": the full report of the last build's check, one finding a line, worst
// first, in a box the user can select and copy from.

#include <QDialog>
#include <vector>

#include "check/symbolcheck.h"

class QLabel;
class QPlainTextEdit;

class SymbolCheckDialog : public QDialog {
    Q_OBJECT
  public:
    SymbolCheckDialog(check::Symbology symbology, const std::vector<check::Finding>& findings,
                      QWidget* parent = nullptr);

    QLabel* summary;
    QPlainTextEdit* report;
};
