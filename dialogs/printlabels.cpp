#include "dialogs/printlabels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/globals.h"
#include "app/messages.h"
#include "app/settings.h"
#include "surface/labelprint.h"
#include "surface/printing.h"
#include "surface/printsystem.h"

// The sheet as it will come out: its labels, those to be printed dark.
class SheetPreview : public QWidget {
  public:
    explicit SheetPreview(QWidget* parent) : QWidget(parent) {
        setMinimumSize(170, 220);
        setAccessibleName(QStringLiteral("Sheet preview"));
    }
    void show(const labels::LabelTemplate* t, int start, qint64 count) {
        template_ = t;
        start_ = start;
        count_ = count;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        if (template_ != nullptr)
            labels::paintSheetPreview(p, QRectF(rect()).adjusted(4, 4, -4, -4), *template_, start_,
                                      count_);
    }

  private:
    const labels::LabelTemplate* template_ = nullptr;
    int start_ = 0;
    qint64 count_ = 0;
};

namespace {

QDoubleSpinBox* number(double min, double max, double value, const QString& suffix,
                       const QString& name) {
    auto* box = new QDoubleSpinBox;
    box->setRange(min, max);
    box->setDecimals(2);
    box->setSingleStep(0.1);
    box->setValue(value);
    box->setSuffix(suffix);
    box->setAccessibleName(name);
    return box;
}

// The calibration kept for a printer; none when it has none (or one that does not read).
labels::Calibration storedCalibration(const QString& printer) {
    return labels::parseCalibration(settings::readCalibration(printer), nullptr)
        .value_or(labels::Calibration{});
}

}  // namespace

std::function<bool(QPrintDialog&)>& Tprintlabelsfm::printDialogHook() {
    static std::function<bool(QPrintDialog&)> hook;
    return hook;
}

Tprintlabelsfm::Tprintlabelsfm(Build build, QWidget* parent)
    : QDialog(parent), build_(std::move(build)), templates_(labels::loadTemplates()) {
    setObjectName(QStringLiteral("printlabelsfm"));
    setWindowTitle(QStringLiteral("Print labels"));

    searchEdit = new QLineEdit;
    searchEdit->setPlaceholderText(QStringLiteral("Brand, part or description"));
    searchEdit->setAccessibleName(QStringLiteral("Search templates"));
    templateList = new QListWidget;
    templateList->setAccessibleName(QStringLiteral("Label templates"));
    templateList->setMinimumWidth(300);
    copiesEdit = new QSpinBox;
    copiesEdit->setRange(1, 100000);
    copiesEdit->setAccessibleName(QStringLiteral("Copies"));
    fillCheck = new QCheckBox(QStringLiteral("&Fill the sheet"));
    rowEdit = new QSpinBox;
    rowEdit->setRange(1, 1000);
    rowEdit->setAccessibleName(QStringLiteral("First free label's row"));
    columnEdit = new QSpinBox;
    columnEdit->setRange(1, 1000);
    columnEdit->setAccessibleName(QStringLiteral("First free label's column"));
    summary = new QLabel;
    summary->setWordWrap(true);
    preview_ = new SheetPreview(this);

    printerBox = new QComboBox;
    printerBox->addItems(QPrinterInfo::availablePrinterNames());
    printerBox->setCurrentText(globals::currentPrinter().printerName());
    printerBox->setAccessibleName(QStringLiteral("Printer to calibrate"));
    dxEdit = number(-50, 50, 0, QStringLiteral(" mm"), QStringLiteral("Move right"));
    dyEdit = number(-50, 50, 0, QStringLiteral(" mm"), QStringLiteral("Move down"));
    sxEdit = number(50, 200, 100, QStringLiteral(" %"), QStringLiteral("Stretch across"));
    syEdit = number(50, 200, 100, QStringLiteral(" %"), QStringLiteral("Stretch down"));

    auto* find = new QLabel(QStringLiteral("&Template:"));
    find->setBuddy(searchEdit);
    auto* left = new QVBoxLayout;
    left->addWidget(find);
    left->addWidget(searchEdit);
    left->addWidget(templateList, 1);
    auto* form = new QFormLayout;
    auto* copiesRow = new QHBoxLayout;
    copiesRow->addWidget(copiesEdit);
    copiesRow->addWidget(fillCheck);
    auto* copiesLabel = new QLabel(QStringLiteral("&Copies:"));
    copiesLabel->setBuddy(copiesEdit);
    form->addRow(copiesLabel, copiesRow);
    auto* startRow = new QHBoxLayout;
    startRow->addWidget(rowEdit);
    auto* columnLabel = new QLabel(QStringLiteral("c&olumn"));
    columnLabel->setBuddy(columnEdit);
    startRow->addWidget(columnLabel);
    startRow->addWidget(columnEdit);
    auto* startLabel = new QLabel(QStringLiteral("First free label, &row:"));
    startLabel->setBuddy(rowEdit);
    form->addRow(startLabel, startRow);
    left->addLayout(form);
    left->addWidget(summary);

    auto* calibrationBox = new QGroupBox(QStringLiteral("Printer calibration"));
    auto* calibrationForm = new QFormLayout(calibrationBox);
    calibrationForm->addRow(QStringLiteral("&Printer:"), printerBox);
    calibrationForm->addRow(QStringLiteral("Move right:"), dxEdit);
    calibrationForm->addRow(QStringLiteral("Move down:"), dyEdit);
    calibrationForm->addRow(QStringLiteral("Stretch across:"), sxEdit);
    calibrationForm->addRow(QStringLiteral("Stretch down:"), syEdit);
    alignmentButton = new QPushButton(QStringLiteral("Print &alignment page\u2026"));
    calibrationForm->addRow(alignmentButton);
    auto* right = new QVBoxLayout;
    right->addWidget(preview_, 1);
    right->addWidget(calibrationBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    printButton = buttons->addButton(QStringLiteral("&Print\u2026"), QDialogButtonBox::AcceptRole);
    printButton->setDefault(true);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right);
    auto* all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addWidget(buttons);

    connect(searchEdit, &QLineEdit::textChanged, this, &Tprintlabelsfm::filterTemplates);
    connect(templateList, &QListWidget::currentRowChanged, this, &Tprintlabelsfm::updateSheet);
    connect(copiesEdit, &QSpinBox::valueChanged, this, &Tprintlabelsfm::updateSheet);
    connect(fillCheck, &QCheckBox::toggled, this, [this](bool fill) {
        copiesEdit->setEnabled(!fill);
        updateSheet();
    });
    connect(rowEdit, &QSpinBox::valueChanged, this, &Tprintlabelsfm::updateSheet);
    connect(columnEdit, &QSpinBox::valueChanged, this, &Tprintlabelsfm::updateSheet);
    connect(printerBox, &QComboBox::currentTextChanged, this, &Tprintlabelsfm::loadCalibration);
    for (QDoubleSpinBox* box : {dxEdit, dyEdit, sxEdit, syEdit})
        connect(box, &QDoubleSpinBox::editingFinished, this, &Tprintlabelsfm::saveCalibration);
    connect(alignmentButton, &QPushButton::clicked, this, &Tprintlabelsfm::printAlignmentPage);
    connect(buttons, &QDialogButtonBox::accepted, this, &Tprintlabelsfm::printLabels);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    filterTemplates();
    loadCalibration();
    // Templates that could not be read are told once, by file and line.
    if (!templates_.messages.isEmpty())
        summary->setToolTip(templates_.messages.join(QLatin1Char('\n')));
}

Tprintlabelsfm::~Tprintlabelsfm() = default;

const labels::LabelTemplate* Tprintlabelsfm::chosenTemplate() const {
    const QListWidgetItem* item = templateList->currentItem();
    return item ? templates_.find(item->data(Qt::UserRole).toString()) : nullptr;
}

void Tprintlabelsfm::filterTemplates() {
    const QString chosen = templateList->currentItem()
                               ? templateList->currentItem()->data(Qt::UserRole).toString()
                               : QStringLiteral("Avery 5160");
    templateList->clear();
    const QStringList words = searchEdit->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const labels::LabelTemplate* t : templates_.search(words)) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1 \u2014 %2, %3 \u00d7 %4 mm, %5 a sheet")
                .arg(t->name(), t->description, labels::millimetres(t->label.width),
                     labels::millimetres(t->label.height))
                .arg(t->count()),
            templateList);
        item->setData(Qt::UserRole, t->name());
        if (t->name().compare(chosen, Qt::CaseInsensitive) == 0) templateList->setCurrentItem(item);
    }
    if (!templateList->currentItem() && templateList->count() > 0) templateList->setCurrentRow(0);
    updateSheet();
}

qint64 Tprintlabelsfm::count() const {
    const labels::LabelTemplate* t = chosenTemplate();
    if (t == nullptr) return 0;
    return fillCheck->isChecked() ? labels::SheetRun(*t, startIndex()).fillCount()
                                  : copiesEdit->value();
}

int Tprintlabelsfm::startIndex() const {
    const labels::LabelTemplate* t = chosenTemplate();
    if (t == nullptr) return 0;
    return labels::labelAt(*t, rowEdit->value(), columnEdit->value(), nullptr).value_or(-1);
}

void Tprintlabelsfm::updateSheet() {
    const labels::LabelTemplate* t = chosenTemplate();
    const int start = startIndex();
    printButton->setEnabled(t != nullptr && start >= 0);
    alignmentButton->setEnabled(t != nullptr);
    if (t == nullptr) {
        summary->setText(QStringLiteral("No template matches."));
        preview_->show(nullptr, 0, 0);
        return;
    }
    QString error;
    if (!labels::labelAt(*t, rowEdit->value(), columnEdit->value(), &error)) {
        summary->setText(error);
        preview_->show(t, 0, 0);
        return;
    }
    const qint64 n = count();
    summary->setText(QStringLiteral("%1 labels on %2 sheet(s) of %3.")
                         .arg(n)
                         .arg(labels::SheetRun(*t, start).pagesFor(n))
                         .arg(t->name()));
    preview_->show(t, start, n);
}

labels::Calibration Tprintlabelsfm::calibration() const {
    return {dxEdit->value(), dyEdit->value(), sxEdit->value(), syEdit->value()};
}

void Tprintlabelsfm::loadCalibration() {
    const labels::Calibration c = storedCalibration(printerBox->currentText());
    dxEdit->setValue(c.dxMm);
    dyEdit->setValue(c.dyMm);
    sxEdit->setValue(c.sxPercent);
    syEdit->setValue(c.syPercent);
}

void Tprintlabelsfm::saveCalibration() {
    if (printerBox->currentText().isEmpty()) return;
    if (!settings::writeCalibration(printerBox->currentText(),
                                    labels::calibrationText(calibration())))
        ui::notice(this, settings::writeFailureText());
}

bool Tprintlabelsfm::choosePrinter(QPrinter& printer) {
    // Qt's print dialog waits on the print system without a time limit: ask it first.
    if (const printing::SystemCheck system = printing::checkPrintSystem();
        system.state != printing::SystemState::Answers) {
        ui::notice(this, QStringLiteral("Printer is Error\n") + system.problem());
        return false;
    }
    if (!printerBox->currentText().isEmpty()) printer.setPrinterName(printerBox->currentText());
    QPrintDialog dialog(&printer, this);
    if (!(printDialogHook() ? printDialogHook()(dialog) : dialog.exec() == QDialog::Accepted))
        return false;
    // Qt hands the pages to the queue without looking at the answer.
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        if (const QString refusal = printing::queueRefusal(printer.printerName());
            !refusal.isEmpty()) {
            ui::notice(this, QStringLiteral("Printer is Error\n") + refusal);
            return false;
        }
    }
    return true;
}

void Tprintlabelsfm::printLabels() {
    const labels::LabelTemplate* t = chosenTemplate();
    if (t == nullptr || startIndex() < 0) return;
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer)) return;
    const labels::Calibration c = storedCalibration(printer.printerName());
    QString error;
    const int dpi = printing::useOwnResolution(printer);
    labels::setUpPrinter(printer, *t);
    const std::optional<surface::Bitmap> picture = build_(dpi);
    if (!picture) return;
    if (!labels::printCopies(printer, *t, c, dpi, *picture, labels::SheetRun(*t, startIndex()),
                             count(), &error)) {
        ui::notice(this, error);
        return;
    }
    accept();
}

void Tprintlabelsfm::printAlignmentPage() {
    const labels::LabelTemplate* t = chosenTemplate();
    if (t == nullptr) return;
    saveCalibration();
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer)) return;
    const int dpi = printing::useOwnResolution(printer);
    labels::setUpPrinter(printer, *t);
    QPainter painter;
    if (!painter.begin(&printer)) {
        ui::notice(this, QStringLiteral("Printer is Error"));
        return;
    }
    labels::paintAlignmentPage(painter, *t, storedCalibration(printer.printerName()), dpi);
    painter.end();
}
