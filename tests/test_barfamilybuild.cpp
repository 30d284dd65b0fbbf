// The build path shared by the UPC-A, EAN-8 and UPC-E forms: what it refuses, in which
// order, and the pictures it makes.

#include <QGuiApplication>
#include <QTest>

#include "surface/screen.h"
#include "symbols/barfamilybuild.h"
#include "symbols/symbologies.h"

using symbols::BarFamilyInputs;
using symbols::BuildResult;
using symbols::PageValues;
using symbols::Refusal;

namespace {
using Kind = symbols::Symbology;

constexpr QRgb kBar = 0x0000C0;

BuildResult build(Kind kind, const BarFamilyInputs& in, const PageValues& page = {}, int dpi = 96) {
    symbols::BuildContext context;
    context.page = page;
    context.font.color = QColor(0x80, 0, 0);
    context.barColor = QColor::fromRgb(kBar);
    context.dpi = dpi;
    switch (kind) {
        case Kind::UpcA:
            return symbols::buildUpcA(in, context);
        case Kind::Ean8:
            return symbols::buildEan8(in, context);
        case Kind::UpcE:
            return symbols::buildUpcE(in, context);
        default:
            break;
    }
    return {};
}

// The control of the three forms that holds the input a refusal names.
QString formControl(symbols::Input input) {
    switch (input) {
        case symbols::Input::Message:
            return QStringLiteral("barcodeedt");
        case symbols::Input::AddOn:
            return QStringLiteral("Supplementaltxt");
        default:
            return QString();
    }
}

BarFamilyInputs inputs(const QString& message, const QString& addOn = {}) {
    BarFamilyInputs in;
    in.message = message;
    in.supplemental = addOn;
    return in;
}

QPoint firstBarPixel(const surface::Bitmap& b) {
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) == kBar) return {x, y};
    return {-1, -1};
}

int count(const surface::Bitmap& b, QRgb c) {
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) == c;
    return n;
}

const QString kDigitsOnly = QStringLiteral("; only the digits 0 to 9 are allowed.");
}  // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(PageValues)
Q_DECLARE_METATYPE(Refusal::Kind)

class BarFamilyBuildTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { surface::registerFontSubstitutes(); }

    void pictureSizes_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("addOn");
        QTest::addColumn<PageValues>("page");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("firstBar");
        const PageValues none;
        // Defaults 1.3 inches and 21 mils: module 2 px, bars 125 px, F = 8.
        QTest::newRow("UPC-A defaults") << Kind::UpcA << "03600029145"
                                        << "" << none << QSize(206, 141) << QPoint(8, 0);
        QTest::newRow("UPC-A, 2-digit add-on: 127 modules")
            << Kind::UpcA << "03600029145"
            << "12" << none << QSize(270, 141) << QPoint(8, 0);
        QTest::newRow("UPC-A, 5-digit add-on: 154 modules")
            << Kind::UpcA << "03600029145"
            << "52495" << none << QSize(324, 141) << QPoint(8, 0);
        QTest::newRow("EAN-8 defaults") << Kind::Ean8 << "9638507"
                                        << "" << none << QSize(150, 141) << QPoint(8, 0);
        QTest::newRow("EAN-8, 2-digit add-on: 99 modules")
            << Kind::Ean8 << "9638507"
            << "12" << none << QSize(214, 141) << QPoint(8, 0);
        QTest::newRow("EAN-8, 5-digit add-on: 126 modules")
            << Kind::Ean8 << "9638507"
            << "52495" << none << QSize(268, 141) << QPoint(8, 0);
        QTest::newRow("UPC-E defaults") << Kind::UpcE << "123456"
                                        << "" << none << QSize(118, 141) << QPoint(8, 0);
        QTest::newRow("UPC-E, 2-digit add-on: 83 modules")
            << Kind::UpcE << "123456"
            << "12" << none << QSize(182, 141) << QPoint(8, 0);
        QTest::newRow("UPC-E, 5-digit add-on: 110 modules")
            << Kind::UpcE << "123456"
            << "52495" << none << QSize(236, 141) << QPoint(8, 0);
        // Each page value in its place: left moves the bars right, top and interval move
        // them down (Round(28.8) = 29), right and down only add blank space.
        QTest::newRow("UPC-A, left 250, top 250, interval 50")
            << Kind::UpcA << "03600029145"
            << "" << PageValues{250, 0, 250, 0, 50} << QSize(230, 170) << QPoint(32, 29);
        QTest::newRow("UPC-A, right 250, down 250")
            << Kind::UpcA << "03600029145"
            << "" << PageValues{0, 250, 0, 250, 0} << QSize(230, 165) << QPoint(8, 0);
    }
    void pictureSizes() {
        QFETCH(Kind, kind);
        QFETCH(QString, message);
        QFETCH(QString, addOn);
        QFETCH(PageValues, page);
        const BuildResult r = build(kind, inputs(message, addOn), page);
        QVERIFY(r.built());
        QCOMPARE(r.dpi, 96);
        QTEST(QSize(r.picture.width(), r.picture.height()), "size");
        QTEST(firstBarPixel(r.picture), "firstBar");
    }

    void commentDoesNotEnlargeThePicture() {
        BarFamilyInputs in = inputs(QStringLiteral("9638507"));
        in.comment = QStringLiteral("Shelf 12");
        const BuildResult r = build(Kind::Ean8, in);
        QVERIFY(r.built());
        QCOMPARE(QSize(r.picture.width(), r.picture.height()), QSize(150, 141));
        // The guard bars moved down by F: rows 8 to 132 instead of 0 to 124.
        QCOMPARE(r.picture.pixel(8, 132), kBar);
        QVERIFY(r.picture.pixel(8, 133) != kBar);
        QVERIFY(firstBarPixel(r.picture).y() >= 8);
    }

    void refusals_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("addOn");
        QTest::addColumn<QString>("moduleWidth");
        QTest::addColumn<QString>("height");
        QTest::addColumn<Refusal::Kind>("refusal");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        const auto notice = Refusal::Kind::Notice;
        const auto conversion = Refusal::Kind::ConversionError;
        const QString upcAAddOn =
            QStringLiteral("The 'Upc-a Supplemental' must contain 2 or 5 numbers.");
        QTest::newRow("UPC-A short message, checked before the bad add-on")
            << Kind::UpcA << "0360002914"
            << "123"
            << "21"
            << "1.3" << notice << "The 'Bar code message' must contain 11 numbers."
            << "barcodeedt";
        QTest::newRow("UPC-A empty message")
            << Kind::UpcA << ""
            << ""
            << "21"
            << "1.3" << notice << "The 'Bar code message' must contain 11 numbers."
            << "barcodeedt";
        QTest::newRow("UPC-A 1-digit add-on") << Kind::UpcA << "03600029145"
                                              << "1"
                                              << "21"
                                              << "1.3" << notice << upcAAddOn << "Supplementaltxt";
        QTest::newRow("UPC-A 3-digit add-on") << Kind::UpcA << "03600029145"
                                              << "123"
                                              << "21"
                                              << "1.3" << notice << upcAAddOn << "Supplementaltxt";
        QTest::newRow("UPC-A 4-digit add-on") << Kind::UpcA << "03600029145"
                                              << "1234"
                                              << "21"
                                              << "1.3" << notice << upcAAddOn << "Supplementaltxt";
        QTest::newRow("EAN-8 6-digit message")
            << Kind::Ean8 << "963850"
            << ""
            << "21"
            << "1.3" << notice << "The 'Bar code message' must contain 7 numbers."
            << "barcodeedt";
        QTest::newRow("EAN-8 3-digit add-on")
            << Kind::Ean8 << "9638507"
            << "123"
            << "21"
            << "1.3" << notice << "The 'Ean8 Supplemental' must contain 2 or 5 numbers."
            << "Supplementaltxt";
        QTest::newRow("UPC-E 5-digit message")
            << Kind::UpcE << "12345"
            << ""
            << "21"
            << "1.3" << notice << "The 'Bar code message' must contain 6 numbers."
            << "barcodeedt";
        QTest::newRow("UPC-E 4-digit add-on")
            << Kind::UpcE << "123456"
            << "1234"
            << "21"
            << "1.3" << notice << "The 'Upc-e Supplemental' must contain 2 or 5 numbers."
            << "Supplementaltxt";
        // Pasted text gets past the key filters; it is refused before anything is drawn.
        QTest::newRow("pasted letter in the message, before the bad module width")
            << Kind::UpcA << "03600o29145"
            << ""
            << ""
            << "1.3" << notice
            << "The 'Bar code message' holds the character 'o' at position 6" + kDigitsOnly
            << "barcodeedt";
        QTest::newRow("UPC-E sixth character not a digit")
            << Kind::UpcE << "12345-"
            << ""
            << "21"
            << "1.3" << notice
            << "The 'Bar code message' holds the character '-' at position 6" + kDigitsOnly
            << "barcodeedt";
        QTest::newRow("message checked before the add-on")
            << Kind::Ean8 << "96 8507"
            << "1x"
            << "21"
            << "1.3" << notice
            << "The 'Bar code message' holds the character ' ' at position 3" + kDigitsOnly
            << "barcodeedt";
        QTest::newRow("pasted letter in the add-on")
            << Kind::UpcE << "123456"
            << "524x5"
            << "21"
            << "1.3" << notice
            << "The 'Upc-e Supplemental' holds the character 'x' at position 4" + kDigitsOnly
            << "Supplementaltxt";
        QTest::newRow("empty module width") << Kind::UpcA << "03600029145"
                                            << ""
                                            << ""
                                            << "" << conversion << "'' is not a valid integer value"
                                            << "";
        QTest::newRow("module width with a point")
            << Kind::Ean8 << "9638507"
            << ""
            << "20.5"
            << "1.3" << conversion << "'20.5' is not a valid integer value"
            << "";
        QTest::newRow("empty height")
            << Kind::UpcE << "123456"
            << ""
            << "21"
            << "" << conversion << "'' is not a valid floating point value"
            << "";
        QTest::newRow("height with two points")
            << Kind::UpcE << "123456"
            << ""
            << "21"
            << "1.3.1" << conversion << "'1.3.1' is not a valid floating point value"
            << "";
    }
    void refusals() {
        QFETCH(Kind, kind);
        QFETCH(QString, message);
        QFETCH(QString, addOn);
        QFETCH(QString, moduleWidth);
        QFETCH(QString, height);
        BarFamilyInputs in = inputs(message, addOn);
        in.moduleWidth = moduleWidth;
        in.height = height;
        const BuildResult r = build(kind, in);
        QVERIFY(!r.built());
        QVERIFY(r.refusal.has_value());
        QTEST(r.refusal->kind, "refusal");
        QTEST(r.refusal->text, "text");
        QTEST(formControl(r.refusal->input), "field");
        QVERIFY(r.stoppedAt == BuildResult::StoppedAt::Checks);
        QVERIFY(r.picture.isEmpty());  // nothing was drawn
    }

    // Sizes no picture can have, from typed numbers or an edited settings file: refused
    // before any pixel count is made an int, never a crash or a wrapped-around size.
    void impossibleSizesAreRefused_data() {
        QTest::addColumn<QString>("moduleWidth");
        QTest::addColumn<QString>("height");
        QTest::addColumn<PageValues>("page");
        QTest::newRow("500-inch bars") << "21"
                                       << "500" << PageValues{};
        QTest::newRow("1e308-inch bars") << "21"
                                         << "1e308" << PageValues{};
        QTest::newRow("largest module width") << "2147483647"
                                              << "1.3" << PageValues{};
        QTest::newRow("top space 1e308 mils") << "21"
                                              << "1.3" << PageValues{1e308, 0, 0, 0, 0};
        QTest::newRow("interval 1e308 mils") << "21"
                                             << "1.3" << PageValues{0, 0, 0, 0, 1e308};
        QTest::newRow("left and right cancel, each overflows")
            << "21"
            << "1.3" << PageValues{0, 0, -1e308, 1e308, 0};
        QTest::newRow("wide enough to exceed the memory bound") << "330"
                                                                << "300" << PageValues{};
    }
    void impossibleSizesAreRefused() {
        QFETCH(QString, moduleWidth);
        QFETCH(QString, height);
        QFETCH(PageValues, page);
        BarFamilyInputs in = inputs(QStringLiteral("03600029145"), QStringLiteral("52495"));
        in.moduleWidth = moduleWidth;
        in.height = height;
        const BuildResult r = build(Kind::UpcA, in, page);
        QVERIFY(r.refusal.has_value());
        QCOMPARE(r.refusal->kind, Refusal::Kind::Notice);
        QVERIFY2(r.refusal->text.startsWith(QLatin1String("The picture would be")),
                 qPrintable(r.refusal->text));
        QVERIFY(r.picture.isEmpty());
    }

    void moduleWidthZeroBuildsTextWithoutBars() {
        BarFamilyInputs in = inputs(QStringLiteral("123456"), QStringLiteral("12"));
        in.moduleWidth = QStringLiteral("0");
        const BuildResult r = build(Kind::UpcE, in);
        QVERIFY(r.built());
        QCOMPARE(QSize(r.picture.width(), r.picture.height()), QSize(16, 141));
        QCOMPARE(count(r.picture, kBar), 0);
        QVERIFY(count(r.picture, 0x800000) > 0);  // the digit "0" in the font colour
    }

    void resolution_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("madeAt");
        QTest::addColumn<QSize>("size");
        // 300 DPI: module Round(6.3) = 6, bars Round(390) = 390.
        QTest::newRow("given 300 DPI") << 300 << 96 << 300 << QSize(16 + 6 * 95, 16 + 390);
        // Screen at 120 DPI: module Round(2.52) = 3, bars 156.
        QTest::newRow("0 takes the screen's") << 0 << 120 << 120 << QSize(16 + 3 * 95, 16 + 156);
    }
    void resolution() {
        QFETCH(int, dpi);
        QFETCH(int, screen);
        surface::setScreenDpiOverride(screen);
        const BuildResult r = build(Kind::UpcA, inputs(QStringLiteral("03600029145")), {}, dpi);
        surface::setScreenDpiOverride(0);
        QVERIFY(r.built());
        QTEST(r.dpi, "madeAt");
        QTEST(r.picture.dpi(), "madeAt");
        QTEST(QSize(r.picture.width(), r.picture.height()), "size");
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    BarFamilyBuildTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_barfamilybuild.moc"
