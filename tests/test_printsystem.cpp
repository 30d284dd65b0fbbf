// The print system as it fails in practice: a queue that rejects jobs, and a scheduler that
// takes the connection and then never answers. Both programs say what is wrong and stop,
// promptly; neither reports a page that was never printed as printed. The rejecting queue
// is the test's own (a cups-pdf queue it makes and removes); the silent scheduler is a
// listener on a loopback port that accepts and never writes a byte.

#include <cups/cups.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "formtesting.h"
#include "surface/printing.h"

namespace {
const QString kQueue = QStringLiteral("marlisk-reject");
const QString kReason = QStringLiteral("Out of paper");

int run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

surface::Bitmap picture() {
    surface::Bitmap b;
    b.setSize(20, 20);
    return b;
}

struct Run {
    int status = -1;
    QString err;
    qint64 ms = 0;
};
}  // namespace

class PrintSystemTest : public QObject {
    Q_OBJECT
    QProcess listener_;
    QString silent_;  // "127.0.0.1:<port>" of the listener

    // marlisk-cli, with CUPS_SERVER naming `server` (the local scheduler when empty).
    Run cli(const QStringList& args, const QString& server) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("CUPS_SERVER"));
        if (!server.isEmpty()) env.insert(QStringLiteral("CUPS_SERVER"), server);
        p.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        p.start(QStringLiteral(MARLISK_CLI), args);
        Run r;
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            r.err = QStringLiteral("marlisk-cli was still waiting after 30 seconds");
            return r;
        }
        r.ms = clock.elapsed();
        r.status = p.exitCode();
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

  private slots:
    void initTestCase() {
        QVERIFY2(run(QStringLiteral("lpstat"), {QStringLiteral("-r")}) == 0,
                 "no CUPS scheduler: tests/services.sh start starts it (needs cups and "
                 "printer-driver-cups-pdf)");
        const QStringList ppds = QDir(QStringLiteral("/usr/share/ppd/cups-pdf"))
                                     .entryList({QStringLiteral("*.ppd")}, QDir::Files);
        QStringList add{QStringLiteral("-p"), kQueue, QStringLiteral("-v"),
                        QStringLiteral("cups-pdf:/"), QStringLiteral("-E")};
        add << (ppds.isEmpty()
                    ? QStringList{QStringLiteral("-m"),
                                  QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd")}
                    : QStringList{QStringLiteral("-P"),
                                  QStringLiteral("/usr/share/ppd/cups-pdf/") + ppds.first()});
        QVERIFY2(run(QStringLiteral("lpadmin"), add) == 0, "cannot make the queue marlisk-reject");
        QCOMPARE(run(QStringLiteral("cupsreject"), {QStringLiteral("-r"), kReason, kQueue}), 0);

        // Accepts every connection and keeps it open without a word.
        listener_.start(QStringLiteral("python3"),
                        {QStringLiteral("-c"), QStringLiteral("import socket\n"
                                                              "s = socket.socket()\n"
                                                              "s.bind(('127.0.0.1', 0))\n"
                                                              "s.listen(64)\n"
                                                              "print(s.getsockname()[1], "
                                                              "flush=True)\n"
                                                              "held = []\n"
                                                              "while True:\n"
                                                              "    held.append(s.accept()[0])\n")});
        QVERIFY2(listener_.waitForReadyRead(10000), "python3 could not start the listener");
        const int port = listener_.readLine().trimmed().toInt();
        QVERIFY(port > 0);
        silent_ = QStringLiteral("127.0.0.1:%1").arg(port);
    }
    void cleanupTestCase() {
        run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), kQueue});
        listener_.kill();
        listener_.waitForFinished();
    }

    void cliSaysWhyNothingWasPrinted_data() {
        QTest::addColumn<bool>("silentServer");
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("error");  // "%1": the silent listener's host:port
        // lp exits 1 on such a queue: a page it will not take is no success.
        QTest::newRow("queue rejects jobs (cupsreject)")
            << false << kQueue
            << QStringLiteral(
                   "Printer is Error\nthe queue 'marlisk-reject' does not accept jobs: Out of "
                   "paper\n");
        QTest::newRow("rejecting queue printed at its own resolution")
            << false << kQueue
            << QStringLiteral(
                   "Printer is Error\nthe queue 'marlisk-reject' does not accept jobs: Out of "
                   "paper\n");
        // Qt's print support would wait for the scheduler's answer for minutes.
        QTest::newRow("scheduler accepts and never answers")
            << true << QStringLiteral("marlisk-pdf")
            << QStringLiteral(
                   "cannot print on 'marlisk-pdf': the print system at %1 does not "
                   "answer\n");
    }
    void cliSaysWhyNothingWasPrinted() {
        QFETCH(bool, silentServer);
        QFETCH(QString, queue);
        QFETCH(QString, error);
        QStringList args{"ean8", "9638507", "--print", queue, "--x", "500"};
        if (QByteArray(QTest::currentDataTag()).contains("own resolution"))
            args << QStringLiteral("--printer-resolution");
        const Run r = cli(args, silentServer ? silent_ : QString());
        QCOMPARE(r.err, error.contains(QLatin1String("%1")) ? error.arg(silent_) : error);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.ms < 15000, qPrintable(QStringLiteral("took %1 ms").arg(r.ms)));
    }

    void printOptionSaysTheQueueRejectsJobs() {
        formtesting::Session s;
        globals::setPrintBitmap(picture());
        globals::currentPrinter().setPrinterName(kQueue);
        QCOMPARE(globals::currentPrinter().printerName(), kQueue);
        Tpringfm dialog;
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QCOMPARE(s.texts(),
                 QStringList{QStringLiteral(
                     "Printer is Error\nthe queue 'marlisk-reject' does not accept jobs: Out of "
                     "paper")});
    }

    // The window asks the scheduler its client settings name; here the silent listener.
    void windowDoesNotWaitOnASilentPrintSystem_data() {
        QTest::addColumn<bool>("printerSetting");  // else the print-option dialog's Print
        QTest::newRow("Print") << false;
        QTest::newRow("Printer setting") << true;
    }
    void windowDoesNotWaitOnASilentPrintSystem() {
        QFETCH(bool, printerSetting);
        formtesting::Session s;
        globals::setPrintBitmap(picture());
        cupsSetServer(silent_.toLatin1().constData());
        QElapsedTimer clock;
        clock.start();
        if (printerSetting) {
            s.start().Save1Click();
        } else {
            Tpringfm dialog;
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        }
        const qint64 ms = clock.elapsed();
        cupsSetServer(nullptr);
        const QString problem =
            QStringLiteral("the print system at %1 does not answer").arg(silent_);
        QCOMPARE(s.texts(), QStringList{(printerSetting ? QStringLiteral("No find Printer!\n")
                                                        : QStringLiteral("Printer is Error\n")) +
                                        problem});
        QVERIFY2(ms < 15000, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
    }
};

int main(int argc, char** argv) {
    qunsetenv("CUPS_SERVER");  // the local scheduler, where the test's queue is
    QApplication app(argc, argv);
    PrintSystemTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_printsystem.moc"
