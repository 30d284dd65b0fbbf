#include "cli/output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/png.h"
#include "surface/vectorexport.h"

namespace cli {

Format formatOf(const QString& path) {
    if (path == QLatin1String("-")) return Format::Png;
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("png")) return Format::Png;
    if (ext == QLatin1String("bmp")) return Format::Bmp;
    if (ext == QLatin1String("svg")) return Format::Svg;
    if (ext == QLatin1String("pdf")) return Format::Pdf;
    return Format::Unknown;
}

QImage compactImage(const QImage& image) {
    // A symbol has a handful of colours: an indexed picture holds them exactly and encodes
    // several times faster and smaller than 32-bit pixels.
    QVector<QRgb> table;
    QImage out(image.size(), QImage::Format_Indexed8);
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = src[x] | 0xFF000000;
            if (c != last || lastIndex < 0) {
                lastIndex = static_cast<int>(table.indexOf(c));
                if (lastIndex < 0) {
                    if (table.size() == 256) return image;  // too many colours: keep it as it is
                    lastIndex = static_cast<int>(table.size());
                    table.push_back(c);
                }
                last = c;
            }
            dst[x] = static_cast<uchar>(lastIndex);
        }
    }
    out.setColorTable(table);
    out.setDotsPerMeterX(image.dotsPerMeterX());
    out.setDotsPerMeterY(image.dotsPerMeterY());
    return out;
}

namespace {
QString writeRaster(const surface::Bitmap& picture, bool turned, const char* format,
                    QIODevice* device) {
    const QImage image = turned ? surface::turnedClockwise(picture).image() : picture.image();
    if (qstrcmp(format, "png") == 0) {
        const QByteArray png = encodePalettePng(image);
        if (!png.isEmpty())
            return device->write(png) == png.size() ? QString() : device->errorString();
    }
    QImageWriter writer(device, format);
    if (!writer.write(compactImage(image))) return writer.errorString();
    return {};
}
}  // namespace

QString writePicture(const surface::Bitmap& picture, bool turned, const QString& path) {
    const Format format = formatOf(path);
    if (format == Format::Unknown)
        return QStringLiteral("unknown file type of '%1': use .png, .bmp, .svg or .pdf").arg(path);
    if ((format == Format::Svg || format == Format::Pdf) && !picture.hasVectors())
        return QStringLiteral("this picture cannot be written as vectors");

    if (path == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            return QStringLiteral("cannot write to standard output");
        return writeRaster(picture, turned, "png", &out);
    }
    // A temporary beside the file, renamed over it once complete. No sync to disk: a run
    // that fails leaves the old file, which is what matters here, and a batch of thousands
    // of files would otherwise wait on the disk for each one.
    QTemporaryFile file(QFileInfo(path).absolutePath() + QStringLiteral("/.marlisk-XXXXXX"));
    if (!file.open()) return QStringLiteral("cannot write '%1': %2").arg(path, file.errorString());
    QString error;
    switch (format) {
        case Format::Png:
            error = writeRaster(picture, turned, "png", &file);
            break;
        case Format::Bmp:
            error = writeRaster(picture, turned, "bmp", &file);
            break;
        case Format::Svg: {
            const QByteArray svg = surface::toSvg(picture, turned);
            if (file.write(svg) != svg.size()) error = file.errorString();
            break;
        }
        case Format::Pdf: {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            if (surface::writePdf(picture, &buffer, turned, &error)) {
                if (file.write(buffer.data()) != buffer.data().size()) error = file.errorString();
            }
            break;
        }
        case Format::Unknown:
            break;
    }
    if (error.isEmpty() && !file.flush()) error = file.errorString();
    if (!error.isEmpty()) return QStringLiteral("cannot write '%1': %2").arg(path, error);
    // The permissions a newly created file would have.
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    ::fchmod(file.handle(), 0666 & ~mask);
    if (::rename(QFile::encodeName(file.fileName()).constData(),
                 QFile::encodeName(path).constData()) != 0)
        return QStringLiteral("cannot write '%1': %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    file.setAutoRemove(false);
    return {};
}

}  // namespace cli
