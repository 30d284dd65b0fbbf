// On a dense screen the window's picture is marlisk-cli's at the screen's device resolution
// (logical dots per inch times the device pixel ratio), pixel for pixel, and the preview
// shows it one picture pixel to one device pixel.
//
// Run once at QT_SCALE_FACTOR=2 (192 dpi) and once on an X server of 144 dpi. The run says
// which resolution its screen is meant to have in MARLISK_EXPECT_DPI, so that a set-up that
// falls back to 96 dpi fails instead of comparing two 96-dpi pictures.

#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "formtesting.h"

namespace {
QImage rgb(const QImage& i) {
    return i.convertToFormat(QImage::Format_RGB32);
}

int differingPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF)) ++n;
    return n;
}

// Page values that put the human-readable digits against the guards and leave room around.
const QStringList kPageArgs{"--top", "100",     "--down", "100",        "--left",
                            "250",   "--right", "250",    "--interval", "50"};
}  // namespace

class HiDpiParityTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    int expectedDpi = 0;

  private slots:
    void initTestCase() {
        expectedDpi = qEnvironmentVariableIntValue("MARLISK_EXPECT_DPI");
        QVERIFY2(expectedDpi > 96, "MARLISK_EXPECT_DPI names the screen's device resolution");
        surface::setScreenDpiOverride(0);
        QCOMPARE(surface::screenDpi(), expectedDpi);
        QVERIFY(qApp->devicePixelRatio() > 1.0);
    }

    void sameAsTheCli_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("args");    // marlisk-cli's, besides page and dpi
        QTest::addColumn<QStringList>("fields");  // name=value pairs for the form
        QTest::newRow("c39") << "C391" << QStringList{"c39", "CODE39"}
                             << QStringList{"barcodeedt=CODE39"};
        QTest::newRow("c39 with comment")
            << "C391" << QStringList{"c39", "AB-7", "--comment", "Lot 7"}
            << QStringList{"barcodeedt=AB-7", "heardtextedt=Lot 7"};
        QTest::newRow("ean13") << "ENA13" << QStringList{"ean13", "590123412345"}
                               << QStringList{"barcodeedt=590123412345"};
        QTest::newRow("ean13 with 5-digit add-on and comment")
            << "ENA13"
            << QStringList{"ean13", "400638133393", "--addon", "52495", "--comment", "Tea"}
            << QStringList{"barcodeedt=400638133393", "Edit1=52495", "heardtextedt=Tea"};
        QTest::newRow("ean8") << "EAN81" << QStringList{"ean8", "9638507"}
                              << QStringList{"barcodeedt=9638507"};
        QTest::newRow("ean8 with 2-digit add-on")
            << "EAN81" << QStringList{"ean8", "9638507", "--addon", "12"}
            << QStringList{"barcodeedt=9638507", "Supplementaltxt=12"};
        QTest::newRow("upca") << "upca1" << QStringList{"upca", "03600029145"}
                              << QStringList{"barcodeedt=03600029145"};
        QTest::newRow("upca with 5-digit add-on and comment")
            << "upca1" << QStringList{"upca", "03600029145", "--addon", "52495", "--comment", "E"}
            << QStringList{"barcodeedt=03600029145", "Supplementaltxt=52495", "heardtextedt=E"};
        // The case that was reported: the digit column was sized for 96 dpi and the start
        // guard cut the first digit.
        QTest::newRow("upce, as reported")
            << "UPCE1" << QStringList{"upce", "123456"} << QStringList{"barcodeedt=123456"};
        QTest::newRow("upce with 2-digit add-on")
            << "UPCE1" << QStringList{"upce", "654321", "--addon", "07"}
            << QStringList{"barcodeedt=654321", "Supplementaltxt=07"};
    }
    void sameAsTheCli() {
        QFETCH(QString, menu);
        QFETCH(QStringList, args);
        QFETCH(QStringList, fields);

        const QString png = dir.filePath(QStringLiteral("cli.png"));
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(name));
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(MARLISK_CLI),
                  args + kPageArgs +
                      QStringList{"--dpi", QString::number(expectedDpi), "-o", png, "--check"});
        QVERIFY(cli.waitForFinished(120000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        const QImage fromCli = rgb(QImage(png));
        QVERIFY(!fromCli.isNull());

        formtesting::Session s;
        surface::setScreenDpiOverride(0);  // the screen's own resolution
        surface::setClipboardSink({});     // the real clipboard
        Tmainfm& w = s.start();
        w.setPageValues({100, 100, 250, 250, 50});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.menuItem(menu)->trigger();
        auto* form = qobject_cast<DesignerForm*>(w.currentForm());
        QVERIFY(form != nullptr);
        for (const QString& f : fields)
            formtesting::setField(form, qPrintable(f.section('=', 0, 0)), f.section('=', 1));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QVERIFY2(s.messages.empty(), qPrintable(s.texts().join('\n')));

        const QImage copied = rgb(QGuiApplication::clipboard()->image());
        QCOMPARE(copied.size(), fromCli.size());
        QCOMPARE(differingPixels(copied, fromCli), 0);
        // The window's symbol check says what marlisk-cli's does, and no text is cut.
        const QString report = check::report(form->findings()).trimmed();
        QCOMPARE(report, QString::fromUtf8(cli.readAllStandardOutput()).trimmed());
        QVERIFY2(!report.contains(QLatin1String("overlap")), qPrintable(report));

        // What the screen shows of the preview: the picture's own pixels, unblended. The
        // control covers whole screen units, so it may reach one device pixel further.
        const QImage shown = rgb(form->Image1->grab().toImage());
        const QSize beyond = shown.size() - copied.size();
        QVERIFY2(
            beyond.width() >= 0 && beyond.width() <= 1 && beyond.height() >= 0 &&
                beyond.height() <= 1,
            qPrintable(QStringLiteral("shown %1 x %2").arg(shown.width()).arg(shown.height())));
        QCOMPARE(differingPixels(shown.copy(QRect(QPoint(0, 0), copied.size())), copied), 0);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    HiDpiParityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpiparity.moc"
