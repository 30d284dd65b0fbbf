// The UPC-A, EAN-8 and UPC-E pictures: where bars, digits, add-ons and the comment line
// land, pixel by pixel.

#include <QGuiApplication>
#include <QTest>

#include "barfamilytesting.h"
#include "symbols/numbersets.h"

using bartest::kEan89638507;
using bartest::Kind;
using bartest::kUpcA03600029145;
using bartest::kUpcE123456;
Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(symbols::PageValues)

namespace {
QList<QPoint> row(int y, std::initializer_list<int> xs) {
    QList<QPoint> out;
    for (int x : xs) out << QPoint(x, y);
    return out;
}

symbols::PageValues page(double top, double down, double left, double right, double interval) {
    return {top, down, left, right, interval};
}

QSize textCell(const QString& text) {
    surface::Bitmap probe;
    probe.setDpi(96);
    probe.assignFont(surface::Font());
    return probe.textExtent(text);
}
}  // namespace

class BarGeometryTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { surface::registerFontSubstitutes(); }
    void geometry_data();
    void geometry();
    void commentMovesTheDrawingDownInsideTheSamePicture();
    void textAndBarColours();
    void moduleWidthZeroDrawsTextOnly();
};

// Reference pictures at 96 DPI, 8-point font, module width 2, bar height 125.
void BarGeometryTest::geometry_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("addOn");
    QTest::addColumn<symbols::PageValues>("page");
    QTest::addColumn<QString>("modules");
    QTest::addColumn<QString>("fullBars");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("barsLeft");
    QTest::addColumn<int>("barTop");
    QTest::addColumn<int>("shortBottom");  // first row below the short bars
    QTest::addColumn<int>("fullBottom");
    QTest::addColumn<QString>("digits");  // as written, left to right
    QTest::addColumn<QList<QPoint>>("digitCells");
    QTest::addColumn<int>("addOnLeft");
    QTest::addColumn<int>("addOnTop");
    QTest::addColumn<QList<QPoint>>("addOnCells");

    const symbols::PageValues none;
    const QString upcAFull = QStringLiteral("1-10,46-50,86-95");
    const QString ean8Full = QStringLiteral("1-3,32-36,65-67");
    const QString upcEFull = QStringLiteral("1-3,46-51");
    const QList<QPoint> upcADigits =
        row(117, {0, 28, 42, 56, 70, 84, 108, 122, 136, 150, 164, 198});
    QTest::newRow("UPC-A reference")
        << Kind::UpcA << "03600029145"
        << "" << none << kUpcA03600029145 << upcAFull << QSize(206, 141) << 8 << 0 << 117 << 125
        << "036000291452" << upcADigits << 0 << 0 << QList<QPoint>();
    QTest::newRow("UPC-A with add-on 12")
        << Kind::UpcA << "03600029145"
        << "12" << none << kUpcA03600029145 << upcAFull << QSize(270, 141) << 8 << 0 << 117 << 125
        << "036000291452" << upcADigits << 214 << 8 << row(0, {222, 240});
    // Bar top Round(28.8) = 29; short bars end at Round(145.67) = 146; digits at
    // Round(4.8 + 116.67 + 29) = 150, not 151 as separately rounded terms would give;
    // add-on bars start at Round(8 + 29 + 4.8) = 42.
    QTest::newRow("UPC-A with spaces and add-on: each sum rounded once")
        << Kind::UpcA << "03600029145"
        << "12" << page(250, 250, 250, 250, 50) << kUpcA03600029145 << upcAFull << QSize(318, 194)
        << 32 << 29 << 146 << 154 << "036000291452"
        << row(150, {24, 52, 66, 80, 94, 108, 132, 146, 160, 174, 188, 222}) << 238 << 42
        << row(29, {246, 264});
    // The first and the check digit are written twice: beside the guards and under the bars.
    QTest::newRow("EAN-8 reference")
        << Kind::Ean8 << "9638507"
        << "" << none << kEan89638507 << ean8Full << QSize(150, 141) << 8 << 0 << 117 << 125
        << "9963850744" << row(117, {0, 14, 28, 42, 56, 80, 94, 108, 122, 142}) << 0 << 0
        << QList<QPoint>();
    QTest::newRow("EAN-8 with add-on 52495")
        << Kind::Ean8 << "9638507"
        << "52495" << none << kEan89638507 << ean8Full << QSize(268, 141) << 8 << 0 << 117 << 125
        << "9963850744" << row(117, {0, 14, 28, 42, 56, 80, 94, 108, 122, 142}) << 158 << 8
        << row(0, {166, 184, 202, 220, 238});
    // UPC-E digits are placed from OriginX without the F column.
    QTest::newRow("UPC-E reference")
        << Kind::UpcE << "123456"
        << "" << none << kUpcE123456 << upcEFull << QSize(118, 141) << 8 << 0 << 117 << 125
        << "01234565" << row(117, {0, 20, 34, 48, 62, 76, 90, 110}) << 0 << 0 << QList<QPoint>();
    QTest::newRow("UPC-E with add-on 12")
        << Kind::UpcE << "123456"
        << "12" << none << kUpcE123456 << upcEFull << QSize(182, 141) << 8 << 0 << 117 << 125
        << "01234565" << row(117, {0, 20, 34, 48, 62, 76, 90, 110}) << 126 << 8
        << row(0, {134, 152});
}

void BarGeometryTest::geometry() {
    QFETCH(Kind, kind);
    QFETCH(QString, message);
    QFETCH(QString, addOn);
    QFETCH(symbols::PageValues, page);
    QFETCH(QString, modules);
    QFETCH(QString, fullBars);
    QFETCH(int, barsLeft);
    QFETCH(int, barTop);
    QFETCH(int, shortBottom);
    QFETCH(int, fullBottom);
    QFETCH(QString, digits);
    QFETCH(QList<QPoint>, digitCells);
    QFETCH(int, addOnLeft);
    QFETCH(int, addOnTop);
    QFETCH(QList<QPoint>, addOnCells);

    bartest::Options o;
    o.page = page;
    const bartest::Drawing d = bartest::draw(kind, message, addOn, o);
    const surface::Bitmap& p = d.picture;
    QCOMPARE(d.error, QString());
    QTEST(QSize(p.width(), p.height()), "size");

    // Every column of every module: a bar from barTop to its bottom where the module is
    // dark, nothing where it is light.
    int expectedBarPixels = 0;
    for (int k = 1; k <= modules.size(); ++k) {
        const bool dark = modules[k - 1] == QLatin1Char('1');
        const int bottom = bartest::inRanges(fullBars, k) ? fullBottom : shortBottom;
        for (int x = barsLeft + 2 * (k - 1); x < barsLeft + 2 * k; ++x) {
            QCOMPARE(p.pixel(x, barTop) == bartest::kBar, dark);
            if (!dark) continue;
            QVERIFY(p.pixel(x, barTop - 1) != bartest::kBar);
            QCOMPARE(p.pixel(x, bottom - 1), bartest::kBar);
            QVERIFY2(p.pixel(x, bottom) != bartest::kBar, qPrintable(QString::number(k)));
            expectedBarPixels += bottom - barTop;
        }
    }
    const QString addOnModules = symbols::encodeAddOn(addOn);
    if (!addOn.isEmpty()) {
        for (int j = 0; j < addOnModules.size(); ++j) {
            const bool dark = addOnModules[j] == QLatin1Char('1');
            const int x = addOnLeft + 2 * j;
            QCOMPARE(p.pixel(x, addOnTop) == bartest::kBar, dark);
            QCOMPARE(p.pixel(x + 1, fullBottom - 1) == bartest::kBar, dark);
            QVERIFY(p.pixel(x, addOnTop - 1) != bartest::kBar);
            QVERIFY(p.pixel(x, fullBottom) != bartest::kBar);
            if (dark) expectedBarPixels += 2 * (fullBottom - addOnTop);
        }
    }
    QCOMPARE(bartest::countColour(p, bartest::kBar), expectedBarPixels);

    // Text cells: white boxes with their top-left corner where each digit was placed.
    QCOMPARE(digitCells.size(), digits.size());
    const auto checkCell = [&p](const QPoint& at, const QString& text) {
        const QSize cell = textCell(text);
        const QRect window(at - QPoint(3, 3), cell + QSize(6, 6));
        QCOMPARE(bartest::whiteBox(p, window), QRect(at, cell));
        QVERIFY(bartest::countColour(p, bartest::kInk, QRect(at, cell)) > 0);
    };
    for (int i = 0; i < digits.size(); ++i) checkCell(digitCells[i], digits.mid(i, 1));
    for (int i = 0; i < addOnCells.size(); ++i) checkCell(addOnCells[i], addOn.mid(i, 1));
}

void BarGeometryTest::commentMovesTheDrawingDownInsideTheSamePicture() {
    bartest::Options o;
    o.comment = QStringLiteral("Lot 4");
    const bartest::Drawing d =
        bartest::draw(Kind::UpcE, QStringLiteral("123456"), QStringLiteral("12"), o);
    const surface::Bitmap& p = d.picture;
    QCOMPARE(QSize(p.width(), p.height()), QSize(182, 141));
    // The comment's cell stands at (OriginX, BarTop - F - interval) = (0, 0).
    const QSize cell = textCell(o.comment);
    QCOMPARE(bartest::whiteBox(p, QRect(0, 0, cell.width() + 4, 7)).topLeft(), QPoint(0, 0));
    // Bars, digits and add-on are F lower: start guard from row 8, digits at 125, add-on
    // bars from row 16, add-on digits at row 8.
    QCOMPARE(p.pixel(8, cell.height()), bartest::kBar);
    QCOMPARE(p.pixel(8, 132), bartest::kBar);
    QVERIFY(p.pixel(8, 133) != bartest::kBar);
    QCOMPARE(p.pixel(12, 124), bartest::kBar);  // module 3, full
    QCOMPARE(bartest::whiteBox(p, QRect(17, 122, 12, 14)).topLeft(), QPoint(20, 125));
    QCOMPARE(p.pixel(126, 16), bartest::kBar);
    QVERIFY(p.pixel(126, 15) != bartest::kBar);
    QCOMPARE(bartest::whiteBox(p, QRect(131, 5, 10, 6)).topLeft(), QPoint(134, 8));
    // The comment is written after the bars: its cell covers the top of the guard bars
    // beneath it.
    QVERIFY(cell.height() > 8 && cell.width() > 9);
    QVERIFY(p.pixel(8, 8) != bartest::kBar);
}

void BarGeometryTest::textAndBarColours() {
    const bartest::Drawing d =
        bartest::draw(Kind::Ean8, QStringLiteral("1234567"), QStringLiteral("05"));
    QVERIFY(bartest::countColour(d.picture, bartest::kBar) > 0);
    QVERIFY(bartest::countColour(d.picture, bartest::kInk) > 0);
    // Add-on digits are written in the font's colour too.
    QVERIFY(bartest::countColour(d.picture, bartest::kInk, QRect(158, 0, 40, 8)) > 0);
    QCOMPARE(bartest::countColour(d.picture, 0x000000), 0);
}

void BarGeometryTest::moduleWidthZeroDrawsTextOnly() {
    bartest::Options o;
    o.moduleWidth = 0;
    const bartest::Drawing d =
        bartest::draw(Kind::UpcA, QStringLiteral("03600029145"), QStringLiteral("12"), o);
    QCOMPARE(QSize(d.picture.width(), d.picture.height()), QSize(16, 141));
    QCOMPARE(bartest::countColour(d.picture, bartest::kBar), 0);
    QVERIFY(bartest::countColour(d.picture, bartest::kWhite) > 0);
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    BarGeometryTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_bargeometry.moc"
