// UPC-A, EAN-8 and UPC-E pictures as a scanner reads them: every picture the build path
// makes goes to the zbar decoder, which must read back the digits with their check digit
// and the add-on.

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include "symbols/barfamilybuild.h"
#include "symbols/symbologies.h"
#include "zbarscan.h"

namespace {
using Kind = symbols::Symbology;

// zbar reads UPC-A and UPC-E as EAN-13 unless told to report them as themselves; add-ons
// are read only when enabled.
const QStringList kOptions = {QStringLiteral("-Supca.enable"), QStringLiteral("-Supce.enable"),
                              QStringLiteral("-Sean8.enable"), QStringLiteral("-Sean2.enable"),
                              QStringLiteral("-Sean5.enable")};

struct Row {
    const char* message;
    const char* check;  // worked out by hand from the weighted sum
};

// Every check digit: the last digit has weight 3, coprime to 10, so running it through
// 0..9 runs the check digit through all ten values.
constexpr Row kUpcA[] = {{"03600029140", "7"}, {"03600029141", "4"}, {"03600029142", "1"},
                         {"03600029143", "8"}, {"03600029144", "5"}, {"03600029145", "2"},
                         {"03600029146", "9"}, {"03600029147", "6"}, {"03600029148", "3"},
                         {"03600029149", "0"}};
constexpr Row kEan8[] = {{"9638500", "5"}, {"9638501", "2"}, {"9638502", "9"}, {"9638503", "6"},
                         {"9638504", "3"}, {"9638505", "0"}, {"9638506", "7"}, {"9638507", "4"},
                         {"9638508", "1"}, {"9638509", "8"}};
// Every expansion (last digit 0..9) and every check digit, hence every parity row.
constexpr Row kUpcE[] = {{"123490", "3"}, {"543271", "0"}, {"864272", "7"}, {"135813", "4"},
                         {"975354", "1"}, {"246835", "8"}, {"314216", "5"}, {"271897", "2"},
                         {"161838", "9"}, {"707109", "6"}};
// Add-ons through every parity of the two-digit one and several of the five-digit one.
const QString kAddOns[] = {QString(),
                           QStringLiteral("12"),
                           QStringLiteral("05"),
                           QStringLiteral("02"),
                           QStringLiteral("07"),
                           QStringLiteral("52495"),
                           QStringLiteral("00000"),
                           QStringLiteral("13579"),
                           QStringLiteral("24680"),
                           QStringLiteral("99999")};
}  // namespace

Q_DECLARE_METATYPE(Kind)

class BarFamilyScanTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (zbarscan::program().isEmpty())
            QFAIL("zbarimg (the zbar decoder) is not installed; the pictures cannot be scanned");
        surface::registerFontSubstitutes();
        QVERIFY(dir_.isValid());
    }

    void decodes_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("addOn");
        QTest::addColumn<QStringList>("expected");
        const auto rows = [](Kind kind, const char* name, const auto& table, const char* prefix,
                             const char* type) {
            int i = 0;
            for (const Row& r : table) {
                // Each message bare, with a 2-digit and with a 5-digit add-on.
                for (const QString& addOn : {QString(), kAddOns[1 + i % 4], kAddOns[5 + i % 5]}) {
                    QStringList expected{QString::fromLatin1(type) + QLatin1Char(':') +
                                         QLatin1String(prefix) + QLatin1String(r.message) +
                                         QLatin1String(r.check)};
                    if (!addOn.isEmpty())
                        expected << QStringLiteral("EAN-%1:%2").arg(addOn.size()).arg(addOn);
                    expected.sort();
                    QTest::addRow("%s %s%s%s", name, r.message, addOn.isEmpty() ? "" : " + ",
                                  qPrintable(addOn))
                        << kind << QString::fromLatin1(r.message) << addOn << expected;
                }
                ++i;
            }
        };
        rows(Kind::UpcA, "UPC-A", kUpcA, "", "UPC-A");
        rows(Kind::Ean8, "EAN-8", kEan8, "", "EAN-8");
        rows(Kind::UpcE, "UPC-E", kUpcE, "0", "UPC-E");  // number system 0 in front
    }
    void decodes() {
        QFETCH(Kind, kind);
        QFETCH(QString, message);
        QFETCH(QString, addOn);
        symbols::BarFamilyInputs in;
        in.message = message;
        in.supplemental = addOn;
        in.comment = QStringLiteral("Lot 42");  // a comment line must not get in the way
        symbols::BuildContext context;
        context.dpi = 96;
        symbols::BuildResult r;
        switch (kind) {
            case Kind::UpcA:
                r = symbols::buildUpcA(in, context);
                break;
            case Kind::Ean8:
                r = symbols::buildEan8(in, context);
                break;
            case Kind::UpcE:
                r = symbols::buildUpcE(in, context);
                break;
            default:
                break;
        }
        QVERIFY(r.built());
        const QString path = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".png");
        QTEST(zbarscan::scan(r.picture, path, kOptions), "expected");
    }

  private:
    QTemporaryDir dir_;
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    BarFamilyScanTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_barfamilyscan.moc"
