#include "zbarscan.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>

namespace zbarscan {

QString program() {
    return QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
}

QStringList scan(const surface::Bitmap& picture, const QString& path, const QStringList& options) {
    // A printed symbol always has blank paper around it; the picture's own margins may be 0.
    constexpr int kPaper = 40;
    QImage page(picture.width() + 2 * kPaper, picture.height() + 2 * kPaper, QImage::Format_RGB32);
    page.fill(Qt::white);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            page.setPixel(x + kPaper, y + kPaper, 0xFF000000 | picture.pixel(x, y));
    if (!page.save(path)) return {QStringLiteral("cannot write ") + path};

    QProcess p;
    p.start(program(), QStringList{QStringLiteral("-q"), QStringLiteral("--nodbus")} + options +
                           QStringList{path});
    if (!p.waitForFinished(30000)) return {QStringLiteral("zbarimg did not finish")};
    QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    lines.sort();
    return lines;
}

}  // namespace zbarscan
