// The page-setting, print-option and about dialogs, and printing on real paint devices:
// a PDF file and, when a CUPS scheduler runs, a PDF queue.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include "cupspdf.h"
#include "dialogs/aboutfm.h"
#include "dialogs/pagesetting.h"
#include "dialogs/printunit.h"
#include "formtesting.h"
#include "surface/printing.h"
#include "surface/rounding.h"

using formtesting::Session;

namespace {
// A picture with a one-pixel black frame: its dark box is the whole picture.
surface::Bitmap framedPicture(int w, int h) {
    surface::Bitmap b;
    b.setSize(w, h);
    b.setBrushColor(Qt::black);
    b.fillRect(0, 0, w, h);
    b.setBrushColor(Qt::white);
    b.fillRect(4, 4, w - 4, h - 4);
    return b;
}

// Bounding box of the dark pixels in the top-left 2400 x 2400 dots of page 1 of a PDF
// rendered at `dpi`.
QRect darkBox(const QString& pdf, int dpi) {
    QTemporaryDir out;
    const QString stem = out.filePath(QStringLiteral("page"));
    QProcess::execute(
        QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
         QStringLiteral("-gray"), QStringLiteral("-x"), QStringLiteral("0"), QStringLiteral("-y"),
         QStringLiteral("0"), QStringLiteral("-W"), QStringLiteral("2400"), QStringLiteral("-H"),
         QStringLiteral("2400"), QStringLiteral("-singlefile"), QStringLiteral("-f"),
         QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), pdf, stem});
    const QImage img(stem + QStringLiteral(".png"));
    if (img.isNull()) return {};
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
    return box;
}

// The encodings of the images in a PDF, one a line of `pdfimages -list` ("image", "jpeg"...).
QStringList imageEncodings(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    p.waitForFinished(30000);
    QStringList encodings;
    const QStringList lines = QString::fromLatin1(p.readAllStandardOutput()).split('\n');
    for (const QString& line : lines.mid(2)) {
        const QStringList f = line.simplified().split(' ');
        if (f.size() > 8) encodings << f[8];
    }
    return encodings;
}

bool havePdftoppm() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}
}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private slots:
    // ---- page setting ----
    void pageSettingShowsZerosOnAFreshStart() {
        Session s;
        s.start();
        Tpagesettingfm d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Page Setting"));
        for (QLineEdit* e : {d.topedt, d.downedt, d.leftedt, d.rightedt, d.iwidthedt})
            QCOMPARE(e->text(), QStringLiteral("0"));
        QCOMPARE(d.BitBtn1->text(), QStringLiteral("Save "));
    }

    void pageSettingSavesToFileAndWindow() {
        Session s(QByteArray("[Symbology]\nChecked=Bar Code C39\n"));
        Tmainfm& w = s.start();
        Tpagesettingfm d;
        d.topedt->setText(QStringLiteral("100"));
        d.downedt->setText(QStringLiteral("100"));
        d.leftedt->setText(QStringLiteral("250"));
        d.rightedt->setText(QStringLiteral("250"));
        d.iwidthedt->clear();  // an empty edit saves 0
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(s.readIni(),
                 QByteArray("[Symbology]\nChecked=Bar Code C39\n[pagesetting]\nftop=100\n"
                            "fdown=100\nfleft=250\nfright=250\nfiwidth=0\n"));
        QCOMPARE(w.fleft, 250.0);
        QCOMPARE(w.fiwidth, 0.0);
        Tpagesettingfm again;
        QCOMPARE(again.leftedt->text(), QStringLiteral("250"));
    }

    void pageSettingRefusesTextThatIsNoNumber() {
        Session s;
        Tmainfm& w = s.start();
        Tpagesettingfm d;
        d.show();
        d.leftedt->setText(QStringLiteral("1.2.3"));
        d.topedt->setText(QStringLiteral("5"));
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        QCOMPARE(s.texts(),
                 QStringList{QStringLiteral("'1.2.3' is not a valid floating point value")});
        QVERIFY(d.isVisible());               // stays open
        QCOMPARE(s.readIni(), QByteArray());  // nothing written
        QCOMPARE(w.ftop, 0.0);
    }

    void pageSettingCloseKeepsOldValues() {
        Session s;
        Tmainfm& w = s.start();
        Tpagesettingfm d;
        d.topedt->setText(QStringLiteral("77"));
        QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(w.ftop, 0.0);
        QCOMPARE(s.readIni(), QByteArray());
    }

    void numberEditsFilterTypedKeys() {
        Session s;
        s.start();
        Tpagesettingfm d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.topedt->clear();
        d.topedt->setFocus();
        QTest::keyClicks(d.topedt, QStringLiteral("1a2.-5 x"));
        QCOMPARE(d.topedt->text(), QStringLiteral("12.5"));  // letters, minus, blank dropped
        QTest::keyClick(d.topedt, Qt::Key_Backspace);
        QCOMPARE(d.topedt->text(), QStringLiteral("12."));
        QTest::keyClick(d.topedt, Qt::Key_Return);  // Enter moves on in tab order
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.downedt));
        QTest::keyClick(d.iwidthedt, Qt::Key_Return);  // wraps round to Save
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.BitBtn1));
        QVERIFY(d.isVisible());  // Enter pressed no button
    }

    void printOptionDialogLayout() {
        Session s;
        s.start();
        Tpringfm d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.windowTitle(), QStringLiteral("Print Option"));
        QCOMPARE(d.PrintColor, QColor(Qt::black));
        QVERIFY(d.xedt->text().isEmpty() && d.yedt->text().isEmpty());
        d.xedt->setFocus();
        QTest::keyClicks(d.xedt, QStringLiteral("5a0"));
        QCOMPARE(d.xedt->text(), QStringLiteral("50"));
        QTest::keyClick(d.xedt, Qt::Key_Return);  // tab order: Print follows X
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.Button1));
    }

    // ---- printing ----
    void destinationRectangle_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("printer");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("reference: 150x155 at 96 on 600, half and quarter inch")
            << QSize(150, 155) << 96 << 600 << 500.0 << 250.0
            << QRect(QPoint(300, 150), QPoint(1237, 1118));
        QTest::newRow("one-inch square on any printer")
            << QSize(96, 96) << 96 << 300 << 0.0 << 0.0 << QRect(0, 0, 300, 300);
        QTest::newRow("one-inch square at 1200")
            << QSize(96, 96) << 96 << 1200 << 0.0 << 0.0 << QRect(0, 0, 1200, 1200);
        QTest::newRow("halves go to even: 0.5 printer dots")
            << QSize(1, 1) << 96 << 48 << 0.0 << 0.0 << QRect(0, 0, 0, 0);
        QTest::newRow("halves go to even: 2.5 dots")
            << QSize(5, 5) << 96 << 48 << 0.0 << 0.0 << QRect(0, 0, 2, 2);
    }
    void destinationRectangle() {
        QFETCH(QSize, picture);
        QFETCH(int, screen);
        QFETCH(int, printer);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(QRect, expected);
        QCOMPARE(printing::destination(picture.width(), picture.height(), screen, printer, x, y),
                 expected);
    }

    void printsAtPhysicalSizeIntoAPdf() {
        if (!havePdftoppm())
            QFAIL("pdftoppm (poppler-utils) is not installed; cannot rasterise the PDF");
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        printer.setResolution(600);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
        const QString failure =
            printing::printPicture(printer, framedPicture(150, 155), 500, 250, 96, Qt::black);
        QCOMPARE(failure, QString());
        const QRect box = darkBox(dir.filePath(QStringLiteral("out.pdf")), 600);
        // The bitmap reaches the page losslessly, never as a JPEG.
        QCOMPARE(imageEncodings(dir.filePath(QStringLiteral("out.pdf"))), QStringList{"image"});
        // (300, 150) to (1238, 1119) exclusive; one printer dot of rasterising slack.
        QVERIFY2(qAbs(box.left() - 300) <= 1 && qAbs(box.top() - 150) <= 1,
                 qPrintable(QStringLiteral("box %1,%2").arg(box.left()).arg(box.top())));
        QVERIFY2(qAbs(box.right() - 1237) <= 1 && qAbs(box.bottom() - 1118) <= 1,
                 qPrintable(QStringLiteral("box %1,%2").arg(box.right()).arg(box.bottom())));
    }

    void printOptionPrintsThePrintBitmap() {
        if (!havePdftoppm()) QFAIL("pdftoppm (poppler-utils) is not installed");
        Session s;
        s.start();
        QPrinter& printer = globals::currentPrinter();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(s.dir.filePath(QStringLiteral("dialog.pdf")));
        printer.setResolution(300);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
        globals::setPrintBitmap(framedPicture(96, 48));
        Tpringfm d;
        d.xedt->setText(QStringLiteral("1.2.3"));  // does not read: both offsets become 0
        d.yedt->setText(QStringLiteral("1000"));
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        QVERIFY(s.messages.empty());
        const QRect box = darkBox(s.dir.filePath(QStringLiteral("dialog.pdf")), 300);
        QVERIFY2(qAbs(box.left()) <= 1 && qAbs(box.top()) <= 1, "offsets must both be 0");
        QVERIFY(qAbs(box.width() - 300) <= 2 && qAbs(box.height() - 150) <= 2);
    }

    void printFailuresAreReported() {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/proc/no-such-dir/out.pdf"));
        const QString failure =
            printing::printPicture(printer, framedPicture(10, 10), 0, 0, 96, Qt::black);
        QVERIFY2(failure.startsWith(QStringLiteral("Printer is Error  ")), qPrintable(failure));
        QCOMPARE(printing::printPicture(printer, framedPicture(10, 10), 0, 0, 0, Qt::black),
                 QStringLiteral("Printer is Error"));
    }

    void printsThroughACupsQueue() {
        if (!havePdftoppm()) QFAIL("pdftoppm (poppler-utils) is not installed");
        QProcess lpstat;
        lpstat.start(QStringLiteral("lpstat"),
                     {QStringLiteral("-p"), QStringLiteral("marlisk-pdf")});
        if (!lpstat.waitForFinished(5000) || lpstat.exitCode() != 0)
            QFAIL(
                "no CUPS queue 'marlisk-pdf': tests/services.sh start sets it up (needs cups and "
                "printer-driver-cups-pdf)");
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(QStringLiteral("marlisk-pdf"));
        QVERIFY(printer.isValid());
        printer.setResolution(600);
        const cupspdf::Jobs jobs;
        printer.setDocName(QStringLiteral("marlisk-cups-test"));
        QCOMPARE(printing::printPicture(printer, framedPicture(150, 155), 500, 250, 96, Qt::black),
                 QString());
        // The printable area is what the queue declares (its minimum margins), not the
        // default margins of a page layout; this test leaves the printer as a user has it.
        QPageLayout layout = printer.pageLayout();
        layout.setUnits(QPageLayout::Point);
        const QMarginsF minimum = layout.minimumMargins();
        const QPoint area(surface::roundToInt(minimum.left() * 600 / 72),
                          surface::roundToInt(minimum.top() * 600 / 72));

        // cups-pdf writes into the submitting user's ~/PDF, or its anonymous spool folder.
        const QString pdf = jobs.waitForNext();
        if (pdf.isEmpty()) QFAIL("the CUPS queue produced no PDF within 30 seconds");
        const QRect box = darkBox(pdf, 600);
        QVERIFY(!imageEncodings(pdf).isEmpty());
        QVERIFY2(!imageEncodings(pdf).contains(QStringLiteral("jpeg")),
                 qPrintable(imageEncodings(pdf).join(' ')));
        QVERIFY2(qAbs(box.width() - 938) <= 2 && qAbs(box.height() - 969) <= 2,
                 qPrintable(QStringLiteral("size %1x%2").arg(box.width()).arg(box.height())));
        // Placed from the printable area's corner, which the queue's margins move.
        QVERIFY2(
            qAbs(box.left() - (area.x() + 300)) <= 2 && qAbs(box.top() - (area.y() + 150)) <= 2,
            qPrintable(QStringLiteral("at %1,%2 area %3,%4")
                           .arg(box.left())
                           .arg(box.top())
                           .arg(area.x())
                           .arg(area.y())));
    }

    // ---- about ----
    void aboutTextReplacesBuiltInText() {
        Session s;
        s.start();
        const QString path =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("About.txt"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("first line\nsecond line\nthird line\n");
        }
        Taboutform box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTRY_COMPARE(box.Memo1->toPlainText(),
                     QStringLiteral("first line\nsecond line\nthird line"));
        QFile::remove(path);
        QCOMPARE(box.Label1->text(), QStringLiteral("Marlisk Barcode Generator "));
        QVERIFY(!(box.windowFlags() & Qt::WindowCloseButtonHint));
        QTest::mouseClick(box.Button1, Qt::LeftButton);
        QVERIFY(!box.isVisible());
    }

    void aboutKeepsBuiltInTextWithoutAFile() {
        Session s;
        s.start();
        Taboutform box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(box.Memo1->toPlainText().contains(QStringLiteral("Marlisk Barcode Generator")));
    }

    void aboutReadsAnyFileSafely_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("UTF-8") << QByteArray(
                                      "Gr\xc3\xbc\xc3\x9f"
                                      "e\r\nzwei\r\n")
                               << QStringList{QStringLiteral("Grüße"), QStringLiteral("zwei")};
        QTest::newRow("not UTF-8: read byte for byte")
            << QByteArray("caf\xe9\n") << QStringList{QStringLiteral("café")};
    }
    void aboutReadsAnyFileSafely() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("About.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QCOMPARE(Taboutform::readAboutLines(path), lines);
    }

    void hugeAboutFileShowsItsBeginning() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("About.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray line(99, 'x');
        for (int i = 0; i < 30000; ++i) f.write(line + '\n');  // 3 MB
        f.close();
        const QStringList lines = Taboutform::readAboutLines(path);
        QVERIFY(lines.size() > 10000 && lines.size() < 10600);
        QVERIFY(lines.back().contains(QStringLiteral("longer than 1 MB")));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DialogsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_dialogs.moc"
