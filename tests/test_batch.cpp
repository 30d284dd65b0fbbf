// marlisk-cli --batch: a line runs only as the first reading held it, one file (or standard
// output) is written by one line, names keep their bytes, and a source that never ends is
// refused. Each test is named after what the README promises.

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "cli/batch.h"
#include "cli/batchlines.h"
#include "clirun.h"

using clirun::contentOf;
using clirun::Run;
using clirun::runCli;

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Whether the process has stopped itself (its state in /proc is "T").
bool stopped(qint64 pid) {
    const QByteArray stat = contentOf(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype paren = stat.lastIndexOf(')');
    return paren > 0 && stat.mid(paren + 2, 1) == "T";
}

// Runs a batch that stops itself between its two readings of the file (the program's test
// hook MARLISK_BATCH_PAUSE), calls `between`, and lets it go on: an edit at a known moment
// instead of a race with the run.
Run runPaused(const QStringList& args, const QString& workDir,
              const std::function<void()>& between) {
    QProcess p;
    clirun::prepareCli(p, workDir);
    QProcessEnvironment env = p.processEnvironment();
    env.insert(QStringLiteral("MARLISK_BATCH_PAUSE"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    clirun::startCli(p, args);
    if (!p.waitForStarted(10000)) return {};
    const qint64 pid = p.processId();
    for (int tries = 0; tries < 1200 && !stopped(pid); ++tries) QThread::msleep(25);
    if (!stopped(pid)) {
        p.kill();
        return clirun::finished(p);
    }
    between();
    ::kill(pid_t(pid), SIGCONT);
    return clirun::finished(p);
}

long largestChildMegabytes() {
    rusage use{};
    getrusage(RUSAGE_CHILDREN, &use);
    return use.ru_maxrss / 1024;
}
}  // namespace

class BatchTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file(const QString& name) { return dir.filePath(name); }

  private slots:
    void init() {
        // Every test starts in an empty folder.
        QDir d(dir.path());
        for (const QString& f : d.entryList(QDir::Files | QDir::System | QDir::Hidden))
            QVERIFY(d.remove(f));
    }

    // What grows with a batch's length is some bytes a line, also when every line writes
    // one file (the first test to run a child, so that the largest child so far is the
    // short batch run here first).
    void memoryGrowsBySomeBytesALine() {
        writeFile(file(QStringLiteral("b.csv")), "c39,A,,,same.png\n");
        QCOMPARE(runCli({"--batch", "b.csv", "--jobs", "1"}, dir.path()).status, 2);
        const long shortBatch = largestChildMegabytes();
        QByteArray many;
        for (int i = 0; i < 100000; ++i) many += "c39,A,,,same.png\n";  // each one refused
        writeFile(file(QStringLiteral("b.csv")), many);
        const Run r = runCli({"--batch", "b.csv", "--jobs", "1"}, dir.path());
        QCOMPARE(r.status, 2);
        QVERIFY(
            r.err.endsWith(QLatin1String("100000 of 100000 lines not written (100000 "
                                         "refused, 0 failed)")));
        // 16 bytes a line and 8 for a duplicate come to 2.4 MB (a map entry a duplicate, as
        // before, to more than 10).
        const long growth = largestChildMegabytes() - shortBatch;
        // Under AddressSanitizer freed memory is held in quarantine: the figure means nothing
        // there (the sanitizer build checks these runs for leaks instead).
#if !defined(__SANITIZE_ADDRESS__)
        QVERIFY2(growth < 6, qPrintable(QString::number(growth)));
#else
        Q_UNUSED(growth);
#endif
    }

    // A line is run only as the first reading held it, byte for byte: the file is edited
    // while the batch is paused between its two readings. What differs is not run, nor
    // anything after it, and the run says which line and fails.
    void lineIsRunOnlyAsTheFirstReadingHeldIt_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("said");  // after "the batch file 'b.csv' changed while..."
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QStringList>("notWritten");
        const QByteArray three = "ean8,9638507,,,f0.png\nc39,AB,,,f1.png\nc39,AB,,,f2.png\n";
        QTest::newRow("line 3 overwritten in place by one of the same length naming line 1's file")
            << three << QByteArray("ean8,9638507,,,f0.png\nc39,AB,,,f1.png\nc39,AB,,,f0.png\n")
            << " (line 3 is not what it was at the first reading): 2 of the 3 lines it held at "
               "first were run"
            << QStringList{"f0.png", "f1.png"} << QStringList{"f2.png"};
        QTest::newRow("last line cut mid-line: its shorter name is another file")
            << QByteArray("c39,AB,,,f0.png\nc39,AB,,,important.pdf.png\n")
            << QByteArray("c39,AB,,,f0.png\nc39,AB,,,important.pdf")
            << " (line 2 is not what it was at the first reading): 1 of the 2 lines it held at "
               "first were run"
            << QStringList{"f0.png"} << QStringList{"important.pdf.png"};
        QTest::newRow("a comment turned into a line of the same length")
            << QByteArray("c39,AB,,,f0.png\n# c39,AB,,,f1\nc39,AB,,,f2.png\n")
            << QByteArray("c39,AB,,,f0.png\nc39,AB,,,f1.png\nc39,AB,,,f2.png\n")
            << " (line 2 is not what it was at the first reading): 1 of the 2 lines it held at "
               "first were run"
            << QStringList{"f0.png"} << QStringList{"f1.png", "f2.png"};
        QTest::newRow("a line taken out")
            << three << QByteArray("ean8,9638507,,,f0.png\nc39,AB,,,f2.png\n")
            << " (line 2 is not what it was at the first reading): 1 of the 3 lines it held at "
               "first were run"
            << QStringList{"f0.png"} << QStringList{"f1.png", "f2.png"};
        QTest::newRow("lines added after the last: all first held is run")
            << three << three + "c39,AB,,,f3.png\n"
            << ": 3 of the 3 lines it held at first were run"
            << QStringList{"f0.png", "f1.png", "f2.png"} << QStringList{"f3.png"};
    }
    void lineIsRunOnlyAsTheFirstReadingHeldIt() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, said);
        QFETCH(QStringList, written);
        QFETCH(QStringList, notWritten);
        // The user's own file that a cut-short line would name.
        writeFile(file(QStringLiteral("important.pdf")), "%PDF-1.4 the user's own");
        writeFile(file(QStringLiteral("b.csv")), before);
        const Run r = runPaused({"--batch", "b.csv", "--jobs", "2"}, dir.path(),
                                [&] { writeFile(file(QStringLiteral("b.csv")), after); });
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err,
                 QStringLiteral("the batch file 'b.csv' changed while the batch ran") + said);
        for (const QString& f : written) QVERIFY2(QFile::exists(file(f)), qPrintable(f));
        for (const QString& f : notWritten) QVERIFY2(!QFile::exists(file(f)), qPrintable(f));
        QCOMPARE(contentOf(file(QStringLiteral("important.pdf"))),
                 QByteArray("%PDF-1.4 the user's own"));
        // Line 1's file is still line 1's picture (an EAN-8 is 150 pixels wide, Code 39 "AB"
        // less).
        if (before.startsWith("ean8"))
            QCOMPARE(QImage(file(QStringLiteral("f0.png"))).width(), 150);
    }

    // Lines that would write a file an earlier line writes are refused, however the name
    // reaches it, with both line numbers; so is a second line for standard output, whose
    // PNGs would run into one another. The name is never read as a format.
    void linesWritingOneFileAreRefused_data() {
        QTest::addColumn<QByteArray>("batch");
        QTest::addColumn<QString>("link");  // made before the run: "name>target"
        QTest::addColumn<QString>("said");
        QTest::addColumn<QByteArray>("out");  // what standard output starts with
        QTest::newRow("a dangling link to the file of line 1")
            << QByteArray("ean8,9638507,,,target.png\nc39,AB,,,link.png\n") << "link.png>target.png"
            << "line 2: 'link.png' is also the output of line 1" << QByteArray();
        QTest::newRow("a link through a folder link")
            << QByteArray("ean8,9638507,,,sub/t.png\nc39,AB,,,alias/t.png\n") << "alias>sub"
            << "line 2: 'alias/t.png' is also the output of line 1" << QByteArray();
        QTest::newRow("a second line for standard output")
            << QByteArray("ean8,9638507,,,-\nc39,AB,,,x.png\nc39,AB,,,-\n") << ""
            << "line 3: standard output ('-') is also the output of line 1: a batch writes one "
               "PNG there at most"
            << QByteArray("\x89PNG");
        QTest::newRow("a per cent sign in the name")
            << QByteArray("c39,AB,,,a%1%2.png\nc39,AB,,,./a%1%2.png\n") << ""
            << "line 2: './a%1%2.png' is also the output of line 1" << QByteArray();
    }
    void linesWritingOneFileAreRefused() {
        QFETCH(QByteArray, batch);
        QFETCH(QString, link);
        QFETCH(QString, said);
        QFETCH(QByteArray, out);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub")));
        if (!link.isEmpty())
            QVERIFY(QFile::link(link.section(QLatin1Char('>'), 1), file(link.section('>', 0, 0))));
        writeFile(file(QStringLiteral("b.csv")), batch);
        // Eight threads: the refusal must not depend on which line runs first.
        const Run r = runCli({"--batch", "b.csv", "--jobs", "8"}, dir.path());
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err.split(QLatin1Char('\n')).first(), said);
        QVERIFY(r.out.startsWith(out));
        // One PNG at most on standard output: its end is the end of the stream.
        if (!out.isEmpty()) QVERIFY(r.out.endsWith(QByteArray("IEND\xae\x42\x60\x82", 8)));
        QVERIFY(!r.err.contains(QLatin1String("line %")));
        if (link.startsWith(QLatin1String("link.png")))
            QCOMPARE(QImage(file(QStringLiteral("target.png"))).width(), 150);
        QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
    }

    // File names keep their bytes: a quoted name keeps its blanks, an unquoted one loses
    // the blanks around it; a header line is passed over behind a byte-order mark too.
    void fileNamesKeepTheirBytes_data() {
        QTest::addColumn<QByteArray>("batch");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("quoted name with blanks inside the quotes")
            << QByteArray("c39,AB,,,\" q4lead.png\"\n") << QStringList{" q4lead.png"};
        QTest::newRow("blanks around quotes are not the name's")
            << QByteArray("c39,AB,,,  \"q4.png\"  \n") << QStringList{"q4.png"};
        QTest::newRow("unquoted name trimmed")
            << QByteArray("c39,AB,,,  plain.png \n") << QStringList{"plain.png"};
        QTest::newRow("byte-order mark before the header line")
            << QByteArray("\xEF\xBB\xBFsymbology,message,addon,comment,output\nc39,AB,,,h.png\n")
            << QStringList{"h.png"};
        QTest::newRow("byte-order mark before a data line") << QByteArray(
                                                                   "\xEF\xBB\xBF"
                                                                   "c39,AB,,,d.png\n")
                                                            << QStringList{"d.png"};
    }
    void fileNamesKeepTheirBytes() {
        QFETCH(QByteArray, batch);
        QFETCH(QStringList, written);
        writeFile(file(QStringLiteral("b.csv")), batch);
        const Run r = runCli({"--batch", "b.csv"}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QStringList found = QDir(dir.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
        QCOMPARE(found, written);
    }

    // A quoted name keeps what its quotes hold, even blanks that then make it no picture
    // name; the refusal shows them.
    void quotedBlanksAreKeptInTheRefusal() {
        writeFile(file(QStringLiteral("b.csv")), "c39,AB,,,\" q4lead.png \"\n");
        const Run r = runCli({"--batch", "b.csv"}, dir.path());
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith(
                     QStringLiteral("line 1: unknown file type of ' q4lead.png ': use .png")),
                 qPrintable(r.err));
    }

    void csvQuotedFields_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QList<bool>>("quoted");
        QTest::newRow("blanks inside quotes kept, outside dropped")
            << "c39, \" A \" ,x" << QStringList{"c39", " A ", "x"}
            << QList<bool>{false, true, false};
        QTest::newRow("unquoted blanks kept for the caller to trim")
            << " c39 ,AB" << QStringList{" c39 ", "AB"} << QList<bool>{false, false};
        QTest::newRow("quote inside a field is no quoted field")
            << "a\"b,c\"d" << QStringList{"ab,cd"} << QList<bool>{false};
        QTest::newRow("text after the closing quote stays")
            << "\"a\" b" << QStringList{"a b"} << QList<bool>{true};
    }
    void csvQuotedFields() {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QFETCH(QList<bool>, quoted);
        QList<bool> got;
        QCOMPARE(cli::splitCsv(line, &got).value(), fields);
        QCOMPARE(got, quoted);
    }

    // Every batch reads its lines alike, wherever the file was written: DOS line ends, a
    // byte-order mark, a header and comments are no part of the symbols. Each row is the
    // file, whether its lines name an output, and the message and output of each symbol.
    void linesReadAsWritten_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("named");
        QTest::addColumn<QStringList>("symbols");  // "message|output"
        QTest::newRow("DOS line ends, message last (a sheet)")
            << QByteArray(
                   "\xEF\xBB\xBFsymbology,message\r\n# note\r\n\r\nean13,590123412345\r\n"
                   "ean8,9638507\r\n")
            << false << QStringList{"590123412345|", "9638507|"};
        QTest::newRow("DOS line ends, quoted output keeps its blanks")
            << QByteArray("c39,AB,,,\" a b.png\"\r\nc39,CD,,,c.png\r\n") << true
            << QStringList{"AB| a b.png", "CD|c.png"};
        QTest::newRow("last line without its line end")
            << QByteArray("c39,AB\r\nc39,CD") << false << QStringList{"AB|", "CD|"};
    }
    void linesReadAsWritten() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, named);
        QFETCH(QStringList, symbols);
        writeFile(file(QStringLiteral("b.csv")), bytes);
        cli::LineReader reader;
        QCOMPARE(reader.open(file(QStringLiteral("b.csv"))), QString());
        cli::SymbolLine line;
        QString error;
        QStringList got;
        while (cli::nextSymbolLine(reader, cli::SymbolRequest{},
                                   named ? cli::LineOutput::File : cli::LineOutput::None, &line,
                                   &error)) {
            QVERIFY2(line.request,
                     qPrintable(QStringLiteral("line %1: %2").arg(line.number).arg(line.refusal)));
            got << line.request->message + '|' + QString::fromUtf8(line.request->output);
        }
        QCOMPARE(error, QString());
        QCOMPARE(got, symbols);
    }

    // A batch that is not a regular file is copied aside to be read twice; a source that
    // never ends is refused at its first over-long line, not copied until the disk is full.
    void endlessSourceIsRefused() {
        const Run r = runCli({"--batch", "/dev/zero"}, dir.path());
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QStringLiteral("the batch file '/dev/zero' is refused: line 1 is longer "
                                       "than 65536 bytes (a batch that is not a regular file is "
                                       "read no further)"));
        // Through a pipe, a line of exactly the bound is still read.
        const Run piped = clirun::runShell(
            QStringLiteral("cd '") + dir.path() +
            QStringLiteral("' && { printf 'c39,AB,,,p.png\\n#'; head -c 65535 /dev/zero | tr "
                           "'\\\\0' x; echo; head -c 65537 /dev/zero | tr '\\\\0' y; } | "
                           "\"$CLI\" --batch -"));
        QCOMPARE(piped.status, 2);
        QCOMPARE(piped.err, QStringLiteral("the batch file '-' is refused: line 3 is longer than "
                                           "65536 bytes (a batch that is not a regular file is "
                                           "read no further)"));
        QVERIFY(!QFile::exists(file(QStringLiteral("p.png"))));
    }
};

QTEST_GUILESS_MAIN(BatchTest)
#include "test_batch.moc"
