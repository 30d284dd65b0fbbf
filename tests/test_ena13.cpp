// EAN-13: check digits, module strings, the reference picture drawn pixel for pixel, and
// the inputs the build refuses.

#include <QGuiApplication>
#include <QTest>
#include <span>

#include "surface/bitmap.h"
#include "symbols/ena13.h"
#include "symbols/ena13build.h"

using symbols::BuildResult;
using symbols::Ena13Inputs;
using symbols::Refusal;
using symbols::TENA13;

// The form's inputs with the context a build of them takes.
struct Ena13Build : Ena13Inputs {
    symbols::PageValues page;
    surface::Font font;
    QColor barColor = Qt::black;
    int dpi = 0;
};

Q_DECLARE_METATYPE(BuildResult::StoppedAt)
Q_DECLARE_METATYPE(Ena13Build)

namespace {
constexpr QRgb kBars = 0x123456;  // differs from the black of the digits

BuildResult buildEna13(const Ena13Build& in) {
    return symbols::buildEna13(in, {in.page, in.font, in.barColor, in.dpi});
}

Ena13Build reference(const QString& addOn = {}, const QString& comment = {}) {
    Ena13Build in;
    in.height = QStringLiteral("1.3");
    in.width = QStringLiteral("2");
    in.message = QStringLiteral("590123412345");
    in.supplemental = addOn;
    in.comment = comment;
    in.barColor = QColor::fromRgb(kBars);
    in.dpi = 96;
    return in;
}

// A bar as columns [left, right) of the picture.
struct Bar {
    int left, right;
    bool guard;  // guard bars run longer than data bars
};

// The reference symbol 5901234123457 at 96 DPI: 2-pixel modules from x = 10. Worked out by
// hand from its module string (the "5901234123457" row of encode below): 30 bars, the
// guards' six among them.
constexpr Bar kMainBars[] = {
    {10, 12, true},    {14, 16, true},    {22, 24, false},   {26, 30, false},   {32, 34, false},
    {38, 44, false},   {46, 50, false},   {54, 58, false},   {62, 64, false},   {68, 72, false},
    {74, 82, false},   {84, 86, false},   {90, 96, false},   {98, 100, false},  {102, 104, true},
    {106, 108, true},  {110, 114, false}, {118, 122, false}, {124, 128, false}, {130, 134, false},
    {138, 140, false}, {148, 150, false}, {152, 154, false}, {156, 162, false}, {166, 168, false},
    {172, 178, false}, {180, 182, false}, {188, 190, false}, {194, 196, true},  {198, 200, true}};
// The add-ons from x = 219, from their module strings (the rows of encodeSupplemental).
constexpr Bar kAddOn12Bars[] = {{219, 221, false}, {223, 227, false}, {231, 235, false},
                                {239, 241, false}, {243, 245, false}, {249, 251, false},
                                {255, 259, false}};
constexpr Bar kAddOn52495Bars[] = {
    {219, 221, false}, {223, 227, false}, {229, 235, false}, {239, 241, false},
    {243, 245, false}, {249, 251, false}, {255, 259, false}, {261, 263, false},
    {267, 273, false}, {275, 277, false}, {279, 281, false}, {287, 289, false},
    {291, 295, false}, {297, 299, false}, {301, 305, false}, {311, 313, false}};

// The picture the reference inputs must give: bars from y0 (data 109 high, guards 116), the
// add-on's bars from 8 to 109 below its digits, the digits in their cells at the columns
// below. The texts are written with the canvas (how a glyph looks is not this test's
// business); the bars are set pixel by pixel from the literal tables above. No text cell
// here overlaps a bar, so the order does not matter.
QImage expectedPicture(int width, const QString& addOn, const QString& comment) {
    const int y0 = comment.isEmpty() ? 0 : 11;
    const int h = comment.isEmpty() ? 0 : 16;
    surface::Bitmap texts;
    texts.setDpi(96);
    texts.setBrushColor(Qt::white);
    texts.setSize(width, 127);
    texts.assignFont(surface::Font{});
    texts.textOut(0, 0, comment);
    for (int k = 0; k < addOn.size(); ++k) texts.textOut(229 + 18 * k, h, QString(addOn[k]));
    const QString digits = QStringLiteral("5901234123457");
    const int columns[13] = {0, 16, 30, 44, 58, 72, 86, 110, 124, 138, 152, 166, 180};
    for (int k = 0; k < 13; ++k) texts.textOut(columns[k], y0 + 109, QString(digits[k]));

    QImage want = texts.image().convertToFormat(QImage::Format_RGB32);
    const auto paint = [&](std::span<const Bar> bars, int top, int bottom, int guardBottom) {
        for (const Bar& b : bars)
            for (int y = top; y < (b.guard ? guardBottom : bottom); ++y)
                for (int x = b.left; x < b.right; ++x) want.setPixel(x, y, 0xFF000000u | kBars);
    };
    paint(kMainBars, y0, y0 + 109, y0 + 116);
    if (addOn == QLatin1String("12")) paint(kAddOn12Bars, h + 8, h + 109, h + 109);
    if (addOn == QLatin1String("52495")) paint(kAddOn52495Bars, h + 8, h + 109, h + 109);
    return want;
}

QString firstDifference(const surface::Bitmap& got, const QImage& want) {
    if (got.width() != want.width() || got.height() != want.height())
        return QStringLiteral("size %1 x %2, expected %3 x %4")
            .arg(got.width())
            .arg(got.height())
            .arg(want.width())
            .arg(want.height());
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (got.pixel(x, y) != (want.pixel(x, y) & 0xFFFFFF))
                return QStringLiteral("pixel (%1, %2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(got.pixel(x, y), 6, 16, QLatin1Char('0'))
                    .arg(want.pixel(x, y) & 0xFFFFFF, 6, 16, QLatin1Char('0'));
    return {};
}

// Widths of the dark runs along row y, from x on, up to `count` runs, with their starts.
QList<QPair<int, int>> darkRuns(const surface::Bitmap& b, int x, int y, int count) {
    QList<QPair<int, int>> runs;
    while (x < b.width() && runs.size() < count) {
        if (b.pixel(x, y) == kBars) {
            const int start = x;
            while (x < b.width() && b.pixel(x, y) == kBars) ++x;
            runs.append({start, x - start});
        } else {
            ++x;
        }
    }
    return runs;
}
}  // namespace

class Ena13Test : public QObject {
    Q_OBJECT
  private slots:
    void checkDigit_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        // The modulo-10 rule of the GS1 General Specifications (section 7.9); the digits
        // agree with python3-stdnum's.
        QTest::newRow("worked example 590123412345") << "590123412345" << 7;
        QTest::newRow("worked example 400638133393") << "400638133393" << 1;
        QTest::newRow("edge case: twelve zeros") << "000000000000" << 0;
        QTest::newRow("edge case: sum 9 gives 1") << "900000000000" << 1;
        QTest::newRow("edge case: weight 3 on the twelfth") << "000000000001" << 7;
        QTest::newRow("11 characters") << "59012341234" << -1;
        QTest::newRow("13 characters") << "5901234123457" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("letter last") << "59012341234x" << -2;
        QTest::newRow("blank first") << " 90123412345" << -2;
        QTest::newRow("non-ASCII digit") << QString::fromUtf8("59012341234\u0663") << -2;
    }
    void checkDigit() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(TENA13::CheckDigit(text), expected);
    }

    void encode_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected");
        // Worked by hand from the number sets and the table of first digits of ISO/IEC
        // 15420: 5 -> A B B A A B on 9 0 1 2 3 4.
        QTest::newRow("worked example 5901234123457") << "590123412345"
                                                      << "bab"
                                                         "0001011"
                                                         "0100111"
                                                         "0110011"
                                                         "0010011"
                                                         "0111101"
                                                         "0011101"
                                                         "ababa"
                                                         "1100110"
                                                         "1101100"
                                                         "1000010"
                                                         "1011100"
                                                         "1001110"
                                                         "1000100"
                                                         "bab";
        QTest::newRow("ISO/IEC 15420 first digit 0: all set A") << "012345678905"
                                                                << "bab"
                                                                   "0011001"
                                                                   "0010011"
                                                                   "0111101"
                                                                   "0100011"
                                                                   "0110001"
                                                                   "0101111"
                                                                   "ababa"
                                                                   "1000100"
                                                                   "1001000"
                                                                   "1110100"
                                                                   "1110010"
                                                                   "1001110"
                                                                   "1110010"
                                                                   "bab";
        QTest::newRow("ISO/IEC 15420 first digit 6: A B B B A A") << "611111111111"
                                                                  << "bab"
                                                                     "0011001"
                                                                     "0110011"
                                                                     "0110011"
                                                                     "0110011"
                                                                     "0011001"
                                                                     "0011001"
                                                                     "ababa"
                                                                     "1100110"
                                                                     "1100110"
                                                                     "1100110"
                                                                     "1100110"
                                                                     "1100110"
                                                                     "1100110"
                                                                     "bab";
        QTest::newRow("first character no digit") << "x23456789012"
                                                  << "bab";
        QTest::newRow("empty message") << ""
                                       << "bab";
        QTest::newRow("non-digit later") << "12345x789012"
                                         << "";
        QTest::newRow("11 digits: check digit -1") << "12345678901"
                                                   << "";
        QTest::newRow("13 digits: check digit -1") << "1234567890123"
                                                   << "";
    }
    void encode() {
        QFETCH(QString, message);
        QFETCH(QString, expected);
        QCOMPARE(TENA13::Encode(message), expected);
    }

    void encodeSupplemental_data() {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("expected");
        // Add-on parities by the rules of ISO/IEC 15420.
        QTest::newRow("ISO/IEC 15420 add-on: 12 mod 4 = 0, A A") << "12"
                                                                 << "1011"
                                                                    "0011001"
                                                                    "01"
                                                                    "0010011";
        QTest::newRow("ISO/IEC 15420 add-on: 07 mod 4 = 3, B B") << "07"
                                                                 << "1011"
                                                                    "0100111"
                                                                    "01"
                                                                    "0010001";
        QTest::newRow("ISO/IEC 15420 add-on: 52495, c = 1, B A B A A") << "52495"
                                                                       << "1011"
                                                                          "0111001"
                                                                          "01"
                                                                          "0010011"
                                                                          "01"
                                                                          "0011101"
                                                                          "01"
                                                                          "0001011"
                                                                          "01"
                                                                          "0110001";
        QTest::newRow("three digits") << "123"
                                      << "1011";
        QTest::newRow("one digit") << "1"
                                   << "1011";
        QTest::newRow("none") << ""
                              << "1011";
    }
    void encodeSupplemental() {
        QFETCH(QString, digits);
        QFETCH(QString, expected);
        QCOMPARE(TENA13::EncodeSupplemental(digits), expected);
    }

    void referencePicture_data() {
        QTest::addColumn<QString>("addOn");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<int>("width");
        QTest::newRow("no add-on") << ""
                                   << "" << 204;
        QTest::newRow("2-digit add-on") << "12"
                                        << "" << 269;
        QTest::newRow("5-digit add-on") << "52495"
                                        << "" << 323;
        QTest::newRow("comment line") << ""
                                      << "Batch 7" << 204;
        QTest::newRow("comment line, 2-digit add-on") << "12"
                                                      << "Batch 7" << 269;
    }
    void referencePicture() {
        QFETCH(QString, addOn);
        QFETCH(QString, comment);
        QFETCH(int, width);
        const BuildResult r = buildEna13(reference(addOn, comment));
        QVERIFY(r.built());
        QVERIFY(r.notices.empty());
        QCOMPARE(r.dpi, 96);
        const QString diff = firstDifference(r.picture, expectedPicture(width, addOn, comment));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    // The main module truncates (Round(D x width) div 95), the add-on module rounds
    // (Round(D x width / 95)): they part at 120 DPI.
    void moduleWidths_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("x0");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("xs");
        QTest::addColumn<int>("m2");
        QTest::newRow("96 DPI: both 2") << 96 << 10 << 2 << 219 << 2;
        QTest::newRow("120 DPI: 2 and 3") << 120 << 11 << 2 << 273 << 3;
        QTest::newRow("300 DPI: 6 and 6") << 300 << 16 << 6 << 683 << 6;
    }
    void moduleWidths() {
        QFETCH(int, dpi);
        QFETCH(int, x0);
        QFETCH(int, m);
        QFETCH(int, xs);
        QFETCH(int, m2);
        Ena13Build in = reference(QStringLiteral("12"));
        in.dpi = dpi;
        const BuildResult r = buildEna13(in);
        QVERIFY(r.built());
        const int y = r.picture.height() / 2;
        // Start guard: bar, space, bar, one module each.
        const auto start = darkRuns(r.picture, 0, y, 2);
        QCOMPARE(start, (QList<QPair<int, int>>{{x0, m}, {x0 + 2 * m, m}}));
        const auto guard = darkRuns(r.picture, xs - 1, y, 2);  // add-on guard 1011
        QCOMPARE(guard, (QList<QPair<int, int>>{{xs, m2}, {xs + 2 * m2, 2 * m2}}));
        const auto endGuard = darkRuns(r.picture, x0 + 92 * m, y, 2);
        QCOMPARE(endGuard, (QList<QPair<int, int>>{{x0 + 92 * m, m}, {x0 + 94 * m, m}}));
        QCOMPARE(r.picture.pixel(x0 + 95 * m, y), QRgb(0xFFFFFF));
    }

    void refusals_data() {
        QTest::addColumn<Ena13Build>("in");
        QTest::addColumn<BuildResult::StoppedAt>("at");
        QTest::addColumn<int>("kind");  // -1: silent
        QTest::addColumn<QString>("text");
        using S = BuildResult::StoppedAt;
        const int notice = int(Refusal::Kind::Notice);
        const QString tooBig = QStringLiteral("The picture would be");
        const QString twelve = QStringLiteral("The 'Bar code message' must contain 12 numbers.");
        Ena13Build in = reference();

        in.message = QStringLiteral("59012341234");
        QTest::newRow("11 digits") << in << S::Checks << notice << twelve;
        in.message = QStringLiteral("5901234123457");
        QTest::newRow("13 digits") << in << S::Checks << notice << twelve;
        in.message = QStringLiteral("5901x3412345");
        QTest::newRow("pasted letter in the message")
            << in << S::Checks << notice
            << "The 'Bar code message' holds the character 'x' at position 5; only the digits "
               "0 to 9 are allowed.";
        in.message = QStringLiteral("590123412345");
        in.supplemental = QStringLiteral("1a");
        QTest::newRow("pasted letter in the add-on")
            << in << S::Checks << notice
            << "The 'Ean13 Supplemental' holds the character 'a' at position 2; only the "
               "digits 0 to 9 are allowed.";
        in.supplemental = QStringLiteral("1234-");
        QTest::newRow("minus in a 5-digit add-on")
            << in << S::Checks << notice
            << "The 'Ean13 Supplemental' holds the character '-' at position 5; only the "
               "digits 0 to 9 are allowed.";

        in = reference();
        in.height.clear();
        QTest::newRow("empty height: silent") << in << S::Drawing << -1 << QString();
        in.height = QStringLiteral("1..3");
        QTest::newRow("height with two points")
            << in << S::Drawing << int(Refusal::Kind::ConversionError)
            << "'1..3' is not a valid floating point value";
        in.height = QStringLiteral("1e308");
        QTest::newRow("pasted 1e308 height") << in << S::Drawing << notice << tooBig;
        in.height = QStringLiteral("500");
        QTest::newRow("500-inch height") << in << S::Drawing << notice << tooBig;

        in = reference(QStringLiteral("52495"));
        in.page.fleft = 1e308;
        QTest::newRow("left space 1e308 from a settings file")
            << in << S::Drawing << notice << tooBig;
        in.page.fleft = -1e308;
        in.page.fright = 1e308;
        QTest::newRow("cancelling left and right spaces") << in << S::Drawing << notice << tooBig;
        in = reference();
        in.page.fiwidth = 1e308;
        QTest::newRow("interval 1e308: small picture, huge bars")
            << in << S::Drawing << notice << tooBig;
        in.page.fiwidth = std::nan("");
        QTest::newRow("interval not a number") << in << S::Drawing << notice << tooBig;
        in = reference();
        in.font.pointSize = 2000000000;
        QTest::newRow("font size past any picture") << in << S::Drawing << notice << tooBig;
        in = reference();
        in.page.fleft = -5000;
        QTest::newRow("negative left space: no picture left")
            << in << S::Drawing << notice << tooBig;
    }
    void refusals() {
        QFETCH(Ena13Build, in);
        QFETCH(BuildResult::StoppedAt, at);
        QFETCH(int, kind);
        QFETCH(QString, text);
        const BuildResult r = buildEna13(in);
        QVERIFY(!r.built());
        QVERIFY(r.stoppedAt);
        QCOMPARE(*r.stoppedAt, at);
        QVERIFY(r.picture.isEmpty());
        if (kind < 0) {
            QVERIFY(!r.refusal);
            return;
        }
        QVERIFY(r.refusal);
        QCOMPARE(int(r.refusal->kind), kind);
        QVERIFY2(r.refusal->text.startsWith(text), qPrintable(r.refusal->text));
    }

    // An add-on of the wrong length gives a notice and the symbol is built without it,
    // whatever the add-on holds.
    void wrongAddOnLengthStillBuilds_data() {
        QTest::addColumn<QString>("addOn");
        QTest::newRow("one digit") << "1";
        QTest::newRow("three digits") << "123";
        QTest::newRow("four digits") << "1234";
        QTest::newRow("three characters, one a letter") << "1x3";
    }
    void wrongAddOnLengthStillBuilds() {
        QFETCH(QString, addOn);
        const BuildResult r = buildEna13(reference(addOn));
        QVERIFY(r.built());
        QCOMPARE(r.notices.size(), std::size_t(1));
        QCOMPARE(r.notices[0].text,
                 QStringLiteral("The 'Ean13 Supplemental' must contain 2 or 5 numbers."));
        const QString diff = firstDifference(r.picture, expectedPicture(204, {}, {}));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    Ena13Test t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_ena13.moc"
