#include "app/mainform.h"

#include <QAccessible>
#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/globals.h"
#include "app/messages.h"
#include "app/settings.h"
#include "designers/designerform.h"
#include "designers/designers.h"
#include "dialogs/aboutfm.h"
#include "dialogs/pagesetting.h"
#include "symbols/symbologies.h"

Tmainfm* mainfm = nullptr;

namespace {
const QString kCaption = QStringLiteral("Marlisk Barcode Generator");
}

Tmainfm::Tmainfm(QWidget* parent) : QMainWindow(parent) {
    mainfm = this;
    setObjectName(QStringLiteral("mainfm"));
    setWindowTitle(kCaption);
    buildMenus();
    buildPanels();
    // The window is designed 697 x 538 with its frame at (207, 131): what counts inside is
    // the host panel of 687 x 461, so the window is as large as the panel, the menu, the
    // strip and the status bar need, whatever the frame and the fonts take.
    move(207, 131);
    resize(minimumSizeHint());
    FormCreate();
}

Tmainfm::~Tmainfm() {
    delete form_.data();
    if (mainfm == this) mainfm = nullptr;
}

void Tmainfm::buildMenus() {
    // Captions carry their mnemonics ('&' before the letter, underlined, not shown as text),
    // each letter unique within its menu; Alt+letter opens a menu, F10 the first one.
    const auto item = [this](QMenu* menu, const QString& name, const QString& caption,
                             void (Tmainfm::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("Se&ttings"));
    file->setObjectName(QStringLiteral("File1"));
    item(file, QStringLiteral("Save1"), QStringLiteral("&Printer setting"), &Tmainfm::Save1Click);
    item(file, QStringLiteral("PageSetting1"), QStringLiteral("P&age setting"),
         &Tmainfm::PageSetting1Click);
    item(file, QStringLiteral("Fontsetting1"), QStringLiteral("&Font setting"),
         &Tmainfm::Fontsetting1Click);
    item(file, QStringLiteral("Colorsetting1"), QStringLiteral("&Color setting"),
         &Tmainfm::Colorsetting1Click);

    QMenu* sym = menuBar()->addMenu(QStringLiteral("&Symbology"));
    sym->setObjectName(QStringLiteral("Symbology1"));
    for (const symbols::SymbologyRow& row : symbols::symbologies()) {
        const QString stored = symbols::toQString(row.storedName);
        QAction* a = sym->addAction(symbols::toQString(row.menuCaption));
        a->setObjectName(symbols::toQString(row.menuItem));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, stored] { changeform(stored); });
    }

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    item(help, QStringLiteral("About1"), QStringLiteral("&About"), &Tmainfm::About1Click);
    item(help, QStringLiteral("Help2"), QStringLiteral("&Help"), &Tmainfm::Help2Click);

    QAction* exit = menuBar()->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("Exit2"));
    connect(exit, &QAction::triggered, this, &Tmainfm::Exit2Click);

    // F10 opens the first menu, as on other desktops; Alt alone puts the focus on the bar.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] {
        const QList<QAction*> menus = menuBar()->actions();
        if (!menus.isEmpty()) menuBar()->setActiveAction(menus.first());
    });
}

void Tmainfm::buildPanels() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // A thin decorative strip under the menu.
    auto* panel1 = new QFrame(central);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFixedHeight(10);
    auto* panel2 = new QFrame(panel1);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel2->setGeometry(0, 0, 4000, 7);
    column->addWidget(panel1);

    auto* panel3 = new QFrame(central);
    panel3->setObjectName(QStringLiteral("Panel3"));
    panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);  // its one-pixel bevel
    auto* inner = new QVBoxLayout(panel3);
    inner->setContentsMargins(0, 0, 0, 0);
    Panel4 = new QFrame(panel3);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel4->setLineWidth(1);
    Panel4->setMinimumSize(687, 461);
    inner->addWidget(Panel4);
    column->addWidget(panel3, 1);
    setCentralWidget(central);

    const int widths[3] = {100, 150, 50};
    for (int i = 0; i < 3; ++i) {
        status_[i] = new QLabel(this);
        status_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        status_[i]->setFixedWidth(widths[i]);
        // The window's font, whatever a panel shows: a longer text is shortened, not set
        // smaller.
        status_[i]->setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
        statusBar()->addWidget(status_[i]);
    }
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));

    // While no symbology is chosen (the first start), the empty host panel says what to do.
    hint_ = new QLabel(QStringLiteral("Choose a symbology from the Symbology menu"), Panel4);
    hint_->setObjectName(QStringLiteral("hostHint"));
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setForegroundRole(QPalette::PlaceholderText);
    hint_->setGeometry(1, 1, 685, 459);
}

void Tmainfm::showCheckSummary(const QString& summary, const QString& findings) {
    // The panel keeps its width and its font: a summary too long for it is shortened, and
    // its tooltip has it whole (with the findings).
    QLabel* panel = status_[0];
    const QString shown =
        panel->fontMetrics().elidedText(summary, Qt::ElideRight, panel->contentsRect().width());
    const bool changed = panel->accessibleName() != summary;
    panel->setText(shown);
    panel->setToolTip(findings);  // begins with the summary
    // A screen reader hears the summary whole, and hears it when it changes.
    panel->setAccessibleName(summary);
    if (changed) {
        QAccessibleEvent event(panel, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void Tmainfm::FormCreate() {
    setPageValues(settings::readPageValues());
    // Said once, when the window is up: a settings file too large to read leaves the page
    // values at 0, which would otherwise change every picture without a word.
    if (const QString notice = settings::oversizeNotice(); !notice.isEmpty())
        QTimer::singleShot(0, this, [this, notice] { ui::notice(this, notice); });
    form_ = BarFormCreat();
}

symbols::PageValues Tmainfm::pageValues() const {
    return {ftop, fdown, fleft, fright, fiwidth};
}

void Tmainfm::setPageValues(const symbols::PageValues& v) {
    ftop = v.ftop;
    fdown = v.fdown;
    fleft = v.fleft;
    fright = v.fright;
    fiwidth = v.fiwidth;
}

QAction* Tmainfm::menuItem(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

QWidget* Tmainfm::BarFormCreat() {
    QWidget* form = hostForm(settings::readSymbology());
    hint_->setVisible(form == nullptr && checked_ == nullptr);
    return form;
}

QWidget* Tmainfm::hostForm(const QString& name) {
    const symbols::SymbologyRow* row = symbols::symbologyStored(name);  // exact, case-sensitive
    if (row == nullptr) return nullptr;
    QAction* item = menuItem(symbols::toQString(row->menuItem));
    item->setChecked(true);
    checked_ = item;
    status_[1]->setText(name);
    DesignerForm* form = createDesigner(row->id, Panel4);
    form->move(1, 1);
    form->show();
    form->focusFirstControl();
    return form;
}

void Tmainfm::changeform(const QString& name) {
    const bool stored = settings::writeSymbology(name);
    delete form_.data();
    form_ = nullptr;
    if (checked_ != nullptr) checked_->setChecked(false);
    checked_ = nullptr;
    // The click itself toggled the chosen item; only a hosted symbology carries the mark.
    for (const symbols::SymbologyRow& row : symbols::symbologies())
        menuItem(symbols::toQString(row.menuItem))->setChecked(false);
    status_[1]->clear();
    showCheckSummary({}, {});  // about a symbol of the form just closed
    // The form comes from what the file holds now. When the choice could not be stored, the
    // file still names the old choice (or none): the user gets the form asked for all the
    // same, and is told that it will not be remembered.
    form_ = stored ? BarFormCreat() : hostForm(name);
    hint_->setVisible(form_ == nullptr && checked_ == nullptr);
    if (!stored) ui::notice(this, settings::writeFailureText());
}

void Tmainfm::paintEvent(QPaintEvent* e) {
    QMainWindow::paintEvent(e);
    const QString painted = kCaption + QLatin1Char(' ');
    if (windowTitle() != painted) setWindowTitle(painted);
}

void Tmainfm::Save1Click() {
    // The printer set-up asks the print system without a time limit: one that does not
    // answer is reported instead.
    if (const printing::SystemCheck system = globals::checkPrintSystem();
        system.state == printing::SystemState::Silent) {
        ui::notice(this, QStringLiteral("No find Printer!\n") + system.problem());
        return;
    }
    QPrintDialog dialog(&globals::currentPrinter(), this);
    if (!globals::currentPrinter().isValid()) {
        ui::notice(this, QStringLiteral("No find Printer!"));
        return;
    }
    dialog.exec();
}

void Tmainfm::PageSetting1Click() {
    Tpagesettingfm dialog(this);
    dialog.exec();
}

bool Tmainfm::runFontDialog(QWidget* owner) {
    bool ok = false;
    const QFont shown = font_.toPointFont();
    const QFont chosen = QFontDialog::getFont(&ok, shown, owner ? owner : this);
    if (!ok) return false;
    // OK without a change keeps the font as it was, by its own name: the face shown is the
    // one drawn already.
    const surface::Font picked = surface::Font::fromQFont(chosen, font_.color);
    if (picked != surface::Font::fromQFont(shown, font_.color)) font_ = picked;
    return true;
}

bool Tmainfm::runColorDialog(QWidget* owner) {
    const QColor chosen = QColorDialog::getColor(colour_, owner ? owner : this);
    if (!chosen.isValid()) return false;
    colour_ = chosen;
    return true;
}

void Tmainfm::Fontsetting1Click() {
    runFontDialog();
}
void Tmainfm::Colorsetting1Click() {
    runColorDialog();
}
void Tmainfm::About1Click() {
    Taboutform box(this);
    box.exec();
}

QString Tmainfm::installedManual() {
    // Installed: <prefix>/bin/marlisk and <prefix>/share/doc/marlisk/marlisk.html. In the
    // build folder the manual lies beside the program.
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {bin.filePath(QStringLiteral("../share/doc/marlisk/marlisk.html")),
          bin.filePath(QStringLiteral("marlisk.html"))}) {
        const QFileInfo manual(candidate);
        if (manual.isFile()) return manual.canonicalFilePath();
    }
    return {};
}

void Tmainfm::Help2Click() {
    // "Help.chm" in the current folder comes first. Open the very file that was found: on
    // a case-sensitive file system "help.chm" is another file (or none).
    const QFileInfo help(QStringLiteral("Help.chm"));
    const QString file = help.exists() ? help.absoluteFilePath() : installedManual();
    if (file.isEmpty()) {
        ui::notice(this, QStringLiteral("The manual is not installed. \"man marlisk\" shows the "
                                        "manual page."));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        ui::notice(this,
                   QStringLiteral("No program was found to open the manual. It is the file\n%1")
                       .arg(QDir::toNativeSeparators(file)));
}

void Tmainfm::Exit2Click() {
    QApplication::quit();
}
