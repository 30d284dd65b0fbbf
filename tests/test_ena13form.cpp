// The EAN-13 form as the user drives it: defaults, key filters, the notices and the order
// of what Build/Copy does, the add-on widths, turning, and what reaches the clipboard and
// the print dialog.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include "designers/ENA13form.h"
#include "formtesting.h"
#include "surface/screen.h"
#include "symbols/ena13build.h"

using formtesting::Session;

namespace {
const QString kTwelve = QStringLiteral("The 'Bar code message' must contain 12 numbers.");
const QString kTwoOrFive = QStringLiteral("The 'Ean13 Supplemental' must contain 2 or 5 numbers.");

bool blank(const surface::Bitmap& b) {
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) != 0xFFFFFF) return false;
    return true;
}

// The same pixels, whatever form each picture keeps them in.
bool same(const surface::Bitmap& a, const surface::Bitmap& b) {
    return a.image().convertToFormat(QImage::Format_RGB32) ==
           b.image().convertToFormat(QImage::Format_RGB32);
}

// Where a centred picture of `size` stands in the scroll box (at 0 where it is larger).
QPoint centred(const QWidget* box, QSize size) {
    const int w = box->width(), h = box->height();
    return {w >= size.width() ? (w - size.width()) / 2 : 0,
            h >= size.height() ? (h - size.height()) / 2 : 0};
}

// A session with the EAN-13 form hosted and shown.
struct Ena13Session : Session {
    Ena13Session() : Session(QByteArray("[Symbology]\nChecked=Bar Code ENA13\n")) {
        Tmainfm& w = start();
        form = formtesting::hostedForm<Tena13fm>(w);
        w.show();  // lays the form out, so the scroll box has its real size
    }
    // Fills the message and add-on as pasted text (no key filter in the way) and builds.
    void build(const QString& message, const QString& addOn = {}) {
        form->barcodeedt->setText(message);
        form->Edit1->setText(addOn);
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    }
    // The picture the shared build path makes of the form's present inputs.
    surface::Bitmap expected() const {
        symbols::Ena13Inputs in;
        in.height = form->fheightedt->text();
        in.width = form->ComboBox1->currentText();
        in.comment = form->heardtextedt->text();
        in.message = form->barcodeedt->text();
        in.supplemental = form->Edit1->text();
        const symbols::BuildContext context{window->pageValues(), window->sharedFont(),
                                            window->sharedColor(), surface::screenDpi()};
        return symbols::buildEna13(in, context).picture;
    }
    QWidget* focus() const { return form->window()->focusWidget(); }

    Tena13fm* form = nullptr;
};
}  // namespace

class Ena13FormTest : public QObject {
    Q_OBJECT
  private slots:
    void startsWithTheDefaults() {
        Ena13Session s;
        Tena13fm* f = s.form;
        QVERIFY(f);
        QCOMPARE(f->objectName(), QStringLiteral("ena13fm"));
        QCOMPARE(f->fheightedt->text(), QStringLiteral("1.3"));
        QCOMPARE(f->ComboBox1->count(), 9);
        QCOMPARE(f->ComboBox1->itemText(0), QStringLiteral("1"));
        QCOMPARE(f->ComboBox1->itemText(8), QStringLiteral("9"));
        QCOMPARE(f->ComboBox1->currentText(), QStringLiteral("2"));
        QCOMPARE(f->barcodeedt->maxLength(), 12);
        QCOMPARE(f->Edit1->maxLength(), 5);
        QVERIFY(f->heardtextedt->text().isEmpty());
        QVERIFY(f->ToolButton6 != nullptr);
        QVERIFY(!f->Button4->isEnabled());
        QVERIFY(!f->ToolButton3->isEnabled());
        QVERIFY(!f->ToolButton5->isEnabled());
        QVERIFY(!f->Button3->isVisible());
        QCOMPARE(f->Button1->text(), QStringLiteral("Build/Copy"));
        QCOMPARE(f->Button3->text(), QStringLiteral("close"));

        // Tab order: height, comment, message, Build/Copy, Print, width, close, add-on.
        const QList<QWidget*> controls{f->fheightedt, f->heardtextedt, f->barcodeedt, f->Button1,
                                       f->Button4,    f->ComboBox1,    f->Button3,    f->Edit1};
        QList<QWidget*> chain;
        for (QWidget* w = f->fheightedt; chain.size() < controls.size(); w = w->nextInFocusChain())
            if (controls.contains(w) && !chain.contains(w)) chain << w;
        QCOMPARE(chain, controls);
    }

    void keyFilters_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("height takes a point") << "fheightedt"
                                              << "2.5"
                                              << "2.5";
        QTest::newRow("height swallows letters") << "fheightedt"
                                                 << "1a,5"
                                                 << "15";
        QTest::newRow("message swallows the point") << "barcodeedt"
                                                    << "59.01"
                                                    << "5901";
        QTest::newRow("message swallows letters") << "barcodeedt"
                                                  << "x5 9-"
                                                  << "59";
        QTest::newRow("message stops at 12") << "barcodeedt"
                                             << "59012341234567"
                                             << "590123412345";
        QTest::newRow("add-on swallows the point") << "Edit1"
                                                   << "1.2"
                                                   << "12";
        QTest::newRow("add-on stops at 5") << "Edit1"
                                           << "1234567"
                                           << "12345";
        QTest::newRow("comment takes anything") << "heardtextedt"
                                                << "Lot 7.a"
                                                << "Lot 7.a";
    }
    void keyFilters() {
        QFETCH(QString, edit);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        Ena13Session s;
        auto* e = s.form->findChild<QLineEdit*>(edit);
        QVERIFY(e);
        e->clear();
        QTest::keyClicks(e, typed);
        QCOMPARE(e->text(), expected);
    }

    void enterKey_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("next");
        QTest::newRow("height: on to the comment") << "fheightedt"
                                                   << "heardtextedt";
        QTest::newRow("message: on to Build/Copy") << "barcodeedt"
                                                   << "Button1";
        QTest::newRow("add-on: stays") << "Edit1"
                                       << "Edit1";
    }
    void enterKey() {
        QFETCH(QString, edit);
        QFETCH(QString, next);
        Ena13Session s;
        auto* e = s.form->findChild<QLineEdit*>(edit);
        e->setFocus();
        QTest::keyClick(e, Qt::Key_Return);
        QVERIFY(s.focus());
        QCOMPARE(s.focus()->objectName(), next);
        QCOMPARE(s.clipboardCopies, 0);
    }

    // The length check stops the build, but the turn buttons are on all the same.
    void twelveNumbersNotice() {
        Ena13Session s;
        s.form->fheightedt->setFocus();
        s.build(QStringLiteral("59012341234"));
        QCOMPARE(s.texts(), QStringList{kTwelve});
        QCOMPARE(s.messages[0].caption, QStringLiteral("Notice"));
        QVERIFY(s.form->ToolButton3->isEnabled());
        QVERIFY(s.form->ToolButton5->isEnabled());
        QVERIFY(!s.form->Button4->isEnabled());
        QCOMPARE(s.clipboardCopies, 0);
        QCOMPARE(s.focus(), s.form->barcodeedt);
    }

    void builds_data() {
        QTest::addColumn<QString>("addOn");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("width");
        QTest::newRow("no add-on") << "" << QStringList{} << 204;
        QTest::newRow("2-digit add-on") << "12" << QStringList{} << 269;
        QTest::newRow("5-digit add-on") << "52495" << QStringList{} << 323;
        QTest::newRow("3-digit add-on: notice, built without")
            << "123" << QStringList{kTwoOrFive} << 204;
    }
    void builds() {
        QFETCH(QString, addOn);
        QFETCH(QStringList, messages);
        QFETCH(int, width);
        Ena13Session s;
        s.build(QStringLiteral("590123412345"), addOn);
        QCOMPARE(s.texts(), messages);
        QCOMPARE(s.form->preview().width(), width);
        QCOMPARE(s.form->preview().height(), 127);
        QCOMPARE(s.form->Image1->size(), QSize(width, 127));
        QVERIFY(s.form->Button4->isEnabled());
        QCOMPARE(s.clipboardCopies, 1);
        QVERIFY(same(s.clipboard, s.form->preview()));
        QVERIFY(same(s.form->SavedPicture(), s.form->preview()));
        QVERIFY(same(s.form->preview(), s.expected()));
        QCOMPARE(s.form->Image1->pos(), centred(s.form->ScrollBox1, QSize(width, 127)));
        QCOMPARE(s.focus(), messages.isEmpty() ? static_cast<QWidget*>(s.form->barcodeedt)
                                               : static_cast<QWidget*>(s.form->Edit1));
    }

    void turnAndPrint() {
        Ena13Session s;
        s.build(QStringLiteral("590123412345"), QStringLiteral("12"));
        const surface::Bitmap built = s.form->preview();
        const surface::Bitmap turned = surface::turnedClockwise(built);
        QTest::mouseClick(s.form->ToolButton5, Qt::LeftButton);
        QVERIFY(same(s.form->preview(), turned));
        QCOMPARE(s.form->Image1->size(), QSize(127, 269));
        QTest::mouseClick(s.form->ToolButton5, Qt::LeftButton);  // twice is once
        QVERIFY(same(s.form->preview(), turned));

        const QColor colour(0x80, 0x10, 0x40);
        s.window->setSharedColor(colour);
        QTest::mouseClick(s.form->Button4, Qt::LeftButton);
        QCOMPARE(s.printDialogs, 1);
        QCOMPARE(s.printColour, colour);
        QVERIFY(same(s.printed, turned));
        QVERIFY(same(s.form->preview(), turned));  // the new colour waits for the next build

        QTest::mouseClick(s.form->ToolButton3, Qt::LeftButton);
        QVERIFY(same(s.form->preview(), built));
        QCOMPARE(s.form->Image1->pos(), centred(s.form->ScrollBox1, QSize(269, 127)));
    }

    void clipboardRefused() {
        Ena13Session s;
        s.refuseClipboard = true;
        const QPoint before = s.form->Image1->pos();
        s.build(QStringLiteral("590123412345"));
        QCOMPARE(s.texts(), QStringList{QStringLiteral("Fail to copy")});
        QCOMPARE(s.messages[0].caption, QStringLiteral("Notice"));
        QVERIFY(s.form->Button4->isEnabled());
        QVERIFY(same(s.form->preview(), s.expected()));
        QVERIFY(blank(s.form->SavedPicture()));
        QCOMPARE(s.form->Image1->pos(), before);
    }

    // Stops after the checks: the preview and the kept picture are cleared, Print and the
    // clipboard stay as they were.
    void stopsAfterClearing_data() {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty height: silent") << ""
                                              << ""
                                              << "";
        QTest::newRow("height with two points") << "1..3"
                                                << "Marlisk Barcode Generator"
                                                << "'1..3' is not a valid floating point value";
        QTest::newRow("pasted 500-inch height") << "500"
                                                << "Notice"
                                                << "The picture would be";
    }
    void stopsAfterClearing() {
        QFETCH(QString, height);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        Ena13Session s;
        s.build(QStringLiteral("590123412345"));
        QVERIFY(!blank(s.form->SavedPicture()));
        s.form->fheightedt->setText(height);
        s.build(QStringLiteral("400638133393"));
        QCOMPARE(s.messages.size(), text.isEmpty() ? 0u : 1u);
        if (!text.isEmpty()) {
            QCOMPARE(s.messages[0].caption, caption);
            QVERIFY2(s.messages[0].text.startsWith(text), qPrintable(s.messages[0].text));
        }
        QVERIFY(blank(s.form->preview()));
        QVERIFY(blank(s.form->SavedPicture()));
        QCOMPARE(s.clipboardCopies, 1);
    }

    // Pasted non-digits are refused before anything changes, with the focus on the field.
    void pastedNonDigits_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("addOn");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        QTest::newRow("message")
            << "5901x3412345"
            << ""
            << "The 'Bar code message' holds the character 'x' at position 5; only the digits 0 "
               "to 9 are allowed."
            << "barcodeedt";
        QTest::newRow("add-on") << "590123412345"
                                << "1 "
                                << "The 'Ean13 Supplemental' holds the character ' ' at "
                                   "position 2; only the digits 0 to 9 are allowed."
                                << "Edit1";
    }
    void pastedNonDigits() {
        QFETCH(QString, message);
        QFETCH(QString, addOn);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        Ena13Session s;
        s.build(QStringLiteral("590123412345"));
        const surface::Bitmap before = s.form->preview();
        s.build(message, addOn);
        QCOMPARE(s.texts(), QStringList{text});
        QCOMPARE(s.focus()->objectName(), focus);
        QVERIFY(same(s.form->preview(), before));
        QVERIFY(same(s.form->SavedPicture(), before));
        QCOMPARE(s.clipboardCopies, 1);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Ena13FormTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_ena13form.moc"
