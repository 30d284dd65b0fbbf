#pragma once
// "Fill from ISBN, ISSN or ISMN": a book or serial number, with its price or issue, turned
// into the EAN-13 form's message, add-on and comment line.

#include <QDialog>
#include <optional>

#include "symbols/booknumbers.h"

class QComboBox;
class QLabel;
class QLineEdit;

class BookNumberDialog : public QDialog {
    Q_OBJECT
  public:
    explicit BookNumberDialog(QWidget* parent = nullptr);

    // What the form is filled with once the dialog is accepted.
    const std::optional<symbols::BookSymbol>& symbol() const { return symbol_; }

    QComboBox* kind;     // ISBN, ISSN, ISMN
    QLineEdit* number;   // as the user writes it, hyphens and all
    QLineEdit* price;    // ISBN, ISMN: "USD:19.95", "none" or empty
    QLineEdit* issue;    // ISSN: two digits or empty
    QLineEdit* variant;  // ISSN: two digits, 00 when empty
    QLabel* problem;     // why OK did not close the dialog

  public slots:
    // Converts the number; closes the dialog when it converts, says why not otherwise.
    void tryAccept();

  private:
    void showKind();
    symbols::BookNumber chosen() const;

    std::optional<symbols::BookSymbol> symbol_;
};
