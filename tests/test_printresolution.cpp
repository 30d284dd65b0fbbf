// Printing at the printer's own resolution: the symbol is built anew in printer dots, so
// every module of a width is the same whole number of dots, from the window's context menu
// and from marlisk-cli --printer-resolution.

#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

#include "cupspdf.h"
#include "designers/barfamilyform.h"
#include "dialogs/printunit.h"
#include "formtesting.h"

namespace {
bool have(const char* program) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

// The top-left 2000 x 2000 dots of page 1 of a PDF rasterised at `dpi` in grey, without
// smoothing.
QImage rasterise(const QString& pdf, int dpi, const QString& stem) {
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"),
                                                   QString::number(dpi),
                                                   QStringLiteral("-gray"),
                                                   QStringLiteral("-x"),
                                                   QStringLiteral("0"),
                                                   QStringLiteral("-y"),
                                                   QStringLiteral("0"),
                                                   QStringLiteral("-W"),
                                                   QStringLiteral("2000"),
                                                   QStringLiteral("-H"),
                                                   QStringLiteral("2000"),
                                                   QStringLiteral("-png"),
                                                   QStringLiteral("-aa"),
                                                   QStringLiteral("no"),
                                                   QStringLiteral("-aaVector"),
                                                   QStringLiteral("no"),
                                                   QStringLiteral("-singlefile"),
                                                   QStringLiteral("-f"),
                                                   QStringLiteral("1"),
                                                   QStringLiteral("-l"),
                                                   QStringLiteral("1"),
                                                   pdf,
                                                   stem});
    return QImage(stem + QStringLiteral(".png"));
}

// The first image embedded in a PDF, as the file holds it.
QImage embeddedImage(const QString& pdf, const QString& stem) {
    QProcess::execute(QStringLiteral("pdfimages"), {QStringLiteral("-png"), pdf, stem});
    return QImage(stem + QStringLiteral("-000.png"));
}

bool dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

QRect darkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (dark(image, x, y)) box |= QRect(x, y, 1, 1);
    return box;
}

// The widths of the bars and spaces along row y, from the first bar to the last.
QList<int> runs(const QImage& image, int y) {
    QList<int> out;
    int x = 0;
    while (x < image.width() && !dark(image, x, y)) ++x;
    int last = image.width() - 1;
    while (last > x && !dark(image, last, y)) --last;
    while (x <= last) {
        const bool d = dark(image, x, y);
        int n = 0;
        while (x <= last && dark(image, x, y) == d) ++x, ++n;
        out << n;
    }
    return out;
}

// Every bar and space is a whole number of modules of `dots` dots.
QString wholeModules(const QList<int>& widths, int dots) {
    for (int w : widths)
        if (w % dots != 0)
            return QStringLiteral("a run of %1 dots is no whole number of %2-dot modules")
                .arg(w)
                .arg(dots);
    return widths.size() < 30 ? QStringLiteral("only %1 runs").arg(widths.size()) : QString();
}

QString zbar(const QString& png) {
    QProcess p;
    p.start(QStringLiteral("zbarimg"),
            {QStringLiteral("-q"), QStringLiteral("--raw"), QStringLiteral("-Supca.enable"), png});
    p.waitForFinished(30000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}
}  // namespace

class PrintResolutionTest : public QObject {
    Q_OBJECT
  private slots:
    // At 600 dpi a 21-mil module is 12.6 dots: built anew it is 13 dots everywhere, and the
    // symbol has the size marlisk-cli gives at --dpi 600.
    void windowPrintsDotForDot_data() {
        QTest::addColumn<bool>("turned");
        QTest::newRow("as built") << false;
        QTest::newRow("turned") << true;
    }
    void windowPrintsDotForDot() {
        if (!have("pdftoppm") || !have("zbarimg")) QFAIL("pdftoppm or zbarimg is not installed");
        QFETCH(bool, turned);
        formtesting::Session s("[Symbology]\nChecked=Bar Code UPC-A\n");
        Tmainfm& w = s.start();
        auto* form = formtesting::hostedForm<BarFamilyForm>(w);
        QVERIFY(form);
        form->barcodeedt->setText(QStringLiteral("03600029145"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        if (turned) form->ToolButton5->click();

        const QString pdf = s.dir.filePath(QStringLiteral("at600.pdf"));
        QPrinter& printer = globals::currentPrinter();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(600);
        int dialogs = 0;
        DesignerForm::printDialogHook() = [&dialogs](Tpringfm& d) {
            ++dialogs;
            d.xedt->setText(QStringLiteral("500"));
            d.yedt->setText(QStringLiteral("250"));
            QTest::mouseClick(d.Button1, Qt::LeftButton);
        };
        form->printAtPrinterResolution();
        DesignerForm::printDialogHook() = {};
        QCOMPARE(dialogs, 1);
        QVERIFY2(s.messages.empty(), qPrintable(s.texts().join('\n')));
        QVERIFY2(QFile::exists(pdf), "nothing was printed");

        const QImage page = rasterise(pdf, 600, s.dir.filePath(QStringLiteral("page")));
        QVERIFY(!page.isNull());
        const QRect box = darkBox(page);
        // The same symbol from marlisk-cli at --dpi 600, placed 300 and 150 dots in.
        QStringList args{"upca",    "03600029145", "--dpi",
                         "600",     "-o",          s.dir.filePath(QStringLiteral("cli.png")),
                         "--top",   "0",           "--down",
                         "0",       "--left",      "0",
                         "--right", "0",           "--interval",
                         "0"};
        if (turned) args << QStringLiteral("--turn");
        QProcess cli;
        cli.start(QStringLiteral(MARLISK_CLI), args);
        QVERIFY(cli.waitForFinished(60000) && cli.exitCode() == 0);
        const QRect expected =
            darkBox(QImage(s.dir.filePath(QStringLiteral("cli.png")))).translated(300, 150);
        QVERIFY2(qAbs(box.left() - expected.left()) <= 1 && qAbs(box.top() - expected.top()) <= 1 &&
                     qAbs(box.right() - expected.right()) <= 1 &&
                     qAbs(box.bottom() - expected.bottom()) <= 1,
                 qPrintable(QStringLiteral("%1,%2 %3 x %4, expected %5,%6 %7 x %8")
                                .arg(box.left())
                                .arg(box.top())
                                .arg(box.width())
                                .arg(box.height())
                                .arg(expected.left())
                                .arg(expected.top())
                                .arg(expected.width())
                                .arg(expected.height())));
        // The image on the page is that picture, pixel for pixel, with every 21-mil module
        // 13 dots wide; a scanner reads it.
        const QImage printed = embeddedImage(pdf, s.dir.filePath(QStringLiteral("img")));
        const QImage built(s.dir.filePath(QStringLiteral("cli.png")));
        QCOMPARE(printed.convertToFormat(QImage::Format_RGB32),
                 built.convertToFormat(QImage::Format_RGB32));
        const QImage upright = turned ? built.transformed(QTransform().rotate(-90)) : built;
        const QString why = wholeModules(runs(upright, 40), 13);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        if (!turned)
            QCOMPARE(zbar(s.dir.filePath(QStringLiteral("page.png"))),
                     QStringLiteral("036000291452"));
    }

    // Through a print queue as a user has it: the queue's own resolution (300 dpi for the
    // PDF queue) makes a 21-mil module 6 dots, and the page holds the picture losslessly.
    void cliPrintsAtTheQueuesResolution() {
        if (!have("pdftoppm") || !have("lpstat")) QFAIL("pdftoppm or the CUPS client is missing");
        QProcess lpstat;
        lpstat.start(QStringLiteral("lpstat"),
                     {QStringLiteral("-p"), QStringLiteral("marlisk-pdf")});
        if (!lpstat.waitForFinished(5000) || lpstat.exitCode() != 0)
            QFAIL("no CUPS queue 'marlisk-pdf': tests/services.sh start sets it up");
        const cupspdf::Jobs jobs;
        QProcess cli;
        cli.start(QStringLiteral(MARLISK_CLI),
                  {"upca", "03600029145", "--print", "marlisk-pdf", "--printer-resolution", "--x",
                   "500", "--y", "250", "--top", "0", "--down", "0", "--left", "0", "--right", "0",
                   "--interval", "0"});
        QVERIFY(cli.waitForFinished(60000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());

        const QString pdf = jobs.waitForNext();
        if (pdf.isEmpty()) QFAIL("the CUPS queue produced no PDF within 30 seconds");
        QTemporaryDir dir;
        const QImage page = rasterise(pdf, 300, dir.filePath(QStringLiteral("page")));
        const QRect box = darkBox(page);
        // 300 dpi: F = 25, modules of 6 dots, 125-dot bars: 620 x 440 from (150, 75).
        QVERIFY2(qAbs(box.left() - 150) <= 1 && qAbs(box.top() - 75) <= 1,
                 qPrintable(QStringLiteral("at %1,%2").arg(box.left()).arg(box.top())));
        // The image on the page is the picture built at 300 dpi, pixel for pixel.
        const QImage printed = embeddedImage(pdf, dir.filePath(QStringLiteral("img")));
        QProcess at300;
        at300.start(
            QStringLiteral(MARLISK_CLI),
            {"upca", "03600029145", "--dpi", "300", "-o", dir.filePath("at300.png"), "--top", "0",
             "--down", "0", "--left", "0", "--right", "0", "--interval", "0"});
        QVERIFY(at300.waitForFinished(60000) && at300.exitCode() == 0);
        const QImage built(dir.filePath(QStringLiteral("at300.png")));
        QCOMPARE(printed.size(), QSize(620, 440));
        QCOMPARE(printed.convertToFormat(QImage::Format_RGB32),
                 built.convertToFormat(QImage::Format_RGB32));
        const QString why = wholeModules(runs(built, 20), 6);
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }
};

QTEST_MAIN(PrintResolutionTest)

#include "test_printresolution.moc"
