// marlisk-cli: the same pictures as the designer forms, files written whole or not at all,
// refusals with the forms' texts, batches, vectors and resolution.

#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "cli/batch.h"
#include "clirun.h"
#include "cupspdf.h"
#include "formtesting.h"

using formtesting::Session;
using formtesting::setField;

namespace {
using clirun::contentOf;
using clirun::Run;
using clirun::runCli;
using clirun::runShell;

// The most memory any finished marlisk-cli run has held, in megabytes.
long largestChildMegabytes() {
    rusage use{};
    getrusage(RUSAGE_CHILDREN, &use);
    return use.ru_maxrss / 1024;
}

struct stat statOf(const QString& path) {
    struct stat st {};
    lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

QImage rgb(const QImage& i) {
    return i.convertToFormat(QImage::Format_RGB32);
}

// The picture of the SVG's rectangles (text left out), painted as a browser would.
QImage paintSvgRects(const QByteArray& svg, QSize size, QList<QRect>* textCells) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    const QRegularExpression rect(
        QStringLiteral("<rect x=\"(-?\\d+)\" y=\"(-?\\d+)\" width=\"(\\d+)\" height=\"(\\d+)\" "
                       "fill=\"(#[0-9a-f]{6})\"/>\\n(<text)?"));
    for (auto it = rect.globalMatch(QString::fromUtf8(svg)); it.hasNext();) {
        const auto m = it.next();
        const QRect r(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                      m.captured(4).toInt());
        for (int y = std::max(0, r.top()); y <= std::min(size.height() - 1, r.bottom()); ++y)
            for (int x = std::max(0, r.left()); x <= std::min(size.width() - 1, r.right()); ++x)
                img.setPixel(x, y, QColor(m.captured(5)).rgb());
        if (!m.captured(6).isEmpty()) *textCells << r;
    }
    return img;
}
}  // namespace

class CliTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file(const QString& name) { return dir.filePath(name); }

  private slots:
    // The picture a form puts on the clipboard and the CLI's PNG are the same, pixel for
    // pixel, at the screen's 96 dpi with the default font, and the window's symbol check
    // report says what --check says.
    void sameAsTheForm_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("fields");  // name=value pairs for the form
        QTest::newRow("c39 defaults")
            << "C391" << QStringList{"c39", "AB"} << QStringList{"barcodeedt=AB"};
        QTest::newRow("c39 comment, ratio, sizes")
            << "C391" << QStringList{"c39", "Mar-39$/+%._", "--comment", "Lot 7",    "--ratio",
                                     "2.5", "--narrow",     "30",        "--height", "0.8"}
            << QStringList{"barcodeedt=Mar-39$/+%._", "heardtextedt=Lot 7", "natiocbox=2.5",
                           "fnarwidthedt=30", "fheightedt=0.8"};
        QTest::newRow("ean13 with 2-digit add-on")
            << "ENA13" << QStringList{"ean13", "590123412345", "--addon", "12"}
            << QStringList{"barcodeedt=590123412345", "Edit1=12"};
        QTest::newRow("ean13 full number, comment, width 3")
            << "ENA13" << QStringList{"ean13", "4006381333931", "--comment", "Tea", "--width",
                                      "3",     "--addon",       "52495"}
            << QStringList{"barcodeedt=400638133393", "heardtextedt=Tea", "ComboBox1=3",
                           "Edit1=52495"};
        QTest::newRow("ean8 with 5-digit add-on")
            << "EAN81" << QStringList{"ean8", "9638507", "--addon", "52495"}
            << QStringList{"barcodeedt=9638507", "Supplementaltxt=52495"};
        QTest::newRow("upca with colour")
            << "upca1" << QStringList{"upca", "03600029145", "--addon", "07", "--color", "1040a0"}
            << QStringList{"barcodeedt=03600029145", "Supplementaltxt=07"};
        QTest::newRow("upce with comment and add-on")
            << "UPCE1"
            << QStringList{"upce", "654321", "--addon", "12", "--comment", "E", "--module", "26"}
            << QStringList{"barcodeedt=654321", "Supplementaltxt=12", "heardtextedt=E",
                           "barwidth=26"};
    }
    void sameAsTheForm() {
        QFETCH(QString, menu);
        QFETCH(QStringList, args);
        QFETCH(QStringList, fields);
        const QString png = file(QStringLiteral("form.png"));
        const Run r = runCli(args + QStringList{"-o", png, "--check"});
        QVERIFY2(r.status == 0, qPrintable(r.err));

        Session s;
        Tmainfm& w = s.start();
        const int colourAt = args.indexOf(QStringLiteral("--color"));
        if (colourAt >= 0) w.setSharedColor(QColor(QLatin1Char('#') + args[colourAt + 1]));
        w.menuItem(menu)->trigger();
        QWidget* form = w.currentForm();
        QVERIFY(form != nullptr);
        for (const QString& f : fields)
            setField(form, qPrintable(f.section('=', 0, 0)), f.section('=', 1));
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
        QVERIFY2(s.clipboardCopies == 1, qPrintable(s.texts().join('\n')));
        const QImage fromCli(png);
        QCOMPARE(rgb(fromCli).size(), s.clipboard.image().size());
        QVERIFY(rgb(fromCli) == rgb(s.clipboard.image()));

        QString reported;
        DesignerForm::reportDialogHook() = [&reported](QDialog& d) {
            reported = d.findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText();
        };
        qobject_cast<DesignerForm*>(form)->showSymbolCheck();
        DesignerForm::reportDialogHook() = {};
        QVERIFY(reported.contains(QLatin1String("decode: zbar reads")));
        QCOMPARE(reported, QString::fromUtf8(r.out).trimmed());
    }

    // Save picture as writes the file marlisk-cli writes for the same inputs, in each
    // format, turned when the preview is turned; the folder is remembered in a section of
    // its own and the dialog opens there next time.
    void saveFromTheWindow_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("turned");
        QTest::addColumn<bool>("byShortcut");
        QTest::newRow("PNG from the menu") << "a.png" << false << false;
        QTest::newRow("BMP turned") << "b.bmp" << true << false;
        QTest::newRow("SVG by Ctrl+S") << "c.svg" << false << true;
        QTest::newRow("SVG turned") << "d.svg" << true << false;
        QTest::newRow("PDF turned by Ctrl+S") << "e.pdf" << true << true;
    }
    void saveFromTheWindow() {
        QFETCH(QString, name);
        QFETCH(bool, turned);
        QFETCH(bool, byShortcut);
        QStringList args{
            "upca",      "03600029145", "--addon", "12",
            "--comment", "Tea",         "-o",      file(QStringLiteral("cli-") + name)};
        if (turned) args << QStringLiteral("--turn");
        const Run r = runCli(args);
        QVERIFY2(r.status == 0, qPrintable(r.err));

        Session s;
        Tmainfm& w = s.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.menuItem(QStringLiteral("upca1"))->trigger();
        auto* form = qobject_cast<DesignerForm*>(w.currentForm());
        QVERIFY(form != nullptr);
        setField(form, "barcodeedt", QStringLiteral("03600029145"));
        setField(form, "Supplementaltxt", QStringLiteral("12"));
        setField(form, "heardtextedt", QStringLiteral("Tea"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        if (turned) form->ToolButton5->click();

        const QString saved = file(QStringLiteral("window-") + name);
        s.saveAnswers << saved;
        if (byShortcut) {
            QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier);
        } else {
            QAction* item = nullptr;
            DesignerForm::previewMenuHook() = [&item](QMenu& menu) {
                for (QAction* a : menu.actions())
                    if (a->text() == QStringLiteral("Save picture as\u2026")) a->trigger();
                item = menu.actions().isEmpty() ? nullptr : menu.actions().constFirst();
            };
            emit form->Image1->customContextMenuRequested(QPoint(1, 1));
            DesignerForm::previewMenuHook() = {};
            QVERIFY(item != nullptr);
        }
        QVERIFY2(s.messages.empty(), qPrintable(s.texts().join('\n')));
        QCOMPARE(s.saveDialogFolders, QStringList{QDir::homePath()});
        // A PDF is dated to the second it was written: compare the rest.
        const auto undated = [](QByteArray bytes) {
            return QString::fromLatin1(bytes)
                .replace(QRegularExpression(QStringLiteral("/CreationDate \\(D:[^)]*\\)")),
                         QStringLiteral("/CreationDate ()"))
                .toLatin1();
        };
        QCOMPARE(undated(contentOf(saved)),
                 undated(contentOf(file(QStringLiteral("cli-") + name))));

        // Next time the dialog opens where the picture went; the specified sections stay.
        s.saveAnswers << QString();
        QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(s.saveDialogFolders.last(), dir.path());
        QVERIFY(s.readIni().contains("[Folders]\nSavePicture=" + QFile::encodeName(dir.path())));
    }

    // A file that cannot be written gives a Notice that says which and why, and leaves no
    // file; before the first build there is nothing to save.
    void saveFromTheWindowRefused_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a file where the folder should be") << "plain/x.png"
                                                           << "Not a directory";
        QTest::newRow("folder that is not there") << "gone/x.png"
                                                  << "No such file or directory";
        QTest::newRow("kind the writer does not know")
            << "x.jpg"
            << "unknown file type of '%1': use .png, .bmp, .svg or .pdf";
        QTest::newRow("read-only file") << "ro.png"
                                        << "the file is read-only";
        QTest::newRow("file with several names") << "linked.png"
                                                 << "the file has several names (hard links)";
    }
    void saveFromTheWindowRefused() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QTemporaryDir here;
        const auto file = [&here](const QString& name) { return here.filePath(name); };
        if (reason.contains(QLatin1String("%1"))) reason = reason.arg(file(target));
        QFile plain(file(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QFile ro(file(QStringLiteral("ro.png")));
        QVERIFY(ro.open(QIODevice::WriteOnly));
        ro.write("kept");
        ro.close();
        ro.setPermissions(QFile::ReadOwner);
        QCOMPARE(link(QFile::encodeName(plain.fileName()).constData(),
                      QFile::encodeName(file(QStringLiteral("linked.png"))).constData()),
                 0);

        Session s;
        Tmainfm& w = s.start();
        w.menuItem(QStringLiteral("EAN81"))->trigger();
        auto* form = qobject_cast<DesignerForm*>(w.currentForm());
        s.saveAnswers << file(target);
        form->savePictureAs();  // nothing built yet
        QVERIFY(s.saveDialogFolders.isEmpty());
        setField(form, "barcodeedt", QStringLiteral("9638507"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        form->savePictureAs();

        QCOMPARE(s.messages.size(), size_t(1));
        const QString said = s.messages.front().text;
        QCOMPARE(s.messages.front().caption, QStringLiteral("Notice"));
        QVERIFY2(said.contains(reason) && said.contains(file(target)), qPrintable(said));
        QCOMPARE(contentOf(file(QStringLiteral("ro.png"))), QByteArray("kept"));
        QCOMPARE(contentOf(file(QStringLiteral("linked.png"))), QByteArray());
        QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("linked.png"), QStringLiteral("plain"),
                              QStringLiteral("ro.png")}));
        QVERIFY(!s.readIni().contains("[Folders]"));
    }

    void moduleStrings_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("c39 AB") << QStringList{"c39", "AB"}
                                << "100101101101011010100101101011010010110100101101101";
        QTest::newRow("upca 03600029145") << QStringList{"upca", "03600029145"}
                                          << "10100011010111101010111100011010001101000110101010110"
                                             "110011101001100110101110010011101101100101";
        QTest::newRow("upca with add-on 12")
            << QStringList{"upca", "03600029145", "--addon", "12"}
            << "10100011010111101010111100011010001101000110101010110110011101001100110101110010011"
               "101101100101\n10110011001010010011";
        QTest::newRow("add-on 07") << QStringList{"upca", "036000291452", "--addon", "07"}
                                   << "101000110101111010101111000110100011010001101010101101100111"
                                      "01001100110101110010011101101100101\n10110100111010010001";
        QTest::newRow("add-on 52495")
            << QStringList{"ean8", "9638507", "--addon", "52495"}
            << "1010001011010111101111010110111010101001110111001010001001011100101\n10110111001010"
               "010011010011101010001011010110001";
        QTest::newRow("ean8 1234567")
            << QStringList{"ean8", "1234567"}
            << "1010011001001001101111010100011010101001110101000010001001110010101";
        QTest::newRow("upce 123456") << QStringList{"upce", "123456"}
                                     << "101011001100100110111101001110101110010101111010101";
        QTest::newRow("upce 000000") << QStringList{"upce", "000000"}
                                     << "101010011101001110100111000110100011010001101010101";
        QTest::newRow("upce 654321") << QStringList{"upce", "654321"}
                                     << "101000010101100010011101011110100110110011001010101";
        QTest::newRow("upce 425261") << QStringList{"upce", "425261"}
                                     << "101001110100100110111001001101101011110011001010101";
        QTest::newRow("upce 012347 as full number")
            << QStringList{"upce", "00123471"}
            << "101010011101100110010011010000101000110111011010101";
        QTest::newRow("upce 004200") << QStringList{"upce", "004200"}
                                     << "101010011100011010100011001001101001110100111010101";
        QTest::newRow("symbology named in capitals")
            << QStringList{"EAN8", "1234567"}
            << "1010011001001001101111010100011010101001110101000010001001110010101";
        QTest::newRow("ean13 guards folded to 1 and 0")
            << QStringList{"ean13", "000000000000"}
            << "10100011010001101000110100011010001101000110101010111001011100101110010111001011100"
               "101110010101";
    }
    void moduleStrings() {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const Run r = runCli(args + QStringList{"--modules"});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(QString::fromLatin1(r.out).trimmed(), expected);
    }

    // Refused input: exit status 2, the form's own words, and no file touched.
    void refusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("text");
        QTest::newRow("ean13 eleven digits") << QStringList{"ean13", "59012341234"}
                                             << "The 'Bar code message' must contain 12 numbers.";
        QTest::newRow("ean13 wrong check digit")
            << QStringList{"ean13", "5901234123455"} << "Invalid check digit '5', expecting '7'";
        QTest::newRow("upca wrong check digit")
            << QStringList{"upca", "036000291450"} << "Invalid check digit '0', expecting '2'";
        QTest::newRow("upce wrong number system")
            << QStringList{"upce", "11234565"}
            << "Invalid number system '1' of a UPC-E number, expecting '0'";
        QTest::newRow("ean8 add-on of 3 digits")
            << QStringList{"ean8", "9638507", "--addon", "123"}
            << "The 'Ean8 Supplemental' must contain 2 or 5 numbers.";
        QTest::newRow("ean13 add-on of 3 digits is not left out quietly")
            << QStringList{"ean13", "590123412345", "--addon", "123"}
            << "The 'Ean13 Supplemental' must contain 2 or 5 numbers.";
        QTest::newRow("c39 empty message") << QStringList{"c39", ""} << "Barcode Message Error";
        QTest::newRow("c39 space, with the character that stands for it")
            << QStringList{"c39", "LOT 42"}
            << "The 'Bar code message' holds the character ' ' at position 4, which Code 39 "
               "cannot encode. Type '_' where the symbol is to hold a space.";
        QTest::newRow("upca negative height: nothing to draw on")
            << QStringList{"upca", "03600029145", "--height", "-1"}
            << "The picture would be 206 x -80 pixels, which leaves nothing to draw on. Use larger "
               "sizes or page values.";
        QTest::newRow("page value out of range named with its value")
            << QStringList{"ean13", "590123412345", "--left", "-1e308"}
            << "The picture would be too large: the page setting's 'Left Blank Space' of -1e+308 "
               "mils is out of range at 96 dpi; the largest allowed is 32000 pixels a side and "
               "256 MB.";
        QTest::newRow("c39 at 1 dpi: the resolution is at fault, not the narrow bar typed")
            << QStringList{"c39", "AB", "--dpi", "1"}
            << "--dpi 1 is too low a resolution: the narrow bar comes to less than one dot";
        QTest::newRow("c39 narrow bar of 0 at 1 dpi: the form's words")
            << QStringList{"c39", "AB", "--dpi", "1", "--narrow", "0"} << "Narwidth param Error";
        QTest::newRow("c39 ratio out of range")
            << QStringList{"c39", "AB", "--ratio", "3.5"} << "Natio Error";
        QTest::newRow("c39 one character")
            << QStringList{"c39", "A"}
            << "The 'Bar code message' must have two or above two characters.";
        QTest::newRow("height that is no number")
            << QStringList{"upca", "03600029145", "--height", "1.2.3"}
            << "'1.2.3' is not a valid floating point value";
        QTest::newRow("module width with a point")
            << QStringList{"upce", "123456", "--module", "2.5"}
            << "'2.5' is not a valid integer value";
        QTest::newRow("add-on to Code 39 is not left out quietly")
            << QStringList{"c39", "LOT42", "--addon", "12"}
            << "--addon does not apply to c39: it is for ean13, ean8, upca and upce";
        QTest::newRow("module width of ean13, whatever its value")
            << QStringList{"ean13", "590123412345", "--module", "abc"}
            << "--module does not apply to ean13: it is for ean8, upca and upce";
        QTest::newRow("ratio of upca") << QStringList{"upca", "03600029145", "--ratio", "2.5"}
                                       << "--ratio does not apply to upca: it is for c39";
        QTest::newRow("--check takes its value after '=' only")
            << QStringList{"c39", "AB", "--check=xml"}
            << "'xml' is not a valid value for --check: use --check or --check=json";
        QTest::newRow("--strict without --check")
            << QStringList{"c39", "AB", "--strict"} << "--strict needs --check";
        QTest::newRow("colour of Code 39")
            << QStringList{"c39", "AB", "--color", "ff0000"}
            << "--color does not apply to c39: it is for ean13, ean8, upca and upce";
    }
    // A message that begins with "-" is an option unless it comes after "--".
    void messageAfterDoubleDash() {
        const QString out = file(QStringLiteral("dash.png"));
        QFile::remove(out);
        Run r = runCli({"c39", "-o", out, "-LOT"});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QStringLiteral("unknown option -LOT (see --help)"));
        r = runCli({"c39", "-o", out, "--", "-LOT"});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(QFile::exists(out));
        QVERIFY(runCli({"--help"}).out.contains("goes after \"--\""));
    }

    // --modules runs the checks of a build and refuses in the same words.
    void modulesRefuseInTheFormsWords_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("text");
        QTest::newRow("upca add-on of 3 digits")
            << QStringList{"upca", "03600029145", "--addon", "123"}
            << "The 'Upc-a Supplemental' must contain 2 or 5 numbers.";
        QTest::newRow("ean13 add-on of 4 digits")
            << QStringList{"ean13", "590123412345", "--addon", "1234"}
            << "The 'Ean13 Supplemental' must contain 2 or 5 numbers.";
        QTest::newRow("upce add-on with a letter")
            << QStringList{"upce", "123456", "--addon", "1x"}
            << "The 'Upc-e Supplemental' holds the character 'x' at position 2; only the digits "
               "0 to 9 are allowed.";
        QTest::newRow("ean8 short message")
            << QStringList{"ean8", "963850"} << "The 'Bar code message' must contain 7 numbers.";
    }
    void modulesRefuseInTheFormsWords() {
        QFETCH(QStringList, args);
        QFETCH(QString, text);
        const Run r = runCli(args + QStringList{"--modules"});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, text);
        QVERIFY(r.out.isEmpty());
    }

    void refusals() {
        QFETCH(QStringList, args);
        QFETCH(QString, text);
        const QString out = file(QStringLiteral("refused.png"));
        QFile::remove(out);
        Run r = runCli(args + QStringList{"-o", out});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, text);
        QVERIFY(!QFile::exists(out));
        // An existing file is neither truncated nor replaced.
        QFile keep(out);
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("previous content");
        keep.close();
        r = runCli(args + QStringList{"-o", out});
        QCOMPARE(r.status, 2);
        QFile again(out);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), QByteArray("previous content"));
    }

    // Page values that leave the main symbol no room are refused with an add-on as without
    // one, whatever the output: the add-on's own width must not let an empty picture
    // through (an ean13 with an add-on at --left -2200 once overflowed the stack writing
    // PNG and BMP, and was refused as "cannot be written as vectors" for SVG and PDF).
    void addOnLeavesNothingToDrawOn_data() {
        QTest::addColumn<QStringList>("symbol");
        QTest::addColumn<QString>("output");  // "-o" value; empty: --check alone
        QTest::addColumn<QString>("size");    // in "The picture would be <size> pixels"
        const QStringList ean13{"ean13", "590123412345", "--addon", "12", "--left", "-2200"};
        QTest::newRow("ean13, add-on, PNG") << ean13 << "x.png"
                                            << "-7 x 127";
        QTest::newRow("ean13, add-on, BMP") << ean13 << "x.bmp"
                                            << "-7 x 127";
        QTest::newRow("ean13, add-on, SVG") << ean13 << "x.svg"
                                            << "-7 x 127";
        QTest::newRow("ean13, add-on, PDF") << ean13 << "x.pdf"
                                            << "-7 x 127";
        QTest::newRow("ean13, add-on, standard output") << ean13 << "-"
                                                        << "-7 x 127";
        QTest::newRow("ean13, add-on, --check alone") << ean13 << ""
                                                      << "-7 x 127";
        QTest::newRow("ean13 without add-on, the same values")
            << ean13.mid(0, 2) + ean13.mid(4) << "x.png"
            << "-7 x 127";
        QTest::newRow("ean13, 5-digit add-on, --left -2600")
            << QStringList{"ean13", "590123412345", "--addon", "12345", "--left", "-2600"}
            << "x.png"
            << "-46 x 127";
        QTest::newRow("upca, add-on: a picture of the add-on alone")
            << QStringList{"upca", "01234567890", "--addon", "12", "--left", "-2200"} << "x.png"
            << "-5 x 141";
        QTest::newRow("ean8, add-on")
            << QStringList{"ean8", "1234567", "--addon", "12", "--left", "-2200"} << "x.svg"
            << "-61 x 141";
        QTest::newRow("upce, 5-digit add-on")
            << QStringList{"upce", "012345", "--addon", "12345", "--left", "-1700"} << "x.png"
            << "-45 x 141";
    }
    void addOnLeavesNothingToDrawOn() {
        QFETCH(QStringList, symbol);
        QFETCH(QString, output);
        QFETCH(QString, size);
        QTemporaryDir here;
        QStringList args = symbol;
        if (output.isEmpty())
            args << QStringLiteral("--check");
        else
            args << QStringLiteral("-o")
                 << (output == QLatin1String("-") ? output : here.filePath(output));
        const Run r = runCli(args);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QStringLiteral("The picture would be %1 pixels, which leaves nothing to "
                                       "draw on. Use larger sizes or page values.")
                            .arg(size));
        QCOMPARE(r.out, QByteArray());
        QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // In a batch such a line is refused with its number and the run goes on to the next.
    void batchGoesOnPastALineThatLeavesNothingToDrawOn() {
        QTemporaryDir here;
        QFile list(here.filePath(QStringLiteral("list.csv")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(
            "ean13,590123412345,12,,a.png\nean13,590123412345,,,b.png\n"
            "ean13,590123412345,12,,c.bmp\nupca,01234567890,12,,d.png\n");
        list.close();
        const Run r = runCli({"--batch", list.fileName(), "--left", "-2200"}, here.path());
        QCOMPARE(r.status, 2);
        for (const char* line : {"line 1: The picture would be -7 x 127 pixels",
                                 "line 2: The picture would be -7 x 127 pixels",
                                 "line 3: The picture would be -7 x 127 pixels",
                                 "line 4: The picture would be -5 x 141 pixels"})
            QVERIFY2(r.err.contains(QLatin1String(line)), qPrintable(r.err));
        QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("list.csv")});
    }

    void oversizedAndUnusableInput_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("starts");
        QTest::newRow("500-inch bars")
            << QStringList{"upca", "03600029145", "--height", "500"} << 2 << "The picture would be";
        QTest::newRow("page value 1e308")
            << QStringList{"c39", "AB", "--left", "1e308"} << 2 << "The picture would be";
        QTest::newRow("unknown symbology")
            << QStringList{"qr", "AB", "-o", "x.png"} << 2 << "unknown symbology 'qr'";
        QTest::newRow("unwritable file") << QStringList{"c39", "AB", "-o", "/proc/marlisk.png"} << 1
                                         << "cannot write '/proc/marlisk.png'";
        QTest::newRow("unknown file type")
            << QStringList{"c39", "AB", "-o", "x.gif"} << 1 << "unknown file type";
        QTest::newRow("line end in the output name")
            << QStringList{"c39", "AB", "-o", "a\nb.png"} << 2
            << "the output file name holds a control character (byte 0x0a at position 2)";
        QTest::newRow("print system down")
            << QStringList{"upca", "03600029145", "--print", "Q", "--x", "0"} << 1
            << "cannot print on 'Q': the print system cannot be reached";
    }
    void oversizedAndUnusableInput() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, starts);
        if (!args.contains(QStringLiteral("-o")) && !args.contains(QStringLiteral("--print")))
            args << QStringLiteral("-o") << file(QStringLiteral("big.png"));
        // No scheduler where CUPS_SERVER points: as when the print system is down.
        const Run r = runCli(args, {}, [](QProcess& p) {
            QProcessEnvironment env = p.processEnvironment();
            env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/cups.sock"));
            p.setProcessEnvironment(env);
        });
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.startsWith(starts), qPrintable(r.err));
        QVERIFY(!QFile::exists(file(QStringLiteral("big.png"))));
    }

    // An existing output keeps how it is protected: its mode, its other names, its link;
    // what is not a regular file is never replaced, a read-only file only with --force.
    void replacingKeepsTheFilesProtection_data() {
        QTest::addColumn<QString>("existing");  // what lies at the output path
        QTest::addColumn<bool>("force");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");  // after "cannot write '<path>': "
        QTest::newRow("0600 file stays 0600") << "file 0600" << false << 0 << "";
        QTest::newRow("read-only file is refused")
            << "file 0444" << false << 1 << "the file is read-only (--force replaces it)";
        QTest::newRow("read-only file with --force keeps its mode")
            << "file 0444" << true << 0 << "";
        QTest::newRow("FIFO named x.png") << "fifo" << true << 1 << "it is not a regular file";
        QTest::newRow("link to a device")
            << "link to /dev/null" << true << 1 << "it is not a regular file";
        QTest::newRow("link to a file is written through") << "link to file" << false << 0 << "";
        // Rewriting in place is not whole or nothing (a kill -9 during a 32 MB BMP left it
        // half new), and replacing the file would part its names: refused unless forced.
        QTest::newRow("hard link is refused, both names keep what they held")
            << "hard link" << false << 1
            << "the file has several names (hard links) (--force rewrites it in place, for "
               "every name)";
        QTest::newRow("hard link with --force: both names see the picture")
            << "hard link" << true << 0 << "";
    }
    void replacingKeepsTheFilesProtection() {
        QFETCH(QString, existing);
        QFETCH(bool, force);
        QFETCH(int, status);
        QFETCH(QString, error);
        QTemporaryDir here;
        const QString out = here.filePath(QStringLiteral("x.png"));
        const QString other = here.filePath(QStringLiteral("other.png"));
        const QByteArray old("previous content");
        const QByteArray outName = QFile::encodeName(out);
        if (existing.startsWith(QLatin1String("file"))) {
            QFile f(out);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
            f.close();
            QCOMPARE(chmod(outName.constData(), existing.mid(5).toUInt(nullptr, 8)), 0);
        } else if (existing == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(outName.constData(), 0644), 0);
        } else if (existing == QLatin1String("link to /dev/null")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), out));
        } else {
            QFile f(other);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
            f.close();
            if (existing == QLatin1String("link to file"))
                QVERIFY(QFile::link(other, out));
            else
                QCOMPARE(link(QFile::encodeName(other).constData(), outName.constData()), 0);
        }
        const struct stat before = statOf(out);
        QStringList args{"ean8", "9638507", "-o", out};
        if (force) args << QStringLiteral("--force");
        const Run r = runCli(args);
        QCOMPARE(r.status, status);
        const struct stat after = statOf(out);
        QCOMPARE(after.st_mode, before.st_mode);  // kind and permissions
        if (status != 0) {
            QCOMPARE(r.err, QStringLiteral("cannot write '%1': %2").arg(out, error));
            if (S_ISREG(after.st_mode)) QCOMPARE(contentOf(out), old);
            if (existing == QLatin1String("hard link")) QCOMPARE(contentOf(other), old);
            return;
        }
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(QImage(out).size(), QSize(150, 141));
        if (existing == QLatin1String("hard link")) {
            QCOMPARE(after.st_ino, before.st_ino);
            QCOMPARE(contentOf(other), contentOf(out));
        }
        if (existing == QLatin1String("link to file"))
            QCOMPARE(QImage(other).size(), QSize(150, 141));
        // No temporary is left beside it.
        QCOMPARE(QDir(here.path())
                     .entryList(QDir::Hidden | QDir::Files | QDir::System)
                     .filter(QStringLiteral(".marlisk-")),
                 QStringList());
    }

    // A temporary a killed run left behind is removed by the next run that writes there,
    // at once; one that a run still going on holds (locked) is kept, and so is a user's file
    // that only looks like one.
    void leftTemporariesAreRemoved() {
        QTemporaryDir here;
        const QString left = here.filePath(QStringLiteral(".marlisk-temporary-Ab12Cd34"));
        const QString held = here.filePath(QStringLiteral(".marlisk-temporary-Ef56Gh78"));
        const QString users = here.filePath(QStringLiteral(".marlisk-Ab12Cd"));
        for (const QString& t : {left, held, users}) {
            QFile f(t);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("complete") == 8);
        }
        QFile holder(held);
        QVERIFY(holder.open(QIODevice::ReadOnly));
        QCOMPARE(flock(holder.handle(), LOCK_EX), 0);
        const Run r = runCli({"ean8", "9638507", "-o", here.filePath(QStringLiteral("t.png"))});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(!QFile::exists(left));
        QVERIFY(QFile::exists(held));
        QVERIFY(QFile::exists(users));
    }

    // A failed or short write on standard output is a failure, with what the system said.
    void standardOutputErrorsAreFailures_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("error");
        const QString full =
            QStringLiteral("cannot write to standard output: No space left on device");
        const QString closed =
            QStringLiteral("cannot write to standard output: standard output is closed");
        QTest::newRow("PNG to a full disk") << "\"$CLI\" ean8 9638507 -o - > /dev/full" << full;
        QTest::newRow("module strings to a full disk")
            << "\"$CLI\" ean8 9638507 --modules > /dev/full" << full;
        QTest::newRow("help to a full disk") << "\"$CLI\" --help > /dev/full" << full;
        QTest::newRow("check report to a full disk")
            << "\"$CLI\" ean8 9638507 --addon 12 --check > /dev/full" << full;
        QTest::newRow("PNG to a closed standard output")
            << "exec \"$CLI\" ean8 9638507 -o - >&-" << closed;
        QTest::newRow("help to a closed standard output") << "exec \"$CLI\" --help >&-" << closed;
        QTest::newRow("batch from a closed standard input")
            << "exec \"$CLI\" --batch - <&-"
            << "cannot read the batch file '-': standard input is closed";
    }
    void standardOutputErrorsAreFailures() {
        QFETCH(QString, script);
        QFETCH(QString, error);
        const Run r = runShell(script);
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, error);
    }

    // Text beyond the picture costs nothing: a 10,000-character comment in a 100-point font
    // is as cheap as a short one (it took minutes and gigabytes when drawn whole first).
    void longCommentInALargeFontIsCheap() {
        const Run r = runCli({"c39", "AB", "--comment", QString(10000, QLatin1Char('W')),
                              "--font-size", "100", "-o", file(QStringLiteral("long.png"))});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY2(largestChildMegabytes() < 400,
                 qPrintable(QString::number(largestChildMegabytes())));
    }

    void verifyReadsBackEverySymbology_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("c39") << QStringList{"c39", "Code_39-OK"};
        QTest::newRow("ean13 + 5") << QStringList{"ean13", "400638133393", "--addon", "52495"};
        // The interval keeps the add-on's digits off its bars (see verifyFailsOnOtherData).
        QTest::newRow("ean8 + 2") << QStringList{"ean8", "9638507",    "--addon",
                                                 "12",   "--interval", "50"};
        QTest::newRow("upca") << QStringList{"upca", "03600029145"};
        QTest::newRow("upce + 2") << QStringList{"upce", "425261", "--addon", "05"};
        QTest::newRow("600 dpi, turned")
            << QStringList{"upca", "03600029145", "--dpi", "600", "--turn"};
    }
    void verifyReadsBackEverySymbology() {
        QFETCH(QStringList, args);
        const Run r = runCli(args + QStringList{"--verify", "-o", file(QStringLiteral("v.png"))});
        QVERIFY2(r.status == 0, qPrintable(r.err));
    }

    void verifyFailsWhenNothingCanBeRead() {
        // A module width that rounds to 0 pixels draws digits and no bars.
        const Run r = runCli({"upca", "03600029145", "--module", "1", "--verify", "-o",
                              file(QStringLiteral("nobars.png"))});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith(QStringLiteral("verification failed")), qPrintable(r.err));
        QVERIFY(!QFile::exists(file(QStringLiteral("nobars.png"))));
    }

    // A symbol that reads right in its middle fails when some band of its rows reads other
    // data: a scanner's beam that crosses there reads a wrong add-on.
    void verifyFailsOnOtherData_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("text");
        QTest::newRow("ean8: add-on digits over the top row of its bars")
            << QStringList{"ean8", "9638507", "--addon", "12"}
            << "verification failed: zbar: row 9 reads add-on 51, expected 12; ZXing-C++: row 9 "
               "reads add-on 51, expected 12";
        QTest::newRow("upce: the same one row")
            << QStringList{"upce", "123456", "--addon", "12"}
            << "verification failed: zbar: row 9 reads add-on 51, expected 12; ZXing-C++: row 9 "
               "reads add-on 51, expected 12";
        QTest::newRow("upca at 300 dpi: a band of two rows, one decoder")
            << QStringList{"upca", "03600029145", "--addon", "12", "--dpi", "300"}
            << "verification failed: ZXing-C++: rows 28-29 read add-on 51, expected 12";
        QTest::newRow("ean8 at 600 dpi, turned: the picture as built is judged")
            << QStringList{"ean8", "9638507", "--addon", "12", "--dpi", "600", "--turn"}
            << "verification failed: ZXing-C++: row 56 reads add-on 51, expected 12";
    }
    void verifyFailsOnOtherData() {
        QFETCH(QStringList, args);
        QFETCH(QString, text);
        const QString out = file(QStringLiteral("other.png"));
        QFile::remove(out);
        const Run r = runCli(args + QStringList{"--verify", "-o", out});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, text);
        QVERIFY(!QFile::exists(out));
    }

    // --check prints every finding after the rest is done, one a line; the exit status
    // stays 0 unless --strict is given and a finding is a fail.
    void checkReport_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line");  // one line of the report, in full
        QTest::addColumn<int>("notOk");     // lines graded warn or fail
        const QStringList roomy{"--top", "100",     "--down", "100",        "--left",
                                "250",   "--right", "250",    "--interval", "50"};
        QTest::newRow("c39 with page values 0: no quiet zones")
            << QStringList{"c39", "CODE39", "--check"} << 0
            << "warn quiet zone: the left quiet zone is 0 narrow widths (no blank columns), less "
               "than the 10 Code 39 needs"
            << 3;
        QTest::newRow("c39 text below the picture: warnings pass --strict")
            << QStringList{"c39", "CODE39", "--check", "--strict"} << 0
            << "warn completeness: the text 'C' 'O' 'D' 'E' '3' '9' (x 24-189, rows 115-126) lies "
               "outside the picture of 206 x 115 pixels"
            << 3;
        QTest::newRow("c39 with room: all ok")
            << QStringList{"c39", "CODE39", "--check", "--strict"} + roomy << 0
            << "ok   quiet zone: the right quiet zone is 12 narrow widths (x 230-253)" << 0;
        QTest::newRow("c39 blank typed as '_' read back by both decoders")
            << QStringList{"c39", "Code_39", "--check"} + roomy << 0
            << "ok   decode: ZXing-C++ reads CODE 39 in rows 15-129" << 0;
        QTest::newRow("upca with room and 5-digit add-on")
            << QStringList{"upca", "03600029145", "--addon", "51234", "--check"} + roomy << 0
            << "ok   decode: ZXing-C++ reads the add-on 51234 in rows 27-130" << 0;
        QTest::newRow("upca 5-mil module at 96 dpi: no bars, status 0 without --strict")
            << QStringList{"upca", "03600029145", "--module", "5", "--check"} << 0
            << "fail completeness: no bars: a 5-mil module is 0 pixels at 96 dpi" << 3;
        QTest::newRow("upca 5-mil module at 96 dpi under --strict")
            << QStringList{"upca", "03600029145", "--module", "5", "--check", "--strict"} << 1
            << "fail decode: zbar does not read 036000291452 in any row" << 3;
        QTest::newRow("ean8 add-on digits over its bars under --strict")
            << QStringList{"ean8", "9638507", "--addon", "12", "--check", "--strict"} << 1
            << "fail decode: zbar: row 9 reads add-on 51, expected 12" << 4;
        QTest::newRow("ean13 at 300 dpi: add-on gap too wide")
            << QStringList{"ean13", "590123412345", "--addon", "12", "--dpi", "300", "--check"} << 0
            << "warn quiet zone: the gap before the add-on is 13.5 modules (x 602-682), outside "
               "the 7 to 12 decoders look for"
            << 4;
        QTest::newRow("after the module strings")
            << QStringList{"ean8", "9638507", "--modules", "--check"} << 0
            << "1010001011010111101111010110111010101001110111001010001001011100101" << 2;
    }
    void checkReport() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, line);
        QFETCH(int, notOk);
        const Run r = runCli(args);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(r.status, status);
        const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.contains(line), r.out.constData());
        int graded = 0;
        for (const QString& l : lines)
            graded += l.startsWith(QLatin1String("warn ")) || l.startsWith(QLatin1String("fail "));
        QCOMPARE(graded, notOk);
    }

    // With the picture on standard output the report goes to standard error: the PNG
    // stays a PNG.
    void checkReportBesidesAPictureOnStandardOutput() {
        const Run r = runCli({"ean8", "9638507", "-o", "-", "--check"});
        QCOMPARE(r.status, 0);
        QImage png;
        QVERIFY(png.loadFromData(r.out, "PNG"));
        QVERIFY(!r.out.contains("quiet zone"));
        QVERIFY2(
            r.err.contains(QLatin1String("warn quiet zone: the right quiet zone is 4 modules")),
            qPrintable(r.err));
    }

    // The check judges the picture as built: turning it for the file changes nothing, and
    // the file is written before the report.
    void checkComesAfterTheFile() {
        const QString out = file(QStringLiteral("checked.png"));
        QFile::remove(out);
        const Run alone = runCli({"upce", "123456", "--check"});
        const Run written = runCli({"upce", "123456", "--check", "--turn", "-o", out});
        QCOMPARE(written.status, 0);
        QVERIFY(!alone.out.isEmpty());
        QCOMPARE(written.out, alone.out);
        QCOMPARE(QImage(out).width(), 141);  // turned: as high as the picture
    }

    // A symbol that is only checked is something to do; one that is only built is not.
    void checkNeedsNoFile() {
        Run r = runCli({"c39", "AB"});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QStringLiteral(
                            "nothing to do: give -o FILE, --modules, --check or --print PRINTER"));
        r = runCli({"c39", "AB", "--check"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith("ok   decode: zbar reads AB in rows 0-114\n"));
    }

    // --check=json: the same findings, one JSON object a line.
    void checkAsJson() {
        const QStringList args{"ean8", "9638507", "--addon", "12"};
        const Run report = runCli(args + QStringList{"--check"});
        const Run json = runCli(args + QStringList{"--check=json"});
        QCOMPARE(json.status, 0);
        const QStringList lines = QString::fromUtf8(json.out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), QString::fromUtf8(report.out).count('\n'));
        const QRegularExpression shape(QStringLiteral(
            "^\\{\"grade\":\"(ok|warn|fail)\",\"topic\":\"[a-z -]+\",\"text\":\"[^\"]+\"\\}$"));
        for (const QString& l : lines) QVERIFY2(shape.match(l).hasMatch(), qPrintable(l));
        QVERIFY(lines.contains(QStringLiteral(
            R"({"grade":"fail","topic":"decode","text":"zbar: row 9 reads add-on 51, expected 12"})")));
        QVERIFY(lines.contains(QStringLiteral(
            R"({"grade":"warn","topic":"completeness","text":"the text '1' '2' and the add-on bars overlap in x 166-189, rows 8-11"})")));
    }

    // In a batch each symbol that is not OK gets one line with its line number, among the
    // batch's other reports; --strict counts it as failed though its file is written.
    void batchCheckLines_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("err");
        const QStringList roomy{"--top",   "100", "--down",     "100", "--left",   "250",
                                "--right", "250", "--interval", "50",  "--module", "5"};
        const QString refused =
            QStringLiteral("line 7: The 'Bar code message' must contain 7 numbers.");
        const QString tally = QStringLiteral("1 of 5 lines not written (1 refused, 0 failed)");
        QTest::newRow("page values 0: every symbol short of its quiet zones")
            << QStringList{"--check", "--module", "5"} << 2
            << QStringList{"line 2: Check: 3 warnings",
                           "line 3: Does not scan",
                           "line 5: Check: 2 warnings",
                           "line 6: Does not scan",
                           refused,
                           tally};
        QTest::newRow("with room: only the 5-mil symbols")
            << QStringList{"--check"} + roomy << 2
            << QStringList{"line 3: Does not scan", "line 6: Does not scan", refused, tally};
        QTest::newRow("--strict: failed lines outweigh the refusal")
            << QStringList{"--check", "--strict"} + roomy << 1
            << QStringList{"line 3: Does not scan", "line 6: Does not scan", refused, tally,
                           "2 of 5 lines written but failing the symbol check (--strict)"};
        QTest::newRow("as JSON") << QStringList{"--check=json"} + roomy << 2
                                 << QStringList{R"({"line":3,"summary":"Does not scan"})",
                                                R"({"line":6,"summary":"Does not scan"})", refused,
                                                tally};
        QTest::newRow("without --check: nothing about the check")
            << roomy << 2 << QStringList{refused, tally};
    }
    void batchCheckLines() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QStringList, err);
        QTemporaryDir here;
        QFile list(here.filePath(QStringLiteral("check.csv")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(
            "symbology,message,addon,comment,output\n"  // line 1
            "c39,CODE39,,,k1.png\n"
            "upca,03600029145,,,k2.png\n"
            "# a comment\n"
            "ean13,590123412345,12,,k3.png\n"  // line 5
            "ean8,9638507,,,k4.png\n"
            "ean8,963850,,,k5.png\n");
        list.close();
        const Run r =
            runCli(QStringList{"--batch", list.fileName(), "--jobs", "2"} + options, here.path());
        QCOMPARE(r.err.split('\n'), err);
        QCOMPARE(r.status, status);
        QVERIFY(r.out.isEmpty());
        for (const char* written : {"k1.png", "k2.png", "k3.png", "k4.png"})
            QVERIFY2(QFile::exists(here.filePath(QLatin1String(written))), written);
    }

    void resolutionTravelsWithTheFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("dpi");
        QTest::newRow("png at 96") << "r96.png" << 96;
        QTest::newRow("png at 600") << "r600.png" << 600;
        QTest::newRow("bmp at 300") << "r300.bmp" << 300;
    }
    void resolutionTravelsWithTheFile() {
        QFETCH(QString, name);
        QFETCH(int, dpi);
        const Run r =
            runCli({"upca", "03600029145", "--dpi", QString::number(dpi), "-o", file(name)});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QImage img(file(name));
        QVERIFY(qAbs(img.dotsPerMeterX() * 0.0254 - dpi) < 0.5);
        QVERIFY(qAbs(img.dotsPerMeterY() * 0.0254 - dpi) < 0.5);
    }

    void highResolutionKeepsProportionsAndDots() {
        // 21 mils at 600 dpi is 12.6, so 13 dots a module; the 8-point font counts as 50.
        const Run r =
            runCli({"upca", "03600029145", "--dpi", "600", "-o", file(QStringLiteral("hi.png"))});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QImage img = rgb(QImage(file(QStringLiteral("hi.png"))));
        QCOMPARE(img.width(), 2 * 50 + 95 * 13);
        QCOMPARE(img.height(), 2 * 50 + 780);
        // The first bar: exactly 13 dots from x = 50, the left guard.
        const int y = 300;
        QCOMPARE(qGray(img.pixel(49, y)), 255);
        QCOMPARE(qGray(img.pixel(50, y)), 0);
        QCOMPARE(qGray(img.pixel(62, y)), 0);
        QCOMPARE(qGray(img.pixel(63, y)), 255);
    }

    void pngOnStandardOutput() {
        const Run r = runCli({"ean8", "1234567", "-o", "-"});
        QCOMPARE(r.status, 0);
        QImage img;
        QVERIFY(img.loadFromData(r.out, "PNG"));
        QCOMPARE(img.size(), QSize(150, 141));
    }

    // Vectors: every pixel outside the text cells is the colour the SVG's rectangles give it.
    void svgCarriesTheBitmapsGeometry_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("ean13 + 5, comment")
            << QStringList{"ean13", "590123412345", "--addon", "52495", "--comment", "SVG"};
        QTest::newRow("c39 ratio 2.5")
            << QStringList{"c39", "SVG-39", "--ratio", "2.5", "--comment", "c"};
        QTest::newRow("upce coloured")
            << QStringList{"upce", "123456", "--addon", "12", "--color", "aa2200"};
    }
    void svgCarriesTheBitmapsGeometry() {
        QFETCH(QStringList, args);
        QVERIFY(runCli(args + QStringList{"-o", file(QStringLiteral("g.png"))}).status == 0);
        QVERIFY(runCli(args + QStringList{"-o", file(QStringLiteral("g.svg"))}).status == 0);
        const QImage png = rgb(QImage(file(QStringLiteral("g.png"))));
        QFile f(file(QStringLiteral("g.svg")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray svg = f.readAll();
        QVERIFY(svg.contains(QByteArray("viewBox=\"0 0 ") + QByteArray::number(png.width()) + ' ' +
                             QByteArray::number(png.height()) + '"'));
        QVERIFY(svg.contains("<text"));
        QList<QRect> cells;
        const QImage painted = paintSvgRects(svg, png.size(), &cells);
        int compared = 0;
        for (int y = 0; y < png.height(); ++y) {
            for (int x = 0; x < png.width(); ++x) {
                bool inText = false;
                // Glyphs may reach a pixel or two past their advance; shapes are not fixed.
                for (const QRect& c : cells) inText |= c.adjusted(-3, 0, 3, 0).contains(x, y);
                if (inText) continue;
                ++compared;
                if (painted.pixel(x, y) != png.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
            }
        }
        QVERIFY(compared > png.width() * png.height() / 2);
    }

    // A PDF page holds the whole picture: rasterised at the picture's resolution, every bar
    // pixel of the PNG is there, up to the bottom and right edges.
    void pdfKeepsEveryBarPixel_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("c39 LOT-42 at 600 dpi: 2002 x 720 pixels")
            << QStringList{"c39", "LOT-42", "--dpi", "600"};
        QTest::newRow("c39 AB at 96 dpi") << QStringList{"c39", "AB", "--dpi", "96"};
        QTest::newRow("upca at 300 dpi") << QStringList{"upca", "03600029145", "--dpi", "300"};
        QTest::newRow("ean13 with add-on at 600 dpi")
            << QStringList{"ean13", "590123412345", "--addon", "12", "--dpi", "600"};
        QTest::newRow("ean8 at 96 dpi") << QStringList{"ean8", "9638507", "--dpi", "96"};
        QTest::newRow("upce at 300 dpi, 17-mil modules")
            << QStringList{"upce", "123456", "--module", "17", "--dpi", "300"};
    }
    void pdfKeepsEveryBarPixel() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QFAIL("pdftoppm (poppler-utils) is not installed; cannot rasterise the PDF");
        QFETCH(QStringList, args);
        const int dpi = args.last().toInt();
        QVERIFY(runCli(args + QStringList{"-o", file(QStringLiteral("k.png"))}).status == 0);
        QVERIFY(runCli(args + QStringList{"-o", file(QStringLiteral("k.pdf"))}).status == 0);
        const QImage png = rgb(QImage(file(QStringLiteral("k.png"))));
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                           QStringLiteral("-singlefile"), QStringLiteral("-aa"),
                           QStringLiteral("no"), QStringLiteral("-aaVector"), QStringLiteral("no"),
                           file(QStringLiteral("k.pdf")), file(QStringLiteral("k-raster"))});
        const QImage raster = rgb(QImage(file(QStringLiteral("k-raster.png"))));
        QVERIFY(raster.width() >= png.width() && raster.height() >= png.height());
        QVERIFY(raster.width() < png.width() + dpi / 72 + 2);
        QVERIFY(raster.height() < png.height() + dpi / 72 + 2);
        // Bars run from top to bottom of the bar rows, so those rows all equal the middle one.
        const int middle = png.height() / 2;
        const auto dark = [](QRgb c) { return qGray(c) < 128; };
        int barPixels = 0, missing = 0;
        for (int y = 0; y < png.height(); ++y) {
            bool barRow = true;
            for (int x = 0; x < png.width() && barRow; ++x)
                barRow = dark(png.pixel(x, y)) == dark(png.pixel(x, middle));
            if (!barRow) continue;
            for (int x = 0; x < png.width(); ++x) {
                if (!dark(png.pixel(x, y))) continue;
                ++barPixels;
                missing += !dark(raster.pixel(x, y));
            }
        }
        QVERIFY(barPixels > 0);
        QCOMPARE(missing, 0);
    }

    void pdfHasThePhysicalSize() {
        const Run r = runCli({"c39", "PDF", "--dpi", "200", "-o", file(QStringLiteral("p.pdf"))});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {file(QStringLiteral("p.pdf"))});
        if (!info.waitForFinished(10000)) QFAIL("pdfinfo (poppler-utils) is not installed");
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        // A 200-dpi picture of w x h pixels is w/200 x h/200 inches: 72 points an inch.
        const QImage png = [&] {
            runCli({"c39", "PDF", "--dpi", "200", "-o", file(QStringLiteral("p.png"))});
            return QImage(file(QStringLiteral("p.png")));
        }();
        const QRegularExpression size(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"));
        const auto m = size.match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        // Whole points, never smaller than the picture: at most a point larger.
        const double overW = m.captured(1).toDouble() - png.width() * 72.0 / 200;
        const double overH = m.captured(2).toDouble() - png.height() * 72.0 / 200;
        QVERIFY2(overW >= 0 && overW < 1, qPrintable(text));
        QVERIFY2(overH >= 0 && overH < 1, qPrintable(text));
    }

    void batchGoesOnPastABadLine() {
        QFile list(file(QStringLiteral("batch.csv")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(
            "symbology,message,addon,comment,output\n"
            "ean13,590123412345,12,,b1.png\n"
            "\n# a comment line\n"
            "ean13,59012341234,,,b2.png\n"
            "upce,123456,,\"Lot \"\"7\"\", red\",b3.svg\n"
            "qr,1,,,b4.png\n");
        list.close();
        const Run r = runCli({"--batch", list.fileName()}, dir.path());
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(
                     QStringLiteral("line 5: The 'Bar code message' must contain 12 numbers.")),
                 qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("line 7: unknown symbology 'qr'")),
                 qPrintable(r.err));
        QVERIFY(QFile::exists(file(QStringLiteral("b1.png"))));
        QVERIFY(!QFile::exists(file(QStringLiteral("b2.png"))));
        QFile svg(file(QStringLiteral("b3.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("Lot &quot;7&quot;, red"));
    }

    // Lines that would harm files are refused with their numbers before anything is
    // written; the others go on.
    void batchRefusesLinesThatWouldHarmFiles() {
        QFile victim(file(QStringLiteral("victim.conf")));
        QVERIFY(victim.open(QIODevice::WriteOnly) && victim.write("keep me") == 7);
        victim.close();
        QByteArray batch("c39,AB,,,victim.conf");
        batch += '\0';
        batch += ".png\n";                                                            // line 1
        batch += "ean8,9638507,,,same.png\n";                                         // line 2
        batch += "upca,03600029145,,,./same.png\n";                                   // line 3
        batch += "c39,AB,,\"" + QByteArray(20 * 1024 * 1024, 'W') + "\",huge.png\n";  // line 4
        batch += "c39,AB,,,caf\xe9.png\n";      // line 5: Latin-1
        batch += "c39,AB,,,caf\xc3\xa9.png\n";  // line 6: UTF-8
        batch += "c39,AB,,,tab\tname.png\n";    // line 7
        QFile list(file(QStringLiteral("harm.csv")));
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write(batch) == batch.size());
        list.close();
        const Run r = runCli({"--batch", list.fileName(), "--jobs", "4"}, dir.path());
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err.split(QLatin1Char('\n')),
                 QStringList({"line 1: the output file name holds a control character (byte 0x00 "
                              "at position 12)",
                              "line 3: './same.png' is also the output of line 2",
                              "line 4: the line is longer than 65536 bytes",
                              "line 7: the output file name holds a control character (byte 0x09 "
                              "at position 4)",
                              "4 of 7 lines not written (4 refused, 0 failed)"}));
        QCOMPARE(contentOf(victim.fileName()), QByteArray("keep me"));
        QCOMPARE(QImage(file(QStringLiteral("same.png"))).width(), 150);  // the EAN-8 of line 2
        QVERIFY(!QFile::exists(file(QStringLiteral("huge.png"))));
        // Two names that differ in their bytes are two files (removed here: a name that is
        // not UTF-8 cannot be removed through QDir).
        const QByteArray latin1 = QFile::encodeName(dir.path()) + "/caf\xe9.png";
        QCOMPARE(access(latin1.constData(), F_OK), 0);
        QCOMPARE(unlink(latin1.constData()), 0);
        QCOMPARE(access(QFile::encodeName(dir.path()).append("/caf\xc3\xa9.png").constData(), F_OK),
                 0);
        QVERIFY2(largestChildMegabytes() < 400,
                 qPrintable(QString::number(largestChildMegabytes())));
    }

    // A batch through a pipe is read whole before anything is written, however long: a
    // line that writes the file of a line many blocks before it is refused, and only it.
    void batchFromAPipeFindsDuplicatesAcrossBlocks() {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("pipe")));
        const QString here = file(QStringLiteral("pipe"));
        const Run r =
            runShell(QStringLiteral("cd '") + here +
                     QStringLiteral("' && awk 'BEGIN { print \"# labels\"; for (i = 2; "
                                    "i <= 1500; i++) printf \"ean8,9638507,,,f%d.png\\n\", "
                                    "i == 1400 ? 3 : i }' | \"$CLI\" --batch -"));
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err.split(QLatin1Char('\n')),
                 QStringList({"512 of 1499 lines done", "1024 of 1499 lines done",
                              "line 1400: 'f3.png' is also the output of line 3",
                              "1499 of 1499 lines done",
                              "1 of 1499 lines not written (1 refused, 0 failed)"}));
        QCOMPARE(QDir(here).entryList(QDir::Files).size(), 1498);
        QVERIFY(!QFile::exists(here + QStringLiteral("/f1400.png")));
    }

    // The options are the defaults of every line and apply where they fit; a value that is
    // no number is refused even where no line would use it.
    void batchOptionsApplyWhereTheyFit() {
        QFile list(file(QStringLiteral("fit.csv")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(
            "c39,FIT,,,fit-c39.png\nean8,9638507,,,fit-ean8.png\nupca,03600029145,05,,fit-upca."
            "png\n");
        list.close();
        // The interval keeps the EAN-8 add-on's digits off its bars, which --verify requires.
        Run r = runCli({"--batch", list.fileName(), "--addon", "12", "--ratio", "3", "--verify",
                        "--interval", "50"},
                       dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        // The add-on widens the EAN-8 (20 modules and a 12-module gap of 2 pixels).
        QCOMPARE(QImage(file(QStringLiteral("fit-ean8.png"))).width(), 150 + 64);
        r = runCli({"--batch", list.fileName(), "--module", "abc"}, dir.path());
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QStringLiteral("'abc' is not a valid value for --module"));
    }

    void printsOnACupsQueue() {
        QProcess lpstat;
        lpstat.start(QStringLiteral("lpstat"),
                     {QStringLiteral("-p"), QStringLiteral("marlisk-pdf")});
        if (!lpstat.waitForFinished(5000) || lpstat.exitCode() != 0)
            QFAIL(
                "no CUPS queue 'marlisk-pdf': tests/services.sh start sets it up (needs cups and "
                "printer-driver-cups-pdf)");
        const cupspdf::Jobs jobs;
        const Run r =
            runCli({"ean8", "9638507", "--print", "marlisk-pdf", "--x", "500", "--y", "250"});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY2(!jobs.waitForNext().isEmpty(), "the queue produced no PDF within 30 seconds");
        QCOMPARE(runCli({"ean8", "9638507", "--print", "no-such-queue"}).status, 1);
    }

    // A settings file too large to read (page values 0, every picture changed) is said on
    // standard error, naming the file and the bound, and left as it is. The program is run
    // from a copy, so that the file beside it is this test's own.
    void settingsFileTooLargeIsSaid() {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("bin")));
        const QString program = file(QStringLiteral("bin/marlisk-cli"));
        QVERIFY(QFile::copy(QStringLiteral(MARLISK_CLI), program));
        const QString ini = file(QStringLiteral("bin/BCodeSetting.ini"));
        const QByteArray big = "[pagesetting]\nfleft=250\n" + QByteArray(5 * 1024 * 1024, ';');
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(big) == big.size());
        f.close();
        QProcess p;
        p.start(program, {"c39", "AB", "-o", file(QStringLiteral("big-settings.png"))});
        const Run r = clirun::finished(p);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QStringLiteral("The settings file %1 is larger than 4194304 bytes, the "
                                       "most a settings file may hold: it is not read, and left "
                                       "as it is. Until it is made smaller the page values are 0 "
                                       "and no setting is saved.")
                            .arg(ini));
        QCOMPARE(QFileInfo(ini).size(), big.size());
        QVERIFY(QFile::remove(ini) && QFile::remove(program));
    }

    void installsProgramsDesktopEntryAndIcon() {
        QTemporaryDir prefix;
        QProcess install;
        install.start(QStringLiteral("cmake"),
                      {QStringLiteral("--install"), QStringLiteral(MARLISK_BUILD_DIR),
                       QStringLiteral("--prefix"), prefix.path()});
        QVERIFY(install.waitForFinished(60000));
        QCOMPARE(install.exitCode(), 0);
        for (const char* f :
             {"bin/marlisk", "bin/marlisk-cli", "share/applications/marlisk.desktop",
              "share/icons/hicolor/scalable/apps/marlisk.svg"})
            QVERIFY2(QFile::exists(prefix.filePath(QLatin1String(f))), f);
        QFile desktop(prefix.filePath(QStringLiteral("share/applications/marlisk.desktop")));
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        const QByteArray entry = desktop.readAll();
        QVERIFY(entry.contains("Exec=marlisk\n") && entry.contains("Icon=marlisk\n"));
    }

    void csvFields_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("plain") << "a,b,,d" << QStringList{"a", "b", "", "d"};
        QTest::newRow("quoted comma and quote")
            << "c39,\"A,B\",,\"say \"\"hi\"\"\",o.png"
            << QStringList{"c39", "A,B", "", "say \"hi\"", "o.png"};
    }
    void csvFields() {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(cli::splitCsv(line).value(), fields);
        QVERIFY(!cli::splitCsv(QStringLiteral("c39,\"open")).has_value());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CliTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_cli.moc"
