#include "dialogs/booknumberdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

BookNumberDialog::BookNumberDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("booknumber"));
    setWindowTitle(QStringLiteral("Fill from ISBN, ISSN or ISMN"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    column->addLayout(form);

    kind = new QComboBox(this);
    kind->setObjectName(QStringLiteral("kind"));
    // In the order people look for them; each item carries its number's kind.
    for (symbols::BookNumber k :
         {symbols::BookNumber::Isbn, symbols::BookNumber::Issn, symbols::BookNumber::Ismn})
        kind->addItem(symbols::toQString(symbols::bookNumber(k).title), int(k));
    form->addRow(QStringLiteral("&Number:"), kind);
    number = new QLineEdit(this);
    number->setObjectName(QStringLiteral("number"));
    number->setPlaceholderText(QStringLiteral("978-0-306-40615-7"));
    form->addRow(QString(), number);
    price = new QLineEdit(this);
    price->setObjectName(QStringLiteral("price"));
    price->setPlaceholderText(QStringLiteral("USD:19.95, none, or empty for no add-on"));
    form->addRow(QStringLiteral("&Price:"), price);
    issue = new QLineEdit(this);
    issue->setObjectName(QStringLiteral("issue"));
    issue->setMaxLength(2);
    issue->setPlaceholderText(QStringLiteral("two digits, or empty for no add-on"));
    form->addRow(QStringLiteral("&Issue:"), issue);
    variant = new QLineEdit(this);
    variant->setObjectName(QStringLiteral("variant"));
    variant->setMaxLength(2);
    variant->setPlaceholderText(QStringLiteral("00"));
    form->addRow(QStringLiteral("&Variant:"), variant);

    problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("problem"));
    problem->setWordWrap(true);
    column->addWidget(problem);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &BookNumberDialog::tryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);

    // Room for a hyphenated ISBN-13, the placeholders and a refusal on one line.
    setMinimumWidth(400);
    connect(kind, &QComboBox::currentIndexChanged, this, &BookNumberDialog::showKind);
    showKind();
    number->setFocus();
}

symbols::BookNumber BookNumberDialog::chosen() const {
    return symbols::BookNumber(kind->currentData().toInt());
}

void BookNumberDialog::showKind() {
    // A price goes with books and printed music, an issue and a variant with serials.
    const bool serial = chosen() == symbols::BookNumber::Issn;
    price->setEnabled(!serial);
    issue->setEnabled(serial);
    variant->setEnabled(serial);
    problem->clear();
}

void BookNumberDialog::tryAccept() {
    const bool serial = chosen() == symbols::BookNumber::Issn;
    symbols::BookExtras extras;
    if (serial) {
        extras.issue = issue->text().trimmed();
        extras.variant = variant->text().trimmed();
    } else {
        extras.price = price->text().trimmed();
    }
    QString refusal;
    symbol_ = symbols::bookSymbol(chosen(), number->text(), extras, &refusal);
    if (!symbol_) {
        problem->setText(refusal);
        return;
    }
    accept();
}
