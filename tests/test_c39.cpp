// The Code 39 symbol and its build path: encoding, set-up result codes, picture geometry,
// refusals.

#include <QGuiApplication>
#include <QTest>

#include "surface/screen.h"
#include "symbols/c39.h"
#include "symbols/c39build.h"

using symbols::BuildResult;
using symbols::C39Inputs;
using symbols::PageValues;
using symbols::Refusal;
using symbols::Tc39;

namespace {
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kGrey = 0x808080;

// Module patterns written out from the character table of ISO/IEC 16388, independently of
// the symbol's table.
const QString kStar = QStringLiteral("100101101101");
const QString kA = QStringLiteral("110101001011");
const QString kB = QStringLiteral("101101001011");
const QString kStandardSpace = QStringLiteral("100110101101");

QString symbolOf(const QStringList& patterns) {
    return kStar + QLatin1Char('0') + patterns.join(QLatin1Char('0')) +
           (patterns.isEmpty() ? QString() : QStringLiteral("0")) + kStar;
}

// The reference picture's page: top/down 0.1 in, left/right 0.25 in, interval 0.05 in.
PageValues referencePage() {
    return PageValues{100, 100, 250, 250, 50};
}

symbols::BuildContext onPage(const PageValues& page) {
    symbols::BuildContext context;
    context.page = page;
    return context;
}

C39Inputs inputsFor(const QString& message, const QString& comment = {}) {
    C39Inputs in;
    in.message = message;
    in.comment = comment;
    return in;
}

// A reference symbol set up directly, with narrow width and ratio to choose.
Tc39 referenceSymbol(const QString& message, const QString& comment = {}, double narrow = 0.023,
                     double ratio = 2.0) {
    Tc39 s;
    const int code = s.Setup(surface::Font{}, 96, 0.05, 1.2, narrow, ratio, 0.25, 0.25, comment,
                             message, 0.1, 0.1);
    if (code != 0) qFatal("reference symbol did not set up: %d", code);
    return s;
}

// Draws on a grey picture so that painted white (spaces, text cells) shows.
surface::Bitmap drawnOnGrey(const Tc39& s) {
    surface::Bitmap b;
    b.setBrushColor(QColor::fromRgb(kGrey));
    b.setSize(s.TotalWidth(), s.TotalHeight());
    b.setBrushColor(Qt::white);
    const Tc39::DrawOutcome out = s.Draw(b);
    if (out.failed) qFatal("drawing failed");
    return b;
}

bool rowIsWhite(const surface::Bitmap& b, int y) {
    for (int x = 0; x < b.width(); ++x)
        if (b.pixel(x, y) != kWhite) return false;
    return true;
}
}  // namespace

class C39Test : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { surface::setScreenDpiOverride(96); }

    void encodesTheReferenceMessage() {
        QCOMPARE(Tc39::ModulesOf(QStringLiteral("AB")),
                 QStringLiteral("100101101101011010100101101011010010110100101101101"));
        QCOMPARE(Tc39::Encode(QStringLiteral("AB")),
                 QStringLiteral("262484842484242624842484262484262484842"));
    }

    void moduleStrings_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("modules");
        const auto row = [](const char* name, const QString& message, const QString& modules) {
            QTest::newRow(name) << message << modules;
        };
        const QString nil = QStringLiteral("nil");
        row("lower case encodes as upper case", "ab", symbolOf({kA, kB}));
        row("underscore carries the standard's space pattern", "A_B",
            symbolOf({kA, kStandardSpace, kB}));
        row("star inside is an ordinary character", "A*B", symbolOf({kA, kStar, kB}));
        row("ISO/IEC 16388 patterns of 0, - and $", "0-$",
            symbolOf({"101001101101", "100101011011", "100100100101"}));
        row("space is not accepted", "A B", nil);
        row("hash is not accepted", "AB#", nil);
        row("accented letter is not upper-cased into the table", "\u00e9", nil);
        row("dotless i does not become I", "\u0131", nil);
    }
    void moduleStrings() {
        QFETCH(QString, message);
        QFETCH(QString, modules);
        QCOMPARE(Tc39::ModulesOf(message), modules);
        const QString elements = Tc39::Encode(message);
        if (modules == QLatin1String("nil")) {
            QCOMPARE(elements, QStringLiteral("nil"));
            QCOMPARE(Tc39::PatternWidth(elements, 2, 2.0), -1);
            return;
        }
        // Nine elements per character, start and stop included, and one gap between each.
        const int n = message.size();
        QCOMPARE(elements.size(), 9 * (n + 2) + (n + 1));
    }

    void patternWidths_data() {
        QTest::addColumn<QString>("elements");
        QTest::addColumn<int>("narrow");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("width");
        const QString ab = Tc39::Encode(QStringLiteral("AB"));
        QTest::newRow("AB, narrow 2, ratio 2.0") << ab << 2 << 2.0 << 102;
        QTest::newRow("AB, narrow 2, ratio 2.5") << ab << 2 << 2.5 << 114;
        QTest::newRow("edge case: wide of narrow 1 at 2.5 rounds to even 2")
            << "8" << 1 << 2.5 << 2;
        QTest::newRow("edge case: wide of narrow 3 at 2.5 rounds to even 8")
            << "6" << 3 << 2.5 << 8;
        QTest::newRow("narrow elements ignore the ratio") << "24" << 3 << 3.0 << 6;
        QTest::newRow("nil marker") << "nil" << 2 << 2.0 << -1;
    }
    void patternWidths() {
        QFETCH(QString, elements);
        QFETCH(int, narrow);
        QFETCH(double, ratio);
        QFETCH(int, width);
        QCOMPARE(Tc39::PatternWidth(elements, narrow, ratio), width);
    }

    void setupResultCodes_data() {
        QTest::addColumn<QString>("change");  // which argument differs from the reference
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("preset");  // field holding -1 before Setup
        QTest::addColumn<int>("code");
        QTest::newRow("reference parameters") << "" << 0.0 << "" << 0;
        QTest::newRow("ratio 2.0 accepted") << "ratio" << 2.0 << "" << 0;
        QTest::newRow("ratio 3.0 accepted") << "ratio" << 3.0 << "" << 0;
        QTest::newRow("ratio 1.99 on a fresh symbol") << "ratio" << 1.99 << "" << 5;
        QTest::newRow("ratio 3.01 on a fresh symbol") << "ratio" << 3.01 << "" << 5;
        QTest::newRow("bar height 0.004 in is 0.384 px") << "height" << 0.004 << "" << 2;
        QTest::newRow("bar height 0") << "height" << 0.0 << "" << 2;
        QTest::newRow("negative bar height is not converted") << "height" << -1.0 << "" << 2;
        QTest::newRow("narrow 0.0052 in is 0.4992 px") << "narrow" << 0.0052 << "" << 4;
        QTest::newRow("negative interval is not converted") << "interval" << -0.05 << "" << 0;
        QTest::newRow("negative dpi ignored, nothing converts") << "dpi" << -96.0 << "" << 2;
        QTest::newRow("empty message") << "message" << 0.0 << "" << 10;
        QTest::newRow("interval field already negative") << "interval" << 0.0 << "interval" << 1;
        QTest::newRow("left field already negative") << "left" << 0.0 << "left" << 6;
        QTest::newRow("right field already negative") << "right" << 0.0 << "right" << 7;
        QTest::newRow("top field already negative") << "top" << 0.0 << "top" << 11;
        QTest::newRow("down field already negative") << "down" << 0.0 << "down" << 12;
    }
    void setupResultCodes() {
        QFETCH(QString, change);
        QFETCH(double, value);
        QFETCH(QString, preset);
        QFETCH(int, code);
        const auto pick = [&](const char* name, double reference) {
            return change == QLatin1String(name) ? value : reference;
        };
        Tc39 s;
        if (preset == QLatin1String("interval")) s.IntervalSpace = -1;
        if (preset == QLatin1String("left")) s.LeftSpace = -1;
        if (preset == QLatin1String("right")) s.RightSpace = -1;
        if (preset == QLatin1String("top")) s.TopSpace = -1;
        if (preset == QLatin1String("down")) s.DownSpace = -1;
        const QString message =
            change == QLatin1String("message") ? QString() : QStringLiteral("AB");
        const int result = s.Setup(surface::Font{}, int(pick("dpi", 0)), pick("interval", 0.05),
                                   pick("height", 1.2), pick("narrow", 0.023), pick("ratio", 2.0),
                                   pick("left", 0.25), pick("right", 0.25), QString(), message,
                                   pick("top", 0.1), pick("down", 0.1));
        QCOMPARE(result, code);
    }

    void setupStoresPixels() {
        Tc39 s = referenceSymbol(QStringLiteral("AB"));
        QCOMPARE(s.Dpi, 96);
        QCOMPARE(s.BarHeight, 115);
        QCOMPARE(s.NarrowWidth, 2);
        QCOMPARE(s.wideWidth(), 4);
        QCOMPARE(s.LeftSpace, 24);
        QCOMPARE(s.RightSpace, 24);
        QCOMPARE(s.TopSpace, 10);
        QCOMPARE(s.DownSpace, 10);
        QCOMPARE(s.IntervalSpace, 5);
        QCOMPARE(s.TotalWidth(), 150);
        QCOMPARE(s.TotalHeight(), 155);

        // Edge case: 0.0157 in is 1.5072 px and rounds to 2.
        QCOMPARE(referenceSymbol(QStringLiteral("AB"), {}, 0.0157).NarrowWidth, 2);

        // Halves go to the even neighbour: 0.625 in at 4 DPI is 2.5 px, 0.875 in is 3.5 px.
        Tc39 h;
        QCOMPARE(h.Setup(surface::Font{}, 4, 0.625, 0.875, 0.625, 2.0, 0, 0, {}, "AB", 0, 0), 0);
        QCOMPARE(h.IntervalSpace, 2);
        QCOMPARE(h.BarHeight, 4);
    }

    void failedSetupKeepsEarlierFields() {
        Tc39 s;
        QCOMPARE(
            s.Setup(surface::Font{}, 0, 0.05, 1.2, 0.023, 1.99, 0.25, 0.25, "c", "AB", 0.1, 0.1),
            5);
        QCOMPARE(s.Dpi, 96);  // 0 asks for the screen's resolution
        QCOMPARE(s.IntervalSpace, 5);
        QCOMPARE(s.BarHeight, 115);
        QCOMPARE(s.NarrowWidth, 2);
        QCOMPARE(s.LeftSpace, 0);
        QVERIFY(s.Message.isEmpty());

        // A ratio already stored survives a later one out of range.
        QCOMPARE(s.Setup(surface::Font{}, 0, 0.05, 1.2, 0.023, 2.5, 0.25, 0.25, {}, "AB", 0.1, 0.1),
                 0);
        QCOMPARE(s.Setup(surface::Font{}, 0, 0.05, 1.2, 0.023, 9.0, 0.25, 0.25, {}, "AB", 0.1, 0.1),
                 0);
        QCOMPARE(s.Ratio, 2.5);
    }

    void fontWithoutSizeFallsBackToDefault() {
        surface::Font none;
        none.family = QStringLiteral("Courier");
        none.pointSize = 0;
        Tc39 s;
        QCOMPARE(s.Setup(none, 96, 0.05, 1.2, 0.023, 2.0, 0.25, 0.25, "c", "AB", 0.1, 0.1), 0);
        QCOMPARE(s.font(), surface::Font{});
        QCOMPARE(s.TotalHeight(), 171);  // the 8-point default gives the comment rows 16 px
    }

    void heightWithoutTextRowTerms() {
        // Edge case: no comment, interval and down 0: the text row lies below the picture.
        Tc39 s;
        QCOMPARE(s.Setup(surface::Font{}, 96, 0, 1.2, 0.023, 2.0, 0.25, 0.25, {}, "AB", 0.1, 0), 0);
        QCOMPARE(s.TotalHeight(), s.TopSpace + s.BarHeight);
    }

    void referencePictureBars() {
        const BuildResult r =
            symbols::buildC39(inputsFor(QStringLiteral("AB")), onPage(referencePage()));
        QVERIFY(r.built());
        QCOMPARE(r.dpi, 96);
        QCOMPARE(r.picture.width(), 150);
        QCOMPARE(r.picture.height(), 155);
        // Expected colour of every column from the element string, 2 and 4 pixels wide.
        QList<QRgb> column(150, kWhite);
        int x = 24;
        for (QChar e : QStringLiteral("262484842484242624842484262484262484842")) {
            const int w = (e == QLatin1Char('2') || e == QLatin1Char('4')) ? 2 : 4;
            const bool bar = e == QLatin1Char('2') || e == QLatin1Char('8');
            for (int i = 0; i < w; ++i) column[x++] = bar ? kBlack : kWhite;
        }
        QCOMPARE(x, 126);
        for (int y = 0; y < 15; ++y) QVERIFY2(rowIsWhite(r.picture, y), "top blank and interval");
        for (int y = 15; y < 130; ++y)
            for (int c = 0; c < 150; ++c)
                QVERIFY2(r.picture.pixel(c, y) == column[c],
                         qPrintable(QStringLiteral("bar pixel %1,%2").arg(c).arg(y)));
        // Bars end at 130: no black below them outside the text cells.
        for (int c : {24, 25, 30, 124, 125}) QCOMPARE(r.picture.pixel(c, 130), kWhite);
    }

    void textCellPositions_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<double>("narrow");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("barTop");
        QTest::addColumn<int>("textTop");
        QTest::addColumn<QList<int>>("cells");
        const auto row = [](const char* name, const char* message, const char* comment,
                            double narrow, double ratio, int height, int barTop, int textTop,
                            const QList<int>& cells) {
            QTest::newRow(name) << QString(message) << QString(comment) << narrow << ratio << height
                                << barTop << textTop << cells;
        };
        row("reference picture", "AB", "", 0.023, 2.0, 155, 15, 130, {48, 102});
        row("reference picture with a comment line", "AB", "Lot 7", 0.023, 2.0, 171, 28, 148,
            {48, 102});
        row("lower case written as typed", "ab", "", 0.023, 2.0, 155, 15, 130, {48, 102});
        // Narrow 3 px: x_first 60; the spacing before rounding is (165 - 0) / 2 = 82.5.
        row("edge case: step 82.5 rounds down to even 82", "ABC", "", 0.03125, 3.0, 155, 15, 130,
            {60, 142, 224});
        // Wide 7.2 -> 7 px: spacing 135 / 2 = 67.5.
        row("edge case: step 67.5 rounds up to even 68", "ABC", "", 0.03125, 2.4, 155, 15, 130,
            {60, 128, 196});
    }
    void textCellPositions() {
        QFETCH(QString, message);
        QFETCH(QString, comment);
        QFETCH(double, narrow);
        QFETCH(double, ratio);
        QFETCH(int, height);
        QFETCH(int, barTop);
        QFETCH(int, textTop);
        QFETCH(QList<int>, cells);
        const Tc39 s = referenceSymbol(message, comment, narrow, ratio);
        QCOMPARE(s.TotalHeight(), height);
        const surface::Bitmap b = drawnOnGrey(s);
        // Bars occupy barTop .. barTop + 115, first bar at x 24, spaces painted white.
        if (comment.isEmpty()) QCOMPARE(b.pixel(24, barTop - 1), kGrey);  // else the comment cell
        QCOMPARE(b.pixel(24, barTop), kBlack);
        QCOMPARE(b.pixel(24, barTop + 114), kBlack);
        QCOMPARE(b.pixel(23, barTop), kGrey);
        QCOMPARE(b.pixel(24 + s.NarrowWidth, barTop), kWhite);
        QCOMPARE(b.pixel(24, barTop + 115), kGrey);  // left of the first text cell
        // Edge case: of two characters the second starts 12 narrow widths left of the
        // right blank space.
        if (cells.size() == 2)
            QCOMPARE(cells.last(), s.TotalWidth() - s.RightSpace - 12 * s.NarrowWidth);
        for (int x : cells) {
            QVERIFY2(b.pixel(x - 1, textTop) == kGrey, qPrintable(QString::number(x)));
            QVERIFY2(b.pixel(x, textTop) != kGrey, qPrintable(QString::number(x)));
            if (textTop > barTop + 115) QCOMPARE(b.pixel(x, textTop - 1), kGrey);
        }
        if (!comment.isEmpty()) {
            QCOMPARE(b.pixel(23, 15), kGrey);
            QCOMPARE(b.pixel(24, 14), kGrey);
            QVERIFY(b.pixel(24, 15) != kGrey);
        }
    }

    void lowerCaseShowsInTheTextRowOnly() {
        const BuildResult lower =
            symbols::buildC39(inputsFor(QStringLiteral("ab")), onPage(referencePage()));
        const BuildResult upper =
            symbols::buildC39(inputsFor(QStringLiteral("AB")), onPage(referencePage()));
        QVERIFY(lower.built() && upper.built());
        const QImage l = lower.picture.image(), u = upper.picture.image();
        QCOMPARE(l.copy(0, 0, 150, 130), u.copy(0, 0, 150, 130));
        QVERIFY(l.copy(0, 130, 150, 25) != u.copy(0, 130, 150, 25));
    }

    void oneCharacterMessageKeepsTheBars() {
        const BuildResult r =
            symbols::buildC39(inputsFor(QStringLiteral("A")), onPage(referencePage()));
        QVERIFY(!r.built());
        QCOMPARE(r.stoppedAt, BuildResult::StoppedAt::Drawing);
        QCOMPARE(r.refusal->kind, Refusal::Kind::Notice);
        QCOMPARE(r.refusal->text,
                 QStringLiteral("The 'Bar code message' must have two or above two characters."));
        QCOMPARE(r.picture.width(), 24 + 3 * 24 + 2 * 2 + 24);
        QCOMPARE(r.picture.height(), 155);
        QCOMPARE(r.picture.pixel(24, 15), kBlack);
        for (int y = 130; y < 155; ++y) QVERIFY2(rowIsWhite(r.picture, y), "no text row");
    }

    void buildRefusals_data() {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("narrow");
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("pageField");
        QTest::addColumn<double>("pageValue");
        QTest::addColumn<bool>("conversion");
        QTest::addColumn<QString>("text");  // a trailing "..." compares the start only
        const auto row = [](const char* name, const char* height, const char* narrow,
                            const char* ratio, const QString& message, const char* pageField,
                            double pageValue, bool conversion, const QString& text) {
            QTest::newRow(name) << QString(height) << QString(narrow) << QString(ratio) << message
                                << QString(pageField) << pageValue << conversion << text;
        };
        const QString big = QStringLiteral("The picture would be ...");
        const auto cannot = [](const QString& shown, int position) {
            return QStringLiteral(
                       "The 'Bar code message' holds the character '%1' at position "
                       "%2, which Code 39 cannot encode.")
                .arg(shown)
                .arg(position);
        };
        row("height with two points", "1.2.3", "23", "2.0", "AB", "", 0, true,
            "'1.2.3' is not a valid floating point value");
        row("letter in the narrow width", "1.2", "2x", "2.0", "AB", "", 0, true,
            "'2x' is not a valid floating point value");
        row("empty ratio", "1.2", "23", "", "AB", "", 0, true,
            "'' is not a valid floating point value");
        row("empty message", "1.2", "23", "2.0", "", "", 0, false, "Barcode Message Error");
        row("ratio out of range", "1.2", "23", "3.5", "AB", "", 0, false, "Natio Error");
        row("height 0", "0", "23", "2.0", "AB", "", 0, false, "Height Error");
        row("narrow width rounds to 0", "1.2", "5", "2.0", "AB", "", 0, false,
            "Narwidth param Error");
        row("character outside the table", "1.2", "23", "2.0", "AB#", "", 0, false, cannot("#", 3));
        row("space is refused, saying that the underscore stands for it", "1.2", "23", "2.0", "A B",
            "", 0, false,
            cannot(" ", 2) + QStringLiteral(" Type '_' where the symbol is to hold a space."));
        row("control character named by its code", "1.2", "23", "2.0", "AB\t", "", 0, false,
            cannot("\\x09", 3));
        row("a character beyond 16 bits counts once", "1.2", "23", "2.0", "A\U0001F600B", "", 0,
            false, cannot("\U0001F600", 2));
        row("height 500 inches", "500", "23", "2.0", "AB", "", 0, false, big);
        row("height 1e308 typed", "1e308", "23", "2.0", "AB", "", 0, false, big);
        row("narrow width a million mils", "1.2", "1000000", "2.0", "AB", "", 0, false, big);
        row("left space 1e308 mils from the settings file", "1.2", "23", "2.0", "AB", "fleft",
            1e308, false, big);
        row("top space 1e308 mils", "1.2", "23", "2.0", "AB", "ftop", 1e308, false, big);
        row("interval 1e308 mils", "1.2", "23", "2.0", "AB", "fiwidth", 1e308, false, big);
        row("5000 characters", "1.2", "23", "2.0", QString(5000, QLatin1Char('A')), "", 0, false,
            big);
        row("a million characters", "1.2", "23", "2.0", QString(1000000, QLatin1Char('7')), "", 0,
            false, big);
    }
    void buildRefusals() {
        QFETCH(QString, height);
        QFETCH(QString, narrow);
        QFETCH(QString, ratio);
        QFETCH(QString, message);
        QFETCH(QString, pageField);
        QFETCH(double, pageValue);
        QFETCH(bool, conversion);
        QFETCH(QString, text);
        PageValues page = referencePage();
        if (pageField == QLatin1String("fleft")) page.fleft = pageValue;
        if (pageField == QLatin1String("ftop")) page.ftop = pageValue;
        if (pageField == QLatin1String("fiwidth")) page.fiwidth = pageValue;
        const C39Inputs in{height, narrow, ratio, QString(), message};
        const BuildResult r = symbols::buildC39(in, onPage(page));
        QVERIFY(!r.built());
        QCOMPARE(r.stoppedAt, BuildResult::StoppedAt::Checks);
        QVERIFY(r.picture.isEmpty());
        QCOMPARE(r.refusal->kind,
                 conversion ? Refusal::Kind::ConversionError : Refusal::Kind::Notice);
        if (text.endsWith(QLatin1String("...")))
            QVERIFY2(r.refusal->text.startsWith(text.chopped(3)), qPrintable(r.refusal->text));
        else
            QCOMPARE(r.refusal->text, text);
    }

    void defaultsAndSizeLabels() {
        // The form's defaults with page values 0: the text row lies outside the picture.
        const BuildResult r = symbols::buildC39(inputsFor(QStringLiteral("AB")), {});
        QVERIFY(r.built());
        QCOMPARE(r.picture.width(), 102);
        QCOMPARE(r.picture.height(), 115);
        QCOMPARE(symbols::c39HeightLabel(115, 96),
                 QStringLiteral("Bar Code Height:        1.20    inches"));
        QCOMPARE(symbols::c39WidthLabel(102, 96),
                 QStringLiteral("Bar Code Width:       1.06    inches"));
        QCOMPARE(symbols::c39HeightLabel(155, 96),
                 QStringLiteral("Bar Code Height:        1.61    inches"));
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    C39Test t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_c39.moc"
