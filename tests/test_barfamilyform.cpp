// The UPC-A, EAN-8 and UPC-E forms as the user drives them: layout and defaults, key
// filters, the notices and where they put the focus, the pictures built, turning, the
// clipboard and what reaches the print dialog.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include "designers/barfamilyform.h"
#include "formtesting.h"

using formtesting::Session;

namespace {
struct FormCase {
    const char* stored;  // settings-file name of the symbology
    const char* className;
    QSize clientSize;
    int messageLength;
    const char* supplementalLabel;
    const char* message;  // a valid message
    QSize picture;        // of the defaults, without add-on
    QStringList tabOrder;
};

const FormCase kUpcA{"Bar Code UPC-A",
                     "Tfmupc_a",
                     {688, 445},
                     11,
                     "Upc-a Supplemental: ",
                     "03600029145",
                     {206, 141},
                     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Button4", "Button3",
                      "Supplementaltxt", "barwidth"}};
const FormCase kEan8{"Bar Code ENA8",
                     "Tfmean8",
                     {687, 452},
                     7,
                     "Ean8 Supplemental: ",
                     "9638507",
                     {150, 141},
                     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Button4", "Button3",
                      "barwidth", "Supplementaltxt"}};
const FormCase kUpcE{"Bar Code UPC-E",       "Tfmupce", {690, 446}, 6,
                     "Upc-e Supplemental: ", "123456",  {118, 141}, kUpcA.tabOrder};

QPoint centred(const QWidget* box, QSize size) {
    const int w = box->width(), h = box->height();
    return {w >= size.width() ? (w - size.width()) / 2 : 0,
            h >= size.height() ? (h - size.height()) / 2 : 0};
}

bool blank(const surface::Bitmap& b) {
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) != 0xFFFFFF) return false;
    return true;
}

QSize sizeOf(const surface::Bitmap& b) {
    return {b.width(), b.height()};
}

// A session with one of the three forms hosted and shown.
struct FormSession : Session {
    explicit FormSession(const FormCase& c)
        : Session(QByteArray("[Symbology]\nChecked=") + c.stored + "\n") {
        Tmainfm& w = start();
        form = formtesting::hostedForm<BarFamilyForm>(w);
        w.show();
    }
    // Sets the digits as pasted text (past the key filters) and presses Build/Copy.
    void build(const QString& message, const QString& addOn = {}) {
        form->barcodeedt->setText(message);
        form->Supplementaltxt->setText(addOn);
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    }
    QWidget* focus() const { return form->window()->focusWidget(); }
    QString focusName() const { return focus() != nullptr ? focus()->objectName() : QString(); }

    BarFamilyForm* form = nullptr;
};
}  // namespace

Q_DECLARE_METATYPE(const FormCase*)

class BarFamilyFormTest : public QObject {
    Q_OBJECT
  private slots:
    void layoutAndDefaults_data() { threeForms(); }
    void layoutAndDefaults() {
        QFETCH(const FormCase*, c);
        FormSession s(*c);
        BarFamilyForm* f = s.form;
        QVERIFY(f);
        QCOMPARE(f->metaObject()->className(), c->className);
        QCOMPARE(f->size(), c->clientSize);
        QCOMPARE(f->Label3->text(), QString::fromLatin1(c->supplementalLabel));
        QCOMPARE(f->barcodeedt->maxLength(), c->messageLength);
        QCOMPARE(f->Supplementaltxt->maxLength(), 5);
        QCOMPARE(f->fheightedt->text(), QStringLiteral("1.3"));
        QCOMPARE(f->barwidth->text(), QStringLiteral("21"));
        QVERIFY(f->heardtextedt->text().isEmpty() && f->barcodeedt->text().isEmpty());
        QVERIFY(f->ToolButton6 != nullptr);
        QVERIFY(!f->Button4->isEnabled());
        QVERIFY(!f->ToolButton3->isEnabled() && !f->ToolButton5->isEnabled());
        QVERIFY(!f->Button3->isVisible());
        QList<QString> chain;
        for (QWidget* w = f->fheightedt; chain.size() < c->tabOrder.size();
             w = w->nextInFocusChain())
            if (c->tabOrder.contains(w->objectName()) && !chain.contains(w->objectName()))
                chain << w->objectName();
        QCOMPARE(chain, c->tabOrder);
    }

    void positionsDifferOnlyWhereTheEan8FormHasItsOwn() {
        FormSession upcA(kUpcA);
        QCOMPARE(upcA.form->barcodeedt->pos(), QPoint(191, 125));
        QCOMPARE(upcA.form->Supplementaltxt->pos(), QPoint(192, 152));
        QCOMPARE(upcA.form->barwidth->pos(), QPoint(192, 68));
        FormSession ean8(kEan8);
        QCOMPARE(ean8.form->barcodeedt->pos(), QPoint(191, 120));
        QCOMPARE(ean8.form->Supplementaltxt->pos(), QPoint(192, 148));
        QCOMPARE(ean8.form->Label3->pos(), QPoint(22, 151));
        FormSession upcE(kUpcE);
        QCOMPARE(upcE.form->heardtextedt->pos(), QPoint(191, 98));
    }

    void keyFilters_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("height takes a point") << "fheightedt"
                                              << "1a.5"
                                              << "1.5";
        QTest::newRow("module width takes a point too") << "barwidth"
                                                        << "2x.0"
                                                        << "2.0";
        QTest::newRow("message: digits only, at most 11") << "barcodeedt"
                                                          << "0-36.00029145999"
                                                          << "03600029145";
        QTest::newRow("add-on: digits only, at most 5") << "Supplementaltxt"
                                                        << "5.2 4956"
                                                        << "52495";
        QTest::newRow("comment takes anything") << "heardtextedt"
                                                << "Lot 7.a"
                                                << "Lot 7.a";
    }
    void keyFilters() {
        QFETCH(QString, edit);
        QFETCH(QString, typed);
        FormSession s(kUpcA);
        auto* e = s.form->findChild<QLineEdit*>(edit);
        e->clear();
        e->setFocus();
        QTest::keyClicks(e, typed);
        QTEST(e->text(), "expected");
        QTest::keyClick(e, Qt::Key_Return);  // passes, and the focus stays
        QCOMPARE(s.focus(), e);
    }

    void buildsTheDefaults_data() { threeForms(); }
    void buildsTheDefaults() {
        QFETCH(const FormCase*, c);
        FormSession s(*c);
        s.window->setSharedColor(Qt::darkBlue);
        s.build(QString::fromLatin1(c->message));  // an empty add-on: no add-on
        QVERIFY(s.messages.empty());
        BarFamilyForm* f = s.form;
        QCOMPARE(sizeOf(f->preview()), c->picture);
        QCOMPARE(f->Image1->size(), c->picture);
        QCOMPARE(f->Image1->pos(), centred(f->ScrollBox1, c->picture));
        QCOMPARE(s.clipboardCopies, 1);
        QCOMPARE(s.clipboard.image(), f->preview().image());
        QCOMPARE(f->SavedPicture().image(), f->preview().image());
        QVERIFY(f->Button4->isEnabled() && f->ToolButton3->isEnabled() &&
                f->ToolButton5->isEnabled());
        QCOMPARE(f->preview().pixel(8, 0), QColor(Qt::darkBlue).rgb() & 0xFFFFFF);
    }

    void notices_data() {
        QTest::addColumn<const FormCase*>("c");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("addOn");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        const QString upcAAddOn = "The 'Upc-a Supplemental' must contain 2 or 5 numbers.";
        QTest::newRow("UPC-A: message checked before the add-on")
            << &kUpcA << "0360002914"
            << "123"
            << "The 'Bar code message' must contain 11 numbers."
            << "barcodeedt";
        QTest::newRow("UPC-A: 1-digit add-on") << &kUpcA << "03600029145"
                                               << "1" << upcAAddOn << "Supplementaltxt";
        QTest::newRow("UPC-A: 3-digit add-on") << &kUpcA << "03600029145"
                                               << "123" << upcAAddOn << "Supplementaltxt";
        QTest::newRow("UPC-A: 4-digit add-on") << &kUpcA << "03600029145"
                                               << "1234" << upcAAddOn << "Supplementaltxt";
        QTest::newRow("EAN-8: 6 digits") << &kEan8 << "963850"
                                         << ""
                                         << "The 'Bar code message' must contain 7 numbers."
                                         << "barcodeedt";
        QTest::newRow("EAN-8: 4-digit add-on")
            << &kEan8 << "9638507"
            << "1234"
            << "The 'Ean8 Supplemental' must contain 2 or 5 numbers."
            << "Supplementaltxt";
        QTest::newRow("UPC-E: 5 digits") << &kUpcE << "12345"
                                         << "12"
                                         << "The 'Bar code message' must contain 6 numbers."
                                         << "barcodeedt";
        QTest::newRow("UPC-E: 1-digit add-on")
            << &kUpcE << "123456"
            << "1"
            << "The 'Upc-e Supplemental' must contain 2 or 5 numbers."
            << "Supplementaltxt";
        QTest::newRow("UPC-A: pasted letter")
            << &kUpcA << "036000291x5"
            << ""
            << "The 'Bar code message' holds the character 'x' at position 10; only the digits "
               "0 to 9 are allowed."
            << "barcodeedt";
        QTest::newRow("UPC-E: pasted letter in the add-on")
            << &kUpcE << "123456"
            << "1-"
            << "The 'Upc-e Supplemental' holds the character '-' at position 2; only the digits "
               "0 to 9 are allowed."
            << "Supplementaltxt";
    }
    void notices() {
        QFETCH(const FormCase*, c);
        QFETCH(QString, message);
        QFETCH(QString, addOn);
        FormSession s(*c);
        s.form->heardtextedt->setFocus();
        s.build(message, addOn);
        QCOMPARE(s.messages.size(), std::size_t(1));
        QCOMPARE(s.messages[0].caption, QStringLiteral("Notice"));
        QTEST(s.messages[0].text, "text");
        QTEST(s.focusName(), "focus");
        // Nothing changed: no picture, nothing copied, the buttons still off.
        QVERIFY(s.form->preview().isEmpty());
        QCOMPARE(s.clipboardCopies, 0);
        QVERIFY(!s.form->Button4->isEnabled() && !s.form->ToolButton5->isEnabled());
    }

    void conversionErrorsLeaveThePreview_data() {
        QTest::addColumn<QString>("moduleWidth");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty module width") << ""
                                            << "1.3"
                                            << "'' is not a valid integer value";
        QTest::newRow("module width with a point") << "2.1"
                                                   << "1.3"
                                                   << "'2.1' is not a valid integer value";
        QTest::newRow("empty height") << "21"
                                      << ""
                                      << "'' is not a valid floating point value";
    }
    void conversionErrorsLeaveThePreview() {
        QFETCH(QString, moduleWidth);
        QFETCH(QString, height);
        FormSession s(kEan8);
        s.build(QStringLiteral("9638507"));
        const QImage built = s.form->preview().image();
        s.form->barwidth->setText(moduleWidth);
        s.form->fheightedt->setText(height);
        s.build(QStringLiteral("1234567"), QStringLiteral("12"));
        QCOMPARE(s.messages.size(), std::size_t(1));
        QCOMPARE(s.messages[0].caption, ui::kAppTitle);
        QTEST(s.messages[0].text, "text");
        QCOMPARE(s.form->preview().image(), built);
        QCOMPARE(s.clipboardCopies, 1);
    }

    void moduleWidthZeroBuildsTextWithoutBars() {
        FormSession s(kUpcA);
        s.form->barwidth->setText(QStringLiteral("0"));
        s.build(QStringLiteral("03600029145"), QStringLiteral("12"));
        QVERIFY(s.messages.empty());
        QCOMPARE(sizeOf(s.form->preview()), QSize(16, 141));
        QVERIFY(!blank(s.form->preview()));  // the two outer digits
    }

    void turnsAndRestores() {
        FormSession s(kUpcE);
        s.build(QStringLiteral("123456"), QStringLiteral("12"));
        BarFamilyForm* f = s.form;
        const surface::Bitmap built = f->SavedPicture();
        QCOMPARE(sizeOf(built), QSize(182, 141));
        const QPoint at = f->Image1->pos();
        const QImage turned = surface::turnedClockwise(built).image();
        for (int press = 0; press < 2; ++press) {  // again: the same picture, not turned twice
            f->ToolButton5->click();
            QCOMPARE(f->preview().image(), turned);
            QCOMPARE(f->Image1->size(), QSize(141, 182));
            QCOMPARE(f->Image1->pos(), at);  // not re-centred
        }
        f->ToolButton3->click();
        QCOMPARE(f->preview().image(), built.image());
        QCOMPARE(f->Image1->pos(), centred(f->ScrollBox1, QSize(182, 141)));
        QCOMPARE(s.clipboardCopies, 1);  // turning leaves the clipboard alone
    }

    void printHandsOverTheTurnedPictureAndTheSharedColour() {
        FormSession s(kEan8);
        s.build(QStringLiteral("9638507"), QStringLiteral("52495"));
        s.form->ToolButton5->click();
        s.window->setSharedColor(Qt::darkGreen);  // read when Print is pressed
        QTest::mouseClick(s.form->Button4, Qt::LeftButton);
        QCOMPARE(s.printDialogs, 1);
        QCOMPARE(s.printColour, QColor(Qt::darkGreen));
        QCOMPARE(sizeOf(s.printed), QSize(141, 268));
        QCOMPARE(s.printed.image(), s.form->preview().image());
    }

    // A refused clipboard on the first build leaves no kept picture: the turn buttons are
    // on but have nothing to turn.
    // The preview's context menu offers only what applies: nothing before the first build,
    // then Copy, which puts the preview on the clipboard as Build/Copy does.
    void previewContextMenu() {
        FormSession s(kUpcA);
        QStringList offered;
        QAction* copy = nullptr;
        DesignerForm::previewMenuHook() = [&](QMenu& menu) {
            offered.clear();
            for (QAction* a : menu.actions()) {
                offered << a->text();
                if (a->text() == QStringLiteral("Copy")) copy = a;
            }
            if (copy != nullptr) copy->trigger();
        };
        const auto rightClick = [&] {
            emit s.form->Image1->customContextMenuRequested(QPoint(1, 1));
        };
        rightClick();
        QVERIFY(offered.isEmpty());
        QCOMPARE(s.clipboardCopies, 0);

        s.build(QStringLiteral("03600029145"));
        QCOMPARE(s.clipboardCopies, 1);
        s.form->ToolButton5->click();  // turned: Copy takes the preview as it stands
        rightClick();
        DesignerForm::previewMenuHook() = nullptr;
        QCOMPARE(offered, (QStringList{"Copy", QString::fromUtf8("Save picture as\u2026"),
                                       QString::fromUtf8("Print at printer resolution\u2026"),
                                       QString::fromUtf8("Print labels\u2026"),
                                       QString::fromUtf8("Symbol check\u2026")}));
        QCOMPARE(s.clipboardCopies, 2);
        QCOMPARE(s.clipboard.image(), s.form->preview().image());
        QCOMPARE(sizeOf(s.clipboard), QSize(141, 206));
    }

    void clipboardRefusedOnTheFirstBuild() {
        FormSession s(kUpcA);
        s.refuseClipboard = true;
        s.build(QStringLiteral("03600029145"));
        QCOMPARE(s.messages.size(), std::size_t(1));
        QCOMPARE(s.messages[0].text, QStringLiteral("Fail to copy"));
        BarFamilyForm* f = s.form;
        QCOMPARE(sizeOf(f->preview()), QSize(206, 141));
        QVERIFY(f->Button4->isEnabled() && f->ToolButton5->isEnabled());
        QVERIFY(f->SavedPicture().isEmpty());
        const QImage shown = f->preview().image();
        f->ToolButton5->click();
        f->ToolButton3->click();
        QCOMPARE(f->preview().image(), shown);
    }

  private:
    static void threeForms() {
        QTest::addColumn<const FormCase*>("c");
        QTest::newRow("UPC-A") << &kUpcA;
        QTest::newRow("EAN-8") << &kEan8;
        QTest::newRow("UPC-E") << &kUpcE;
    }
};

QTEST_MAIN(BarFamilyFormTest)
#include "test_barfamilyform.moc"
