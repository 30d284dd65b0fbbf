#pragma once
// What every designer form shares: the toolbar, the input panel with its Build/Copy, Print
// and hidden Close buttons, the preview in its scroll box, the kept unrotated picture, and
// the handlers that turn, print, and open the page-setting, font and colour dialogs.
//
// A form derives from this, places its own inputs on Panel2, sets its tab order and
// implements Button1Click (Build/Copy) with the build path of its symbology.

#include <QList>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "check/remedy.h"
#include "check/symbolcheck.h"
#include "surface/bitmap.h"
#include "symbols/buildresult.h"
#include "symbols/symbologies.h"

class QDialog;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolBar;
class QToolButton;
class Tpringfm;

class DesignerForm : public QWidget {
    Q_OBJECT
  public:
    struct Options {
        QString objectName;    // "c39fm", "ena13fm", ...
        QString caption;       // form caption (not shown: the form has no title bar)
        QSize clientSize;      // 688 x 461, ...
        QSize initialImage;    // Image1's size before the first build
        bool colourButton;     // ToolButton6 and the shared colour for printing
        QString closeCaption;  // caption of the hidden Button3
        symbols::Symbology symbology;
    };
    DesignerForm(const Options& options, QWidget* parent);
    ~DesignerForm() override;

    // Toolbar (images from the icon list; captions are not shown).
    QToolBar* ToolBar1;
    QToolButton* ToolButton1;            // "pagesetting"
    QToolButton* ToolButton2;            // "font"
    QToolButton* ToolButton6 = nullptr;  // colour, EAN/UPC forms only
    QToolButton* ToolButton3;            // "turn3"
    QToolButton* ToolButton5;            // "turn 1"
    // Input panel; forms place their controls on Panel2.
    QFrame* Panel1;
    QFrame* Panel2;
    QPushButton* Button1;  // "Build/Copy"
    QPushButton* Button4;  // "Print"
    QPushButton* Button3;  // hidden "Close"
    // Preview.
    QFrame* Panel3;
    QLabel* Panel4;  // "Preview"
    QScrollArea* ScrollBox1;
    QLabel* Image1;

    // The picture the preview shows, and the symbol as last built, unrotated.
    const surface::Bitmap& preview() const { return preview_; }
    const surface::Bitmap& SavedPicture() const { return saved_; }

    // Puts the focus into the first control of the tab order (when the form is hosted).
    void focusFirstControl();

    // What the check found in the symbol as last built; empty before a build.
    const std::vector<check::Finding>& findings() const { return findings_; }

    // The name the save dialog proposes: the data a scanner reads ("5901234123457.png").
    QString proposedFileName() const;

    // The colour handed to the print-option dialog.
    QColor printColour() const;

    // Tests may look at the print-option dialog instead of running it modally.
    static std::function<void(Tpringfm&)>& printDialogHook();
    // Tests may look at the preview's context menu instead of running it.
    static std::function<void(QMenu&)>& previewMenuHook();
    // Tests may answer the save dialog instead of running it: given the folder it would
    // open in, the file chosen (empty: cancelled).
    static std::function<QString(const QString& folder)>& saveDialogHook();
    // Tests may look at the symbol check's report instead of running it modally.
    static std::function<void(QDialog&)>& reportDialogHook();
    // Tests may drive the label dialog instead of running it modally.
    static std::function<void(QDialog&)>& labelsDialogHook();

  public slots:
    virtual void Button1Click() = 0;
    void Button4Click();      // Print
    void Button3Click();      // Close
    void ToolButton1Click();  // page setting
    void ToolButton2Click();  // font
    void ToolButton6Click();  // colour
    void ToolButton5Click();  // turn 1
    void ToolButton3Click();  // turn3
    // Print Option whose Print builds the symbol anew at the printer's resolution, turned
    // as the preview is, and prints it dot for dot.
    void printAtPrinterResolution();
    // Saves the picture as the preview shows it (turned or not) as PNG, BMP, SVG or PDF, in
    // a file the user chooses, starting in the folder last used (Ctrl+S).
    void savePictureAs();
    // The full report of the symbol check of the last build.
    void showSymbolCheck();
    // Sets the page values the check found this symbol needs, saves them as the page-setting
    // dialog's Save does, and builds again.
    void applyNeededPageValues();
    // The symbol in the labels of a sheet, each built anew at the printer's resolution
    // (Ctrl+L).
    void printLabels();

  protected:
    // The form's own inputs built in `context` through its symbology's build path.
    virtual symbols::BuildResult buildSymbol(const symbols::BuildContext& context) const = 0;

    // Shows `picture` in the preview: Image1 and the preview bitmap take its size (Image1
    // in screen units: the picture's pixels are device pixels).
    void showPicture(const surface::Bitmap& picture);
    // Resizes Image1 and the preview bitmap (kept pixels stay, new area white).
    void setImageSize(int w, int h);
    // Paints the preview white over Image1's current size.
    void clearPreview();
    void setSavedPicture(const surface::Bitmap& picture) {
        saved_ = picture;
        turned_ = false;
    }
    void clearSavedPicture();
    // Judges the finished build as a barcode verifier would and tells the user: the summary
    // in the main window's first status panel, the findings in the preview's tooltip.
    void judge(const symbols::BuildResult& built);
    // Centres Image1 in ScrollBox1 (left/top 0 where the picture is larger).
    void centreImage();
    // Puts the preview on the clipboard; on a refusal shows "Fail to copy" and says false.
    bool copyPreviewToClipboard();
    // The form's tab order, first control first.
    void setTabStops(const QList<QWidget*>& order);
    void enableTurnButtons();
    void enablePrint();

    // What every build of this form takes besides its own inputs: the main window's page
    // values, font and bar colour, at `dpi` (0: the screen's device resolution), resolved
    // as marlisk-cli resolves its --dpi.
    symbols::BuildContext buildContext(int dpi = 0) const;

    // Messages: a "Notice" owned by this form, one owned by the application, and the
    // refusal of a build in the way its kind and owner ask for, with the focus put into
    // the control of the input it names.
    void notice(const QString& text);
    void applicationNotice(const QString& text);
    void showRefusal(const symbols::Refusal& refusal);
    // Puts the focus into the control of that input, if the form has one.
    void focusInput(symbols::Input input);
    // Which control holds which input; each form gives its own.
    void setInputControls(std::vector<std::pair<symbols::Input, QWidget*>> controls) {
        inputControls_ = std::move(controls);
    }

  private:
    // "EAN-13 5901234123457" (with " add-on 12") of the symbol as last built; empty
    // before a finished build.
    QString scannedText() const;
    // The preview's accessible name and description: what it shows.
    void describePreview();
    QSize shownSize(int w, int h) const;
    void buildToolbar(bool colourButton);
    // The preview's context menu: what applies once a symbol is built.
    void showPreviewMenu(const QPoint& globalPos);
    void runPrintDialog(Tpringfm& dialog);
    QString askSaveFile(const QString& folder);
    void refreshImage();

    surface::Bitmap preview_;
    surface::Bitmap saved_;
    bool turned_ = false;  // the preview shows the kept picture turned clockwise
    symbols::Symbology symbology_;
    // The last Build/Copy finished a symbol and put it on the clipboard: what the preview
    // shows can be saved, copied again and checked.
    bool finished_ = false;
    std::vector<check::Finding> findings_;
    std::optional<check::Remedy> remedy_;  // page values for full quiet zones and whole text
    QString data_, addOn_;                 // what the symbol as last built holds
    std::vector<std::pair<symbols::Input, QWidget*>> inputControls_;
    QWidget* firstTabStop_ = nullptr;
};
