// EAN-13 pictures as a scanner reads them: every picture the build makes is handed to the
// zbar decoder, which must read back the 13 digits (check digit included) and the add-on.

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include "symbols/ena13build.h"
#include "zbarscan.h"

class Ena13ScanTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (zbarscan::program().isEmpty())
            QFAIL("zbarimg (the zbar decoder) is not installed; the pictures cannot be scanned");
        QVERIFY(dir_.isValid());
    }

    void decodes_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("full");  // with its check digit, as a scanner reads it
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("addOn");
        // Every first digit (every parity row), each with and without a comment line and
        // with no add-on, a 2-digit and a 5-digit one.
        const QString bodies[10] = {"01234567890", "23456789012", "34567890123", "45678901234",
                                    "56789012345", "67890123456", "78901234567", "89012345678",
                                    "90123456789", "98765432109"};
        const QString fulls[10] = {
            "0012345678905", "1234567890128", "2345678901234", "3456789012340", "4567890123456",
            "5678901234562", "6789012345678", "7890123456784", "8901234567890", "9987654321099"};
        const QString addOns[3] = {QString(), QStringLiteral("12"), QStringLiteral("52495")};
        for (int first = 0; first < 10; ++first) {
            const QString message = QString::number(first) + bodies[first];
            for (const QString& comment : {QString(), QStringLiteral("Lot 42")})
                for (const QString& addOn : addOns)
                    QTest::addRow("first digit %d%s%s%s", first,
                                  comment.isEmpty() ? "" : ", comment",
                                  addOn.isEmpty() ? "" : ", add-on ", qPrintable(addOn))
                        << message << fulls[first] << comment << addOn;
        }
    }
    void decodes() {
        QFETCH(QString, message);
        QFETCH(QString, full);
        QFETCH(QString, comment);
        QFETCH(QString, addOn);
        symbols::Ena13Inputs in;
        in.height = QStringLiteral("1.3");
        in.width = QStringLiteral("2");
        in.message = message;
        in.comment = comment;
        in.supplemental = addOn;
        symbols::BuildContext context;
        context.dpi = 96;
        const symbols::BuildResult r = symbols::buildEna13(in, context);
        QVERIFY(r.built());
        QStringList expected{QStringLiteral("EAN-13:") + full};
        if (addOn.size() == 2) expected.append(QStringLiteral("EAN-2:") + addOn);
        if (addOn.size() == 5) expected.append(QStringLiteral("EAN-5:") + addOn);
        expected.sort();
        const QString path = dir_.filePath(QString::number(++count_) + QStringLiteral(".png"));
        const QStringList got = zbarscan::scan(
            r.picture, path, {QStringLiteral("-Sean2.enable"), QStringLiteral("-Sean5.enable")});
        QCOMPARE(got, expected);
    }

  private:
    QTemporaryDir dir_;
    int count_ = 0;
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    Ena13ScanTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_ena13scan.moc"
