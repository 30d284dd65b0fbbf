// Every output of a build, byte for byte: for each symbology, with and without add-on, at
// 96, 203 and 600 dpi, turned and not, the PNG, BMP, SVG and PDF files, the printed page and
// the symbol check's report are compared with digests kept in tests/data/pictureoutputs.txt.
// Those digests were taken from the program before its drawing was reorganised; a change
// in any of them is a change in what the user gets.
//
// MARLISK_WRITE_DIGESTS=FILE writes the digests of the code as it stands instead of
// comparing (to review a deliberate change of output, not to make a failure go away).

#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "check/symbolcheck.h"
#include "surface/picturefile.h"
#include "surface/printing.h"
#include "tests/outputcases.h"

namespace {

using outputcases::Case;

QString digest(const QByteArray& bytes) {
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(20));
}

// A PDF carries the time it was made; everything else in it is compared.
QByteArray withoutDate(QByteArray pdf) {
    static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9Z+'-]*\\)"));
    return QString::fromLatin1(pdf).remove(date).toLatin1();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The digests of every output of one case, as "png=... bmp=... ...".
QString outputDigests(const Case& c, const QTemporaryDir& dir) {
    const symbols::BuildResult r = outputcases::build(c);
    if (!r.built()) return QStringLiteral("refused");
    QStringList parts;
    for (const char* ext : {"png", "bmp", "svg", "pdf"}) {
        const QString path = dir.filePath(QStringLiteral("out.") + QLatin1String(ext));
        const QString error =
            files::writePicture(r.picture, c.turned, QFile::encodeName(path), true);
        QByteArray bytes = error.isEmpty() ? fileBytes(path) : error.toUtf8();
        if (qstrcmp(ext, "pdf") == 0) bytes = withoutDate(bytes);
        parts << QLatin1String(ext) + QLatin1Char('=') + digest(bytes);
    }
    // The page a print job gets: the picture as the preview shows it, at its physical size.
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = dir.filePath(QStringLiteral("print.pdf"));
        printer.setOutputFileName(path);
        const surface::Bitmap shown = c.turned ? surface::turnedClockwise(r.picture) : r.picture;
        const QString error =
            printing::printPicture(printer, shown, 100, 200, shown.dpi(), Qt::black);
        parts << QStringLiteral("print=") +
                     digest(error.isEmpty() ? withoutDate(fileBytes(path)) : error.toUtf8());
    }
    // The check judges the picture as built, never turned.
    if (!c.turned) {
        const auto findings = check::checkSymbol(check::checkInputOf(c.symbology, r));
        parts << QStringLiteral("check=") + digest(check::report(findings).toUtf8());
    }
    return parts.join(QLatin1Char(' '));
}

QMap<QString, QString> keptDigests() {
    QMap<QString, QString> kept;
    QFile f(qEnvironmentVariable("MARLISK_TEST_DATA") + QStringLiteral("/pictureoutputs.txt"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return kept;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        kept.insert(line.left(tab), line.mid(tab + 1));
    }
    return kept;
}

class PictureOutputs : public QObject {
    Q_OBJECT
  private slots:
    void sameAsBefore_data() {
        QTest::addColumn<int>("index");
        const auto cases = outputcases::all();
        for (std::size_t i = 0; i < cases.size(); ++i)
            QTest::newRow(qPrintable(cases[i].name())) << int(i);
    }

    void sameAsBefore() {
        QFETCH(int, index);
        static const QMap<QString, QString> kept = keptDigests();
        QVERIFY2(!kept.isEmpty(), "tests/data/pictureoutputs.txt is missing or empty");
        const Case c = outputcases::all()[std::size_t(index)];
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString now = outputDigests(c, dir);
        QVERIFY2(kept.contains(c.name()), qPrintable(c.name() + QStringLiteral(" has no digests")));
        QCOMPARE(now, kept.value(c.name()));
    }

    void writeDigestsWhenAsked() {
        const QString target = qEnvironmentVariable("MARLISK_WRITE_DIGESTS");
        if (target.isEmpty()) return;
        QFile out(target);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Text));
        QTemporaryDir dir;
        out.write("# case<TAB>digests of each output (first 20 hex digits of SHA-256)\n");
        for (const Case& c : outputcases::all())
            out.write((c.name() + QLatin1Char('\t') + outputDigests(c, dir) + QLatin1Char('\n'))
                          .toUtf8());
    }
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    surface::registerFontSubstitutes();
    PictureOutputs t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_pictureoutputs.moc"
