// Sizes at their extremes, across the five build paths: page values of 1e308 or far below
// zero from a hand-edited settings file, 500-inch heights, billion-mil widths, huge ratios,
// thousands of characters. Every one either builds a picture within the size bound or is
// refused with a notice before any picture is made; none may overflow (the sanitizer build
// runs this too).

#include <QGuiApplication>
#include <QTest>

#include "surface/limits.h"
#include "surface/screen.h"
#include "tests/buildpaths.h"

using buildpaths::Symbology;
using symbols::PageValues;

Q_DECLARE_METATYPE(PageValues)
Q_DECLARE_METATYPE(buildpaths::Inputs)

namespace {
// "" : the build must finish. Otherwise a piece of the notice it must be refused with.
const QString kBuilt;
const QString kTooBig = QStringLiteral("the largest allowed is 32000 pixels a side and 256 MB");

PageValues all(double v) {
    return {v, v, v, v, v};
}

buildpaths::Inputs with(void (*change)(buildpaths::Inputs&)) {
    buildpaths::Inputs in;
    change(in);
    return in;
}

bool withinBound(const surface::Bitmap& b) {
    return b.width() <= surface::kMaxPictureSide && b.height() <= surface::kMaxPictureSide &&
           4.0 * b.width() * b.height() <= surface::kMaxPictureBytes;
}
}  // namespace

class SizesTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { surface::setScreenDpiOverride(96); }

    void extremeInputs_data() {
        QTest::addColumn<int>("symbology");
        QTest::addColumn<buildpaths::Inputs>("in");
        QTest::addColumn<QString>("expected");

        const auto row = [](const char* what, Symbology s, const buildpaths::Inputs& in,
                            const QString& expected) {
            QTest::addRow("%s: %s", buildpaths::nameOf(s), what) << int(s) << in << expected;
        };
        const auto everywhere = [&](const char* what, const buildpaths::Inputs& in,
                                    const QString& expected) {
            for (const symbols::SymbologyRow& r : symbols::symbologies())
                row(what, r.id, in, expected);
        };

        everywhere("top space 1e308 mils", with([](auto& in) { in.page.ftop = 1e308; }), kTooBig);
        everywhere("left space 1e308 mils", with([](auto& in) { in.page.fleft = 1e308; }), kTooBig);
        everywhere("interval 1e308 mils", with([](auto& in) { in.page.fiwidth = 1e308; }), kTooBig);
        everywhere("height 500 inches", with([](auto& in) { in.height = "500"; }), kTooBig);
        everywhere("height 333 inches fits", with([](auto& in) { in.height = "333"; }), kBuilt);
        everywhere("at 600 dpi", with([](auto& in) { in.dpi = 600; }), kBuilt);
        everywhere("comment of 5000 characters",
                   with([](auto& in) { in.comment = QString(5000, QLatin1Char('W')); }), kBuilt);
        everywhere("font of 500 points", with([](auto& in) {
                       in.fontSize = 500;
                       in.comment = "big";
                   }),
                   kBuilt);
        everywhere("page values of -100 mils", with([](auto& in) { in.page = all(-100); }), kBuilt);
        everywhere("left 1e300, right -1e300 cancel out", with([](auto& in) {
                       in.page.fleft = 1e300;
                       in.page.fright = -1e300;
                   }),
                   kTooBig);

        // Code 39: a narrow bar of a billion mils, ratios far outside 2 to 3, long messages,
        // negative page values (a negative space keeps the 0 it had).
        row("narrow width 1e9 mils", Symbology::C39, with([](auto& in) { in.width = "1e9"; }),
            kTooBig);
        row("ratio 1e300", Symbology::C39, with([](auto& in) { in.ratio = "1e300"; }),
            "Natio Error");
        row("ratio -1e300", Symbology::C39, with([](auto& in) { in.ratio = "-1e300"; }),
            "Natio Error");
        row("5000 characters", Symbology::C39,
            with([](auto& in) { in.message = QString(5000, QLatin1Char('A')); }), kTooBig);
        row("800 characters fit", Symbology::C39,
            with([](auto& in) { in.message = QString(800, QLatin1Char('A')); }), kBuilt);
        row("page values of -1e308", Symbology::C39, with([](auto& in) { in.page = all(-1e308); }),
            kBuilt);

        // EAN-13: the symbol width is typed in inches.
        row("width 1e9 inches", Symbology::Ena13, with([](auto& in) { in.width = "1e9"; }),
            kTooBig);
        row("page values of -1e308", Symbology::Ena13,
            with([](auto& in) { in.page = all(-1e308); }), kTooBig);
        row("add-on of 5000 digits is left out", Symbology::Ena13,
            with([](auto& in) { in.addOn = QString(5000, QLatin1Char('7')); }), kBuilt);
        row("message of 5000 digits", Symbology::Ena13,
            with([](auto& in) { in.message = QString(5000, QLatin1Char('7')); }),
            "must contain 12 numbers");

        // UPC-A, EAN-8, UPC-E: module widths in whole mils.
        for (Symbology s : {Symbology::UpcA, Symbology::Ean8, Symbology::UpcE}) {
            row("module width 1e9 mils", s, with([](auto& in) { in.width = "1000000000"; }),
                kTooBig);
            row("largest int module width", s, with([](auto& in) { in.width = "2147483647"; }),
                kTooBig);
            row("page values of -1e308", s, with([](auto& in) { in.page = all(-1e308); }), kTooBig);
            row("message of 5000 digits", s,
                with([](auto& in) { in.message = QString(5000, QLatin1Char('7')); }), "numbers");
            row("add-on of 5000 digits", s,
                with([](auto& in) { in.addOn = QString(5000, QLatin1Char('7')); }),
                "must contain 2 or 5 numbers");
        }
    }

    void extremeInputs() {
        QFETCH(int, symbology);
        QFETCH(buildpaths::Inputs, in);
        QFETCH(QString, expected);
        const symbols::BuildResult r = buildpaths::build(Symbology(symbology), in);
        QVERIFY(withinBound(r.picture));
        if (expected.isEmpty()) {
            QVERIFY2(r.built(), r.refusal ? qPrintable(r.refusal->text) : "stopped silently");
            QVERIFY(!r.picture.isEmpty());
            return;
        }
        QVERIFY2(r.refusal.has_value(), "built where it should have been refused");
        QCOMPARE(r.refusal->kind, symbols::Refusal::Kind::Notice);
        QVERIFY2(r.refusal->text.contains(expected), qPrintable(r.refusal->text));
        // Refused before any picture was made.
        QVERIFY(r.picture.isEmpty());
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    SizesTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_sizes.moc"
