// Tbar: the pixel geometry derived from the user's sizes, and when it is recomputed.

#include <QGuiApplication>
#include <QTest>
#include <climits>

#include "surface/screen.h"
#include "symbols/barproperty.h"

using symbols::Tbar;

namespace {
struct Spaces {
    double left, top, right, down, interval;
};

// Sets a Tbar up in the order the designer forms use.
void setUp(Tbar& bar, const surface::Font& font, int moduleWidth, int barHeight, int modules,
           const Spaces& s) {
    bar.RefreshDpi();
    bar.SetFont(&font);
    bar.SetModuleCount(modules);
    bar.SetModuleWidth(moduleWidth);
    bar.SetBarHeight(barHeight);
    bar.SetLeftSpace(s.left);
    bar.SetTopSpace(s.top);
    bar.SetRightSpace(s.right);
    bar.SetDownSpace(s.down);
    bar.SetIntervalSpace(s.interval);
}
}  // namespace

class BarPropertyTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { surface::setScreenDpiOverride(96); }
    void cleanup() { surface::setScreenDpiOverride(0); }

    void derivedGeometry_data() {
        QTest::addColumn<double>("space");
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("originX");
        QTest::addColumn<int>("barTop");
        QTest::addColumn<int>("symbolWidth");
        QTest::addColumn<int>("totalWidth");
        QTest::addColumn<int>("symbolHeight");
        QTest::addColumn<int>("totalHeight");
        QTest::newRow("reference picture, no spaces")
            << 0.0 << 0.0 << 0 << 0 << 190 << 206 << 133 << 141;
        // BarTop = Round(28.8): top and interval are added before the one rounding.
        QTest::newRow("250 mil spaces, 50 mil interval")
            << 250.0 << 50.0 << 24 << 29 << 190 << 254 << 138 << 194;
        // Edge case: 15.625 mils is 1.5 px (rounds to 2), 2 x 15.625 is 3 px.
        QTest::newRow("spaces of exactly 1.5 px round up to even")
            << 15.625 << 15.625 << 2 << 3 << 190 << 209 << 135 << 146;
        // Edge case: 46.875 mils is 4.5 px (rounds to 4), 2 x 46.875 is 9 px.
        QTest::newRow("spaces of exactly 4.5 px round down to even")
            << 46.875 << 46.875 << 4 << 9 << 190 << 215 << 137 << 154;
    }
    void derivedGeometry() {
        QFETCH(double, space);
        QFETCH(double, interval);
        const surface::Font font;  // 8 points
        Tbar bar;
        setUp(bar, font, 2, 125, 95, {space, space, space, space, interval});
        QCOMPARE(bar.Dpi(), 96);
        QTEST(bar.OriginX(), "originX");
        QTEST(bar.BarTop(), "barTop");
        QTEST(bar.SymbolWidth(), "symbolWidth");
        QTEST(bar.TotalWidth(), "totalWidth");
        QTEST(bar.SymbolHeight(), "symbolHeight");
        QTEST(bar.TotalHeight(), "totalHeight");
    }

    void halvesOfAPixelGoToEven_data() {
        QTest::addColumn<double>("mils");
        QTest::addColumn<int>("pixels");
        QTest::newRow("15.625 mils = 1.5 px") << 15.625 << 2;
        QTest::newRow("46.875 mils = 4.5 px") << 46.875 << 4;
        QTest::newRow("26 mils = 2.496 px") << 26.0 << 2;
        QTest::newRow("negative half -1.5 px") << -15.625 << -2;
    }
    void halvesOfAPixelGoToEven() {
        QFETCH(double, mils);
        Tbar bar;
        bar.SetLeftSpace(mils);  // recomputes OriginX, refreshing Dpi first
        QTEST(bar.OriginX(), "pixels");
    }

    // The comment moves the bars down by F and nothing else: the picture keeps the size it
    // was given without one.
    void commentMovesOnlyTheBars() {
        const surface::Font font;
        Tbar bar;
        setUp(bar, font, 2, 125, 95, {250, 250, 250, 250, 50});
        bar.SetComment(QStringLiteral("Batch 7"));
        QCOMPARE(bar.BarTop(), 37);
        QCOMPARE(bar.TotalWidth(), 254);
        QCOMPARE(bar.SymbolHeight(), 138);
        QCOMPARE(bar.TotalHeight(), 194);
        // A later recomputation of the height does count the comment line.
        bar.SetBarHeight(125);
        QCOMPARE(bar.SymbolHeight(), 146);
        QCOMPARE(bar.TotalHeight(), 210);
        bar.SetComment(QString());
        QCOMPARE(bar.BarTop(), 29);
    }

    void resolutionIsRefreshedFromTheScreen() {
        Tbar bar;
        surface::setScreenDpiOverride(120);
        bar.SetLeftSpace(1000);
        QCOMPARE(bar.Dpi(), 120);
        QCOMPARE(bar.OriginX(), 120);
        bar.UseDpi(300);
        bar.SetLeftSpace(1000);
        QCOMPARE(bar.OriginX(), 300);
    }

    // Sizes from a settings file or pasted text may be absurd; the derived fields saturate
    // instead of overflowing.
    void absurdSizesSaturate() {
        const surface::Font font;
        Tbar bar;
        setUp(bar, font, INT_MAX, INT_MAX, 154, {1e308, -1e308, 1e308, 1e308, 1e308});
        QCOMPARE(bar.SymbolWidth(), INT_MAX);
        QCOMPARE(bar.TotalWidth(), INT_MAX);
        QCOMPARE(bar.OriginX(), INT_MAX);
        QCOMPARE(bar.TotalHeight(), INT_MAX);
        bar.SetModuleWidth(-INT_MAX);
        QCOMPARE(bar.SymbolWidth(), INT_MIN);
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    BarPropertyTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_barproperty.moc"
