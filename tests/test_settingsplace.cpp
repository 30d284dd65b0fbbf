// Where the settings file lives: beside the executable where a whole-file save can replace
// it there, else in the user's configuration folder; and a save that fails says so.

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>

#include "dialogs/pagesetting.h"
#include "formtesting.h"

namespace {
constexpr uid_t kNobody = 65534;  // Debian's nobody and nogroup

// What the folder beside the executable holds, as permission bits (0: no such entry).
struct PlaceCase {
    const char* name;
    mode_t folder;
    mode_t file;       // of BCodeSetting.ini; 0 for none
    bool fileIsDir;    // a folder stands where the file should be
    const char* used;  // "beside" or "user"
};

const PlaceCase kPlaces[] = {
    {"writable folder, no file yet: a portable copy", 0777, 0, false, "beside"},
    {"writable folder and file", 0777, 0666, false, "beside"},
    {"read-only install: neither can be written", 0755, 0644, false, "user"},
    {"read-only install without a file", 0755, 0, false, "user"},
    {"read-only file in a writable folder", 0777, 0444, false, "user"},
    {"writable file in a read-only folder: no temporary beside it", 0755, 0666, false, "user"},
    {"a folder in place of the file", 0777, 0777, true, "user"},
};

// Run as `test_settingsplace --choose BESIDE USER`: prints the file the settings would use.
int chooseMain(const char* beside, const char* user) {
    std::printf("%s\n", qPrintable(settings::choosePath(QString::fromLocal8Bit(beside),
                                                        QString::fromLocal8Bit(user))));
    return 0;
}
}  // namespace

Q_DECLARE_METATYPE(const PlaceCase*)

class SettingsPlaceTest : public QObject {
    Q_OBJECT

  private slots:
    void fileBesideTheProgramWhenItCanBeReplacedThere_data() {
        QTest::addColumn<const PlaceCase*>("c");
        for (const PlaceCase& c : kPlaces) QTest::newRow(c.name) << &c;
    }
    void fileBesideTheProgramWhenItCanBeReplacedThere() {
        QFETCH(const PlaceCase*, c);
        QTemporaryDir top;
        QVERIFY(top.isValid());
        // The folders belong to root when the test runs as root, as an installed program's
        // do; the choice is then made by `nobody`, for whom the permission bits count.
        const QString folder = top.filePath(QStringLiteral("bin"));
        const QString beside = QDir(folder).filePath(QStringLiteral("BCodeSetting.ini"));
        const QString user = top.filePath(QStringLiteral("config/marlisk/BCodeSetting.ini"));
        QVERIFY(QDir().mkpath(folder));
        if (c->fileIsDir) {
            QVERIFY(QDir().mkpath(beside));
        } else if (c->file != 0) {
            QFile f(beside);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Symbology]\nChecked=Bar Code C39\n");
        }
        if (c->file != 0) QCOMPARE(::chmod(QFile::encodeName(beside).constData(), c->file), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), c->folder), 0);
        QCOMPARE(::chmod(QFile::encodeName(top.path()).constData(), 0755), 0);

        // A copy of this program in the open folder: `nobody` may not reach the build folder
        // (a clone in /root).
        const QString program = top.filePath(QStringLiteral("chooser"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        QProcess chooser;
        if (geteuid() == 0) {
            chooser.setChildProcessModifier([] {
                if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(3);
            });
        }
        chooser.start(program, {QStringLiteral("--choose"), beside, user});
        QVERIFY(chooser.waitForFinished());
        QCOMPARE(chooser.exitCode(), 0);
        const QString chosen = QString::fromLocal8Bit(chooser.readAllStandardOutput()).trimmed();
        QCOMPARE(chosen, QLatin1String(c->used) == QLatin1String("beside") ? beside : user);
        ::chmod(QFile::encodeName(folder).constData(), 0755);
    }

    void userFileFollowsXdgConfigHome() {
        const QByteArray old = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", "/tmp/marlisk-config-home");
        QCOMPARE(settings::userFile(),
                 QStringLiteral("/tmp/marlisk-config-home/marlisk/BCodeSetting.ini"));
        qputenv("XDG_CONFIG_HOME", old);
    }

    void pageSettingSaveThatFailsSaysWhichFile() {
        formtesting::Session s;
        s.start();
        const QString locked = s.dir.filePath(QStringLiteral("BCodeSetting.ini"));
        QVERIFY(QDir().mkpath(locked));  // a folder where the file should be
        Tpagesettingfm dialog(s.window.get());
        dialog.show();
        dialog.topedt->setText(QStringLiteral("100"));
        QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
        QCOMPARE(
            s.texts(),
            QStringList{QStringLiteral("The settings file %1 cannot be written.").arg(locked)});
        QVERIFY(dialog.isVisible());    // stays open
        QCOMPARE(s.window->ftop, 0.0);  // keeps the old value
    }
};

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--choose") == 0) return chooseMain(argv[2], argv[3]);
    QApplication app(argc, argv);
    SettingsPlaceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settingsplace.moc"
