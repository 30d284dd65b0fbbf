// The symbol check on pictures from the build paths: each row names the finding a verifier
// would make of that build, written out in full, and the status line it leads to.

#include <QGuiApplication>
#include <QTest>

#include "check/symbolcheck.h"
#include "tests/buildpaths.h"

namespace {

using buildpaths::Inputs;
using buildpaths::Symbology;
using check::Grade;

Inputs with(QString width, symbols::PageValues page = {}, QString addOn = {}, int dpi = 96,
            int fontSize = 8) {
    Inputs in;
    in.width = std::move(width);
    in.page = page;
    in.addOn = std::move(addOn);
    in.dpi = dpi;
    in.fontSize = fontSize;
    return in;
}

Inputs saying(QString message, symbols::PageValues page) {
    Inputs in;
    in.message = std::move(message);
    in.page = page;
    return in;
}

Inputs ratioOf(QString ratio, Inputs in) {
    in.ratio = std::move(ratio);
    return in;
}

// Page values (top, down, left, right, interval; mils) that give every symbol its quiet
// zones.
constexpr symbols::PageValues kRoomy{100, 100, 200, 200, 50};

struct Row {
    const char* name;
    Symbology symbology;
    Inputs in;
    Grade grade;
    const char* finding;  // one of the findings, in full
    const char* summary;
};

const Row kRows[] = {
    // The defaults: page values 0 leave no quiet zone.
    {"Code 39 defaults: no quiet zone",
     Symbology::C39,
     {},
     Grade::Warn,
     "the left quiet zone is 0 narrow widths (no blank columns), less than the 10 Code 39 needs",
     "Check: 3 warnings"},
    {"Code 39 defaults: text below the picture",
     Symbology::C39,
     {},
     Grade::Warn,
     "the text 'C' 'O' 'D' 'E' '3' '9' (x 24-189, rows 115-126) lies outside the picture of "
     "206 x 115 pixels",
     "Check: 3 warnings"},
    {"EAN-13 defaults: short right quiet zone", Symbology::Ena13, with("2"), Grade::Warn,
     "the right quiet zone is 2 modules (x 200-203), less than the 7 EAN-13 needs",
     "Check: 2 warnings"},
    {"UPC-A defaults: short left quiet zone",
     Symbology::UpcA,
     {},
     Grade::Warn,
     "the left quiet zone is 4 modules (x 0-7), less than the 9 UPC-A needs",
     "Check: 2 warnings"},
    {"EAN-8 defaults: short right quiet zone",
     Symbology::Ean8,
     {},
     Grade::Warn,
     "the right quiet zone is 4 modules (x 142-149), less than the 7 EAN-8 needs",
     "Check: 2 warnings"},
    {"UPC-E defaults: short left quiet zone",
     Symbology::UpcE,
     {},
     Grade::Warn,
     "the left quiet zone is 4 modules (x 0-7), less than the 9 UPC-E needs",
     "Check: 2 warnings"},
    {"UPC-E defaults: module width as typed within a pixel",
     Symbology::UpcE,
     {},
     Grade::Ok,
     "modules are 20.8 mils, 1 % under the 21 typed",
     "Check: 2 warnings"},

    // The picture is sized before the bars are placed: a large font pushes them out.
    {"EAN-13 large font: end guard cut off", Symbology::Ena13, with("2", {}, {}, 96, 40),
     Grade::Fail,
     "the end guard (x 226-231, rows 0-67) is cut off by the picture's right edge; the picture "
     "is 204 x 146 pixels",
     "Does not scan"},
    {"EAN-13 large font with add-on: end guard lost though the picture grew", Symbology::Ena13,
     with("2", {}, "12", 96, 40), Grade::Fail,
     "the end guard (x 226-231) is missing from the picture in row 32", "Does not scan"},
    {"EAN-13 large interval: no bars", Symbology::Ena13, with("2", {0, 0, 0, 0, 500}), Grade::Fail,
     "no bars: the bars are -40 pixels high", "Does not scan"},
    {"UPC-A 5-mil module at 96 dpi: no bars", Symbology::UpcA, with("5"), Grade::Fail,
     "no bars: a 5-mil module is 0 pixels at 96 dpi", "Does not scan"},
    {"UPC-A 5-mil module at 96 dpi: nothing to read", Symbology::UpcA, with("5"), Grade::Fail,
     "zbar does not read 036000291452 in any row", "Does not scan"},

    // The add-on's digits reach into the top rows of its bars.
    {"EAN-8 add-on: zbar reads a wrong add-on", Symbology::Ean8, with("21", {}, "12"), Grade::Fail,
     "zbar: row 9 reads add-on 51, expected 12", "Does not scan"},
    {"EAN-8 add-on: ZXing-C++ reads a wrong add-on", Symbology::Ean8, with("21", {}, "12"),
     Grade::Fail, "ZXing-C++: row 9 reads add-on 51, expected 12", "Does not scan"},
    {"EAN-8 add-on: digits over the bars", Symbology::Ean8, with("21", {}, "12"), Grade::Warn,
     "the text '1' '2' and the add-on bars overlap in x 166-189, rows 8-11", "Does not scan"},

    // Add-on gaps outside what decoders look for.
    {"EAN-13 at 300 dpi: add-on gap too wide", Symbology::Ena13,
     with("2", {100, 100, 150, 150, 50}, "12", 300), Grade::Warn,
     "the gap before the add-on is 16.2 modules (x 631-727), outside the 7 to 12 decoders look "
     "for",
     "Does not scan"},
    {"EAN-13 at 300 dpi: add-on missed", Symbology::Ena13, with("2", kRoomy, "12", 300),
     Grade::Fail, "ZXing-C++ does not read the add-on 12 in any row", "Does not scan"},
    {"UPC-E small modules: add-on gap too narrow", Symbology::UpcE, with("8", {}, "12"),
     Grade::Warn,
     "the gap before the add-on is 4 modules (x 59-62), outside the 7 to 12 decoders look for",
     "Does not scan"},
    {"UPC-E small modules: modules wider than typed", Symbology::UpcE, with("8", {}, "12"),
     Grade::Warn, "modules are 10.4 mils, 30 % over the 8 typed", "Does not scan"},

    // ZXing-C++ aborts on this picture when it reads it at several scales.
    {"UPC-A at 600 dpi: read by ZXing-C++ without aborting", Symbology::UpcA,
     with("21", kRoomy, {}, 600), Grade::Ok, "ZXing-C++ reads 036000291452 in rows 90-817",
     "Check: 1 warning"},

    // Code 39 has no underscore: it is typed where the symbol holds a blank.
    {"Code 39 blank typed as '_': ZXing-C++ reads the blank as data", Symbology::C39,
     saying("CODE_39", {100, 100, 250, 250, 50}), Grade::Ok,
     "ZXing-C++ reads CODE 39 in rows 15-129", "Scan OK"},
    {"Code 39 blank typed as '_': zbar reads the blank", Symbology::C39,
     saying("Code_39", {100, 100, 250, 250, 50}), Grade::Ok, "zbar reads CODE 39 in rows 15-129",
     "Scan OK"},

    // Widths outside what scanners are made for: the limits are named with the finding.
    {"UPC-A 5-mil module at 300 dpi: module too narrow", Symbology::UpcA,
     with("5", kRoomy, {}, 300), Grade::Warn,
     "the module is 0.17 mm (6.7 mils) as drawn, outside 0.264 to 0.66 mm (80 % to 200 % of 0.33 "
     "mm)",
     "Check: 8 warnings"},
    {"Code 39 ratio 2.0 of 10-mil bars: too small for narrow bars", Symbology::C39,
     ratioOf("2", with("10", {100, 100, 250, 250, 50})), Grade::Warn,
     "the wide-to-narrow ratio is 2.00 as drawn, outside 2.2 to 3.0 for narrow bars under 0.5 mm",
     "Check: 1 warning"},

    // Page values that meet every minimum.
    {"Code 39 with room", Symbology::C39, with("23", {100, 100, 250, 250, 50}), Grade::Ok,
     "the wide-to-narrow ratio is 2.00 as drawn", "Scan OK"},
    {"EAN-13 with room and add-on", Symbology::Ena13, with("2", {100, 100, 150, 150, 50}, "12"),
     Grade::Ok, "the gap before the add-on is 9 modules (x 215-232)", "Scan OK"},
    {"UPC-A with room and 5-digit add-on", Symbology::UpcA, with("21", kRoomy, "51234"), Grade::Ok,
     "ZXing-C++ reads the add-on 51234 in rows 27-130", "Scan OK"},
    {"EAN-8 with room and add-on", Symbology::Ean8, with("21", kRoomy, "12"), Grade::Ok,
     "the quiet zone after the add-on is 17.5 modules (x 217-251)", "Scan OK"},
    {"UPC-E with room", Symbology::UpcE, with("21", kRoomy), Grade::Ok,
     "the right quiet zone is 13.5 modules (x 129-155)", "Scan OK"},
};

QString listed(const std::vector<check::Finding>& findings) {
    return check::report(findings);
}

}  // namespace

class SymbolCheckTest : public QObject {
    Q_OBJECT

  private slots:
    void findings_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kRows)); ++i) QTest::newRow(kRows[i].name) << i;
    }
    void findings() {
        QFETCH(int, row);
        const Row& r = kRows[row];
        const symbols::BuildResult built = buildpaths::build(r.symbology, r.in);
        QVERIFY2(built.built(), qPrintable(built.refusal ? built.refusal->text : QString()));
        const std::vector<check::Finding> found =
            check::checkSymbol(check::checkInputOf(r.symbology, built));
        const QString wanted = QString::fromUtf8(r.finding);
        const auto it = std::find_if(found.begin(), found.end(),
                                     [&](const check::Finding& f) { return f.text == wanted; });
        QVERIFY2(it != found.end(),
                 qPrintable(QStringLiteral("not found: %1 | in: %2")
                                .arg(wanted, listed(found).replace(QLatin1Char('\n'),
                                                                   QStringLiteral(" | ")))));
        QCOMPARE(check::nameOf(it->grade), check::nameOf(r.grade));
        QCOMPARE(check::summary(found), QString::fromUtf8(r.summary));
    }

    // The status line from findings alone.
    void summary_data() {
        QTest::addColumn<QList<int>>("grades");  // a finding's grade each, decode first
        QTest::addColumn<QString>("line");
        QTest::newRow("nothing found") << QList<int>{} << "Scan OK";
        QTest::newRow("all ok") << QList<int>{0, 0} << "Scan OK";
        QTest::newRow("one warning") << QList<int>{0, 1} << "Check: 1 warning";
        QTest::newRow("two warnings") << QList<int>{0, 1, 1} << "Check: 2 warnings";
        QTest::newRow("a fail beside decoding")
            << QList<int>{0, 2, 1} << "Check: 1 fail, 1 warning";
        QTest::newRow("decoding fails") << QList<int>{2, 1} << "Does not scan";
    }
    void summary() {
        QFETCH(QList<int>, grades);
        QFETCH(QString, line);
        std::vector<check::Finding> findings;
        for (int i = 0; i < grades.size(); ++i)
            findings.push_back({Grade(grades[i]),
                                i == 0 ? QStringLiteral("decode") : QStringLiteral("quiet zone"),
                                QStringLiteral("x")});
        QCOMPARE(check::summary(findings), line);
    }

    void reportAndJson() {
        const check::Finding f{Grade::Warn, QStringLiteral("completeness"),
                               QStringLiteral("the text '\"A\\' lies outside")};
        QCOMPARE(check::report({f}),
                 QStringLiteral("warn completeness: the text '\"A\\' lies outside\n"));
        QCOMPARE(check::jsonLine(f),
                 QStringLiteral("{\"grade\":\"warn\",\"topic\":\"completeness\",\"text\":\"the "
                                "text '\\\"A\\\\' lies outside\"}"));
    }

    void tooltipListsWhatIsNotOk() {
        const std::vector<check::Finding> found{
            {Grade::Ok, QStringLiteral("decode"), QStringLiteral("zbar reads 12")},
            {Grade::Warn, QStringLiteral("quiet zone"), QStringLiteral("the left quiet zone is 4")},
            {Grade::Ok, QStringLiteral("bar width"), QStringLiteral("modules are 20.8 mils")}};
        QCOMPARE(check::tooltip(found), QStringLiteral("Check: 1 warning\n"
                                                       "warn: the left quiet zone is 4\n"
                                                       "2 findings ok"));
    }

    // What cannot be judged is said, not crashed on.
    void noPicture() {
        check::CheckInput in;
        QCOMPARE(check::report(check::checkSymbol(in)),
                 QStringLiteral("fail completeness: there is no picture\n"));
        in.picture = QImage(10, 10, QImage::Format_RGB32);
        in.picture.fill(Qt::white);
        QCOMPARE(check::report(check::checkSymbol(in)),
                 QStringLiteral("fail completeness: the picture has no resolution (0 dpi)\n"));
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    surface::registerFontSubstitutes();
    SymbolCheckTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_symbolcheck.moc"
