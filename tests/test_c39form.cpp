// The Code 39 designer form driven as a user drives it: typing, Enter, Build/Copy, the
// turn buttons and Print, and what reaches the clipboard, the labels and the messages.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include "designers/C39form.h"
#include "formtesting.h"

namespace {
const QByteArray kC39Ini = "[Symbology]\r\nChecked=Bar Code C39\r\n";
// The reference page: top/down 0.1 in, left/right 0.25 in, interval 0.05 in.
const QByteArray kReferenceIni = kC39Ini +
                                 "[pagesetting]\r\nftop=100\r\nfdown=100\r\nfleft=250\r\n"
                                 "fright=250\r\nfiwidth=50\r\n";

bool buttonsEnabled(const Tc39fm& f) {
    return f.ToolButton3->isEnabled() && f.ToolButton5->isEnabled() && f.Button4->isEnabled();
}
bool buttonsDisabled(const Tc39fm& f) {
    return !f.ToolButton3->isEnabled() && !f.ToolButton5->isEnabled() && !f.Button4->isEnabled();
}
bool allWhite(const surface::Bitmap& b) {
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) != 0xFFFFFF) return false;
    return true;
}
}  // namespace

class C39FormTest : public QObject {
    Q_OBJECT
    std::unique_ptr<formtesting::Session> session;
    Tc39fm* form = nullptr;

    void startWith(const QByteArray& ini) {
        form = nullptr;
        session.reset();  // one session at a time: it owns the process-wide sinks
        session = std::make_unique<formtesting::Session>(ini);
        Tmainfm& w = session->start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        form = formtesting::hostedForm<Tc39fm>(w);
        QVERIFY(form != nullptr);
    }
    void build(const QString& message) {
        form->barcodeedt->setText(message);
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    }

  private slots:
    void init() { startWith(kC39Ini); }
    void cleanup() {
        form = nullptr;
        session.reset();
    }

    void freshFormDefaults() {
        QCOMPARE(form->objectName(), QStringLiteral("c39fm"));
        QCOMPARE(form->fheightedt->text(), QStringLiteral("1.2"));
        QCOMPARE(form->fnarwidthedt->text(), QStringLiteral("23"));
        QCOMPARE(form->natiocbox->currentText(), QStringLiteral("2.0"));
        QCOMPARE(form->natiocbox->count(), 11);
        QCOMPARE(form->natiocbox->itemText(10), QStringLiteral("3.0"));
        QVERIFY(!form->natiocbox->isEditable());
        QVERIFY(buttonsDisabled(*form));
        // Tab order: the inputs, then Build/Copy and Print (Close is hidden).
        const QList<QWidget*> order{form->fheightedt,   form->fnarwidthedt, form->natiocbox,
                                    form->heardtextedt, form->barcodeedt,   form->Button1};
        // Widgets that take no focus may stand between two stops in the chain.
        const auto nextStop = [](QWidget* w) {
            do w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus));
            return w;
        };
        for (int i = 0; i + 1 < order.size(); ++i) QCOMPARE(nextStop(order[i]), order[i + 1]);
    }

    void numberFiltersAndEnter() {
        form->fnarwidthedt->clear();
        form->fnarwidthedt->setFocus();
        QTest::keyClicks(form->fnarwidthedt, QStringLiteral("2a3.x5-"));
        QCOMPARE(form->fnarwidthedt->text(), QStringLiteral("23.5"));
        form->heardtextedt->clear();
        QTest::keyClicks(form->heardtextedt, QStringLiteral("Lot #7"));  // no filter
        QCOMPARE(form->heardtextedt->text(), QStringLiteral("Lot #7"));

        form->fheightedt->setFocus();
        QTest::keyClick(form->fheightedt, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form->fnarwidthedt);
        QTest::keyClick(form->fnarwidthedt, Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), form->natiocbox);
        QVERIFY(session->messages.empty());
        QCOMPARE(session->clipboardCopies, 0);  // Enter does not build
    }

    void buildWithDefaults() {
        build(QStringLiteral("AB"));
        QVERIFY2(session->messages.empty(), qPrintable(session->texts().join('|')));
        QCOMPARE(session->clipboardCopies, 1);
        QCOMPARE(session->clipboard.width(), 102);
        QCOMPARE(session->clipboard.height(), 115);
        QCOMPARE(form->preview().image(), session->clipboard.image());
        QCOMPARE(form->SavedPicture().image(), session->clipboard.image());
        QCOMPARE(form->Label4->text(), QStringLiteral("Bar Code Height:        1.20    inches"));
        QCOMPARE(form->Label5->text(), QStringLiteral("Bar Code Width:       1.06    inches"));
        QCOMPARE(form->Label4->width(), 255);
        QVERIFY(buttonsEnabled(*form));
        // Centred in the scroll box.
        const QSize box = form->ScrollBox1->size();
        QCOMPARE(form->Image1->pos(), QPoint((box.width() - 102) / 2, (box.height() - 115) / 2));
    }

    void refusedBuilds_data() {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");   // compared at the start
        QTest::addColumn<QString>("focus");  // the input to correct, by name
        const auto row = [](const char* name, const char* height, const QString& message,
                            const QString& caption, const QString& text, const char* focus) {
            QTest::newRow(name) << QString(height) << message << caption << text << QString(focus);
        };
        const QString notice = QStringLiteral("Notice");
        row("empty message", "1.2", "", notice, "Barcode Message Error", "barcodeedt");
        row("height rounds to 0", "0.004", "AB", notice, "Height Error", "fheightedt");
        row("height with two points", "1.2.3", "AB", ui::kAppTitle,
            "'1.2.3' is not a valid floating point value", "fheightedt");
        row("character outside the table", "1.2", "AB#", notice,
            "The 'Bar code message' holds the character '#' at position 3, which Code 39 "
            "cannot encode.",
            "barcodeedt");
        row("picture too big", "500", "AB", notice, "The picture would be", "Button1");
    }
    void refusedBuilds() {
        QFETCH(QString, height);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        form->Button1->setFocus();
        form->fheightedt->setText(height);
        build(message);
        QVERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(session->messages.size(), std::size_t(1));
        QCOMPARE(session->messages[0].caption, caption);
        QVERIFY2(session->messages[0].text.startsWith(text), qPrintable(session->messages[0].text));
        QCOMPARE(session->clipboardCopies, 0);
        QVERIFY(buttonsDisabled(*form));
        QVERIFY(form->Label4->text().isEmpty());
        QCOMPARE(form->Image1->size(), QSize(665, 169));
    }

    void oneCharacterMessage() {
        build(QStringLiteral("A"));
        QCOMPARE(session->texts(),
                 QStringList{"The 'Bar code message' must have two or above two characters."});
        QCOMPARE(session->clipboardCopies, 0);
        QVERIFY(buttonsDisabled(*form));
        // The kept picture has the bars; the preview stays white, and the size labels are
        // as blank as it is.
        QVERIFY(form->Label4->text().isEmpty());
        QVERIFY(form->Label5->text().isEmpty());
        QCOMPARE(form->SavedPicture().width(), 76);
        QCOMPARE(form->SavedPicture().pixel(0, 0), QRgb(0x000000));
        QCOMPARE(form->preview().width(), 76);
        QVERIFY(allWhite(form->preview()));
    }

    void clipboardRefused() {
        session->refuseClipboard = true;
        build(QStringLiteral("AB"));
        QCOMPARE(session->texts(), QStringList{"Fail to copy"});
        QVERIFY(buttonsEnabled(*form));
        QCOMPARE(form->preview().width(), 102);
    }

    void laterFailureKeepsButtonsEnabled() {
        build(QStringLiteral("AB"));
        build(QString());
        QCOMPARE(session->texts(), QStringList{"Barcode Message Error"});
        QVERIFY(buttonsEnabled(*form));
        QCOMPARE(session->clipboardCopies, 1);
    }

    void turnAndPrint() {
        startWith(kReferenceIni);
        QVERIFY(form != nullptr);
        session->window->setSharedColor(Qt::red);  // Code 39 prints in black whatever it is
        build(QStringLiteral("AB"));
        const surface::Bitmap saved = form->SavedPicture();
        QCOMPARE(saved.width(), 150);
        QCOMPARE(saved.height(), 155);
        const QPoint placed = form->Image1->pos();

        for (int press = 0; press < 2; ++press) {  // a second press gives the same picture
            QTest::mouseClick(form->ToolButton5, Qt::LeftButton);
            const surface::Bitmap& turned = form->preview();
            QCOMPARE(turned.width(), 155);
            QCOMPARE(turned.height(), 150);
            QCOMPARE(form->Image1->size(), QSize(155, 150));
            QCOMPARE(form->Image1->pos(), placed);
            for (int y = 0; y < 150; ++y)
                for (int x = 0; x < 155; ++x)
                    QVERIFY(turned.pixel(x, y) == saved.pixel(y, 154 - x));
        }
        QCOMPARE(session->clipboard.width(), 150);  // turning leaves the clipboard alone

        QTest::mouseClick(form->Button4, Qt::LeftButton);
        QCOMPARE(session->printDialogs, 1);
        QCOMPARE(session->printed.image(), form->preview().image());
        QCOMPARE(session->printColour, QColor(Qt::black));

        QTest::mouseClick(form->ToolButton3, Qt::LeftButton);
        QCOMPARE(form->preview().image(), saved.image());
        const QSize box = form->ScrollBox1->size();
        QCOMPARE(form->Image1->pos(), QPoint((box.width() - 150) / 2, (box.height() - 155) / 2));
        QCOMPARE(session->clipboardCopies, 1);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    C39FormTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_c39form.moc"
