#include "designers/ENA13form.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "app/keyfilter.h"
#include "app/mainform.h"
#include "app/placement.h"
#include "dialogs/booknumberdialog.h"
#include "symbols/ena13build.h"

namespace {
const DesignerForm::Options kOptions{
    QStringLiteral("ena13fm"), QStringLiteral("EAN-13"), QSize(686, 444), QSize(656, 147), true,
    QStringLiteral("close"),   symbols::Symbology::Ena13};
}  // namespace

Tena13fm::Tena13fm(QWidget* parent) : DesignerForm(kOptions, parent) {
    const QFont plain = place::sansSerif(13);
    const QFont bold = place::sansSerif(13, true);
    QWidget* p = Panel2;

    Label1 = place::label(p, "Label1", 12, 41, 160, 20, "Bar  code  Height  (inches) ", plain);
    Label2 = place::label(p, "Label2", 11, 70, 160, 20, "Bar  code  Width (inches)", plain);
    Label7 = place::label(p, "Label7", 62, 102, 110, 20, "Comment  Line:", bold);
    Label6 = place::label(p, "Label6", 21, 128, 150, 20, "Bar Code  Message :", bold);
    Label3 = place::label(p, "Label3", 21, 155, 150, 20, "Ean13 Supplemental: ", bold);
    Label4 = place::label(p, "Label4", 68, 168, 71, 16, QString(), plain);
    Label5 = place::label(p, "Label5", 77, 188, 71, 16, QString(), plain);

    const symbols::Ena13Inputs defaults;
    fheightedt = place::edit(p, "fheightedt", 192, 39, 105, 21, defaults.height);
    ComboBox1 = new QComboBox(p);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->addItems({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    ComboBox1->setCurrentText(defaults.width);
    ComboBox1->setGeometry(192, 68, 105, ComboBox1->sizeHint().height());
    heardtextedt = place::edit(p, "heardtextedt", 191, 98, 346, 21, QString());
    barcodeedt = place::edit(p, "barcodeedt", 191, 125, 346, 21, QString(), 12);
    Edit1 = place::edit(p, "Edit1", 192, 152, 137, 21, QString(), 5);
    for (QLineEdit* e : {fheightedt, heardtextedt, barcodeedt, Edit1}) e->setFont(plain);

    place::nameAfter(fheightedt, Label1);
    place::nameAfter(ComboBox1, Label2);
    place::nameAfter(heardtextedt, Label7);
    place::nameAfter(barcodeedt, Label6);
    place::nameAfter(Edit1, Label3);

    using Enter = NumberKeyFilter::Enter;
    NumberKeyFilter::install(fheightedt, true, Enter::MovesFocus);
    NumberKeyFilter::install(barcodeedt, false, Enter::MovesFocus);
    NumberKeyFilter::install(Edit1, false, Enter::StaysPut);

    setTabStops(
        {fheightedt, heardtextedt, barcodeedt, Button1, Button4, ComboBox1, Button3, Edit1});
    setInputControls({{symbols::Input::Message, barcodeedt}, {symbols::Input::AddOn, Edit1}});

    // The message's own menu, with the way in for book and serial numbers.
    barcodeedt->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(barcodeedt, &QLineEdit::customContextMenuRequested, this, [this](const QPoint& at) {
        std::unique_ptr<QMenu> menu(barcodeedt->createStandardContextMenu());
        menu->addSeparator();
        QAction* fill = menu->addAction(QStringLiteral("Fill from ISBN, ISSN or ISMN\u2026"), this,
                                        &Tena13fm::fillFromBookNumber);
        fill->setObjectName(QStringLiteral("fillFromBookNumber"));
        if (previewMenuHook())
            previewMenuHook()(*menu);
        else
            menu->exec(barcodeedt->mapToGlobal(at));
    });
}

std::function<void(BookNumberDialog&)>& Tena13fm::bookDialogHook() {
    static std::function<void(BookNumberDialog&)> hook;
    return hook;
}

void Tena13fm::fillFromBookNumber() {
    BookNumberDialog dialog(this);
    if (bookDialogHook())
        bookDialogHook()(dialog);
    else
        dialog.exec();
    if (dialog.result() != QDialog::Accepted || !dialog.symbol()) return;
    barcodeedt->setText(dialog.symbol()->message);
    Edit1->setText(dialog.symbol()->addOn);
    heardtextedt->setText(dialog.symbol()->comment);
    barcodeedt->setFocus();
}

symbols::BuildResult Tena13fm::buildSymbol(const symbols::BuildContext& context) const {
    symbols::Ena13Inputs in;
    in.height = fheightedt->text();
    in.width = ComboBox1->currentText();
    in.comment = heardtextedt->text();
    in.message = barcodeedt->text();
    in.supplemental = Edit1->text();
    return symbols::buildEna13(in, context);
}

void Tena13fm::Button1Click() {
    using StoppedAt = symbols::BuildResult::StoppedAt;
    barcodeedt->setFocus();
    // The turn buttons come on with the first press, whatever the build makes of it.
    enableTurnButtons();

    const symbols::BuildResult result = buildSymbol(buildContext());

    // A wrong add-on length is told and the build goes on without the add-on.
    for (const symbols::Refusal& n : result.notices) showRefusal(n);
    if (result.stoppedAt == StoppedAt::Checks) {
        if (result.refusal) showRefusal(*result.refusal);
        return;
    }

    clearPreview();
    clearSavedPicture();
    if (!result.built()) {
        if (result.refusal) showRefusal(*result.refusal);
        return;
    }
    showPicture(result.picture);
    enablePrint();
    if (!copyPreviewToClipboard()) return;
    setSavedPicture(preview());
    judge(result);
    centreImage();
}
