#include "dialogs/printunit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>

#include "app/globals.h"
#include "app/keyfilter.h"
#include "app/messages.h"
#include "app/placement.h"
#include "surface/convert.h"
#include "surface/printing.h"
#include "surface/screen.h"

Tpringfm::Tpringfm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("pringfm"));
    setWindowTitle(QStringLiteral("Print Option"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(place::sansSerif(11));
    setFixedSize(251, 146);  // client area of the 259 x 173 dialog
    move(350, 248);

    const QFont text = place::sansSerif(11);
    QLabel* xLabel =
        place::label(this, QStringLiteral("Label1"), 24, 32, 0, 13, QStringLiteral("X："), text);
    xedt = place::edit(this, QStringLiteral("xedt"), 64, 24, 89, 21, {});
    place::label(this, QStringLiteral("Label2"), 168, 24, 0, 13, QStringLiteral("Miles"), text);
    QLabel* yLabel =
        place::label(this, QStringLiteral("Label3"), 24, 64, 0, 13, QStringLiteral("Y："), text);
    yedt = place::edit(this, QStringLiteral("yedt"), 64, 64, 89, 21, {});
    place::label(this, QStringLiteral("Label4"), 168, 64, 0, 13, QStringLiteral("Miles"), text);
    Button1 =
        place::button(this, QStringLiteral("Button1"), 128, 112, 57, 25, QStringLiteral("Print"));
    Button2 =
        place::button(this, QStringLiteral("Button2"), 184, 112, 57, 25, QStringLiteral("Close"));
    // "X：" and "Y：" alone say little to a listener: the edits say what they hold.
    xLabel->setBuddy(xedt);
    yLabel->setBuddy(yedt);
    xedt->setAccessibleName(QStringLiteral("X offset (mils)"));
    yedt->setAccessibleName(QStringLiteral("Y offset (mils)"));
    NumberKeyFilter::install(xedt, true, NumberKeyFilter::Enter::MovesFocus);
    NumberKeyFilter::install(yedt, true, NumberKeyFilter::Enter::MovesFocus);
    connect(Button1, &QPushButton::clicked, this, &Tpringfm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tpringfm::Button2Click);

    setTabOrder(xedt, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, yedt);
}

void Tpringfm::Button1Click() {
    double x = 0, y = 0;
    const bool xOk = xedt->text().isEmpty() || surface::tryStrToFloat(xedt->text(), x);
    const bool yOk = yedt->text().isEmpty() || surface::tryStrToFloat(yedt->text(), y);
    if (!xOk || !yOk) x = y = 0;  // an offset that does not read puts the picture at the corner
    // Qt would wait on a print system that does not answer for minutes, and one that
    // cannot be reached leaves it no printer with a resolution.
    if (const printing::SystemCheck system = globals::checkPrintSystem();
        system.state != printing::SystemState::Answers) {
        ui::notice(this, system.state == printing::SystemState::Silent
                             ? QStringLiteral("Printer is Error\n") + system.problem()
                             : QStringLiteral("Printer is Error"));
        return;
    }
    QPrinter& printer = globals::currentPrinter();
    QString failure;
    if (buildAtPrinterResolution) {
        const std::optional<surface::Bitmap> picture =
            buildAtPrinterResolution(printing::useOwnResolution(printer));
        if (!picture) return;
        failure = printing::printPicture(printer, *picture, x, y, picture->dpi(), PrintColor);
    } else {
        failure = printing::printPicture(printer, globals::printBitmap(), x, y,
                                         surface::screenDpi(), PrintColor);
    }
    if (!failure.isEmpty()) ui::notice(this, failure);
}

void Tpringfm::Button2Click() {
    reject();
}
