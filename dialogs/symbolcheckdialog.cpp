#include "dialogs/symbolcheckdialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

SymbolCheckDialog::SymbolCheckDialog(check::Symbology symbology,
                                     const std::vector<check::Finding>& findings, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("symbolcheck"));
    setWindowTitle(QStringLiteral("Symbol check: %1").arg(check::nameOf(symbology)));
    auto* column = new QVBoxLayout(this);

    summary = new QLabel(check::summary(findings), this);
    summary->setObjectName(QStringLiteral("summary"));
    QFont bold = summary->font();
    bold.setBold(true);
    summary->setFont(bold);
    column->addWidget(summary);

    report = new QPlainTextEdit(check::report(findings).trimmed(), this);
    report->setObjectName(QStringLiteral("report"));
    report->setReadOnly(true);
    report->setAccessibleName(QStringLiteral("Findings"));
    report->setLineWrapMode(QPlainTextEdit::NoWrap);
    report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    column->addWidget(report, 1);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons_);

    // Wide enough for the longest finding, as far as the screen allows.
    const QFontMetrics metrics(report->font());
    int widest = 0;
    for (const QString& line : report->toPlainText().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    resize(std::min(widest + 60, 1000), 320);
}

void SymbolCheckDialog::offerRemedy(std::function<void()> apply) {
    applyRemedy = buttons_->addButton(QStringLiteral("Apply the page values this symbol needs"),
                                      QDialogButtonBox::ActionRole);
    applyRemedy->setObjectName(QStringLiteral("applyRemedy"));
    connect(applyRemedy, &QPushButton::clicked, this, std::move(apply));
}
