#include "designers/barfamilyform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/keyfilter.h"
#include "app/mainform.h"
#include "app/placement.h"

BarFamilyForm::BarFamilyForm(const Data& data, QWidget* parent)
    : DesignerForm(data.options, parent), build_(data.build) {
    const QFont plain = place::sansSerif(13);
    const QFont bold = place::sansSerif(13, true);
    const Layout& at = data.layout;
    QWidget* p = Panel2;

    // Sizes and captions are the same on all three forms; positions are each form's own.
    Label1 = place::label(p, "Label1", at.Label1.x, at.Label1.y, 165, 20,
                          "Bar  code  Height  (inches) ", plain);
    Label2 = place::label(p, "Label2", at.Label2.x, at.Label2.y, 155, 20, "Single Bar Width (mils)",
                          plain);
    Label7 = place::label(p, "Label7", at.Label7.x, at.Label7.y, 110, 20, "Comment  Line:", bold);
    Label6 =
        place::label(p, "Label6", at.Label6.x, at.Label6.y, 150, 20, "Bar Code  Message :", bold);
    Label3 = place::label(p, "Label3", at.Label3.x, at.Label3.y, 157, 25,
                          QString::fromLatin1(data.supplementalLabel), bold);

    const symbols::BarFamilyInputs defaults;
    fheightedt =
        place::edit(p, "fheightedt", at.fheightedt.x, at.fheightedt.y, 105, 21, defaults.height);
    heardtextedt =
        place::edit(p, "heardtextedt", at.heardtextedt.x, at.heardtextedt.y, 346, 21, QString());
    barcodeedt = place::edit(p, "barcodeedt", at.barcodeedt.x, at.barcodeedt.y, 346, 21, QString(),
                             data.messageLength);
    Supplementaltxt = place::edit(p, "Supplementaltxt", at.Supplementaltxt.x, at.Supplementaltxt.y,
                                  137, 21, QString(), 5);
    barwidth =
        place::edit(p, "barwidth", at.barwidth.x, at.barwidth.y, 105, 21, defaults.moduleWidth);
    for (QLineEdit* e : {fheightedt, heardtextedt, barcodeedt, Supplementaltxt, barwidth})
        e->setFont(plain);

    place::nameAfter(fheightedt, Label1);
    place::nameAfter(barwidth, Label2);
    place::nameAfter(heardtextedt, Label7);
    place::nameAfter(barcodeedt, Label6);
    place::nameAfter(Supplementaltxt, Label3);

    // barcodeedtKeyPress / SupplementaltxtKeyPress: digits; fheightedtKeyPress /
    // barwidthKeyPress: decimal. Enter passes and does nothing further here.
    using Enter = NumberKeyFilter::Enter;
    NumberKeyFilter::install(barcodeedt, false, Enter::StaysPut);
    NumberKeyFilter::install(Supplementaltxt, false, Enter::StaysPut);
    NumberKeyFilter::install(fheightedt, true, Enter::StaysPut);
    NumberKeyFilter::install(barwidth, true, Enter::StaysPut);

    QList<QWidget*> order;
    for (const char* name : at.tabOrder) {
        QWidget* w = Panel2->findChild<QWidget*>(QString::fromLatin1(name));
        Q_ASSERT(w != nullptr);
        if (w != nullptr) order << w;
    }
    setTabStops(order);
    setInputControls({{symbols::Input::Message, barcodeedt},
                      {symbols::Input::AddOn, Supplementaltxt},
                      {symbols::Input::Module, barwidth},
                      {symbols::Input::Height, fheightedt}});
}

symbols::BuildResult BarFamilyForm::buildSymbol(const symbols::BuildContext& context) const {
    symbols::BarFamilyInputs in;
    in.height = fheightedt->text();
    in.moduleWidth = barwidth->text();
    in.comment = heardtextedt->text();
    in.message = barcodeedt->text();
    in.supplemental = Supplementaltxt->text();
    return build_(in, context);
}

void BarFamilyForm::Button1Click() {
    const symbols::BuildResult result = buildSymbol(buildContext());
    // Every refusal comes before anything is drawn: the preview stays as it was.
    if (!result.built()) {
        if (result.refusal) showRefusal(*result.refusal);
        return;
    }

    showPicture(result.picture);
    enablePrint();
    enableTurnButtons();
    if (!copyPreviewToClipboard()) return;
    setSavedPicture(preview());
    judge(result);
    centreImage();
}
