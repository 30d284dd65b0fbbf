// The UPC-A, EAN-8 and UPC-E symbols: check digits, module strings, add-ons, and what
// drawing does with digits it cannot encode.

#include <QGuiApplication>
#include <QLocale>
#include <QTest>

#include "barfamilytesting.h"
#include "surface/convert.h"
#include "symbols/Tean8unit.h"
#include "symbols/Tupc_a_barunit.h"
#include "symbols/Tupce_unit.h"
#include "symbols/numbersets.h"

using bartest::kEan89638507;
using bartest::Kind;
using bartest::kUpcA03600029145;
using bartest::kUpcE123456;
Q_DECLARE_METATYPE(Kind)

namespace {
// The parity letters of the digit codes in a main module string: O for number set A, E
// for number set B, '?' for neither.
QString parities(const QString& modules, const QString& digits, int firstModule) {
    QString out;
    for (int i = 0; i < digits.size(); ++i) {
        const QString code = modules.mid(firstModule + 7 * i, 7);
        out += code == symbols::codeA(digits[i])   ? QLatin1Char('O')
               : code == symbols::codeB(digits[i]) ? QLatin1Char('E')
                                                   : QLatin1Char('?');
    }
    return out;
}
}  // namespace

class BarEncodingTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { surface::registerFontSubstitutes(); }

    void upcAndEan8CheckDigits_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("withCheck");
        QTest::addColumn<QString>("modules");
        // Check digits by the modulo-10 rule of the GS1 General Specifications (section 7.9),
        // module strings from the number sets of ISO/IEC 15420. The numbers are worked
        // examples; their check digits agree with python3-stdnum's.
        QTest::newRow("worked example: UPC-A 03600029145, check 2")
            << Kind::UpcA << "03600029145"
            << "036000291452" << kUpcA03600029145;
        QTest::newRow("edge case: UPC-A zeros, remainder 0 gives check 0, not 10")
            << Kind::UpcA << "00000000000"
            << "000000000000" << QString();
        QTest::newRow("worked example: EAN-8 9638507, sum 86, check 4")
            << Kind::Ean8 << "9638507"
            << "96385074" << kEan89638507;
        QTest::newRow("worked example: EAN-8 1234567, sum 60, check 0")
            << Kind::Ean8 << "1234567"
            << "12345670"
            << "1010011001001001101111010100011010101001110101000010001001110010101";
    }
    void upcAndEan8CheckDigits() {
        QFETCH(Kind, kind);
        QFETCH(QString, message);
        QFETCH(QString, withCheck);
        QFETCH(QString, modules);
        QString encoded, after;
        if (kind == Kind::UpcA) {
            symbols::Tupc_a s;
            s.SetMessage(message);
            encoded = s.Encode(message);
            after = s.Message();
        } else {
            symbols::Tean8 s;
            s.SetMessage(message);
            encoded = s.Encode(message);
            after = s.Message();
        }
        QCOMPARE(after, withCheck);
        QCOMPARE(encoded.size(), kind == Kind::UpcA ? 95 : 67);
        if (!modules.isEmpty()) QCOMPARE(encoded, modules);
    }

    void wrongLengthEncodesNothing() {
        symbols::Tupc_a a;
        a.SetMessage(QStringLiteral("0360002914"));
        QCOMPARE(a.Encode(a.Message()), QString());
        QCOMPARE(a.Message(), QStringLiteral("0360002914"));
        symbols::Tean8 e;
        e.SetMessage(QStringLiteral("96385074"));
        QCOMPARE(e.Encode(e.Message()), QString());
        QCOMPARE(e.Message(), QStringLiteral("96385074"));
        symbols::Tupce u;
        u.SetMessage(QStringLiteral("12345"));
        QCOMPARE(u.Encode(u.Message()), QString());
    }

    void upcE_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expansion");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<QString>("modules");
        // Expansions by the zero-suppression rules of ISO/IEC 15420 (chosen by the sixth
        // digit), parities by its table for number system 0 (chosen by the check digit).
        // The messages are worked examples; their expansions' check digits agree with
        // python3-stdnum's.
        QTest::newRow("worked example 123456") << "123456"
                                               << "01234500006"
                                               << "5"
                                               << "EOOEEO" << kUpcE123456;
        QTest::newRow("worked example 000000")
            << "000000"
            << "00000000000"
            << "0"
            << "EEEOOO"
            << "101010011101001110100111000110100011010001101010101";
        QTest::newRow("worked example 654321")
            << "654321"
            << "06510000432"
            << "7"
            << "EOEOEO"
            << "101000010101100010011101011110100110110011001010101";
        QTest::newRow("worked example 425261")
            << "425261"
            << "04210000526"
            << "4"
            << "EOEEOO"
            << "101001110100100110111001001101101011110011001010101";
        QTest::newRow("worked example 012347")
            << "012347"
            << "00123400007"
            << "1"
            << "EEOEOO"
            << "101010011101100110010011010000101000110111011010101";
        QTest::newRow("worked example 004200")
            << "004200"
            << "00000000420"
            << "6"
            << "EOOOEE"
            << "101010011100011010100011001001101001110100111010101";
        // One message per check digit, its last digit equal to the check digit: every
        // expansion rule and every row of the parity table of ISO/IEC 15420.
        QTest::newRow("ISO/IEC 15420 parity EEOEOO: check 1, last 1") << "000061"
                                                                      << "00010000006"
                                                                      << "1"
                                                                      << "EEOEOO"
                                                                      << "";
        QTest::newRow("ISO/IEC 15420 parity EEOOEO: check 2, last 2") << "000022"
                                                                      << "00020000002"
                                                                      << "2"
                                                                      << "EEOOEO"
                                                                      << "";
        QTest::newRow("ISO/IEC 15420 parity EEOOOE: check 3, last 3") << "000093"
                                                                      << "00000000009"
                                                                      << "3"
                                                                      << "EEOOOE"
                                                                      << "";
        QTest::newRow("ISO/IEC 15420 parity EOOEEO: check 5, last 5") << "000005"
                                                                      << "00000000005"
                                                                      << "5"
                                                                      << "EOOEEO"
                                                                      << "";
        QTest::newRow("ISO/IEC 15420 parity EOOOEE: check 6, last 6") << "000066"
                                                                      << "00000600006"
                                                                      << "6"
                                                                      << "EOOOEE"
                                                                      << "";
        QTest::newRow("ISO/IEC 15420 parity EOEOOE: check 8, last 8") << "000088"
                                                                      << "00000800008"
                                                                      << "8"
                                                                      << "EOEOOE"
                                                                      << "";
        QTest::newRow("ISO/IEC 15420 parity EOOEOE: check 9, last 9") << "000049"
                                                                      << "00000400009"
                                                                      << "9"
                                                                      << "EOOEOE"
                                                                      << "";
    }
    void upcE() {
        QFETCH(QString, message);
        QFETCH(QString, modules);
        QTEST(symbols::Tupce::ExpandToUpcA(message), "expansion");
        symbols::Tupce s;
        s.SetMessage(message);
        QTEST(s.CheckDigit(), "check");
        const QString encoded = s.Encode(message);
        QCOMPARE(encoded.size(), 51);
        QVERIFY(encoded.startsWith(QLatin1String("101")));
        QVERIFY(encoded.endsWith(QLatin1String("010101")));
        QTEST(parities(encoded, message, 3), "parity");
        if (!modules.isEmpty()) QCOMPARE(encoded, modules);
        QCOMPARE(s.Message(), message);  // UPC-E keeps its six digits
    }

    void addOns_data() {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("modules");
        // Add-on parities by the rules of ISO/IEC 15420: a 2-digit add-on's value mod 4, a
        // 5-digit add-on's weighted sum mod 10.
        QTest::newRow("ISO/IEC 15420 add-on: 12 mod 4 = 0, A A") << "12"
                                                                 << "10110011001010010011";
        QTest::newRow("ISO/IEC 15420 add-on: 07 mod 4 = 3, B B") << "07"
                                                                 << "10110100111010010001";
        QTest::newRow("ISO/IEC 15420 add-on: 05 mod 4 = 1, A B") << "05"
                                                                 << "10110001101010111001";
        QTest::newRow("ISO/IEC 15420 add-on: 52495, k = 1, B A B A A")
            << "52495"
            << "10110111001010010011010011101010001011010110001";
        QTest::newRow("ISO/IEC 15420 add-on: 00000, k = 0, B B A A A")
            << "00000"
            << "10110100111010100111010001101010001101010001101";
        QTest::newRow("3 digits: start pattern alone") << "123"
                                                       << "1011";
        QTest::newRow("empty: start pattern alone") << ""
                                                    << "1011";
    }
    void addOns() {
        QFETCH(QString, digits);
        QTEST(symbols::Tupc_a::EncodeSupplemental(digits), "modules");
        QTEST(symbols::Tean8::EncodeSupplemental(digits), "modules");
        QTEST(symbols::Tupce::EncodeSupplemental(digits), "modules");
    }

    // Sizes typed as decimals are read as the C locale reads them, to the last bit; what
    // is not plain decimal notation, or no finite number, is refused.
    void decimalsReadAsTheCLocaleDoes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("read");
        QTest::newRow("a tenth, not exact in binary") << "0.1" << true;
        QTest::newRow("plus sign, point and no fraction") << "+5." << true;
        QTest::newRow("minus sign, no whole part") << "-.5" << true;
        QTest::newRow("exponent either case, blanks around") << " 1.5E-3 " << true;
        QTest::newRow("more digits than a double holds")
            << "0.1000000000000000055511151231257827" << true;
        QTest::newRow("longer than 64 characters") << "1." + QString(70, QLatin1Char('3')) << true;
        QTest::newRow("too small for a double") << "1e-400" << false;
        QTest::newRow("too large for a double") << "1e400" << false;
        QTest::newRow("hexadecimal") << "0x1p3" << false;
        QTest::newRow("infinity spelled out") << "inf" << false;
        QTest::newRow("two points") << "1.2.3" << false;
    }
    void decimalsReadAsTheCLocaleDoes() {
        QFETCH(QString, text);
        QFETCH(bool, read);
        double v = -1;
        bool ok = false;
        const double expected = QLocale::c().toDouble(text.trimmed(), &ok);
        QCOMPARE(surface::tryStrToFloat(text, v), read);
        if (read && ok) QCOMPARE(v, expected);
    }

    void lookupsReadTheFirstCharacterOnly() {
        QCOMPARE(symbols::Tupc_a::LeftOddCode(QStringLiteral("5x")), QStringLiteral("0110001"));
        QCOMPARE(symbols::Tupc_a::LeftEvenCode(QStringLiteral("6")), QStringLiteral("0000101"));
        QCOMPARE(symbols::Tupc_a::RightCode(QStringLiteral("9")), QStringLiteral("1110100"));
        QCOMPARE(symbols::Tupc_a::RightCode(QStringLiteral("x9")), QString());
        QCOMPARE(symbols::Tupce::LeftOddCode(QString()), QString());
    }

    void nonDigitRaisesBeforeDrawing_data();
    void nonDigitRaisesBeforeDrawing();
    void wrongLengthDrawsNoBars_data();
    void wrongLengthDrawsNoBars();
};

void BarEncodingTest::nonDigitRaisesBeforeDrawing_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("addOn");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("mainDrawn");
    QTest::newRow("UPC-A message") << Kind::UpcA << "036000x9145"
                                   << ""
                                   << "'x' is not a valid "
                                      "integer value"
                                   << false;
    // The weight-3 digits are converted first: d9 is reached before d2.
    QTest::newRow("UPC-A: weight-3 digits first") << Kind::UpcA << "0a600029x45"
                                                  << ""
                                                  << "'x' is not a valid integer value" << false;
    QTest::newRow("EAN-8 message") << Kind::Ean8 << "96385 7"
                                   << ""
                                   << "' ' is not a valid "
                                      "integer value"
                                   << false;
    // Expansion of x1y450 is 0 x 1 0 0000 y 4 5: a9 (y) comes before a2 (x).
    QTest::newRow("UPC-E: a1, a3 ... before a2, a4 ...")
        << Kind::UpcE << "x1y450"
        << ""
        << "'y' is not a valid integer value" << false;
    QTest::newRow("UPC-E: sixth character chooses no expansion")
        << Kind::UpcE << "12345x"
        << ""
        << "'x' is not a valid integer value" << false;
    QTest::newRow("2-digit add-on names the whole add-on")
        << Kind::UpcA << "03600029145"
        << "1x"
        << "'1x' is not a valid integer value" << true;
    QTest::newRow("5-digit add-on names the character")
        << Kind::UpcE << "123456"
        << "12x45"
        << "'x' is not a valid integer value" << true;
    QTest::newRow("EAN-8 2-digit add-on with a sign")
        << Kind::Ean8 << "9638507"
        << "+5"
        << "'+5' is not a valid integer value" << true;
}

void BarEncodingTest::nonDigitRaisesBeforeDrawing() {
    QFETCH(Kind, kind);
    QFETCH(QString, message);
    QFETCH(QString, addOn);
    QFETCH(bool, mainDrawn);
    const bartest::Drawing d = bartest::draw(kind, message, addOn);
    QTEST(d.error, "error");
    if (!mainDrawn) QCOMPARE(d.message, message);  // the check digit was not appended
    const surface::Bitmap& p = d.picture;
    const int addOnLeft = kind == Kind::UpcA ? 214 : kind == Kind::Ean8 ? 158 : 126;
    if (mainDrawn) {
        // The main symbol is there; of the add-on not a pixel.
        QVERIFY(bartest::countColour(p, bartest::kBar, QRect(0, 0, addOnLeft, p.height())) > 0);
        QCOMPARE(bartest::countColour(p, bartest::kBackground,
                                      QRect(addOnLeft, 0, p.width(), p.height())),
                 (p.width() - addOnLeft) * p.height());
    } else {
        QCOMPARE(bartest::countColour(p, bartest::kBackground), p.width() * p.height());
    }
}

void BarEncodingTest::wrongLengthDrawsNoBars_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("UPC-A, 10 digits") << Kind::UpcA << "0360002914";
    QTest::newRow("UPC-A, empty") << Kind::UpcA << "";
    QTest::newRow("EAN-8, 8 digits") << Kind::Ean8 << "96385074";
    QTest::newRow("UPC-E, 5 digits") << Kind::UpcE << "12345";
    QTest::newRow("UPC-E, 7 digits") << Kind::UpcE << "1234567";
}

void BarEncodingTest::wrongLengthDrawsNoBars() {
    QFETCH(Kind, kind);
    QFETCH(QString, message);
    const bartest::Drawing d = bartest::draw(kind, message, QString());
    QCOMPARE(d.error, QString());
    QCOMPARE(d.message, message);
    QCOMPARE(bartest::countColour(d.picture, bartest::kBar), 0);
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    BarEncodingTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_barencoding.moc"
