// Every symbology through the one build-path shape and the symbology table: the same
// refusal for the same mistake wherever it is made, named by meaning and owner.

#include <QGuiApplication>
#include <QTest>

#include "surface/screen.h"
#include "tests/buildpaths.h"

using buildpaths::Symbology;
using symbols::Input;
using symbols::Refusal;

Q_DECLARE_METATYPE(buildpaths::Inputs)

namespace {
const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two UTF-16 units
const QString kDigitsOnly = QStringLiteral("; only the digits 0 to 9 are allowed.");

struct Row {
    const char* name;
    Symbology symbology;
    QString message;
    QString addOn;
    QString height;
    QString text;  // the refusal, whole
    Input input;
    Refusal::Owner owner;
};
}  // namespace

class BuildShapeTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { surface::setScreenDpiOverride(96); }

    void sameRefusalEverywhere_data() {
        QTest::addColumn<int>("symbology");
        QTest::addColumn<buildpaths::Inputs>("in");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("owner");
        const auto form = Refusal::Owner::Form;
        const auto application = Refusal::Owner::Application;
        const auto pasted = [](const char* field, int position) {
            return QStringLiteral("The '%1' holds the character '%2' at position %3")
                       .arg(QLatin1String(field), kEmoji)
                       .arg(position) +
                   kDigitsOnly;
        };
        const QString nothing = QStringLiteral(
            "The picture would be %1 pixels, which leaves nothing to draw on. Use larger sizes "
            "or page values.");
        const Row rows[] = {
            // A character outside the Basic Multilingual Plane is named whole, never as half
            // a surrogate pair.
            {"Code 39 message, emoji",
             Symbology::C39,
             "A" + kEmoji + "B",
             {},
             {},
             "The 'Bar code message' holds the character '" + kEmoji +
                 "' at position 2, which Code 39 cannot encode.",
             Input::Message,
             form},
            {"EAN-13 message, emoji",
             Symbology::Ena13,
             "5901234123" + kEmoji,
             {},
             {},
             pasted("Bar code message", 11),
             Input::Message,
             form},
            {"EAN-13 add-on, emoji",
             Symbology::Ena13,
             "590123412345",
             kEmoji,
             {},
             pasted("Ean13 Supplemental", 1),
             Input::AddOn,
             form},
            {"UPC-A message, emoji",
             Symbology::UpcA,
             "036000291" + kEmoji,
             {},
             {},
             pasted("Bar code message", 10),
             Input::Message,
             form},
            {"UPC-A add-on, emoji",
             Symbology::UpcA,
             "03600029145",
             kEmoji,
             {},
             pasted("Upc-a Supplemental", 1),
             Input::AddOn,
             application},
            {"EAN-8 message, emoji",
             Symbology::Ean8,
             "96385" + kEmoji,
             {},
             {},
             pasted("Bar code message", 6),
             Input::Message,
             form},
            {"EAN-8 add-on, emoji",
             Symbology::Ean8,
             "9638507",
             "123" + kEmoji,
             {},
             pasted("Ean8 Supplemental", 4),
             Input::AddOn,
             application},
            {"UPC-E message, emoji",
             Symbology::UpcE,
             "1234" + kEmoji,
             {},
             {},
             pasted("Bar code message", 5),
             Input::Message,
             form},
            {"UPC-E add-on, emoji",
             Symbology::UpcE,
             "123456",
             kEmoji,
             {},
             pasted("Upc-e Supplemental", 1),
             Input::AddOn,
             application},
            // A negative height makes no picture: refused, never built empty.
            {"Code 39 height -1",
             Symbology::C39,
             {},
             {},
             "-1",
             "Height Error",
             Input::Height,
             form},
            {"EAN-13 height -1",
             Symbology::Ena13,
             {},
             {},
             "-1",
             nothing.arg("204 x -94"),
             Input::None,
             form},
            {"UPC-A height -1",
             Symbology::UpcA,
             {},
             {},
             "-1",
             nothing.arg("206 x -80"),
             Input::None,
             form},
            {"EAN-8 height -1",
             Symbology::Ean8,
             {},
             {},
             "-1",
             nothing.arg("150 x -80"),
             Input::None,
             form},
            {"UPC-E height -1",
             Symbology::UpcE,
             {},
             {},
             "-1",
             nothing.arg("118 x -80"),
             Input::None,
             form},
        };
        for (const Row& r : rows) {
            buildpaths::Inputs in;
            in.message = r.message;
            in.addOn = r.addOn;
            in.height = r.height;
            if (r.symbology == Symbology::Ena13) in.width = QStringLiteral("2");
            QTest::newRow(r.name) << int(r.symbology) << in << r.text << int(r.input)
                                  << int(r.owner);
        }
    }
    void sameRefusalEverywhere() {
        QFETCH(int, symbology);
        QFETCH(buildpaths::Inputs, in);
        const symbols::BuildResult r = buildpaths::build(Symbology(symbology), in);
        QVERIFY(!r.built());
        QVERIFY(r.refusal.has_value());
        QTEST(r.refusal->text, "text");
        QTEST(int(r.refusal->input), "input");
        QTEST(int(r.refusal->owner), "owner");
    }

    // The table answers for names people type and names settings files hold.
    void namesInTheTable_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::newRow("lower case") << "ean13"
                                    << "Bar Code ENA13";
        QTest::newRow("capitals") << "EAN13"
                                  << "Bar Code ENA13";
        QTest::newRow("mixed case") << "Ean8"
                                    << "Bar Code ENA8";
        QTest::newRow("upc-e") << "UPCE"
                               << "Bar Code UPC-E";
        QTest::newRow("unknown") << "qr" << QString();
        QTest::newRow("a stored name is no command-line name") << "Bar Code C39" << QString();
    }
    void namesInTheTable() {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        const symbols::SymbologyRow* row = symbols::symbologyNamed(name);
        QCOMPARE(row == nullptr ? QString() : symbols::toQString(row->storedName), stored);
        if (row != nullptr) QCOMPARE(symbols::symbologyStored(stored), row);
    }

    // Each row's defaults build the symbol the form builds before anything is changed.
    void defaultsBuildEverywhere() {
        for (const symbols::SymbologyRow& row : symbols::symbologies()) {
            symbols::SymbolInputs in = row.defaults;
            in.message = row.typedLength > 0 ? QString(row.typedLength, QLatin1Char('1'))
                                             : QStringLiteral("AB");
            symbols::BuildContext context;
            context.dpi = 96;
            QVERIFY2(row.build(in, context).built(), row.title.data());
            QVERIFY2(!row.modules(in.message).isEmpty(), row.title.data());
            QVERIFY2(!row.scannedData(in.message).isEmpty(), row.title.data());
        }
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    BuildShapeTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_buildshape.moc"
