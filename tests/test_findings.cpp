// Faults the fuzz targets found, each kept here so that it stays fixed (those of the
// settings file are kept with its other tests).

#include <QGuiApplication>
#include <QTest>
#include <limits>

#include "symbols/c39.h"

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
}  // namespace

class FindingsTest : public QObject {
    Q_OBJECT

  private slots:
    // A width that is not a number was converted to int: undefined behaviour.
    void c39PatternWidthOfNoNumber_data() {
        QTest::addColumn<int>("narrow");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("width");
        QTest::newRow("NaN ratio") << 5 << kNaN << 0;
        QTest::newRow("no width times an infinite ratio") << 0 << kInf << 0;
        QTest::newRow("infinite ratio saturates") << 5 << kInf << std::numeric_limits<int>::max();
    }
    void c39PatternWidthOfNoNumber() {
        QFETCH(int, narrow);
        QFETCH(double, ratio);
        QFETCH(int, width);
        QCOMPARE(
            symbols::Tc39::PatternWidth(symbols::Tc39::Encode(QStringLiteral("AB")), narrow, ratio),
            width);
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    FindingsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_findings.moc"
