// The settings file: what is written, what is read back, and that nothing a user or a
// crash can do to the file loses what it held.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdio>

#include "app/inifile.h"
#include "app/settings.h"
#include "surface/filewrite.h"

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Two sets of page values a writer alternates between.
const symbols::PageValues kOld{100, 100, 250, 250, 50};
const symbols::PageValues kNew{12.5, 0, 1000, 7, 0.25};

// Writes both sets in turn until killed; says "writing" once the first round is on disk, so
// that kills land among the writes rather than during start-up.
int writerMain(const QString& path) {
    settings::setPathOverride(path);
    for (long i = 0;; ++i) {
        settings::writePageValues(i % 2 ? kNew : kOld);
        settings::writeSymbology(i % 2 ? QStringLiteral("Bar Code ENA8")
                                       : QStringLiteral("Bar Code C39"));
        if (i == 0) {
            std::fputs("writing\n", stdout);
            std::fflush(stdout);
        }
    }
}
}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString ini;

    // Runs this program as another run that saves "Bar Code ENA8" as the symbology; true
    // when it ended normally and the save succeeded.
    bool runWriter(const char* mode) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {QLatin1String(mode), ini});
        return writer.waitForFinished(30000) && writer.exitStatus() == QProcess::NormalExit &&
               writer.exitCode() == 0;
    }

  private slots:
    void init() {
        ini = dir.filePath(QStringLiteral("BCodeSetting.ini"));
        QFile::remove(ini);
        settings::setPathOverride(ini);
    }

    void writesTheFileAsDocumented() {
        QVERIFY(settings::writeSymbology(QStringLiteral("Bar Code C39")));
        QVERIFY(settings::writePageValues({100, 100, 250, 250, 50}));
        QCOMPARE(readAll(ini),
                 QByteArray("[Symbology]\nChecked=Bar Code C39\n[pagesetting]\n"
                            "ftop=100\nfdown=100\nfleft=250\nfright=250\nfiwidth=50\n"));
        // Rewriting a key keeps its place; the symbology section stays first.
        QVERIFY(settings::writeSymbology(QStringLiteral("Bar Code ENA8")));
        QVERIFY(readAll(ini).startsWith(
            "[Symbology]\nChecked=Bar Code ENA8\n[pagesetting]\nftop=100\n"));
    }

    void numberFormats_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero is the single digit 0") << 0.0 << "0";
        QTest::newRow("twelve and a half") << 12.5 << "12.5";
        QTest::newRow("whole number without point") << 250.0 << "250";
        QTest::newRow("fifteen significant digits") << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("huge value keeps its exponent") << 1e308 << "1e+308";
    }
    void numberFormats() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(IniFile::formatFloat(value), text);
        QVERIFY(settings::writePageValues({value, 0, 0, 0, 0}));
        QCOMPARE(settings::readPageValues().ftop, text.toDouble());
        QVERIFY(readAll(ini).contains("fiwidth=0\n"));  // present, not omitted
    }

    void readsDefaultsForWhatIsNotThere_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("symbology");
        QTest::addColumn<double>("fleft");
        QTest::addColumn<double>("fright");
        QTest::newRow("no file") << QByteArray() << "" << 0.0 << 0.0;
        QTest::newRow("letters give 0 for that value only")
            << QByteArray("[pagesetting]\nfleft=abc\nfright=250\n") << "" << 0.0 << 250.0;
        QTest::newRow("no Symbology section")
            << QByteArray("[pagesetting]\nfleft=5\n") << "" << 5.0 << 0.0;
        QTest::newRow("nan and inf are not numbers")
            << QByteArray("[pagesetting]\nfleft=nan\nfright=inf\n") << "" << 0.0 << 0.0;
        QTest::newRow("hex is not a decimal number")
            << QByteArray("[pagesetting]\nfleft=0x10\nfright=1e2\n") << "" << 0.0 << 100.0;
        QTest::newRow("empty value")
            << QByteArray("[pagesetting]\nfleft=\nfright= 7 \n") << "" << 0.0 << 7.0;
        QTest::newRow("Windows line ends and other case")
            << QByteArray("[SYMBOLOGY]\r\nchecked=Bar Code UPC-E\r\n[PageSetting]\r\nFLEFT=3\r\n")
            << "Bar Code UPC-E" << 3.0 << 0.0;
        QTest::newRow("binary garbage around the keys")
            << QByteArray("\x00\xff\xfe[[x\n[Symbology]\nChecked=Bar Code C39\n\x01\x02=\x03\n", 40)
            << "Bar Code C39" << 0.0 << 0.0;
        QTest::newRow("UTF-8 byte-order mark before the first section")
            << QByteArray(
                   "\xEF\xBB\xBF[Symbology]\nChecked=Bar Code ENA8\n[pagesetting]\nfleft=5\n")
            << "Bar Code ENA8" << 5.0 << 0.0;
    }
    void readsDefaultsForWhatIsNotThere() {
        QFETCH(QByteArray, content);
        QFETCH(QString, symbology);
        QFETCH(double, fleft);
        QFETCH(double, fright);
        if (!content.isEmpty()) writeAll(ini, content);
        QCOMPARE(settings::readSymbology(), symbology);
        const symbols::PageValues v = settings::readPageValues();
        QCOMPARE(v.fleft, fleft);
        QCOMPARE(v.fright, fright);
        QCOMPARE(v.ftop, 0.0);
    }

    void writingKeepsLinesItDoesNotUnderstand() {
        const QByteArray garbage("\x00\xff junk line\n; a comment\n[Other]\nkey=value\n", 42);
        writeAll(ini, garbage);
        QVERIFY(settings::writeSymbology(QStringLiteral("Bar Code C39")));
        const QByteArray after = readAll(ini);
        QVERIFY(after.startsWith(garbage));
        QVERIFY(after.endsWith("[Symbology]\nChecked=Bar Code C39\n"));
    }

    void oversizedFileIsNeitherReadNorReplaced() {
        QByteArray big("[Symbology]\nChecked=Bar Code C39\n");
        big += QByteArray(IniFile::kMaxFileSize, 'x');
        writeAll(ini, big);
        QCOMPARE(settings::readSymbology(), QString());
        QVERIFY(!settings::writeSymbology(QStringLiteral("Bar Code ENA8")));
        QCOMPARE(readAll(ini).size(), big.size());
        // Not in silence: both programs tell the user which file and what bound.
        QCOMPARE(settings::oversizeNotice(),
                 QStringLiteral("The settings file %1 is larger than 4194304 bytes, the most a "
                                "settings file may hold: it is not read, and left as it is. "
                                "Until it is made smaller the page values are 0 and no setting "
                                "is saved.")
                     .arg(ini));
    }

    void severalMegabytesStillRead() {
        QByteArray big(3 * 1024 * 1024, ';');
        big += "\n[pagesetting]\nftop=42\n";
        writeAll(ini, big);
        QCOMPARE(settings::readPageValues().ftop, 42.0);
    }

    void directoryInPlaceOfTheFile() {
        QVERIFY(QDir().mkpath(ini));
        QCOMPARE(settings::readSymbology(), QString());
        QVERIFY(!settings::writeSymbology(QStringLiteral("Bar Code C39")));
        QVERIFY(!settings::writePageValues({1, 2, 3, 4, 5}));
        QVERIFY(QFileInfo(ini).isDir());
        QDir(ini).removeRecursively();
    }

    // A byte-order mark stays where it was, and the section behind it is the one written.
    void byteOrderMarkIsKeptAndItsSectionFound() {
        writeAll(ini, "\xEF\xBB\xBF[Symbology]\r\nChecked=Bar Code C39\r\n");
        QVERIFY(settings::writeSymbology(QStringLiteral("Bar Code ENA8")));
        QCOMPARE(readAll(ini), QByteArray("\xEF\xBB\xBF[Symbology]\r\nChecked=Bar Code ENA8\n"));
    }

    // What is not a regular file is neither waited on, nor read, nor replaced.
    void onlyARegularFileIsReadOrReplaced_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO (reading it would block for ever)") << "fifo";
        QTest::newRow("symbolic link to a device") << "link to /dev/null";
    }
    void onlyARegularFileIsReadOrReplaced() {
        QFETCH(QString, kind);
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(ini).constData(), 0644), 0);
        else
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), ini));
        QCOMPARE(settings::readSymbology(), QString());
        QCOMPARE(settings::readPageValues().fleft, 0.0);
        QVERIFY(!settings::writeSymbology(QStringLiteral("Bar Code C39")));
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(ini).constData(), &st), 0);
        QVERIFY(kind == QLatin1String("fifo") ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode));
    }

    // A symbolic link stays a link; the file it names is written, keeping owner and mode.
    void symbolicLinkIsWrittenThrough() {
        const QString real = dir.filePath(QStringLiteral("elsewhere.ini"));
        writeAll(real, "[Symbology]\nChecked=Bar Code C39\n");
        QVERIFY(QFile::link(real, ini));
        QVERIFY(settings::writeSymbology(QStringLiteral("Bar Code UPC-E")));
        QVERIFY(QFileInfo(ini).isSymLink());
        QCOMPARE(readAll(real), QByteArray("[Symbology]\nChecked=Bar Code UPC-E\n"));
        QFile::remove(ini);
        QFile::remove(real);
    }

    void ownerAndModeAreKept() {
        writeAll(ini, "[pagesetting]\nftop=1\n");
        const QByteArray name = QFile::encodeName(ini);
        QCOMPARE(::chmod(name.constData(), 0640), 0);
        // Root can hand the file to another user (daemon, 1:1) as a user's own file would be.
        const bool root = geteuid() == 0;
        if (root) QCOMPARE(::chown(name.constData(), 1, 1), 0);
        QVERIFY(settings::writePageValues({1, 2, 3, 4, 5}));
        struct stat st {};
        QCOMPARE(::stat(name.constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        if (root) QCOMPARE(st.st_uid, uid_t(1));
        if (root) QCOMPARE(st.st_gid, gid_t(1));
        QCOMPARE(settings::readPageValues().fright, 4.0);
    }

    void unwritableFolder() {
        QString path;
        QTemporaryDir locked;
        if (geteuid() == 0) {
            // Root writes through permission bits; a folder of a read-only file system
            // stands in for a locked folder.
            path = QStringLiteral("/proc/BCodeSetting.ini");
        } else {
            QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
            path = QDir(locked.path()).filePath(QStringLiteral("BCodeSetting.ini"));
        }
        settings::setPathOverride(path);
        QVERIFY(!settings::writeSymbology(QStringLiteral("Bar Code C39")));
        QCOMPARE(settings::readSymbology(), QString());
        QFile::setPermissions(locked.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Found by fuzzing: a write turned every Windows line end of the file into a plain one,
    // changing lines it did not touch.
    void writeKeepsWindowsLineEnds() {
        const QByteArray before("; kept as typed\r\n[Symbology]\r\nChecked=Bar Code C39\r\n");
        writeAll(ini, before);
        QVERIFY(settings::writePageValues({12.5, 0, 0, 0, 0}));
        QVERIFY(readAll(ini).startsWith(before + "[pagesetting]\nftop=12.5\n"));
        QVERIFY(settings::writeSymbology(QStringLiteral("Bar Code ENA8")));
        QVERIFY(
            readAll(ini).startsWith("; kept as typed\r\n[Symbology]\r\nChecked=Bar Code ENA8\n"));
        QCOMPARE(settings::readSymbology(), QStringLiteral("Bar Code ENA8"));
    }

    // Found by fuzzing: every read allocated the whole size bound at once. Reading now goes
    // in pieces, which must still stop exactly at the bound.
    void readingStopsExactlyAtTheBound_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<double>("ftop");
        QTest::newRow("exactly the largest size") << IniFile::kMaxFileSize << 7.0;
        QTest::newRow("one byte more") << IniFile::kMaxFileSize + 1 << 0.0;
    }
    void readingStopsExactlyAtTheBound() {
        QFETCH(qint64, size);
        QFETCH(double, ftop);
        const QByteArray head("[pagesetting]\nftop=7\n");
        writeAll(ini, head + QByteArray(size - head.size(), ';'));
        QCOMPARE(settings::readPageValues().ftop, ftop);
        QCOMPARE(settings::oversizeNotice().isEmpty(), ftop != 0);
    }

    // Only what the program made and can prove it made is removed: a user's file beside the
    // settings file stays however old it is, whatever its name (a ".backup" once went as a
    // stale temporary for having six letters after the file's name).
    void saveKeepsTheUsersFilesBesideIt() {
        const QStringList users{ini + QStringLiteral(".backup"), ini + QStringLiteral(".Qq7Rr2"),
                                dir.filePath(QStringLiteral(".marlisk-Ab12Cd"))};
        for (const QString& p : users) {
            writeAll(p, "[Symbology]\n");
            QFile f(p);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTimeUtc().addDays(-30),
                                  QFileDevice::FileModificationTime));
        }
        QVERIFY(settings::writeSymbology(QStringLiteral("Bar Code C39")));
        for (const QString& p : users) {
            QCOMPARE(readAll(p), QByteArray("[Symbology]\n"));
            QFile::remove(p);
        }
    }

    // A settings file with another name (hard link) keeps it: both names see what was saved,
    // as with a picture file.
    void saveKeepsOtherNames() {
        const QString other = dir.filePath(QStringLiteral("shared.ini"));
        writeAll(ini, "[pagesetting]\nftop=100\nfdown=100\nfleft=250\nfright=250\nfiwidth=50\n");
        QCOMPARE(::link(QFile::encodeName(ini).constData(), QFile::encodeName(other).constData()),
                 0);
        struct stat before {
        }, after{};
        QCOMPARE(::stat(QFile::encodeName(ini).constData(), &before), 0);
        QVERIFY(settings::writePageValues({1, 2, 3, 4, 5}));
        QCOMPARE(::stat(QFile::encodeName(ini).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_nlink, nlink_t(2));
        const QByteArray expected("[pagesetting]\nftop=1\nfdown=2\nfleft=3\nfright=4\nfiwidth=5\n");
        QCOMPARE(readAll(ini), expected);
        QCOMPARE(readAll(other), expected);
        QFile::remove(other);
    }

    // Killed after the new settings are written over the old ones but before the file is cut
    // to its new, shorter length: what is left of the old lines comes after the new ones,
    // and the file reads as the new settings.
    void killedInPlaceSaveReadsAsTheNewSettings() {
        const QString other = dir.filePath(QStringLiteral("shared.ini"));
        const QByteArray old(
            "[pagesetting]\nftop=7\n[Symbology]\nChecked=Bar Code UPC-A, "
            "as a longer name\n[Symbology]\nChecked=Bar Code C39\n");
        writeAll(ini, old);
        QCOMPARE(::link(QFile::encodeName(ini).constData(), QFile::encodeName(other).constData()),
                 0);
        QVERIFY(!runWriter("--killed-writing"));
        QCOMPARE(readAll(ini),
                 "[pagesetting]\nftop=7\n[Symbology]\nChecked=Bar Code ENA8\n"
                 "[Symbology]\nChecked=Bar Code C39\necked=Bar Code C39\n");
        QCOMPARE(settings::readSymbology(), QStringLiteral("Bar Code ENA8"));
        QCOMPARE(settings::readPageValues().ftop, 7.0);
        QCOMPARE(readAll(other), readAll(ini));
        QFile::remove(other);
    }

    // A writer killed at random moments leaves every key at its old or its new value, in a
    // file that still parses: never a truncated or half-written file.
    void killedWriterNeverLeavesABrokenFile() {
        const int kills = qEnvironmentVariableIntValue("MARLISK_KILLS") > 0
                              ? qEnvironmentVariableIntValue("MARLISK_KILLS")
                              : 200;
        QVERIFY(settings::writePageValues(kOld));
        QVERIFY(settings::writeSymbology(QStringLiteral("Bar Code C39")));
        auto* rng = QRandomGenerator::global();
        bool seenOld = false, seenNew = false;
        for (int i = 0; i < kills; ++i) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--writer"), ini});
            QVERIFY(writer.waitForStarted());
            QVERIFY(writer.waitForReadyRead(30000));
            QThread::usleep(rng->bounded(20000));
            writer.kill();
            writer.waitForFinished();

            const QByteArray text = readAll(ini);
            QVERIFY2(text.endsWith('\n'), text.constData());
            const symbols::PageValues v = settings::readPageValues();
            const auto either = [](double got, double a, double b) { return got == a || got == b; };
            QVERIFY(either(v.ftop, kOld.ftop, kNew.ftop));
            QVERIFY(either(v.fdown, kOld.fdown, kNew.fdown));
            QVERIFY(either(v.fleft, kOld.fleft, kNew.fleft));
            QVERIFY(either(v.fright, kOld.fright, kNew.fright));
            QVERIFY(either(v.fiwidth, kOld.fiwidth, kNew.fiwidth));
            const QString s = settings::readSymbology();
            QVERIFY2(s == QLatin1String("Bar Code C39") || s == QLatin1String("Bar Code ENA8"),
                     qPrintable(s));
            seenOld = seenOld || v.ftop == kOld.ftop;
            seenNew = seenNew || v.ftop == kNew.ftop;
        }
        // The kills fell at different moments of the writing, not all before or after it.
        if (kills >= 20) QVERIFY(seenOld && seenNew);
        // A kill between naming a temporary and renaming it leaves the temporary behind; the
        // next run's write removes it at once, as no write is using it any more.
        QVERIFY(runWriter("--write-once"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("BCodeSetting.ini")});
    }

    // The same, stopped at that very moment: the file keeps its old value, the complete
    // temporary says what it is, and the next run removes it (the window saving its
    // settings or marlisk-cli writing a picture there: they write alike).
    void killedSaveLeavesATemporaryTheNextRunRemoves() {
        QVERIFY(settings::writeSymbology(QStringLiteral("Bar Code C39")));
        QVERIFY(!runWriter("--killed-writing"));
        QCOMPARE(settings::readSymbology(), QStringLiteral("Bar Code C39"));
        const QStringList left = QDir(dir.path())
                                     .entryList({QStringLiteral(".marlisk-temporary-????????")},
                                                QDir::Files | QDir::Hidden);
        QCOMPARE(left.size(), 1);
        QVERIFY(readAll(dir.filePath(left[0])).contains("Checked=Bar Code ENA8"));
        QVERIFY(runWriter("--write-once"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("BCodeSetting.ini")});
        QCOMPARE(settings::readSymbology(), QStringLiteral("Bar Code ENA8"));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--writer")
        return writerMain(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && QByteArray(argv[1]).endsWith("-writing"))
        files::testing::setHook([](files::testing::Step) { ::raise(SIGKILL); });
    if (argc == 3 && QByteArray(argv[1]).startsWith("--")) {
        settings::setPathOverride(QString::fromLocal8Bit(argv[2]));
        return settings::writeSymbology(QStringLiteral("Bar Code ENA8")) ? 0 : 1;
    }
    SettingsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_settings.moc"
