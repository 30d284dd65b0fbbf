#include "designers/C39form.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <climits>

#include "app/keyfilter.h"
#include "app/mainform.h"
#include "app/placement.h"
#include "symbols/c39build.h"

namespace {
const DesignerForm::Options kOptions{
    QStringLiteral("c39fm"), QStringLiteral("BarCode_C39"), QSize(688, 461), QSize(665, 169), false,
    QStringLiteral("Close"), symbols::Symbology::C39};
constexpr int kBuiltLabelWidth = 255;
}  // namespace

Tc39fm::Tc39fm(QWidget* parent) : DesignerForm(kOptions, parent) {
    const QFont plain = place::sansSerif(13);
    const QFont bold = place::sansSerif(13, true);
    QWidget* p = Panel2;

    Label1 = place::label(p, "Label1", 17, 9, 160, 20, "Bar  code  Height  (inches) ", plain);
    Label2 = place::label(p, "Label2", 16, 40, 155, 20, "Narrow  Bar   Width  (mils)", plain);
    Label3 = place::label(p, "Label3", 23, 72, 148, 20, "Narrow  To   Width Ratio ", plain);
    Label7 = place::label(p, "Label7", 61, 120, 110, 20, "Comment  Line:", bold);
    Label6 = place::label(p, "Label6", 21, 144, 150, 20, "Bar Code  Message :", bold);
    Label4 = place::label(p, "Label4", 68, 168, 71, 16, QString(), plain);
    Label5 = place::label(p, "Label5", 77, 188, 71, 16, QString(), plain);

    const symbols::C39Inputs defaults;
    fheightedt = place::edit(p, "fheightedt", 192, 7, 105, 21, defaults.height);
    fnarwidthedt = place::edit(p, "fnarwidthedt", 192, 39, 105, 21, defaults.narrowWidth);
    natiocbox = new QComboBox(p);
    natiocbox->setObjectName("natiocbox");
    natiocbox->addItems(
        {"2.0", "2.1", "2.2", "2.3", "2.4", "2.5", "2.6", "2.7", "2.8", "2.9", "3.0"});
    natiocbox->setCurrentText(defaults.ratio);
    natiocbox->setGeometry(192, 71, 105, natiocbox->sizeHint().height());
    heardtextedt = place::edit(p, "heardtextedt", 191, 119, 346, 21, QString());
    barcodeedt = place::edit(p, "barcodeedt", 191, 143, 346, 21, QString(), INT_MAX);
    for (QWidget* w : {static_cast<QWidget*>(fheightedt), static_cast<QWidget*>(fnarwidthedt),
                       static_cast<QWidget*>(heardtextedt), static_cast<QWidget*>(barcodeedt)})
        w->setFont(plain);

    place::nameAfter(fheightedt, Label1);
    place::nameAfter(fnarwidthedt, Label2);
    place::nameAfter(natiocbox, Label3);
    place::nameAfter(heardtextedt, Label7);
    place::nameAfter(barcodeedt, Label6);

    NumberKeyFilter::install(fheightedt, true, NumberKeyFilter::Enter::MovesFocus);
    NumberKeyFilter::install(fnarwidthedt, true, NumberKeyFilter::Enter::MovesFocus);

    setTabStops(
        {fheightedt, fnarwidthedt, natiocbox, heardtextedt, barcodeedt, Button1, Button3, Button4});
    setInputControls({{symbols::Input::Height, fheightedt},
                      {symbols::Input::Width, fnarwidthedt},
                      {symbols::Input::Ratio, natiocbox},
                      {symbols::Input::Message, barcodeedt}});
}

symbols::BuildResult Tc39fm::buildSymbol(const symbols::BuildContext& context) const {
    symbols::C39Inputs inputs;
    inputs.height = fheightedt->text();
    inputs.narrowWidth = fnarwidthedt->text();
    inputs.ratio = natiocbox->currentText();
    inputs.comment = heardtextedt->text();
    inputs.message = barcodeedt->text();
    return symbols::buildC39(inputs, context);
}

void Tc39fm::clearSizeLabels() {
    Label4->clear();
    Label5->clear();
}

void Tc39fm::Button1Click() {
    clearSavedPicture();
    clearPreview();
    // The sizes go with the picture they describe: a refused build leaves both blank.
    clearSizeLabels();

    const symbols::BuildResult result = buildSymbol(buildContext());

    if (result.stoppedAt == symbols::BuildResult::StoppedAt::Checks) {
        showRefusal(*result.refusal);
        return;
    }

    // Size both pictures, centre, label, then draw; the preview gets the picture only
    // when the drawing finished.
    const int w = result.picture.width(), h = result.picture.height();
    setImageSize(w, h);
    centreImage();
    Label4->resize(kBuiltLabelWidth, Label4->height());
    Label5->resize(kBuiltLabelWidth, Label5->height());
    Label4->setText(symbols::c39HeightLabel(h, result.dpi));
    Label5->setText(symbols::c39WidthLabel(w, result.dpi));

    setSavedPicture(result.picture);
    for (const symbols::Refusal& n : result.notices) showRefusal(n);
    if (result.refusal) {
        clearSizeLabels();
        showRefusal(*result.refusal);
        return;
    }
    showPicture(result.picture);

    enableTurnButtons();
    enablePrint();
    if (copyPreviewToClipboard()) judge(result);
}
