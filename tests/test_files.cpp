// Files as both programs write them: the palette PNG keeps every pixel whatever the number
// of colours and however rows repeat; a new file appears whole with the usual mode; a file
// with several names is not parted from them; and a run killed in the middle of a write
// leaves at most a temporary that says what it is, which the next write removes.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "surface/filewrite.h"
#include "surface/picturefile.h"
#include "surface/png.h"

namespace {
// `colours` colours in columns, in bands of repeated rows with single odd rows between
// them: a row repeats the one above, differs from it, or returns to an earlier pattern.
QImage banded(int colours, int width, QImage::Format format) {
    QImage image(width, 12, format);
    for (int y = 0; y < image.height(); ++y) {
        const int shift = (y == 4 || y == 9) ? 1 : y / 6;
        for (int x = 0; x < width; ++x) {
            const int c = (x + shift) % colours;
            const int alpha = format == QImage::Format_ARGB32 ? 255 - y : 255;
            image.setPixel(x, y, qRgba(c / 256 * 50, c * 13 % 256, c % 256, alpha));
        }
    }
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    return image;
}

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QStringList filesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

QStringList temporariesIn(const QString& folder) {
    return filesIn(folder).filter(
        QRegularExpression(QStringLiteral("^\\.marlisk-temporary-[A-Za-z0-9]{8}$")));
}

// A writer in a process of its own. With "kill" it is killed (kill -9) where its complete
// temporary has its name; with "wait" it says so there and waits to be killed. "named"
// writes as on a file system without unnamed files.
int writerMain(const QStringList& args) {
    if (args.contains(QStringLiteral("named"))) files::testing::setUnnamedTemporaries(false);
    if (args.contains(QStringLiteral("kill")))
        files::testing::setHook([](files::testing::Step) { ::raise(SIGKILL); });
    if (args.contains(QStringLiteral("wait"))) {
        files::testing::setHook([](files::testing::Step) {
            std::fputs("named\n", stdout);
            std::fflush(stdout);
            ::pause();
        });
    }
    return files::replaceFile(QFile::encodeName(args.at(0)), "new content").isEmpty() ? 0 : 1;
}

// Runs the writer on `path`; false unless it was killed where it was to stop.
bool killedWriting(const QString& path, const QStringList& how) {
    QProcess writer;
    writer.start(QCoreApplication::applicationFilePath(),
                 QStringList{"--writer", path, "kill"} + how);
    return writer.waitForFinished(30000) && writer.exitStatus() == QProcess::CrashExit;
}

// Another run's write into the folder: a process of its own, as the folder is looked
// through once a run.
bool laterWrite(const QString& path) {
    QProcess writer;
    writer.start(QCoreApplication::applicationFilePath(), QStringList{"--writer", path});
    return writer.waitForFinished(30000) && writer.exitStatus() == QProcess::NormalExit &&
           writer.exitCode() == 0;
}
}  // namespace

class FilesTest : public QObject {
    Q_OBJECT
  private slots:
    void pngKeepsEveryPixel_data() {
        QTest::addColumn<int>("colours");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("depth");  // bits a pixel in the file; 0: not written
        const int rgb = QImage::Format_RGB32;
        QTest::newRow("2 colours, 13 wide: a row ends inside its second byte")
            << 2 << 13 << rgb << 1;
        QTest::newRow("3 colours") << 3 << 21 << rgb << 2;
        QTest::newRow("16 colours") << 16 << 35 << rgb << 4;
        QTest::newRow("17 colours") << 17 << 40 << rgb << 8;
        QTest::newRow("256 colours") << 256 << 300 << rgb << 8;
        QTest::newRow("2 colours, 1 wide: one repeated row of two bytes is sent as it is")
            << 2 << 1 << rgb << 1;
        QTest::newRow("2 colours, 2,100 wide: a repeated row takes several copies")
            << 2 << 2100 << rgb << 1;
        QTest::newRow("2 colours, 5,000 wide: a repeated row is sent filtered by the one above")
            << 2 << 5000 << rgb << 1;
        QTest::newRow("17 colours, 32,800 wide: rows too long to refer back to")
            << 17 << 32800 << rgb << 8;
        QTest::newRow("257 colours: left to a general encoder") << 257 << 300 << rgb << 0;
        QTest::newRow("alpha differs from row to row, colours do not")
            << 2 << 9 << int(QImage::Format_ARGB32) << 1;
        QTest::newRow("8-bit grey picture") << 5 << 17 << int(QImage::Format_Grayscale8) << 4;
    }
    void pngKeepsEveryPixel() {
        QFETCH(int, colours);
        QFETCH(int, width);
        QFETCH(int, format);
        QFETCH(int, depth);
        const QImage image = banded(colours, width, QImage::Format(format));
        const QByteArray png = files::encodePalettePng(image);
        if (depth == 0) {
            QVERIFY(png.isEmpty());
            return;
        }
        QCOMPARE(int(png.at(24)), depth);
        const QImage back = QImage::fromData(png, "PNG");
        QCOMPARE(back.size(), image.size());
        QCOMPARE(back.dotsPerMeterX(), 11811);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(back.pixel(x, y) & 0xFFFFFF, image.pixel(x, y) & 0xFFFFFF);
    }

    // The indexed picture BMP files are written from numbers the colours as the PNG file's
    // palette does, in order of first use, and keeps every pixel; more than 256 colours are
    // left as they are.
    void indexedPictureAgreesWithThePng_data() { pngKeepsEveryPixel_data(); }
    void indexedPictureAgreesWithThePng() {
        QFETCH(int, colours);
        QFETCH(int, width);
        QFETCH(int, format);
        QFETCH(int, depth);
        const QImage image = banded(colours, width, QImage::Format(format));
        const QImage compact = files::compactImage(image);
        if (depth == 0) {
            QCOMPARE(compact.format(), image.format());
            return;
        }
        QCOMPARE(compact.format(), QImage::Format_Indexed8);
        QCOMPARE(compact.dotsPerMeterX(), 11811);
        const QByteArray png = files::encodePalettePng(image);
        const qsizetype plte = png.indexOf("PLTE");
        QVERIFY(plte > 4);
        const int entries = qFromBigEndian<quint32>(png.constData() + plte - 4) / 3;
        QCOMPARE(compact.colorCount(), entries);
        for (int i = 0; i < entries; ++i) {
            const auto* rgb = reinterpret_cast<const uchar*>(png.constData() + plte + 4 + 3 * i);
            QCOMPARE(compact.color(i), qRgb(rgb[0], rgb[1], rgb[2]));
        }
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(compact.pixel(x, y) & 0xFFFFFF, image.pixel(x, y) & 0xFFFFFF);
    }

    // A null picture comes back as it is (the writer once called itself on it without end).
    void nullPictureIsNotCompacted() {
        QVERIFY(files::compactImage(QImage()).isNull());
        QVERIFY(files::encodePalettePng(QImage()).isEmpty());
    }

    // A new file gets the mode the user's umask gives and all of its bytes; nothing is
    // left beside it.
    void newFileIsWholeWithTheUsualMode() {
        QTemporaryDir here;
        const QByteArray path = QFile::encodeName(here.filePath(QStringLiteral("new.png")));
        const mode_t was = ::umask(027);
        const QString error = files::replaceFile(path, QByteArray(5000, 'x'));
        ::umask(was);
        QCOMPARE(error, QString());
        struct stat st {};
        QCOMPARE(::stat(path.constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        QCOMPARE(st.st_nlink, nlink_t(1));
        QFile f(QFile::decodeName(path));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray(5000, 'x'));
        QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{QStringLiteral("new.png")});
    }

    // A run killed after its complete temporary got its name, before renaming it over the
    // file (kill -9 in a batch): the file keeps its old content, and what is left says
    // what it is. The next write into the folder, by another run, removes it at once; a
    // temporary of a run still writing stays, and so does everything else.
    void killedWriteLeavesATemporaryTheNextWriteRemoves_data() {
        QTest::addColumn<QStringList>("how");
        QTest::newRow("unnamed temporary, named for the rename") << QStringList{};
        QTest::newRow("file system without unnamed files: named from the start")
            << QStringList{QStringLiteral("named")};
    }
    void killedWriteLeavesATemporaryTheNextWriteRemoves() {
        QFETCH(QStringList, how);
        QTemporaryDir here;
        const QString out = here.filePath(QStringLiteral("x.png"));
        put(out, "old content");
        QVERIFY(killedWriting(out, how));
        QCOMPARE(contentOf(out), QByteArray("old content"));
        const QStringList left = temporariesIn(here.path());
        QCOMPARE(left.size(), 1);
        QCOMPARE(contentOf(here.filePath(left[0])), QByteArray("new content"));

        // Not ours, or not provably left behind: a user's files with similar names, the
        // temporary of a write still going on, one the program made before it said what
        // its temporaries are.
        const QStringList users{QStringLiteral(".marlisk-temporary-Ab12"),
                                QStringLiteral(".marlisk-temporary-Ab12Cd34.png"),
                                QStringLiteral(".marlisk-Ab12Cd"), QStringLiteral("x.png.backup")};
        for (const QString& name : users) put(here.filePath(name), "the user's");
        put(here.filePath(QStringLiteral("y.png")), "old content");
        QProcess live;
        live.start(QCoreApplication::applicationFilePath(),
                   QStringList{"--writer", here.filePath(QStringLiteral("y.png")), "wait"} + how);
        QVERIFY(live.waitForReadyRead(30000));
        QStringList liveTemporary = temporariesIn(here.path());
        liveTemporary.removeAll(left[0]);
        QCOMPARE(liveTemporary.size(), 1);

        QVERIFY(laterWrite(here.filePath(QStringLiteral("z.png"))));
        QVERIFY(!QFile::exists(here.filePath(left[0])));
        QVERIFY(QFile::exists(here.filePath(liveTemporary[0])));
        for (const QString& name : users)
            QCOMPARE(contentOf(here.filePath(name)), QByteArray("the user's"));
        live.kill();
        live.waitForFinished();
    }

    // A file with several names is refused unless rewriting it in place is allowed; then it
    // keeps its inode and every name sees the new content. Replacing it would part the names.
    void fileWithSeveralNamesKeepsThem_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("not allowed: refused, both names as they were") << false;
        QTest::newRow("allowed: rewritten in place, both names see it") << true;
    }
    void fileWithSeveralNamesKeepsThem() {
        QFETCH(bool, inPlace);
        QTemporaryDir here;
        const QString out = here.filePath(QStringLiteral("x.bmp"));
        const QString other = here.filePath(QStringLiteral("other.bmp"));
        put(out, "old content, longer than the new");
        QCOMPARE(::link(QFile::encodeName(out).constData(), QFile::encodeName(other).constData()),
                 0);
        struct stat before {
        }, after{};
        QCOMPARE(::stat(QFile::encodeName(out).constData(), &before), 0);
        const QString error =
            files::replaceFile(QFile::encodeName(out), "new content", {.inPlace = inPlace});
        QCOMPARE(error, inPlace ? QString() : files::severalNamesReason());
        const QByteArray expected = inPlace ? "new content" : "old content, longer than the new";
        QCOMPARE(contentOf(out), expected);
        QCOMPARE(contentOf(other), expected);
        QCOMPARE(::stat(QFile::encodeName(out).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(filesIn(here.path()), (QStringList{"other.bmp", "x.bmp"}));
    }

    // Without unnamed files, a new file and a replaced one still leave nothing beside them.
    void namedTemporariesLeaveNothing() {
        QTemporaryDir here;
        files::testing::setUnnamedTemporaries(false);
        const QByteArray path = QFile::encodeName(here.filePath(QStringLiteral("n.pdf")));
        const QString first = files::replaceFile(path, "first");
        const QString second = files::replaceFile(path, "second");
        files::testing::setUnnamedTemporaries(true);
        QCOMPARE(first, QString());
        QCOMPARE(second, QString());
        QCOMPARE(contentOf(QFile::decodeName(path)), QByteArray("second"));
        QCOMPARE(filesIn(here.path()), QStringList{QStringLiteral("n.pdf")});
    }

    // Written piece by piece (a sheet of labels too large to hold): until the commit the
    // file is as it was, after it the new content is there whole with the old file's mode
    // and names; dropped uncommitted, the file is untouched. Nothing is left beside it.
    void replacementWrittenInPieces_data() {
        QTest::addColumn<QString>("before");  // "none", "file", "linked"
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("commit");
        for (const bool named : {false, true}) {
            const char* how = named ? ", named temporary" : "";
            for (const bool commit : {true, false}) {
                const char* end = commit ? "committed" : "dropped";
                for (const char* before : {"none", "file", "linked"})
                    QTest::addRow("%s, %s%s", before, end, how)
                        << QString::fromLatin1(before) << named << commit;
            }
        }
    }
    void replacementWrittenInPieces() {
        QFETCH(QString, before);
        QFETCH(bool, named);
        QFETCH(bool, commit);
        QTemporaryDir here;
        const QString out = here.filePath(QStringLiteral("sheet.pdf"));
        const QString other = here.filePath(QStringLiteral("other.pdf"));
        const QByteArray old = before == QLatin1String("none") ? QByteArray() : "old content";
        QStringList expectedFiles{QStringLiteral("sheet.pdf")};
        if (!old.isEmpty()) {
            put(out, old);
            QCOMPARE(::chmod(QFile::encodeName(out).constData(), 0604), 0);
        }
        if (before == QLatin1String("linked")) {
            QCOMPARE(
                ::link(QFile::encodeName(out).constData(), QFile::encodeName(other).constData()),
                0);
            expectedFiles.prepend(QStringLiteral("other.pdf"));
        }
        files::testing::setUnnamedTemporaries(!named);
        {
            files::Replacement file;
            QCOMPARE(file.begin(QFile::encodeName(out), {.inPlace = true}), QString());
            const QByteArray page(100000, 'p');
            for (int i = 0; i < 30; ++i) QCOMPARE(file.device()->write(page), page.size());
            QCOMPARE(contentOf(out), old);
            if (commit) QCOMPARE(file.commit(), QString());
        }
        files::testing::setUnnamedTemporaries(true);
        const QByteArray expected = commit ? QByteArray(3000000, 'p') : old;
        QCOMPARE(contentOf(out), expected);
        if (before == QLatin1String("linked")) QCOMPARE(contentOf(other), expected);
        if (!commit && old.isEmpty()) expectedFiles.clear();
        QCOMPARE(filesIn(here.path()), expectedFiles);
        struct stat st {};
        if (!old.isEmpty()) {
            QCOMPARE(::stat(QFile::encodeName(out).constData(), &st), 0);
            QCOMPARE(st.st_mode & 07777, mode_t(0604));
        }
    }

    // A piece that cannot be stored (here: beyond the largest file the process may write,
    // as on a full disk) fails the commit with the system's reason, and the file keeps its
    // old content. Small pieces are buffered and go out partly stored.
    void replacementThatCannotBeStoredFails_data() {
        QTest::addColumn<int>("piece");
        QTest::newRow("large pieces, written at once") << 300000;
        QTest::newRow("small pieces, buffered") << 1000;
        QTest::newRow("one piece, stored in part") << 3000000;
    }
    void replacementThatCannotBeStoredFails() {
        QFETCH(int, piece);
        QTemporaryDir here;
        const QString out = here.filePath(QStringLiteral("sheet.pdf"));
        put(out, "old content");
        rlimit was{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &was), 0);
        const sighandler_t signal = ::signal(SIGXFSZ, SIG_IGN);
        rlimit small = was;
        small.rlim_cur = (1 << 20) + 1000;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        {
            files::Replacement file;
            QCOMPARE(file.begin(QFile::encodeName(out)), QString());
            const QByteArray page(piece, 'p');
            for (int i = 0; i < 3000000 / piece; ++i) file.device()->write(page);
            error = file.commit();
        }
        ::setrlimit(RLIMIT_FSIZE, &was);
        ::signal(SIGXFSZ, signal);
        QCOMPARE(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(contentOf(out), QByteArray("old content"));
        QCOMPARE(filesIn(here.path()), QStringList{QStringLiteral("sheet.pdf")});
    }

    // What replaceFile refuses is refused before a piece is written.
    void replacementRefusesAsReplaceFileDoes() {
        QTemporaryDir here;
        const QString readOnly = here.filePath(QStringLiteral("ro.pdf"));
        put(readOnly, "kept");
        QFile::setPermissions(readOnly, QFile::ReadOwner);
        const QString linked = here.filePath(QStringLiteral("a.pdf"));
        put(linked, "kept");
        QCOMPARE(::link(QFile::encodeName(linked).constData(),
                        QFile::encodeName(here.filePath(QStringLiteral("b.pdf"))).constData()),
                 0);
        files::Replacement file;
        QCOMPARE(file.begin(QFile::encodeName(readOnly)), files::readOnlyReason());
        QCOMPARE(file.begin(QFile::encodeName(linked)), files::severalNamesReason());
        QCOMPARE(file.begin(QFile::encodeName(here.path())),
                 QStringLiteral("it is not a regular file"));
        // Nothing begun: a commit must not report success.
        QCOMPARE(file.commit(), QString::fromLocal8Bit(std::strerror(EBADF)));
        QCOMPARE(contentOf(readOnly), QByteArray("kept"));
        QCOMPARE(contentOf(linked), QByteArray("kept"));
        QCOMPARE(filesIn(here.path()), (QStringList{"a.pdf", "b.pdf", "ro.pdf"}));
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]) == "--writer") return writerMain(app.arguments().mid(2));
    FilesTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_files.moc"
