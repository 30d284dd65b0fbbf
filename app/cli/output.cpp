#include "app/cli/output.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdio>

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
    QHash<QRgb, int> index;
    QImage out(image.size(), QImage::Format_Indexed8);
    for (int y = 0; y < image.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = src[x] | 0xFF000000;
            auto it = index.constFind(c);
            if (it == index.constEnd()) {
                if (table.size() == 256) return image;  // too many colours: keep it as it is
                it = index.insert(c, static_cast<int>(table.size()));
                table.push_back(c);
            }
            dst[x] = static_cast<uchar>(*it);
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
    QImageWriter writer(device, format);
    if (qstrcmp(format, "png") == 0) writer.setCompression(1);  // fast; sizes barely differ
    const QImage image = turned ? surface::turnedClockwise(picture).image() : picture.image();
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
        if (!out.open(stdout, QIODevice::WriteOnly)) return QStringLiteral("cannot write to standard output");
        return writeRaster(picture, turned, "png", &out);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write '%1': %2").arg(path, file.errorString());
    QString error;
    switch (format) {
        case Format::Png: error = writeRaster(picture, turned, "png", &file); break;
        case Format::Bmp: error = writeRaster(picture, turned, "bmp", &file); break;
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
        case Format::Unknown: break;
    }
    if (!error.isEmpty()) {
        file.cancelWriting();
        return QStringLiteral("cannot write '%1': %2").arg(path, error);
    }
    if (!file.commit()) return QStringLiteral("cannot write '%1': %2").arg(path, file.errorString());
    return {};
}

}  // namespace cli
