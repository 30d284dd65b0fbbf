// Picture files as both programs write them: the palette PNG keeps every pixel whatever
// the number of colours and however rows repeat, and a new file appears whole with the
// usual mode.

#include <sys/stat.h>

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include "surface/filewrite.h"
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

    // A new file gets the mode the user's umask gives and all of its bytes; nothing is
    // left beside it.
    void newFileIsWholeWithTheUsualMode() {
        QTemporaryDir here;
        const QByteArray path = QFile::encodeName(here.filePath(QStringLiteral("new.png")));
        const mode_t was = ::umask(027);
        const QString error = files::replaceFile(path, QByteArray(5000, 'x'), false);
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
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    FilesTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_files.moc"
