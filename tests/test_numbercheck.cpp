// The check's judgements beyond reading the symbol: what the number means to GS1, the
// contrast under a scanner's red light, the module in whole printer dots, the print
// tolerance, and its remedy for short quiet zones and cut text, in the window as well.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "app/settings.h"
#include "buildpaths.h"
#include "check/remedy.h"
#include "designers/ENA13form.h"
#include "dialogs/booknumberdialog.h"
#include "dialogs/symbolcheckdialog.h"
#include "formtesting.h"

using buildpaths::Inputs;
using check::Grade;
using symbols::Symbology;

namespace {

const symbols::PageValues kRoomy{150, 100, 250, 250, 50};

std::vector<check::Finding> checked(Symbology s, const Inputs& in, QColor colour = Qt::black) {
    const symbols::BuildResult built = [&] {
        if (colour == QColor(Qt::black)) return buildpaths::build(s, in);
        // The bar colour is the build context's.
        symbols::SymbolInputs i;
        i.message = in.message;
        i.addOn = in.addOn;
        i.height = QStringLiteral("1.5");
        i.width = QStringLiteral("1");
        symbols::BuildContext c;
        c.page = in.page;
        c.dpi = in.dpi;
        c.barColor = colour;
        return symbols::symbology(s).build(i, c);
    }();
    if (!built.built()) return {};
    return check::checkSymbol(check::checkInputOf(s, built));
}

Inputs saying(const char* message, const char* addOn = "", symbols::PageValues page = kRoomy,
              int dpi = 96, const char* width = "") {
    Inputs in;
    in.message = QString::fromLatin1(message);
    in.addOn = QString::fromLatin1(addOn);
    in.page = page;
    in.dpi = dpi;
    in.width = QString::fromLatin1(width);
    return in;
}

QString lines(const std::vector<check::Finding>& found) {
    return check::report(found);
}

const check::Finding* topicFinding(const std::vector<check::Finding>& found, const char* topic,
                                   const QString& containing = {}) {
    for (const check::Finding& f : found)
        if (f.topic == QLatin1String(topic) && f.text.contains(containing)) return &f;
    return nullptr;
}

struct DataRow {
    const char* name;
    Symbology symbology;
    const char* message;
    const char* addOn;
    Grade grade;
    const char* text;  // the data finding, in full; empty: no data finding may warn
};

const DataRow kDataRows[] = {
    {"EAN-13 restricted 020", Symbology::Ena13, "020000000000", "", Grade::Warn,
     "EAN-13 0200000000004: prefix 020 is for restricted circulation (GS1 keeps 020-029, "
     "040-049 and 200-299 for numbers used within a company or a country, not for trade at "
     "large)"},
    {"EAN-13 restricted 045", Symbology::Ena13, "045678901234", "", Grade::Warn,
     "EAN-13 0456789012343: prefix 045 is for restricted circulation (GS1 keeps 020-029, "
     "040-049 and 200-299 for numbers used within a company or a country, not for trade at "
     "large)"},
    {"EAN-13 restricted 250", Symbology::Ena13, "250000123456", "", Grade::Warn,
     "EAN-13 2500001234568: prefix 250 is for restricted circulation (GS1 keeps 020-029, "
     "040-049 and 200-299 for numbers used within a company or a country, not for trade at "
     "large)"},
    {"EAN-13 coupon 981", Symbology::Ena13, "981000012345", "", Grade::Warn,
     "EAN-13 9810000123453: prefix 981 is for coupons (GS1 keeps 981-984 for coupons in a "
     "common currency area)"},
    {"EAN-13 coupon 99", Symbology::Ena13, "990000012345", "", Grade::Warn,
     "EAN-13 9900000123451: prefix 99 is for coupons (GS1 keeps 99 for coupons)"},
    {"EAN-13 coupon 050 (UPC-A number system 5)", Symbology::Ena13, "050123456789", "", Grade::Warn,
     "EAN-13 0501234567890: prefix 050 is for coupons (GS1 keeps 050-059 for coupons, as UPC-A "
     "number system 5)"},
    {"EAN-13 demonstration 952", Symbology::Ena13, "952123456789", "", Grade::Warn,
     "EAN-13 9521234567899: prefix 952 is for demonstration (GS1 keeps 952 for samples and "
     "demonstrations, not for goods)"},
    {"UPC-A number system 2", Symbology::UpcA, "21234567899", "", Grade::Warn,
     "UPC-A 212345678992: number system 2 is for restricted circulation (GS1 keeps 2 and 4 for "
     "numbers used within a company or a country)"},
    {"UPC-A number system 4", Symbology::UpcA, "41234567899", "", Grade::Warn,
     "UPC-A 412345678996: number system 4 is for restricted circulation (GS1 keeps 2 and 4 for "
     "numbers used within a company or a country)"},
    {"UPC-A number system 5: coupon", Symbology::UpcA, "51234567899", "", Grade::Warn,
     "UPC-A 512345678993: number system 5 is for coupons (GS1)"},
    {"EAN-8 starting with 0", Symbology::Ean8, "0123456", "", Grade::Warn,
     "EAN-8 01234565: prefix 0 is for restricted circulation (GS1 keeps EAN-8 numbers starting "
     "with 0 or 2 for use within a company)"},
    {"EAN-8 starting with 2", Symbology::Ean8, "2123456", "", Grade::Warn,
     "EAN-8 21234569: prefix 2 is for restricted circulation (GS1 keeps EAN-8 numbers starting "
     "with 0 or 2 for use within a company)"},
    {"EAN-8 with a 5-digit add-on", Symbology::Ean8, "9638507", "52495", Grade::Warn,
     "a 5-digit add-on (52495) on an EAN-8: GS1 uses 5-digit add-ons with EAN-13 and UPC-A "
     "only"},
    {"ISBN named", Symbology::Ena13, "978030640615", "", Grade::Ok,
     "EAN-13 9780306406157 is the ISBN 978-0306406157 (ISBN-10 0306406152)"},
    {"ISSN named", Symbology::Ena13, "977031784705", "", Grade::Ok,
     "EAN-13 9770317847056 is the ISSN 0317-8471, variant 05"},
    {"ISMN named", Symbology::Ena13, "979023067118", "", Grade::Ok,
     "EAN-13 9790230671187 is the ISMN 979-0-230671187"},
    {"book price read out", Symbology::Ena13, "978030640615", "51995", Grade::Ok,
     "the price add-on 51995: US$ 19.95"},
    {"book without a price", Symbology::Ena13, "978030640615", "90000", Grade::Ok,
     "the price add-on 90000: no price"},
    {"UPC-E not zero-suppressed (manufacturer 12000)", Symbology::UpcE, "120453", "", Grade::Warn,
     "UPC-E 120453 expands to the UPC-A 0 12000 00045 4, which GS1 writes as UPC-E 120450 (zero "
     "suppression); some systems refuse the other form"},
    {"UPC-E not zero-suppressed (manufacturer 12100)", Symbology::UpcE, "121453", "", Grade::Warn,
     "UPC-E 121453 expands to the UPC-A 0 12100 00045 3, which GS1 writes as UPC-E 120451 (zero "
     "suppression); some systems refuse the other form"},
    {"UPC-E not zero-suppressed (manufacturer 10000)", Symbology::UpcE, "100004", "", Grade::Warn,
     "UPC-E 100004 expands to the UPC-A 0 10000 00000 9, which GS1 writes as UPC-E 100000 (zero "
     "suppression); some systems refuse the other form"},
    // Negative rows: nothing to warn about.
    {"plain 590 EAN-13", Symbology::Ena13, "590123412345", "12", Grade::Ok, ""},
    {"canonical UPC-E ending 5-9", Symbology::UpcE, "123456", "", Grade::Ok, ""},
    {"canonical UPC-E ending 4", Symbology::UpcE, "123404", "", Grade::Ok, ""},
    {"canonical UPC-E ending 3", Symbology::UpcE, "123403", "", Grade::Ok, ""},
    {"canonical UPC-E ending 0", Symbology::UpcE, "120450", "", Grade::Ok, ""},
    {"UPC-A number system 0", Symbology::UpcA, "03600029145", "51234", Grade::Ok, ""},
    {"EAN-8 starting with 9 and a 2-digit add-on", Symbology::Ean8, "9638507", "12", Grade::Ok, ""},
};

// "up to 2 dots (0.25 mm) wider" -> 2; "no wider" -> 0.
int dotsOf(const QString& text, const char* way) {
    const QRegularExpression up(
        QStringLiteral("up to (\\d+) dots? \\([0-9.]+ mm\\) %1").arg(QLatin1String(way)));
    const QRegularExpressionMatch m = up.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

}  // namespace

class NumberCheckTest : public QObject {
    Q_OBJECT
  private slots:
    void gs1Data_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kDataRows)); ++i) QTest::newRow(kDataRows[i].name) << i;
    }
    void gs1Data() {
        QFETCH(int, row);
        const DataRow& r = kDataRows[row];
        const auto found = checked(r.symbology, saying(r.message, r.addOn));
        QVERIFY(!found.empty());
        const QString wanted = QString::fromUtf8(r.text);
        if (wanted.isEmpty()) {
            for (const check::Finding& f : found)
                QVERIFY2(f.topic != QLatin1String("data") || f.grade == Grade::Ok,
                         qPrintable(f.text));
            return;
        }
        const check::Finding* f = topicFinding(found, "data", wanted);
        QVERIFY2(f != nullptr && f->text == wanted, qPrintable(lines(found)));
        QCOMPARE(check::nameOf(f->grade), check::nameOf(r.grade));
    }

    // Reflectance under red light from the red channel: what a shop's scanner sees.
    void contrast_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("grade");
        QTest::addColumn<QString>("text");
        const QString a = QStringLiteral(
            "symbol contrast under a scanner's red light is 100 % (grade A): reflectance from the "
            "colours' red channel, sRGB made linear; darkest 0 %, lightest 100 %");
        QTest::newRow("black: A") << QColor(0, 0, 0) << int(Grade::Ok) << a;
        QTest::newRow("dark blue: A") << QColor(0, 0, 128) << int(Grade::Ok) << a;
        QTest::newRow("dark green: A") << QColor(0, 100, 0) << int(Grade::Ok) << a;
        QTest::newRow("red: F")
            << QColor(255, 0, 0) << int(Grade::Fail)
            << "Does not scan: red bars reflect the scanner's red light like the background "
               "(symbol contrast 0 %, grade F)";
        QTest::newRow("orange: F")
            << QColor(255, 165, 0) << int(Grade::Fail)
            << "Does not scan: orange bars reflect the scanner's red light like the background "
               "(symbol contrast 0 %, grade F)";
        QTest::newRow("yellow: F")
            << QColor(255, 255, 0) << int(Grade::Fail)
            << "Does not scan: yellow bars reflect the scanner's red light like the background "
               "(symbol contrast 0 %, grade F)";
        // Red channel 211: ((211/255 + 0.055) / 1.055)^2.4 = 0.651, so 100 % - 65 % = 35 %.
        QTest::newRow("light grey: D by its figure")
            << QColor(211, 211, 211) << int(Grade::Warn)
            << "symbol contrast under a scanner's red light is 35 % (grade D, under the 40 % of "
               "grade C): reflectance from the colours' red channel, sRGB made linear; darkest "
               "65 %, lightest 100 %";
        // Red channel 240: 0.871, 13 %.
        QTest::newRow("pale grey: F, colour not named")
            << QColor(240, 240, 240) << int(Grade::Fail)
            << "Does not scan: the bars reflect the scanner's red light almost like the "
               "background (symbol contrast 13 %, grade F)";
    }
    void contrast() {
        QFETCH(QColor, colour);
        QFETCH(int, grade);
        QFETCH(QString, text);
        const auto found = checked(Symbology::Ena13, saying("590123412345"), colour);
        const check::Finding* f = topicFinding(found, "contrast");
        QVERIFY2(f != nullptr, qPrintable(lines(found)));
        QCOMPARE(f->text, text);
        QCOMPARE(int(f->grade), grade);
        if (f->grade == Grade::Fail) {
            // The cause first; what the decoders make of it still follows.
            QCOMPARE(&found.front(), f);
            QCOMPARE(found[1].topic, QStringLiteral("decode"));
            QCOMPARE(check::summary(found), QStringLiteral("Does not scan"));
        }
    }

    void wholeDots_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("text");
        QTest::newRow("96 dpi") << 96
                                << "the module is 2 dots at 96 dpi (20.8 mils, magnification 160.4 "
                                   "%); whole dots from 80 % to 200 % at 96 dpi: 1 dot = 10.4 "
                                   "mils = 80.2 %, 2 dots = 20.8 mils = 160.4 %";
        QTest::newRow("203 dpi") << 203
                                 << "the module is 4 dots at 203 dpi (19.7 mils, magnification "
                                    "151.7 %); whole dots from 80 % to 200 % at 203 dpi: 3 dots = "
                                    "14.8 mils = 113.7 %, 4 dots = 19.7 mils = 151.7 %, 5 dots = "
                                    "24.6 mils = 189.6 %";
        QTest::newRow("300 dpi") << 300
                                 << "the module is 6 dots at 300 dpi (20 mils, magnification 153.9 "
                                    "%); whole dots from 80 % to 200 % at 300 dpi: 4 dots = 13.3 "
                                    "mils = 102.6 %, 5 dots = 16.7 mils = 128.3 %, 6 dots = 20 "
                                    "mils = 153.9 %, 7 dots = 23.3 mils = 179.6 %";
        QTest::newRow("600 dpi: a long run by its ends")
            << 600
            << "the module is 13 dots at 600 dpi (21.7 mils, magnification 166.8 %); whole dots "
               "from 80 % to 200 % at 600 dpi: 7 dots to 15 dots (11.7 to 25 mils, 89.8 % to "
               "192.4 %)";
    }
    void wholeDots() {
        QFETCH(int, dpi);
        QFETCH(QString, text);
        const auto found = checked(Symbology::UpcA, saying("03600029145", "", kRoomy, dpi));
        const check::Finding* f = topicFinding(found, "printing", QStringLiteral("the module is"));
        QVERIFY2(f != nullptr, qPrintable(lines(found)));
        QCOMPARE(f->text, text);
        QCOMPARE(f->grade, Grade::Ok);
    }

    void codeThirtyNineNarrowBarInDots() {
        const auto found = checked(Symbology::C39, saying("CODE39", "", kRoomy, 300));
        const check::Finding* f = topicFinding(found, "printing", QStringLiteral("narrow bar"));
        QVERIFY2(f != nullptr, qPrintable(lines(found)));
        QCOMPARE(f->text, QStringLiteral("the narrow bar is 7 dots at 300 dpi (23.3 mils)"));
    }

    // Bars of one dot cannot lose one; bars of four dots take more than bars of two.
    void printTolerance() {
        const auto tolerance = [](const char* module) {
            const auto found =
                checked(Symbology::UpcA, saying("03600029145", "", kRoomy, 203, module));
            const check::Finding* f = topicFinding(found, "printing", QStringLiteral("tolerates"));
            return f == nullptr ? QString() : f->text;
        };
        const QString two = tolerance("10"), four = tolerance("20");
        // Code 39 reads with narrow bars of one dot (UPC-A does not, at any resolution here).
        Inputs oneDot = saying("CODE39");
        oneDot.width = QStringLiteral("10.4");
        oneDot.ratio = QStringLiteral("3");
        const auto found = checked(Symbology::C39, oneDot);
        const check::Finding* one = topicFinding(found, "printing", QStringLiteral("tolerates"));
        QVERIFY2(one != nullptr, qPrintable(lines(found)));
        QVERIFY2(one->text.contains(QLatin1String(" and no narrower at 96 dpi")),
                 qPrintable(one->text));
        QVERIFY2(!two.isEmpty() && !four.isEmpty(), qPrintable(two + four));
        QVERIFY2(dotsOf(four, "wider") + dotsOf(four, "narrower") >
                     dotsOf(two, "wider") + dotsOf(two, "narrower"),
                 qPrintable(two + '\n' + four));
        QVERIFY2(dotsOf(four, "narrower") > dotsOf(two, "narrower"), qPrintable(two + '\n' + four));
        // In dots and in millimetres at the picture's resolution: 1 dot at 203 dpi is 0.13 mm.
        QVERIFY2(four.startsWith(QLatin1String("tolerates bars up to 1 dot (0.13 mm) wider")) ||
                     four.startsWith(QLatin1String("tolerates bars up to 2 dots (0.25 mm) wider")),
                 qPrintable(four));
    }

    // With page values 0 every symbology gets a remedy; built with it, the symbol has its
    // quiet zones and its text whole.
    void remedy_data() {
        QTest::addColumn<int>("symbology");
        QTest::addColumn<QString>("addOn");
        QTest::addColumn<QString>("comment");
        QTest::newRow("Code 39 with its text below the picture") << int(Symbology::C39) << ""
                                                                 << "";
        QTest::newRow("EAN-13 with add-on") << int(Symbology::Ena13) << "12"
                                            << "";
        QTest::newRow("EAN-8") << int(Symbology::Ean8) << ""
                               << "";
        QTest::newRow("UPC-A with comment") << int(Symbology::UpcA) << ""
                                            << "Lot 7";
        QTest::newRow("UPC-E") << int(Symbology::UpcE) << ""
                               << "";
    }
    void remedy() {
        QFETCH(int, symbology);
        QFETCH(QString, addOn);
        QFETCH(QString, comment);
        const Symbology s = Symbology(symbology);
        Inputs in;
        in.addOn = addOn;
        in.comment = comment;
        const symbols::BuildResult built = buildpaths::build(s, in);
        QVERIFY(built.built());
        const auto remedy = check::remedyFor(check::checkInputOf(s, built), in.page,
                                             [&](const symbols::PageValues& p) {
                                                 Inputs again = in;
                                                 again.page = p;
                                                 return buildpaths::build(s, again);
                                             });
        QVERIFY(remedy.has_value());
        QVERIFY2(remedy->options.contains(QLatin1String("--left ")), qPrintable(remedy->options));
        QCOMPARE(check::remedyFinding(*remedy).topic, QStringLiteral("suggest"));
        in.page = remedy->page;
        const symbols::BuildResult mended = buildpaths::build(s, in);
        const auto found = check::checkSymbol(check::checkInputOf(s, mended));
        // (The gap before an add-on is the symbol's own, whatever the page values.)
        for (const check::Finding& f : found) {
            QVERIFY2(f.topic != QLatin1String("quiet zone") || f.grade == Grade::Ok ||
                         f.text.startsWith(QLatin1String("the gap before the add-on")),
                     qPrintable(lines(found)));
            QVERIFY2(!f.text.contains(QLatin1String("lies outside the picture")),
                     qPrintable(lines(found)));
        }
        // Nothing more to mend.
        QVERIFY(!check::remedyFor(check::checkInputOf(s, mended), in.page,
                                  [&](const symbols::PageValues&) { return mended; }));
    }

    // "Apply the page values this symbol needs" in the window: saved as Page setting's Save
    // saves them, and the symbol built again checks without short quiet zones or cut text.
    void applyInTheWindow() {
        formtesting::Session s;
        Tmainfm& w = s.start();
        w.menuItem(QStringLiteral("C391"))->trigger();
        auto* form = qobject_cast<DesignerForm*>(w.currentForm());
        QVERIFY(form != nullptr);
        formtesting::setField(form, "barcodeedt", QStringLiteral("CODE39"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(s.window->statusPanel(0)->text(), QStringLiteral("Check: 3 warnings"));

        bool offered = false;
        DesignerForm::reportDialogHook() = [&offered](QDialog& d) {
            auto* apply = d.findChild<QPushButton*>(QStringLiteral("applyRemedy"));
            offered = apply != nullptr &&
                      apply->text() == QStringLiteral("Apply the page values this symbol needs");
            if (apply != nullptr) apply->click();
        };
        form->showSymbolCheck();
        DesignerForm::reportDialogHook() = {};
        QVERIFY(offered);
        QCOMPARE(s.clipboardCopies, 2);  // built again

        const symbols::PageValues saved = settings::readPageValues();
        QVERIFY(saved.fleft > 0 && saved.fright > 0 && saved.fdown > 0);
        QCOMPARE(w.pageValues().fleft, saved.fleft);
        QCOMPARE(w.pageValues().fdown, saved.fdown);
        for (const check::Finding& f : form->findings()) {
            QVERIFY2(f.topic != QLatin1String("quiet zone") || f.grade == Grade::Ok,
                     qPrintable(f.text));
            QVERIFY2(!f.text.contains(QLatin1String("lies outside")), qPrintable(f.text));
            QVERIFY(f.topic != QLatin1String("suggest"));
        }
        QCOMPARE(s.window->statusPanel(0)->text(), QStringLiteral("Scan OK"));
    }

    // "Fill from ISBN, ISSN or ISMN..." on the message's menu fills message, add-on and
    // comment; a wrong number keeps the dialog open and the form as it was.
    void fillFromBookNumber_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("issue");
        QTest::addColumn<QStringList>("filled");  // message, add-on, comment; or the problem
        QTest::newRow("ISBN-10 with a price")
            << "ISBN"
            << "0-306-40615-2"
            << "USD:19.95"
            << "" << QStringList{"978030640615", "51995", "ISBN 978-0-306-40615-7"};
        QTest::newRow("ISSN with an issue")
            << "ISSN"
            << "0317-8471"
            << ""
            << "07" << QStringList{"977031784700", "07", "ISSN 0317-8471"};
        QTest::newRow("ISMN") << "ISMN"
                              << "M-2306-7118-7"
                              << "none"
                              << ""
                              << QStringList{"979023067118", "90000", "ISMN 979-0-2306-7118-7"};
        QTest::newRow("wrong check digit")
            << "ISBN"
            << "0-306-40615-3"
            << ""
            << "" << QStringList{"the ISBN's check digit is 2, not 3"};
    }
    void fillFromBookNumber() {
        QFETCH(QString, kind);
        QFETCH(QString, number);
        QFETCH(QString, price);
        QFETCH(QString, issue);
        QFETCH(QStringList, filled);
        formtesting::Session s;
        Tmainfm& w = s.start();
        w.menuItem(QStringLiteral("ENA13"))->trigger();
        auto* form = qobject_cast<Tena13fm*>(w.currentForm());
        QVERIFY(form != nullptr);
        QString problem;
        Tena13fm::bookDialogHook() = [&](BookNumberDialog& d) {
            d.kind->setCurrentText(kind);
            d.number->setText(number);
            d.price->setText(price);
            d.issue->setText(issue);
            d.tryAccept();
            problem = d.problem->text();
        };
        bool offered = false;
        DesignerForm::previewMenuHook() = [&offered](QMenu& menu) {
            for (QAction* a : menu.actions())
                if (a->text() == QStringLiteral("Fill from ISBN, ISSN or ISMN\u2026")) {
                    offered = true;
                    a->trigger();
                }
        };
        emit form->barcodeedt->customContextMenuRequested(QPoint(2, 2));
        DesignerForm::previewMenuHook() = {};
        Tena13fm::bookDialogHook() = {};
        QVERIFY(offered);
        if (filled.size() == 1) {
            QCOMPARE(problem, filled.front());
            QVERIFY(form->barcodeedt->text().isEmpty());
            return;
        }
        QCOMPARE(form->barcodeedt->text(), filled[0]);
        QCOMPARE(form->Edit1->text(), filled[1]);
        QCOMPARE(form->heardtextedt->text(), filled[2]);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    NumberCheckTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_numbercheck.moc"
