#include "dialogs/pagesetting.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/inifile.h"
#include "app/keyfilter.h"
#include "app/mainform.h"
#include "app/messages.h"
#include "app/placement.h"
#include "app/settings.h"
#include "surface/convert.h"

Tpagesettingfm::Tpagesettingfm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("pagesettingfm"));
    setWindowTitle(QStringLiteral("Page Setting"));
    setFont(place::sansSerif(11));
    setFixedSize(354, 241);  // client area of the 362 x 268 dialog
    move(305, 262);

    const QFont text = place::sansSerif(11);
    struct Row {
        const char* label;
        const char* labelName;
        int lx, ly, lw;
        QLineEdit** edit;
        const char* editName;
        int ey;
        const char* unitName;
        int uy;
    };
    const Row rows[] = {
        {"Top Blank Space", "Label1", 25, 26, 88, &topedt, "topedt", 22, "Label9", 29},
        {"Down Blank Space", "Label2", 17, 58, 96, &downedt, "downedt", 54, "Label6", 61},
        {"Left Blank Space", "Label3", 26, 90, 87, &leftedt, "leftedt", 86, "Label7", 93},
        {"Right Blank Space", "Label4", 20, 122, 93, &rightedt, "rightedt", 118, "Label8", 125},
        {"Interval Space", "Label5", 40, 151, 73, &iwidthedt, "iwidthedt", 147, "Label10", 157},
    };
    for (const Row& r : rows) {
        QLabel* label = place::label(this, QLatin1String(r.labelName), r.lx, r.ly, r.lw, 13,
                                     QLatin1String(r.label), text);
        *r.edit = place::edit(this, QLatin1String(r.editName), 124, r.ey, 172, 21, {});
        place::nameAfter(*r.edit, label, QStringLiteral("mils"));
        NumberKeyFilter::install(*r.edit, true, NumberKeyFilter::Enter::MovesFocus);
        place::label(this, QLatin1String(r.unitName), 304, r.uy, 0, 13, QStringLiteral("mils"),
                     text);
    }
    BitBtn1 =
        place::button(this, QStringLiteral("BitBtn1"), 182, 200, 75, 25, QStringLiteral("Save "));
    BitBtn2 =
        place::button(this, QStringLiteral("BitBtn2"), 256, 200, 75, 25, QStringLiteral("Close"));
    connect(BitBtn1, &QPushButton::clicked, this, &Tpagesettingfm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Tpagesettingfm::BitBtn2Click);

    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, topedt);
    setTabOrder(topedt, downedt);
    setTabOrder(downedt, leftedt);
    setTabOrder(leftedt, rightedt);
    setTabOrder(rightedt, iwidthedt);
    FormCreate();
}

void Tpagesettingfm::FormCreate() {
    if (mainfm == nullptr) return;
    topedt->setText(IniFile::formatFloat(mainfm->ftop));
    downedt->setText(IniFile::formatFloat(mainfm->fdown));
    leftedt->setText(IniFile::formatFloat(mainfm->fleft));
    rightedt->setText(IniFile::formatFloat(mainfm->fright));
    iwidthedt->setText(IniFile::formatFloat(mainfm->fiwidth));
}

void Tpagesettingfm::BitBtn1Click() {
    symbols::PageValues v;
    double* targets[] = {&v.ftop, &v.fdown, &v.fleft, &v.fright, &v.fiwidth};
    QLineEdit* edits[] = {topedt, downedt, leftedt, rightedt, iwidthedt};
    try {
        for (int i = 0; i < 5; ++i)
            *targets[i] = edits[i]->text().isEmpty() ? 0.0 : surface::strToFloat(edits[i]->text());
    } catch (const surface::ConvertError& e) {
        ui::errorReport(e.message());
        return;
    }
    // The dialog stays open when the file cannot be written, and says which file; the main
    // window keeps its old values then.
    if (!settings::writePageValues(v)) {
        ui::notice(this, settings::writeFailureText());
        return;
    }
    if (mainfm != nullptr) mainfm->setPageValues(v);
    accept();
}

void Tpagesettingfm::BitBtn2Click() {
    reject();
}
