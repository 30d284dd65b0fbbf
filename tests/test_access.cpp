// The window for every user: menus and buttons by keyboard, names a screen reader speaks,
// pasting numbers, what the clipboard offers first, Help, and the small things around a
// build (size labels, file name, PDF title, status panel, About text, captions, hint).

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include "app/keyfilter.h"
#include "designers/C39form.h"
#include "designers/ENA13form.h"
#include "designers/upc_aunit.h"
#include "dialogs/aboutfm.h"
#include "dialogs/pagesetting.h"
#include "dialogs/printunit.h"
#include "formtesting.h"
#include "surface/clipboard.h"

using formtesting::hostedForm;
using formtesting::Session;

namespace {
// The letter after the single '&' of a caption (none: empty).
QString mnemonicOf(const QString& caption) {
    const qsizetype at = caption.indexOf(QLatin1Char('&'));
    return at < 0 || at + 1 >= caption.size() ? QString() : caption.mid(at + 1, 1).toLower();
}

// Records the URLs the desktop is asked to open.
class Opener : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened << url; }
};
}  // namespace

class AccessTest : public QObject {
    Q_OBJECT

    // The form of a Symbology menu item ("ENA13", "C391", ...), chosen from the menu.
    template <class Form>
    static Form* chooseForm(Session& s, const char* menuItem) {
        Tmainfm& w = s.window ? *s.window : s.start();
        w.menuItem(QLatin1String(menuItem))->trigger();
        return hostedForm<Form>(w);
    }

  private slots:
    // Every menu and item: the caption as specified once the mnemonic mark is left out, and
    // a mnemonic unique within its menu (the bar's menus among themselves too).
    void menusHaveUniqueMnemonics() {
        Session s;
        Tmainfm& w = s.start();
        QList<QList<QAction*>> menus{w.menuBar()->actions()};
        for (QAction* top : w.menuBar()->actions())
            if (top->menu() != nullptr) menus << top->menu()->actions();
        for (const QList<QAction*>& menu : menus) {
            QStringList letters;
            for (QAction* a : menu) {
                const QString m = mnemonicOf(a->text());
                QVERIFY2(!m.isEmpty(), qPrintable(a->text() + " has no mnemonic"));
                QVERIFY2(!letters.contains(m), qPrintable(a->text() + " repeats '" + m + "'"));
                letters << m;
            }
        }
        QCOMPARE(mnemonicOf(w.findChild<QMenu*>(QStringLiteral("Symbology1"))->title()),
                 QStringLiteral("s"));
    }

    void f10OpensTheFirstMenu() {
        Session s;
        Tmainfm& w = s.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_F10);
        QTRY_VERIFY(w.menuBar()->activeAction() != nullptr);
        QCOMPARE(w.menuBar()->activeAction()->menu()->objectName(), QStringLiteral("File1"));
        QTRY_VERIFY(w.menuBar()->activeAction()->menu()->isVisible());
        QTest::keyClick(w.menuBar()->activeAction()->menu(), Qt::Key_Escape);
    }

    // Enter and Return press a focused push button in forms and dialogs alike.
    void enterPressesFocusedButtons_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter (keypad)") << int(Qt::Key_Enter);
    }
    void enterPressesFocusedButtons() {
        QFETCH(int, key);
        const Qt::KeyboardModifiers mods =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        Session s;
        auto* f = chooseForm<Tena13fm>(s, "ENA13");
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        f->barcodeedt->setText(QStringLiteral("590123412345"));
        f->Button1->setFocus();
        QTest::keyClick(f->Button1, Qt::Key(key), mods);
        QTRY_COMPARE(s.clipboardCopies, 1);

        // Page Setting's Save: saved and closed.
        Tpagesettingfm page(s.window.get());
        page.topedt->setText(QStringLiteral("125"));
        page.show();
        page.BitBtn1->setFocus();
        QTest::keyClick(page.BitBtn1, Qt::Key(key), mods);
        QTRY_COMPARE(page.result(), int(QDialog::Accepted));
        QCOMPARE(s.window->ftop, 125.0);

        // Print Option's Print and About's OK.
        Taboutform about(s.window.get());
        about.show();
        about.Button1->setFocus();
        QTest::keyClick(about.Button1, Qt::Key(key), mods);
        QTRY_COMPARE(about.result(), int(QDialog::Accepted));
    }

    // Shift+F10 and the context-menu key open the preview's menu wherever the focus is; the
    // items show their keys, and the keys work without the menu.
    void previewMenuFromTheKeyboard() {
        Session s;
        auto* f = chooseForm<Tena13fm>(s, "ENA13");
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        f->barcodeedt->setText(QStringLiteral("590123412345"));
        f->Button1Click();
        QCOMPARE(s.clipboardCopies, 1);
        QStringList shown;
        DesignerForm::previewMenuHook() = [&shown](QMenu& menu) {
            for (QAction* a : menu.actions())
                shown << a->text() + QLatin1Char('|') + a->shortcut().toString();
        };
        f->heardtextedt->setFocus();
        QTest::keyClick(f->heardtextedt, Qt::Key_F10, Qt::ShiftModifier);
        const QStringList expected{"Copy|Ctrl+Shift+C", "Save picture as\u2026|Ctrl+S",
                                   "Print at printer resolution\u2026|Ctrl+Shift+P",
                                   "Print labels\u2026|Ctrl+L", "Symbol check\u2026|F7"};
        QCOMPARE(shown, expected);
        shown.clear();
        QTest::keyClick(f->fheightedt, Qt::Key_Menu);
        QCOMPARE(shown, expected);
        DesignerForm::previewMenuHook() = {};

        QTest::keyClick(f->barcodeedt, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(s.clipboardCopies, 2);
        int reports = 0;
        DesignerForm::reportDialogHook() = [&reports](QDialog&) { ++reports; };
        QTest::keyClick(f->barcodeedt, Qt::Key_F7);
        DesignerForm::reportDialogHook() = {};
        QCOMPARE(reports, 1);
    }

    // Each edit and list is named by the label in front of it, in words.
    void editsAreNamedByTheirLabels() {
        Session s;
        auto* c39 = chooseForm<Tc39fm>(s, "C391");
        QCOMPARE(c39->fheightedt->accessibleName(), QStringLiteral("Bar code Height (inches)"));
        QCOMPARE(c39->natiocbox->accessibleName(), QStringLiteral("Narrow To Width Ratio"));
        QCOMPARE(c39->barcodeedt->accessibleName(), QStringLiteral("Bar Code Message"));
        QCOMPARE(c39->Label6->buddy(), static_cast<QWidget*>(c39->barcodeedt));
        auto* ean = chooseForm<Tena13fm>(s, "ENA13");
        QCOMPARE(ean->ComboBox1->accessibleName(), QStringLiteral("Bar code Width (inches)"));
        QCOMPARE(ean->Edit1->accessibleName(), QStringLiteral("Ean13 Supplemental"));
        QCOMPARE(ean->ToolButton6->accessibleName(), QStringLiteral("Bar colour"));
        QCOMPARE(ean->ToolButton5->accessibleName(), QStringLiteral("Turn 90\u00b0 clockwise"));
        auto* upca = chooseForm<Tfmupc_a>(s, "upca1");
        QCOMPARE(upca->barwidth->accessibleName(), QStringLiteral("Single Bar Width (mils)"));
        QCOMPARE(upca->Supplementaltxt->accessibleName(), QStringLiteral("Upc-a Supplemental"));
        Tpagesettingfm page(s.window.get());
        QCOMPARE(page.downedt->accessibleName(), QStringLiteral("Down Blank Space (mils)"));
        Tpringfm print(s.window.get());
        QCOMPARE(print.xedt->accessibleName(), QStringLiteral("X offset (mils)"));
    }

    // A screen reader does not find the hidden Close button among the input panel's controls.
    void hiddenCloseIsNotExposed() {
        Session s;
        auto* f = chooseForm<Tena13fm>(s, "ENA13");
        QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(f->Panel2);
        QVERIFY(panel != nullptr);
        bool buildFound = false;
        for (int i = 0; i < panel->childCount(); ++i) {
            QObject* o = panel->child(i)->object();
            QVERIFY2(o != f->Button3, "the hidden Close button is a child");
            buildFound = buildFound || o == f->Button1;
            QCOMPARE(panel->indexOfChild(panel->child(i)), i);
        }
        QVERIFY(buildFound);
    }

    // The preview says what it shows, the status panel its whole summary (the AT-SPI test
    // hears them on a real bus).
    void previewAndSummarySpeak() {
        Session s;
        auto* f = chooseForm<Tena13fm>(s, "ENA13");
        QCOMPARE(f->Image1->accessibleName(), QStringLiteral("Preview, no symbol built"));
        s.window->setPageValues({100, 100, 250, 250, 50});  // quiet zones: it scans clean
        f->barcodeedt->setText(QStringLiteral("590123412345"));
        f->Button1Click();
        QCOMPARE(f->Image1->accessibleName(), QStringLiteral("EAN-13 5901234123457, Scan OK"));
        const QString size =
            QStringLiteral("%1 by %2 pixels").arg(f->preview().width()).arg(f->preview().height());
        QVERIFY2(f->Image1->accessibleDescription().contains(size),
                 qPrintable(f->Image1->accessibleDescription()));
        QLabel* panel = s.window->statusPanel(0);
        QCOMPARE(panel->accessibleName(), QStringLiteral("Scan OK"));
        f->ToolButton5Click();
        QVERIFY(f->Image1->accessibleDescription().contains(QStringLiteral("turned")));
    }

    // PNG first, BMP, SVG, then the toolkit's own type; the PNG is the picture.
    void clipboardOffersPngFirst() {
        Session s;
        auto* f = chooseForm<Tena13fm>(s, "ENA13");
        f->barcodeedt->setText(QStringLiteral("590123412345"));
        f->Button1Click();
        const std::unique_ptr<QMimeData> data = surface::pictureMimeData(s.clipboard);
        const QStringList formats = data->formats();
        QCOMPARE(formats.mid(0, 3), (QStringList{"image/png", "image/bmp", "image/svg+xml"}));
        QCOMPARE(formats.last(), QStringLiteral("application/x-qt-image"));
        QImage png;
        QVERIFY(png.loadFromData(data->data(QStringLiteral("image/png")), "PNG"));
        QCOMPARE(png.convertToFormat(QImage::Format_RGB32),
                 s.clipboard.image().convertToFormat(QImage::Format_RGB32));
    }

    // What a paste inserts into a digits-only edit with a length limit.
    void pastedNumbers_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after");
        QTest::newRow("blanks between groups") << ""
                                               << "5901 2341 2345"
                                               << "590123412345";
        QTest::newRow("hyphens") << ""
                                 << "590-1234-12345"
                                 << "590123412345";
        QTest::newRow("copied with its line end") << ""
                                                  << "590123412345\n"
                                                  << "590123412345";
        QTest::newRow("longer: cut to the limit") << ""
                                                  << "5901 2341 2345 7"
                                                  << "590123412345";
        QTest::newRow("letters: as pasted, cut") << ""
                                                 << "ABC 1"
                                                 << "ABC 1";
        QTest::newRow("emoji at the limit: left out whole") << ""
                                                            << "59012341234\U0001F600"
                                                            << "59012341234";
        QTest::newRow("after typed digits") << "59"
                                            << "01-2341-2345"
                                            << "590123412345";
    }
    void pastedNumbers() {
        QFETCH(QString, before);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        Session s;
        auto* f = chooseForm<Tena13fm>(s, "ENA13");
        f->barcodeedt->setText(before);
        f->barcodeedt->setFocus();
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keySequence(f->barcodeedt, QKeySequence::Paste);
        QCOMPARE(f->barcodeedt->text(), after);
    }

    void addOnPasteAndMenuPaste() {
        Session s;
        auto* f = chooseForm<Tfmupc_a>(s, "upca1");
        QGuiApplication::clipboard()->setText(QStringLiteral("12 345"));
        QTest::keySequence(f->Supplementaltxt, QKeySequence::Paste);
        QCOMPARE(f->Supplementaltxt->text(), QStringLiteral("12345"));
        // Selected text makes room: pasting over the whole add-on replaces it.
        f->Supplementaltxt->selectAll();
        QGuiApplication::clipboard()->setText(QStringLiteral("5-2"));
        QTest::keySequence(f->Supplementaltxt, QKeySequence::Paste);
        QCOMPARE(f->Supplementaltxt->text(), QStringLiteral("52"));
    }

    void refusedC39BuildClearsSizeLabels() {
        Session s;
        auto* f = chooseForm<Tc39fm>(s, "C391");
        f->barcodeedt->setText(QStringLiteral("AB"));
        f->Button1Click();
        QVERIFY(!f->Label4->text().isEmpty());
        f->barcodeedt->clear();
        f->Button1Click();  // "Barcode Message Error"
        QCOMPARE(s.texts().last(), QStringLiteral("Barcode Message Error"));
        QVERIFY(f->Label4->text().isEmpty());
        QVERIFY(f->Label5->text().isEmpty());
    }

    // The save dialog proposes the data; a PDF carries it as its title (pdfinfo reads it).
    void savedFilesAreNamedByTheirData() {
        Session s;
        auto* f = chooseForm<Tena13fm>(s, "ENA13");
        QCOMPARE(f->proposedFileName(), QStringLiteral("barcode.png"));
        f->barcodeedt->setText(QStringLiteral("590123412345"));
        f->Edit1->setText(QStringLiteral("12"));
        f->Button1Click();
        QCOMPARE(f->proposedFileName(), QStringLiteral("5901234123457-12.png"));
        const QString pdf = s.dir.filePath(QStringLiteral("symbol.pdf"));
        s.saveAnswers << pdf;
        f->savePictureAs();
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.waitForFinished(20000) && info.exitCode() == 0,
                 "pdfinfo (poppler-utils) is needed to read the PDF's title");
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(out.contains(
                     QRegularExpression(QStringLiteral("^Title: +EAN-13 5901234123457 add-on 12$"),
                                        QRegularExpression::MultilineOption)),
                 qPrintable(out));
        auto* c39 = chooseForm<Tc39fm>(s, "C391");
        c39->barcodeedt->setText(QStringLiteral("A/B"));
        c39->Button1Click();
        QCOMPARE(c39->proposedFileName(), QStringLiteral("A_B.png"));
    }

    // A long summary keeps the panel's font: shortened, whole in the tooltip.
    void statusPanelKeepsItsFont() {
        Session s;
        Tmainfm& w = s.start();
        QLabel* panel = w.statusPanel(0);
        const QFont before = panel->font();
        const QString longSummary =
            QStringLiteral("Check: 12 warnings, 3 errors, and more to read");
        w.showCheckSummary(longSummary, longSummary + QStringLiteral("\nquiet zone: too narrow"));
        QCOMPARE(panel->font(), before);
        QVERIFY(panel->text().endsWith(QChar(0x2026)));
        QVERIFY(panel->toolTip().startsWith(longSummary));
        QCOMPARE(panel->accessibleName(), longSummary);
    }

    // Lines of the about text end at word boundaries, never inside a word.
    void aboutWrapsAtWords() {
        Session s;
        Taboutform about(&s.start());
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        int wrapped = 0;
        QTextDocument* doc = about.Memo1->document();
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            const QTextLayout* layout = b.layout();
            for (int i = 0; i + 1 < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const int end = line.textStart() + line.textLength();
                ++wrapped;
                // After a blank, or after the hyphen of a compound ("UPC-" "A").
                const QChar last = b.text().at(end - 1);
                QVERIFY2(last.isSpace() || last == QLatin1Char('-'),
                         qPrintable(QStringLiteral("a line ends inside a word: '%1'")
                                        .arg(b.text().mid(line.textStart(), line.textLength()))));
            }
        }
        QVERIFY2(wrapped > 0, "no paragraph of the about text is long enough to wrap");
    }

    void printerResolutionDialogSaysSo() {
        Session s;
        auto* f = chooseForm<Tena13fm>(s, "ENA13");
        f->barcodeedt->setText(QStringLiteral("590123412345"));
        f->Button1Click();
        QStringList captions;
        DesignerForm::printDialogHook() = [&captions](Tpringfm& d) { captions << d.windowTitle(); };
        f->Button4Click();
        f->printAtPrinterResolution();
        QCOMPARE(captions,
                 (QStringList{"Print Option", "Print Option (at the printer's resolution)"}));
    }

    void emptyHostPanelGivesAHint() {
        Session s;
        Tmainfm& w = s.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* hint = w.findChild<QLabel*>(QStringLiteral("hostHint"));
        QVERIFY(hint != nullptr && hint->isVisible());
        QCOMPARE(hint->text(), QStringLiteral("Choose a symbology from the Symbology menu"));
        w.menuItem(QStringLiteral("C391"))->trigger();
        QVERIFY(!hint->isVisible());
    }

    // Help: "Help.chm" where it exists, through the desktop; a Notice when nothing opens it.
    void helpOpensThroughTheDesktop() {
        Session s;
        Tmainfm& w = s.start();
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(s.dir.path());
        QFile chm(QStringLiteral("Help.chm"));
        QVERIFY(chm.open(QIODevice::WriteOnly));
        chm.close();
        Opener opener;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
        w.Help2Click();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(opener.opened,
                 QList<QUrl>{QUrl::fromLocalFile(s.dir.filePath(QStringLiteral("Help.chm")))});
        QVERIFY(s.messages.empty());
        w.Help2Click();  // no opener on this platform
        QDir::setCurrent(cwd);
        QCOMPARE(s.messages.size(), std::size_t(1));
        QCOMPARE(s.messages[0].caption, QStringLiteral("Notice"));
        QVERIFY2(s.messages[0].text.contains(s.dir.filePath(QStringLiteral("Help.chm"))),
                 qPrintable(s.messages[0].text));
    }
};

QTEST_MAIN(AccessTest)
#include "test_access.moc"
