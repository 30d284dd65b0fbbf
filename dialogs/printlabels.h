#pragma once
// "Print labels…": the symbol of the last Build/Copy in the labels of a sheet. The user
// finds a template, says how many labels and which is the first free one, sees on a
// picture of the sheet which labels will be printed, keeps a calibration for each printer
// (with an alignment page to measure it by), then chooses the printer in the system's
// print dialog. Each label gets the symbol built anew at the printer's resolution.

#include <QDialog>
#include <functional>
#include <optional>

#include "surface/bitmap.h"
#include "surface/labelsheet.h"
#include "surface/labeltemplate.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPrintDialog;
class QPushButton;
class QSpinBox;

class SheetPreview;

class Tprintlabelsfm : public QDialog {
    Q_OBJECT
  public:
    // `build` makes the symbol at a resolution (dots an inch); empty after it has told the
    // user why it could not.
    using Build = std::function<std::optional<surface::Bitmap>(int dpi)>;
    Tprintlabelsfm(Build build, QWidget* parent);
    ~Tprintlabelsfm() override;

    // Tests answer the system's print dialog instead of running it: true to print.
    static std::function<bool(QPrintDialog&)>& printDialogHook();

    // The controls, for tests.
    QLineEdit* searchEdit;
    QListWidget* templateList;
    QSpinBox* copiesEdit;
    QCheckBox* fillCheck;
    QSpinBox* rowEdit;
    QSpinBox* columnEdit;
    QComboBox* printerBox;
    QDoubleSpinBox* dxEdit;
    QDoubleSpinBox* dyEdit;
    QDoubleSpinBox* sxEdit;
    QDoubleSpinBox* syEdit;
    QPushButton* alignmentButton;
    QPushButton* printButton;
    QLabel* summary;

    const labels::LabelTemplate* chosenTemplate() const;

  public slots:
    void printLabels();
    void printAlignmentPage();

  private:
    void filterTemplates();
    void updateSheet();
    void loadCalibration();
    void saveCalibration();
    labels::Calibration calibration() const;
    qint64 count() const;
    int startIndex() const;
    // Runs the system's print dialog on the chosen printer; false when cancelled.
    bool choosePrinter(QPrinter& printer);

    Build build_;
    labels::TemplateSet templates_;
    SheetPreview* preview_;
};
