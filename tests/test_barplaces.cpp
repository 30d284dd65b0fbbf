// The bars the symbol check judges are the bars the picture shows: for each symbology, with
// and without add-on, at 96, 203 and 600 dpi, turned and not, the check's rectangles for
// the bars, the guards and the add-on's bars are compared with the dark runs read off the
// painted pixels along the bar rows and down the bar columns.

#include <QGuiApplication>
#include <QTest>

#include "check/symbolcheck.h"
#include "tests/outputcases.h"

namespace {

using outputcases::Case;

// The picture's pixels as the unturned symbol's: a turned picture is read through the turn,
// so the same rectangles apply to both.
struct Pixels {
    QImage image;
    bool turned;
    int width() const { return turned ? image.height() : image.width(); }
    int height() const { return turned ? image.width() : image.height(); }
    bool dark(int x, int y) const {
        if (x < 0 || y < 0 || x >= width() || y >= height()) return false;
        // Turned clockwise: the unturned (x, y) is at (height - 1 - y, x).
        const QRgb p = turned ? image.pixel(height() - 1 - y, x) : image.pixel(x, y);
        return qGray(p) < 128;
    }
    // The dark runs of row y as [left, right] columns.
    std::vector<std::pair<int, int>> runs(int y) const {
        std::vector<std::pair<int, int>> out;
        for (int x = 0; x < width(); ++x) {
            if (!dark(x, y)) continue;
            const int left = x;
            while (dark(x + 1, y)) ++x;
            out.emplace_back(left, x);
        }
        return out;
    }
    // The rows [top, bottom] of the dark run down column x through row y.
    std::pair<int, int> column(int x, int y) const {
        int top = y, bottom = y;
        while (dark(x, top - 1)) --top;
        while (dark(x, bottom + 1)) ++bottom;
        return {top, bottom};
    }
};

// The bars of `area` as the pixels show them along its middle row: the rectangle from the
// first dark run's left edge to the last one's right edge, and the rows of the dark run down
// each bar's left column, all of which must agree (the longest is taken; `guards` lists the
// longer bars separately).
struct Seen {
    QRect area;
    std::vector<QRect> bars;  // each dark run with its column's extent
};

Seen barsIn(const Pixels& p, const QRect& area) {
    Seen seen;
    const int y = area.top() + area.height() / 2;
    for (const auto& [left, right] : p.runs(y)) {
        if (right < area.left() || left > area.right()) continue;
        const auto [top, bottom] = p.column(left, y);
        seen.bars.push_back(QRect(QPoint(left, top), QPoint(right, bottom)));
        seen.area = seen.area.isNull() ? QRect(QPoint(left, y), QPoint(right, y))
                                       : seen.area.united(QRect(QPoint(left, y), QPoint(right, y)));
    }
    return seen;
}

class BarPlaces : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { surface::registerFontSubstitutes(); }

    void checkRectanglesArePaintedBars_data() {
        QTest::addColumn<int>("index");
        const auto cases = outputcases::all();
        for (std::size_t i = 0; i < cases.size(); ++i)
            QTest::newRow(qPrintable(cases[i].name())) << int(i);
    }

    void checkRectanglesArePaintedBars() {
        QFETCH(int, index);
        const Case c = outputcases::all()[std::size_t(index)];
        const symbols::BuildResult r = outputcases::build(c);
        QVERIFY(r.built());
        const check::CheckInput in = check::checkInputOf(c.symbology, r);
        const symbols::SymbolGeometry& g = in.geometry;
        const QImage shown =
            c.turned ? surface::turnedClockwise(r.picture).image() : r.picture.image();
        const Pixels p{shown, c.turned};
        QVERIFY(!g.bars.isEmpty());

        // The main symbol: every dark run across its middle row lies in the bars' columns,
        // from their left edge to their right edge; each bar runs down from the bars' top to
        // their bottom, or to its guard's bottom.
        const Seen main = barsIn(p, g.bars);
        QVERIFY(!main.bars.empty());
        QCOMPARE(main.area.left(), g.bars.left());
        QCOMPARE(main.area.right(), g.bars.right());
        QVERIFY(!p.dark(g.bars.left() - 1, g.bars.center().y()));
        QVERIFY(!p.dark(g.bars.right() + 1, g.bars.center().y()) || !g.addOnBars.isEmpty());
        for (const QRect& bar : main.bars) {
            QCOMPARE(bar.top(), g.bars.top());
            const check::BarArea* guard = nullptr;
            for (const check::BarArea& a : g.guards)
                if (a.rect.left() <= bar.left() && bar.right() <= a.rect.right()) guard = &a;
            if (guard == nullptr || guard->rect.bottom() == g.bars.bottom()) {
                QCOMPARE(bar.bottom(), g.bars.bottom());
            } else {
                // A digit's cell may cover the foot of a guard bar it stands under.
                QVERIFY2(bar.bottom() <= guard->rect.bottom() && bar.bottom() > g.bars.bottom(),
                         qPrintable(QStringLiteral("%1: bar at x %2 ends on row %3")
                                        .arg(guard->name)
                                        .arg(bar.left())
                                        .arg(bar.bottom())));
            }
        }
        // Each guard starts on a bar's left edge and ends on a bar's right edge, and its
        // bars are the longest.
        QVERIFY(!g.guards.empty());
        for (const check::BarArea& a : g.guards) {
            int first = -1, last = -1, bottom = -1;
            for (const QRect& bar : main.bars) {
                if (bar.right() < a.rect.left() || bar.left() > a.rect.right()) continue;
                if (first < 0) first = bar.left();
                last = bar.right();
                bottom = std::max(bottom, bar.bottom());
            }
            QCOMPARE(first, a.rect.left());
            QCOMPARE(last, a.rect.right());
            QCOMPARE(a.rect.top(), g.bars.top());
            QCOMPARE(bottom, a.rect.bottom());
        }

        // The bars are the module string --modules prints: read module by module across the
        // middle row (Code 39 at ratio 2 has wide elements of two narrow modules).
        QString read;
        for (int x = g.bars.left() + g.modulePx / 2; x <= g.bars.right(); x += g.modulePx)
            read += p.dark(x, g.bars.center().y()) ? QLatin1Char('1') : QLatin1Char('0');
        const symbols::SymbologyRow& row = symbols::symbology(c.symbology);
        QCOMPARE(read, row.modules(QString::fromLatin1(c.message)));

        // The add-on: its bars fill its rectangle from edge to edge, all of one height.
        if (c.addOn.isEmpty()) {
            QVERIFY(g.addOnBars.isEmpty());
            return;
        }
        QVERIFY(!g.addOnBars.isEmpty());
        const Seen addOn = barsIn(p, g.addOnBars);
        QVERIFY(!addOn.bars.empty());
        QCOMPARE(addOn.area.left(), g.addOnBars.left());
        QCOMPARE(addOn.area.right(), g.addOnBars.right());
        for (const QRect& bar : addOn.bars) {
            QCOMPARE(bar.top(), g.addOnBars.top());
            QCOMPARE(bar.bottom(), g.addOnBars.bottom());
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    BarPlaces t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_barplaces.moc"
