#include "designers/designerform.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/accessibility.h"
#include "app/globals.h"
#include "app/icons.h"
#include "app/mainform.h"
#include "app/messages.h"
#include "app/placement.h"
#include "app/settings.h"
#include "dialogs/pagesetting.h"
#include "dialogs/printlabels.h"
#include "dialogs/printunit.h"
#include "dialogs/symbolcheckdialog.h"
#include "surface/clipboard.h"
#include "surface/picturefile.h"
#include "surface/screen.h"

namespace {
// Keys of the preview's menu items (Ctrl+S saves, as everywhere).
const QKeySequence kCopyKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
const QKeySequence kPrinterResolutionKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
const QKeySequence kSymbolCheckKeys(Qt::Key_F7);
const QKeySequence kLabelsKeys(Qt::CTRL | Qt::Key_L);
}  // namespace

DesignerForm::DesignerForm(const Options& options, QWidget* parent)
    : QWidget(parent), symbology_(options.symbology) {
    setObjectName(options.objectName);
    setWindowTitle(options.caption);
    setFont(place::sansSerif(11));
    setAutoFillBackground(true);
    setFixedSize(options.clientSize);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(41);
    ToolBar1->setIconSize(QSize(32, 32));
    column->addWidget(ToolBar1);
    buildToolbar(options.colourButton);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(214);
    auto* p1 = new QVBoxLayout(Panel1);
    p1->setContentsMargins(0, 0, 0, 0);
    Panel2 = new QFrame(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p1->addWidget(Panel2);
    column->addWidget(Panel1);

    Button1 = place::button(Panel2, QStringLiteral("Button1"), 456, 184, 81, 25,
                            QStringLiteral("Build/Copy"));
    Button4 =
        place::button(Panel2, QStringLiteral("Button4"), 536, 184, 65, 25, QStringLiteral("Print"));
    Button3 =
        place::button(Panel2, QStringLiteral("Button3"), 600, 184, 65, 25, options.closeCaption);
    Button4->setEnabled(false);
    Button3->setVisible(false);
    a11y::exposeVisibleChildrenOnly(Panel2);
    connect(Button1, &QPushButton::clicked, this, &DesignerForm::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &DesignerForm::Button4Click);
    connect(Button3, &QPushButton::clicked, this, &DesignerForm::Button3Click);

    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);  // its one-pixel bevel
    auto* p3 = new QVBoxLayout(Panel3);
    p3->setContentsMargins(0, 0, 0, 0);
    p3->setSpacing(0);
    Panel4 = new QLabel(QStringLiteral("Preview"), Panel3);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFixedHeight(18);
    Panel4->setAlignment(Qt::AlignCenter);
    Panel4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p3->addWidget(Panel4);
    ScrollBox1 = new QScrollArea(Panel3);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setFocusPolicy(Qt::NoFocus);  // not a tab stop
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("ScrollBox1Content"));
    content->setBackgroundRole(QPalette::Dark);
    Image1 = new QLabel(content);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(QRect(QPoint(8, 8), options.initialImage));
    ScrollBox1->setWidget(content);
    for (QWidget* w : {static_cast<QWidget*>(Image1), content, ScrollBox1->viewport()}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { showPreviewMenu(w->mapToGlobal(at)); });
    }
    p3->addWidget(ScrollBox1, 1);
    column->addWidget(Panel3, 1);
    refreshImage();

    // The preview's menu and its items from the keyboard, wherever the focus is in the form.
    const auto shortcut = [this](const QKeySequence& keys, auto handler) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)})
        shortcut(keys, [this] { showPreviewMenu(Image1->mapToGlobal(Image1->rect().center())); });
    shortcut(kCopyKeys, [this] {
        if (finished_) copyPreviewToClipboard();
    });
    shortcut(QKeySequence::Save, &DesignerForm::savePictureAs);
    shortcut(kPrinterResolutionKeys, &DesignerForm::printAtPrinterResolution);
    shortcut(kSymbolCheckKeys, &DesignerForm::showSymbolCheck);
    shortcut(kLabelsKeys, &DesignerForm::printLabels);
    describePreview();
}

DesignerForm::~DesignerForm() = default;

void DesignerForm::buildToolbar(bool colourButton) {
    // Captions are the buttons' names and are not shown; the tooltips say what they do. The
    // buttons are reached by mouse only: the tab order is the form's inputs.
    const auto add = [this](const QString& name, const QString& caption, const QString& tip,
                            int icon, void (DesignerForm::*handler)()) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(name);
        b->setText(caption);
        b->setToolTip(tip);
        b->setAccessibleName(tip);  // the caption is the button's name, not words
        b->setFocusPolicy(Qt::NoFocus);
        b->setIcon(icons::toolbarIcon(icon));
        b->setIconSize(QSize(32, 32));
        b->setFixedSize(82, 38);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        connect(b, &QToolButton::clicked, this, handler);
        ToolBar1->addWidget(b);
        return b;
    };
    ToolButton1 = add(QStringLiteral("ToolButton1"), QStringLiteral("pagesetting"),
                      QStringLiteral("Page setting"), 2, &DesignerForm::ToolButton1Click);
    ToolButton2 = add(QStringLiteral("ToolButton2"), QStringLiteral("font"), QStringLiteral("Font"),
                      0, &DesignerForm::ToolButton2Click);
    if (colourButton) {
        ToolButton6 = add(QStringLiteral("ToolButton6"), QStringLiteral("ToolButton6"),
                          QStringLiteral("Bar colour"), 4, &DesignerForm::ToolButton6Click);
        ToolBar1->addSeparator()->setObjectName(QStringLiteral("ToolButton4"));
    }
    ToolButton3 = add(QStringLiteral("ToolButton3"), QStringLiteral("turn3"),
                      QStringLiteral("Unturned"), 1, &DesignerForm::ToolButton3Click);
    ToolButton5 =
        add(QStringLiteral("ToolButton5"), QStringLiteral("turn 1"),
            QStringLiteral("Turn 90\u00b0 clockwise"), 3, &DesignerForm::ToolButton5Click);
    if (!colourButton) ToolBar1->addSeparator()->setObjectName(QStringLiteral("ToolButton4"));
    ToolButton3->setEnabled(false);
    ToolButton5->setEnabled(false);
}

void DesignerForm::refreshImage() {
    if (preview_.isEmpty()) {
        Image1->setPixmap(QPixmap());
    } else {
        // One picture pixel on one device pixel: the picture is made at the device
        // resolution, so on a scaled screen it is shown at its own size, never stretched.
        QPixmap shown = QPixmap::fromImage(preview_.image());
        shown.setDevicePixelRatio(devicePixelRatioF());
        Image1->setPixmap(shown);
    }
    // The scrolled area covers the picture wherever it stands, and at least the view.
    QWidget* content = ScrollBox1->widget();
    const QSize view = ScrollBox1->viewport()->size();
    content->resize(std::max(view.width(), Image1->geometry().right() + 1),
                    std::max(view.height(), Image1->geometry().bottom() + 1));
}

QSize DesignerForm::shownSize(int w, int h) const {
    const qreal ratio = devicePixelRatioF();
    return QSize(static_cast<int>(std::ceil(w / ratio)), static_cast<int>(std::ceil(h / ratio)));
}

void DesignerForm::showPicture(const surface::Bitmap& picture) {
    preview_ = picture;
    Image1->resize(shownSize(picture.width(), picture.height()));
    refreshImage();
}

void DesignerForm::setImageSize(int w, int h) {
    preview_.setBrushColor(Qt::white);
    preview_.setSize(w, h);
    Image1->resize(shownSize(w, h));
    refreshImage();
}

void DesignerForm::clearPreview() {
    // The preview bitmap is always Image1's picture, in device pixels.
    preview_.setBrushColor(Qt::white);
    preview_.fillRect(0, 0, preview_.width(), preview_.height());
    refreshImage();
}

void DesignerForm::clearSavedPicture() {
    turned_ = false;
    finished_ = false;
    findings_.clear();
    remedy_.reset();
    Image1->setToolTip({});
    describePreview();
    if (mainfm != nullptr) mainfm->showCheckSummary({}, {});
    saved_.setBrushColor(Qt::white);
    saved_.fillRect(0, 0, saved_.width(), saved_.height());
}

void DesignerForm::centreImage() {
    const int sw = ScrollBox1->width(), sh = ScrollBox1->height();
    const int iw = Image1->width(), ih = Image1->height();
    Image1->move(sw >= iw ? (sw - iw) / 2 : 0, sh >= ih ? (sh - ih) / 2 : 0);
    refreshImage();
}

bool DesignerForm::copyPreviewToClipboard() {
    if (surface::placeOnClipboard(preview_)) return true;
    notice(QStringLiteral("Fail to copy"));
    return false;
}

void DesignerForm::setTabStops(const QList<QWidget*>& order) {
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    firstTabStop_ = order.isEmpty() ? nullptr : order.first();
}

void DesignerForm::focusFirstControl() {
    if (firstTabStop_ != nullptr) firstTabStop_->setFocus();
}

void DesignerForm::enableTurnButtons() {
    ToolButton3->setEnabled(true);
    ToolButton5->setEnabled(true);
}

void DesignerForm::enablePrint() {
    Button4->setEnabled(true);
}

void DesignerForm::notice(const QString& text) {
    ui::notice(this, text);
}
void DesignerForm::applicationNotice(const QString& text) {
    ui::notice(nullptr, text);
}

void DesignerForm::showRefusal(const symbols::Refusal& refusal) {
    if (refusal.kind == symbols::Refusal::Kind::ConversionError)
        ui::errorReport(refusal.text);
    else if (refusal.owner == symbols::Refusal::Owner::Application)
        applicationNotice(refusal.text);
    else
        notice(refusal.text);
    focusInput(refusal.input);
}

void DesignerForm::focusInput(symbols::Input input) {
    for (const auto& [meaning, control] : inputControls_)
        if (meaning == input) control->setFocus();
}

symbols::BuildContext DesignerForm::buildContext(int dpi) const {
    if (dpi <= 0) dpi = surface::screenDpi();
    if (mainfm == nullptr) return symbols::BuildContext::at(dpi, {}, {}, Qt::black);
    return symbols::BuildContext::at(dpi, mainfm->pageValues(), mainfm->sharedFont(),
                                     mainfm->sharedColor());
}

QColor DesignerForm::printColour() const {
    return ToolButton6 != nullptr && mainfm != nullptr ? mainfm->sharedColor() : QColor(Qt::black);
}

std::function<void(QMenu&)>& DesignerForm::previewMenuHook() {
    static std::function<void(QMenu&)> hook;
    return hook;
}

std::function<QString(const QString&)>& DesignerForm::saveDialogHook() {
    static std::function<QString(const QString&)> hook;
    return hook;
}

std::function<void(QDialog&)>& DesignerForm::labelsDialogHook() {
    static std::function<void(QDialog&)> hook;
    return hook;
}

void DesignerForm::printLabels() {
    if (!finished_) return;
    Tprintlabelsfm dialog(
        [this](int printerDpi) -> std::optional<surface::Bitmap> {
            const symbols::BuildResult r = buildSymbol(buildContext(printerDpi));
            if (!r.built()) {
                if (r.refusal) showRefusal(*r.refusal);
                return std::nullopt;
            }
            return turned_ ? surface::turnedClockwise(r.picture) : r.picture;
        },
        this);
    if (labelsDialogHook())
        labelsDialogHook()(dialog);
    else
        dialog.exec();
}

std::function<void(QDialog&)>& DesignerForm::reportDialogHook() {
    static std::function<void(QDialog&)> hook;
    return hook;
}

void DesignerForm::judge(const symbols::BuildResult& built) {
    finished_ = true;
    data_ = built.geometry.data;
    addOn_ = built.geometry.addOn;
    const check::CheckInput in = check::checkInputOf(symbology_, built);
    findings_ = check::checkSymbol(in);
    const symbols::BuildContext context = buildContext();
    remedy_ = check::remedyFor(in, context.page, [this, context](const symbols::PageValues& page) {
        symbols::BuildContext again = context;
        again.page = page;
        return buildSymbol(again);
    });
    if (remedy_) findings_.push_back(check::remedyFinding(*remedy_));
    const QString tip = check::tooltip(findings_);
    Image1->setToolTip(tip);
    describePreview();
    if (mainfm != nullptr) mainfm->showCheckSummary(check::summary(findings_), tip);
}

QString DesignerForm::scannedText() const {
    return finished_ ? files::pictureTitle(check::nameOf(symbology_), data_, addOn_) : QString();
}

QString DesignerForm::proposedFileName() const {
    // What a scanner reads, as a file name: characters a file name cannot hold (a Code 39
    // "/") or that hide it (a leading ".") become "_".
    QString name = data_;
    if (!addOn_.isEmpty()) name += QLatin1Char('-') + addOn_;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name = name.trimmed();
    if (name.startsWith(QLatin1Char('.'))) name[0] = QLatin1Char('_');
    return finished_ && !name.isEmpty() ? name + QStringLiteral(".png")
                                        : QStringLiteral("barcode.png");
}

void DesignerForm::describePreview() {
    // What the preview shows, in words: the symbol and how it reads back.
    if (!finished_) {
        Image1->setAccessibleName(QStringLiteral("Preview, no symbol built"));
        Image1->setAccessibleDescription(
            QStringLiteral("Press Build/Copy to draw the symbol here and copy it."));
        return;
    }
    const QString summary = check::summary(findings_);
    Image1->setAccessibleName(summary.isEmpty() ? scannedText()
                                                : scannedText() + QStringLiteral(", ") + summary);
    QString description =
        QStringLiteral("%1, %2 by %3 pixels%4")
            .arg(Image1->accessibleName())
            .arg(preview_.width())
            .arg(preview_.height())
            .arg(turned_ ? QStringLiteral(", turned 90 degrees clockwise") : QString());
    Image1->setAccessibleDescription(description);
}

void DesignerForm::showSymbolCheck() {
    if (findings_.empty()) return;
    SymbolCheckDialog dialog(symbology_, findings_, this);
    if (remedy_)
        dialog.offerRemedy([this, &dialog] {
            dialog.accept();
            applyNeededPageValues();
        });
    if (reportDialogHook())
        reportDialogHook()(dialog);
    else
        dialog.exec();
}

void DesignerForm::applyNeededPageValues() {
    if (!remedy_) return;
    const symbols::PageValues page = remedy_->page;
    if (!settings::writePageValues(page)) {
        notice(settings::writeFailureText());
        return;
    }
    if (mainfm != nullptr) mainfm->setPageValues(page);
    Button1Click();
}

std::function<void(Tpringfm&)>& DesignerForm::printDialogHook() {
    static std::function<void(Tpringfm&)> hook;
    return hook;
}

void DesignerForm::Button4Click() {
    Tpringfm dialog(this);
    dialog.PrintColor = printColour();
    // A copy of the preview as it stands: a turned preview prints turned.
    surface::Bitmap copy;
    copy.setDpi(preview_.dpi());
    copy.setSize(preview_.width(), preview_.height());
    copy.copyRect(QRect(0, 0, copy.width(), copy.height()), preview_,
                  QRect(0, 0, preview_.width(), preview_.height()));
    globals::setPrintBitmap(copy);
    runPrintDialog(dialog);
}

void DesignerForm::runPrintDialog(Tpringfm& dialog) {
    if (printDialogHook())
        printDialogHook()(dialog);
    else
        dialog.exec();
}

void DesignerForm::printAtPrinterResolution() {
    if (!finished_) return;
    Tpringfm dialog(this);
    // It prints another size than Print's dialog: its caption says so.
    dialog.setWindowTitle(QStringLiteral("Print Option (at the printer's resolution)"));
    dialog.PrintColor = printColour();
    dialog.buildAtPrinterResolution = [this](int printerDpi) -> std::optional<surface::Bitmap> {
        const symbols::BuildResult r = buildSymbol(buildContext(printerDpi));
        if (!r.built()) {
            if (r.refusal) showRefusal(*r.refusal);
            return std::nullopt;
        }
        return turned_ ? surface::turnedClockwise(r.picture) : r.picture;
    };
    runPrintDialog(dialog);
}

void DesignerForm::savePictureAs() {
    if (!finished_) return;
    QString folder = settings::readSaveFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    const QString file = saveDialogHook() ? saveDialogHook()(folder) : askSaveFile(folder);
    if (file.isEmpty()) return;
    // The same writer as marlisk-cli's: the file is whole or not there, and a read-only
    // file or anything but a plain file is left alone.
    const QString error =
        files::writePicture(saved_, turned_, QFile::encodeName(file), false, scannedText());
    if (!error.isEmpty()) {
        notice(error);
        return;
    }
    // Remembering the folder is a convenience; a settings file that cannot be written
    // does not make the saved picture any less saved.
    settings::writeSaveFolder(QFileInfo(file).absolutePath());
}

QString DesignerForm::askSaveFile(const QString& folder) {
    struct Kind {
        QString filter, suffix;
    };
    const QList<Kind> kinds = {{QStringLiteral("PNG picture (*.png)"), QStringLiteral("png")},
                               {QStringLiteral("BMP picture (*.bmp)"), QStringLiteral("bmp")},
                               {QStringLiteral("SVG drawing (*.svg)"), QStringLiteral("svg")},
                               {QStringLiteral("PDF document (*.pdf)"), QStringLiteral("pdf")}};
    QFileDialog dialog(this, QStringLiteral("Save picture as"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const Kind& k : kinds) filters << k.filter;
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(kinds.front().suffix);
    dialog.selectFile(proposedFileName());
    // A name typed without an extension takes the kind chosen in the list.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &kinds](const QString& f) {
        for (const Kind& k : kinds)
            if (k.filter == f) dialog.setDefaultSuffix(k.suffix);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void DesignerForm::showPreviewMenu(const QPoint& globalPos) {
    // Before the first symbol, or after a build that was refused, nothing applies.
    if (!finished_) return;
    // The items show the keys of the form's shortcuts; while the menu is open, the keys go
    // to its items.
    QMenu menu(this);
    menu.addAction(QStringLiteral("Copy"), this, [this] { copyPreviewToClipboard(); })
        ->setShortcut(kCopyKeys);
    menu.addAction(QStringLiteral("Save picture as\u2026"), this, &DesignerForm::savePictureAs)
        ->setShortcut(QKeySequence::Save);
    menu.addAction(QStringLiteral("Print at printer resolution\u2026"), this,
                   &DesignerForm::printAtPrinterResolution)
        ->setShortcut(kPrinterResolutionKeys);
    menu.addAction(QStringLiteral("Print labels\u2026"), this, &DesignerForm::printLabels)
        ->setShortcut(kLabelsKeys);
    if (!findings_.empty())
        menu.addAction(QStringLiteral("Symbol check\u2026"), this, &DesignerForm::showSymbolCheck)
            ->setShortcut(kSymbolCheckKeys);
    if (previewMenuHook())
        previewMenuHook()(menu);
    else
        menu.exec(globalPos);
}

void DesignerForm::Button3Click() {
    close();
}

void DesignerForm::ToolButton1Click() {
    Tpagesettingfm dialog(this);
    dialog.exec();
}

void DesignerForm::ToolButton2Click() {
    if (mainfm != nullptr) mainfm->runFontDialog(this);
}

void DesignerForm::ToolButton6Click() {
    if (mainfm != nullptr) mainfm->runColorDialog(this);
}

void DesignerForm::ToolButton5Click() {
    // Always from the picture as built, so pressing it again gives the same picture. With
    // nothing built yet there is nothing to turn.
    if (saved_.isEmpty()) return;
    showPicture(surface::turnedClockwise(saved_));  // Image1 keeps its left and top
    turned_ = true;
    describePreview();
}

void DesignerForm::ToolButton3Click() {
    if (saved_.isEmpty()) return;
    showPicture(saved_);
    turned_ = false;
    centreImage();
    describePreview();
}
