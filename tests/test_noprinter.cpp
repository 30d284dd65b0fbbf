// Printing with no print system to reach (the CUPS scheduler named does not exist): Print
// says "Printer is Error", as when no printer is installed, not a job error with a number.

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "formtesting.h"
#include "surface/printing.h"

class NoPrinterTest : public QObject {
    Q_OBJECT

  private slots:
    void printWithoutAPrintSystem() {
        formtesting::Session s;
        surface::Bitmap picture;
        picture.setSize(10, 10);
        globals::setPrintBitmap(picture);
        Tpringfm dialog;
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QCOMPARE(s.texts(), QStringList{QStringLiteral("Printer is Error")});
    }

    void aPrinterChosenByNameThatNobodyServes() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(QStringLiteral("marlisk-pdf"));
        surface::Bitmap picture;
        picture.setSize(10, 10);
        QCOMPARE(printing::printPicture(printer, picture, 0, 0, 96, Qt::black),
                 QStringLiteral("Printer is Error"));
    }
};

int main(int argc, char** argv) {
    // A scheduler socket that does not exist: no printer can be reached.
    qputenv("CUPS_SERVER", "/nonexistent/marlisk-no-cups.sock");
    QApplication app(argc, argv);
    NoPrinterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_noprinter.moc"
