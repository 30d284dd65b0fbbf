// On a screen scaled by 2 (QT_SCALE_FACTOR=2: 96 logical dots per inch, two device pixels
// to one), pictures are made at 192 dpi and shown one picture pixel to one device pixel.

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "designers/C39form.h"
#include "formtesting.h"

class HiDpiTest : public QObject {
    Q_OBJECT

  private slots:
    void defaultCode39IsMadeAndShownAtDeviceResolution() {
        formtesting::Session s(QByteArray("[Symbology]\nChecked=Bar Code C39\n"));
        surface::setScreenDpiOverride(0);  // the screen's own resolution
        QCOMPARE(surface::screenDpi(), 192);
        Tmainfm& w = s.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* form = formtesting::hostedForm<Tc39fm>(w);
        QVERIFY(form != nullptr);
        form->barcodeedt->setText(QStringLiteral("AB"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QVERIFY(s.messages.empty());

        // Defaults at 192 dpi: bar height Round(1.2 x 192) = 230, narrow Round(0.023 x 192)
        // = 4, wide 8; four characters of 3 wide and 6 narrow bars and three gaps: 204.
        QCOMPARE(QSize(s.clipboard.width(), s.clipboard.height()), QSize(204, 230));
        QCOMPARE(form->Label4->text(), QStringLiteral("Bar Code Height:        1.20    inches"));
        QCOMPARE(form->Label5->text(), QStringLiteral("Bar Code Width:       1.06    inches"));
        QCOMPARE(form->Image1->size(), QSize(102, 115));  // in screen units

        // What the screen shows of the preview: the picture's own pixels, unblended.
        const QImage shown = form->Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(204, 230));
        int bar = 0, other = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb p = shown.pixel(x, y) & 0xFFFFFF;
                if (p == 0x000000)
                    ++bar;
                else if (p != 0xFFFFFF)
                    ++other;
                if (p != (s.clipboard.pixel(x, y) & 0xFFFFFF)) ++other;
            }
        }
        QVERIFY(bar > 0);
        QCOMPARE(other, 0);
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"
