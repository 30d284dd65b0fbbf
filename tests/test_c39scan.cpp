// Code 39 pictures as a scanner reads them: pictures from the build path are handed to the
// zbar decoder, which must read back the message. Together the rows use every character
// the symbol accepts except "*", which a reader takes for start/stop.

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "surface/screen.h"
#include "symbols/c39build.h"

class C39ScanTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString zbarimg_;

  private slots:
    void initTestCase() {
        zbarimg_ = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
        if (zbarimg_.isEmpty())
            QFAIL("zbarimg (the zbar decoder) is not installed; the pictures cannot be scanned");
        QVERIFY(dir_.isValid());
        surface::setScreenDpiOverride(96);
    }

    void decodes_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("narrow");  // mils
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* message, const char* narrow,
                            const char* ratio, const char* comment, const char* expected) {
            QTest::newRow(name) << QString(message) << QString(narrow) << QString(ratio)
                                << QString(comment) << QString(expected);
        };
        row("digits", "0123456789", "23", "2.0", "", "0123456789");
        row("letters A to M, ratio 2.5", "ABCDEFGHIJKLM", "23", "2.5", "", "ABCDEFGHIJKLM");
        row("letters N to Z, ratio 3.0", "NOPQRSTUVWXYZ", "23", "3.0", "", "NOPQRSTUVWXYZ");
        row("lower case reads back upper case", "abcdefghijklmnopqrstuvwxyz", "23", "2.2", "",
            "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        row("punctuation", "-.$/+%", "23", "2.0", "", "-.$/+%");
        row("underscore reads back as a space", "LOT_42_B", "23", "2.0", "", "LOT 42 B");
        row("two characters, with a comment line", "AB", "23", "2.0", "Lot 7", "AB");
        row("narrow bars of one pixel, ratio 3.0", "C0DE-39", "10", "3.0", "", "C0DE-39");
        row("wide narrow bars, ratio 2.5 rounds to even", "W1D3", "31", "2.5", "", "W1D3");
    }
    void decodes() {
        QFETCH(QString, message);
        QFETCH(QString, narrow);
        QFETCH(QString, ratio);
        QFETCH(QString, comment);
        QFETCH(QString, expected);
        const symbols::C39Inputs in{QStringLiteral("0.8"), narrow, ratio, comment, message};
        const symbols::PageValues page{100, 100, 250, 250, 50};
        symbols::BuildContext context;
        context.page = page;
        const symbols::BuildResult r = symbols::buildC39(in, context);
        QVERIFY(r.built());
        const QString path = dir_.filePath(QStringLiteral("%1.png").arg(QTest::currentDataTag()));
        QVERIFY(r.picture.image().save(path));
        QProcess zbar;
        zbar.start(zbarimg_, {QStringLiteral("--raw"), QStringLiteral("-q"), path});
        QVERIFY(zbar.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), expected);
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    C39ScanTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_c39scan.moc"
