// The drawing surface: what the symbols rely on from fills, text cells, resizing,
// stretching and turning.

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <functional>
#include <vector>

#include "surface/bitmap.h"
#include "surface/clipboard.h"
#include "surface/glyphcache.h"
#include "surface/limits.h"
#include "surface/rounding.h"
#include "surface/vectorexport.h"

using surface::Bitmap;

namespace {
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

int countColour(const Bitmap& b, QRgb c) {
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) == c;
    return n;
}

// Pixels of `part` that differ from `whole` at `offset`, and black pixels of `part`.
std::pair<int, int> compareToWhole(const Bitmap& part, const Bitmap& whole, QPoint offset) {
    int differing = 0, dark = 0;
    for (int py = 0; py < part.height(); ++py) {
        for (int px = 0; px < part.width(); ++px) {
            differing += part.pixel(px, py) != whole.pixel(px + offset.x(), py + offset.y());
            dark += part.pixel(px, py) == kBlack;
        }
    }
    return {differing, dark};
}

Bitmap white(int w, int h) {
    Bitmap b;
    b.setBrushColor(Qt::white);
    b.setSize(w, h);
    return b;
}

// Drawing steps, for pictures drawn the same way twice.
using Step = std::function<void(Bitmap&)>;
Step fill(int x1, int y1, int x2, int y2, QRgb colour) {
    return [=](Bitmap& b) {
        b.setBrushColor(QColor::fromRgb(colour));
        b.fillRect(x1, y1, x2, y2);
    };
}
Step text(int x, int y, const char* s, int points = 8, QRgb ink = kBlack) {
    return [=](Bitmap& b) {
        surface::Font f;
        f.pointSize = points;
        f.color = QColor::fromRgb(ink);
        b.assignFont(f);
        b.setBrushColor(Qt::white);
        b.textOut(x, y, QString::fromLatin1(s));
    };
}
Step resize(int w, int h, QRgb brush = kWhite) {
    return [=](Bitmap& b) {
        b.setBrushColor(QColor::fromRgb(brush));
        b.setSize(w, h);
    };
}

struct Drawing {
    const char* name;
    std::vector<Step> steps;
};

// Bars of a symbol, `n` of them two pixels wide from x, rows y1 to y2.
std::vector<Step> bars(int x, int y1, int y2, int n) {
    std::vector<Step> out;
    for (int i = 0; i < n; ++i) out.push_back(fill(x + 4 * i, y1, x + 4 * i + 2, y2, kBlack));
    return out;
}

std::vector<Drawing> drawings() {
    const auto with = [](std::vector<Step> a, const std::vector<Step>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    return {
        {"bars, digits whose cells cover some, more bars over the digits",
         with(with(with({resize(60, 40)}, bars(2, 3, 30, 8)),
                   {text(6, 22, "12"), text(30, 24, "7")}),
              bars(4, 5, 38, 6))},
        {"text cut at every edge",
         {resize(40, 30), fill(0, 0, 40, 30, 0x336699), text(-4, -5, "88"), text(30, 20, "88"),
          text(-3, 22, "W"), text(34, -6, "W", 8, 0xCC0000)}},
        {"grown after drawing, as an add-on is",
         with(with({resize(50, 40)}, bars(3, 4, 36, 9)),
              with({resize(90, 40, 0xEEEEEE), text(60, 2, "51")}, bars(55, 16, 36, 8)))},
        {"grown both ways, then shrunk, then grown",
         with(with({resize(30, 20), text(2, 2, "5")}, bars(1, 0, 20, 6)),
              {resize(45, 35, 0x00FF00), fill(20, 15, 44, 34, 0x0000FF), resize(25, 30),
               text(10, 18, "0"), resize(50, 31, 0xFF0000)})},
        {"text larger than the picture between bars",
         with(with({resize(70, 30)}, bars(2, 0, 30, 10)),
              with({text(-10, -20, "WWW", 60, 0x00AA00)}, bars(5, 0, 25, 10)))},
        {"more colours than an index holds",
         [] {
             std::vector<Step> steps{resize(40, 20)};
             for (int i = 0; i < 300; ++i)
                 steps.push_back(fill(i % 40, i / 40, i % 40 + 1, 20, QRgb(i * 997)));
             steps.push_back(text(3, 4, "8"));
             return steps;
         }()},
        {"one column and one row",
         {resize(1, 30), fill(0, 3, 1, 9, kBlack), text(0, 10, "1"), resize(30, 30),
          fill(0, 29, 30, 30, 0x123456)}},
        {"modules side by side, spaces in the background colour, white over black",
         {resize(60, 30), fill(2, 0, 4, 20, kBlack), fill(4, 0, 6, 20, kBlack),
          fill(5, 0, 9, 20, kBlack), fill(9, 0, 12, 20, kWhite), fill(12, 0, 14, 21, kBlack),
          fill(14, 0, 16, 20, kBlack), fill(3, 5, 5, 8, kWhite), fill(20, 0, 40, 30, kWhite)}},
        {"grown in the background's colour",
         {resize(30, 20), fill(2, 0, 4, 20, kBlack), resize(50, 25), fill(40, 0, 42, 10, kBlack)}},
        {"a new background over bars",
         {resize(60, 30), fill(10, 0, 12, 30, kBlack), fill(0, 0, 60, 30, 0x884422),
          fill(30, 2, 32, 25, kWhite), fill(32, 2, 34, 25, kWhite), fill(10, 5, 12, 6, 0x884422),
          fill(31, 10, 33, 12, 0x884422)}},
        {"digits cut on the left and on the right",
         {resize(80, 60), text(-3, 4, "8"), text(76, 40, "0"), text(30, -4, "8"),
          text(50, 54, "0")}},
        {"fills and cells laid over earlier glyphs",
         {resize(60, 30), text(4, 6, "88"), fill(5, 8, 7, 14, kWhite), fill(8, 0, 10, 30, kBlack),
          text(30, 6, "8"), text(33, 8, "0"), text(44, 6, "W"), fill(40, 10, 60, 12, 0x00AA00)}},
        {"glyphs wider than 64 pixels",
         {resize(220, 70), fill(0, 0, 220, 70, 0xDDDDDD), text(3, 2, "WMWM", 20),
          text(-20, 40, "WWWWW", 12, 0x0000CC), fill(100, 0, 102, 70, kBlack)}},
    };
}
}  // namespace

class SurfaceTest : public QObject {
    Q_OBJECT
  private slots:
    void roundsHalvesToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5 goes down to even") << 2.5 << 2;
        QTest::newRow("3.5 goes up to even") << 3.5 << 4;
        QTest::newRow("1.5 mils-to-pixels case") << 1.5 << 2;
        QTest::newRow("4.5 mils-to-pixels case") << 4.5 << 4;
        QTest::newRow("-2.5 to even") << -2.5 << -2;
        QTest::newRow("just above a half") << 2.5000001 << 3;
        QTest::newRow("huge saturates") << 1e308 << INT_MAX;
        QTest::newRow("nan gives 0") << std::nan("") << 0;
    }
    void roundsHalvesToEven() {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(surface::roundToInt(value), expected);
    }

    void fillIsHalfOpen() {
        Bitmap b = white(10, 10);
        b.setBrushColor(Qt::black);
        b.fillRect(0, 0, 2, 5);
        QCOMPARE(countColour(b, kBlack), 10);
        QCOMPARE(b.pixel(1, 4), kBlack);
        QCOMPARE(b.pixel(2, 4), kWhite);
        QCOMPARE(b.pixel(1, 5), kWhite);
        b.fillRect(5, 5, 5, 9);    // empty
        b.fillRect(8, 8, 20, 20);  // clipped
        QCOMPARE(countColour(b, kBlack), 14);
    }

    void resizeKeepsPixelsAndFillsWithBrush() {
        Bitmap b = white(4, 3);
        b.setBrushColor(Qt::black);
        b.fillRect(0, 0, 4, 3);
        b.setBrushColor(Qt::white);
        b.setWidth(6);
        QCOMPARE(b.width(), 6);
        QCOMPARE(b.pixel(3, 2), kBlack);
        QCOMPARE(b.pixel(4, 0), kWhite);
        QCOMPARE(b.pixel(5, 2), kWhite);
        b.setBrushColor(Qt::red);
        b.setSize(2, 5);
        QCOMPARE(b.pixel(1, 2), kBlack);
        QCOMPARE(b.pixel(1, 4), QColor(Qt::red).rgb() & 0xFFFFFF);
        b.setSize(0, 5);
        QVERIFY(b.isEmpty());
    }

    // Fills and text wait to be painted until their pixels are wanted; whatever the order
    // of the steps, the picture is the one painting each step at once gives.
    void paintedLaterAsPaintedAtOnce_data() {
        QTest::addColumn<int>("drawing");
        const std::vector<Drawing> all = drawings();
        for (std::size_t i = 0; i < all.size(); ++i) QTest::newRow(all[i].name) << int(i);
    }
    void paintedLaterAsPaintedAtOnce() {
        QFETCH(int, drawing);
        const Drawing d = drawings()[std::size_t(drawing)];
        // `direct` keeps no operations after its first step: every step sets pixels there
        // and then, nothing left out and nothing joined.
        Bitmap later, atOnce, direct;
        for (const Step& step : d.steps) {
            step(later);
            step(atOnce);
            step(direct);
            if (!atOnce.isEmpty()) (void)atOnce.pixel(0, 0);  // its pixels, now
            if (direct.drawing() != nullptr) direct.setPixel(0, 0, direct.pixel(0, 0));
        }
        const auto rgb = [](const Bitmap& b) {
            return b.image().convertToFormat(QImage::Format_RGB32);
        };
        QCOMPARE(rgb(later), rgb(atOnce));
        QCOMPARE(rgb(later), rgb(direct));
        QVERIFY(later.drawing() != nullptr);
    }

    // A bar of several modules comes one module at a time; the vectors hold it as one
    // rectangle. A space in the colour of a fresh picture is no rectangle at all, but the
    // same colour over a bar is.
    void barsAreKeptAsFewRectangles() {
        Bitmap b = white(40, 20);
        b.setBrushColor(Qt::black);
        b.fillRect(2, 0, 4, 20);
        b.fillRect(4, 0, 6, 20);
        b.setBrushColor(Qt::white);
        b.fillRect(6, 0, 8, 20);
        b.fillRect(3, 2, 5, 4);
        b.setBrushColor(Qt::black);
        b.fillRect(8, 0, 10, 18);  // other rows: a rectangle of its own
        QVERIFY(b.drawing() != nullptr);
        const std::vector<surface::Drawing::Mark>& ops = b.drawing()->marks;
        QCOMPARE(int(ops.size()), 4);
        QCOMPARE(ops[1].rect, QRect(2, 0, 4, 20));
        QCOMPARE(ops[2].rect, QRect(3, 2, 2, 2));
        QCOMPARE(ops[3].rect, QRect(8, 0, 2, 18));
        QCOMPARE(b.pixel(3, 3), kWhite);
        QCOMPARE(b.pixel(5, 3), kBlack);
    }

    void textCellIsFilledWithBrushAtTopLeft() {
        Bitmap b = white(100, 40);
        b.setBrushColor(Qt::black);
        b.fillRect(0, 0, 100, 40);
        b.setBrushColor(Qt::white);
        b.assignFont(surface::Font{});
        QVERIFY(b.textOut(10, 5, QStringLiteral("88")));
        const QSize cell = b.textExtent(QStringLiteral("88"));
        QVERIFY(cell.width() > 0 && cell.height() > 0);
        // Just outside the cell stays black; the cell's corners are white background.
        QCOMPARE(b.pixel(9, 5), kBlack);
        QCOMPARE(b.pixel(10, 4), kBlack);
        QCOMPARE(b.pixel(10, 5), kWhite);
        QCOMPARE(b.pixel(10 + cell.width(), 5), kBlack);
        QCOMPARE(b.pixel(10, 5 + cell.height()), kBlack);
        // Some glyph pixels are drawn in the font colour inside the cell.
        int dark = 0;
        for (int y = 5; y < 5 + cell.height(); ++y)
            for (int x = 10; x < 10 + cell.width(); ++x) dark += b.pixel(x, y) == kBlack;
        QVERIFY(dark > 0);
    }

    void stretchReplicatesPixelsWithoutBlending() {
        Bitmap src = white(2, 1);
        src.setPixel(0, 0, kBlack);
        Bitmap dst = white(7, 3);
        dst.copyRect(QRect(0, 0, 7, 3), src, QRect(0, 0, 2, 1));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 7; ++x) {
                const QRgb p = dst.pixel(x, y);
                QVERIFY2(p == kBlack || p == kWhite, "stretch must not blend");
            }
        }
        QCOMPARE(dst.pixel(0, 1), kBlack);
        QCOMPARE(dst.pixel(6, 1), kWhite);
        QCOMPARE(countColour(dst, kBlack), 3 * 3 + 3 * 0 + 0);  // left half of 7 -> 3 columns
    }

    void turnClockwiseMapsCorners() {
        Bitmap s = white(150, 155);
        s.setPixel(0, 154, 0x112233);  // bottom-left
        s.setPixel(0, 0, 0x445566);    // top-left
        s.setPixel(149, 0, 0x778899);  // top-right
        const Bitmap t = surface::turnedClockwise(s);
        QCOMPARE(t.width(), 155);
        QCOMPARE(t.height(), 150);
        QCOMPARE(t.pixel(0, 0), QRgb(0x112233));
        QCOMPARE(t.pixel(154, 0), QRgb(0x445566));
        QCOMPARE(t.pixel(154, 149), QRgb(0x778899));
    }

    // What reaches the clipboard: the bitmap with its resolution, and the same picture as SVG.
    void clipboardOffersBitmapAndVectors() {
        Bitmap b = white(40, 20);
        b.setDpi(300);
        b.setBrushColor(Qt::black);
        b.fillRect(5, 0, 9, 20);
        QVERIFY(surface::placeOnClipboard(b));
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data->hasImage());
        const QImage img = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(img.size(), QSize(40, 20));
        QVERIFY(qAbs(img.dotsPerMeterX() * 0.0254 - 300) < 0.5);
        const QByteArray svg = data->data(QStringLiteral("image/svg+xml"));
        QVERIFY(svg.contains("<rect x=\"5\" y=\"0\" width=\"4\" height=\"20\" fill=\"#000000\"/>"));
        QVERIFY(svg.contains("width=\"0.1333333333in\""));
    }

    void vectorsEndWithPixelWrites() {
        Bitmap b = white(4, 4);
        QVERIFY(b.drawing() != nullptr);
        b.setPixel(1, 1, kBlack);
        QVERIFY(b.drawing() == nullptr);
        QVERIFY(surface::turnedClockwise(white(3, 3)).drawing() == nullptr);
    }

    // A line of text far wider than the picture (a comment of thousands of characters in a
    // large font) costs the pixels of the picture, not those of the whole line; text that
    // cannot reach the picture costs nothing.
    void textWorkIsBoundedByThePicture_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("characters");
        QTest::addColumn<quint64>("mostPixels");
        QTest::newRow("2,000 W at 100 points on 300 x 160") << 0 << 0 << 2000 << quint64(48000);
        QTest::newRow("10,000 W starting left of the picture")
            << -50000 << 10 << 10000 << quint64(48000);
        QTest::newRow("wholly right of the picture") << 600 << 0 << 2000 << quint64(0);
        QTest::newRow("wholly above the picture") << 0 << -1000 << 2000 << quint64(0);
        QTest::newRow("ending left of the picture") << -1000000 << 0 << 2000 << quint64(0);
    }
    void textWorkIsBoundedByThePicture() {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, characters);
        QFETCH(quint64, mostPixels);
        Bitmap b = white(300, 160);
        surface::Font font;
        font.family = QStringLiteral("DejaVu Sans");
        font.pointSize = 100;
        b.assignFont(font);
        const std::uint64_t before = surface::glyphPixelsRendered();
        QVERIFY(b.textOut(x, y, QString(characters, QLatin1Char('W'))));
        QVERIFY(surface::glyphPixelsRendered() - before <= mostPixels);
        if (mostPixels > 0) QVERIFY(countColour(b, kBlack) > 1000);  // the glyphs are there
    }

    // Text rendered for the visible part alone has the very pixels of text drawn whole.
    void clippedTextHasTheWholeTextsPixels() {
        surface::Font font;
        font.family = QStringLiteral("DejaVu Sans");
        font.pointSize = 20;
        font.italic = true;
        Bitmap whole = white(300, 120);
        whole.assignFont(font);
        QVERIFY(whole.textOut(80, 30, QStringLiteral("Clipped Wg/")));
        Bitmap part = white(60, 40);
        part.assignFont(font);
        QVERIFY(part.textOut(-20, 3, QStringLiteral("Clipped Wg/")));
        const auto [differing, dark] = compareToWhole(part, whole, QPoint(100, 27));
        QCOMPARE(differing, 0);
        QVERIFY(dark > 20);
    }

    // Text cut by the picture's edge, on a picture larger than the text, is rendered once
    // and kept (a symbol writes its first digit beside the edge every time), and still has
    // the pixels of the text drawn whole.
    void textAtTheEdgeIsRenderedOnce_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("kept");
        QTest::newRow("cut on the left, picture larger than the text")
            << QSize(260, 110) << QPoint(-20, 3) << true;
        QTest::newRow("cut at the bottom, picture larger than the text")
            << QSize(260, 110) << QPoint(10, 95) << true;
        QTest::newRow("cut on the left, picture smaller than the text")
            << QSize(60, 40) << QPoint(-20, 3) << false;
    }
    void textAtTheEdgeIsRenderedOnce() {
        QFETCH(QSize, size);
        QFETCH(QPoint, at);
        QFETCH(bool, kept);
        surface::Font font;
        font.family = QStringLiteral("DejaVu Sans");
        font.pointSize = 19;
        font.italic = true;
        const QString text = QStringLiteral("Edge Wg/");
        Bitmap whole = white(400, 200);
        whole.assignFont(font);
        QVERIFY(whole.textOut(100 + at.x(), 50 + at.y(), text));
        std::uint64_t rendered = 0;
        for (int round = 0; round < 2; ++round) {
            Bitmap part = white(size.width(), size.height());
            part.assignFont(font);
            rendered = surface::glyphPixelsRendered();
            QVERIFY(part.textOut(at.x(), at.y(), text));
            rendered = surface::glyphPixelsRendered() - rendered;
            const auto [differing, dark] = compareToWhole(part, whole, QPoint(100, 50));
            QCOMPARE(differing, 0);
            QVERIFY(dark > 20);
        }
        QCOMPARE(rendered == 0, kept);  // the second time
    }

    void refusesOversizedPictures() {
        QVERIFY(!surface::pictureSizeRefusal(32000, 100));
        QVERIFY(surface::pictureSizeRefusal(32001, 100));
        QVERIFY(surface::pictureSizeRefusal(20000, 20000));  // 1.6 GB
        QVERIFY(surface::pictureSizeRefusal(1e308, 5));
        QVERIFY(surface::pictureSizeRefusal(std::nan(""), 5));
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    SurfaceTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_surface.moc"
