// "Print labels…" in the window: offered after a finished Build/Copy, driven through its
// dialog into the real PDF queue, it prints the same pages marlisk-cli --sheet prints for
// the same inputs; the calibration typed in the dialog is kept for the printer.

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "cupspdf.h"
#include "designers/barfamilyform.h"
#include "dialogs/printlabels.h"
#include "formtesting.h"

namespace {

constexpr auto kQueue = "marlisk-pdf";

// Page 1 of a PDF rasterised at 100 dpi in grey, as PNG bytes.
QByteArray raster(const QString& pdf, const QString& stem) {
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-gray"),
             QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, stem});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    QFile png(stem + QStringLiteral(".png"));
    return png.open(QIODevice::ReadOnly) ? png.readAll() : QByteArray();
}

bool queueReady() {
    QProcess p;
    p.start(QStringLiteral("lpstat"), {QStringLiteral("-p"), QString::fromLatin1(kQueue)});
    return p.waitForFinished(10000) && p.exitCode() == 0;
}

}  // namespace

class LabelsWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void offeredOnlyAfterABuild() {
        formtesting::Session s("[Symbology]\nChecked=Bar Code UPC-A\n");
        Tmainfm& w = s.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* form = formtesting::hostedForm<BarFamilyForm>(w);
        QVERIFY(form);
        int dialogs = 0;
        DesignerForm::labelsDialogHook() = [&dialogs](QDialog&) { ++dialogs; };
        form->printLabels();
        QCOMPARE(dialogs, 0);
        form->barcodeedt->setText(QStringLiteral("03600029145"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QTest::keyClick(form, Qt::Key_L, Qt::ControlModifier);
        DesignerForm::labelsDialogHook() = {};
        QCOMPARE(dialogs, 1);
    }

    // The dialog finds templates by words, tells how many labels go on how many sheets, and
    // refuses a first free label the sheet does not have.
    void dialogCountsLabelsAndSheets() {
        formtesting::Session s;
        Tprintlabelsfm dialog([](int) { return std::nullopt; }, nullptr);
        dialog.searchEdit->setText(QStringLiteral("avery 5160"));
        QVERIFY(dialog.chosenTemplate());
        QCOMPARE(dialog.chosenTemplate()->name(), QStringLiteral("Avery 5160"));
        dialog.copiesEdit->setValue(40);
        dialog.rowEdit->setValue(2);
        QCOMPARE(dialog.summary->text(), QStringLiteral("40 labels on 2 sheet(s) of Avery 5160."));
        dialog.fillCheck->setChecked(true);
        QCOMPARE(dialog.summary->text(), QStringLiteral("27 labels on 1 sheet(s) of Avery 5160."));
        dialog.rowEdit->setValue(11);
        QVERIFY(!dialog.printButton->isEnabled());
        QCOMPARE(dialog.summary->text(),
                 QStringLiteral("an Avery 5160 sheet has no label at row 11, column 1 (it has 10 "
                                "rows of 3 labels)"));
        dialog.searchEdit->setText(QStringLiteral("no such sheet anywhere"));
        QVERIFY(!dialog.chosenTemplate());
        QVERIFY(!dialog.printButton->isEnabled());
    }

    void samePagesAsTheCommandLine() {
        QVERIFY2(queueReady(),
                 "the print queue marlisk-pdf is not set up (tests/services.sh start)");
        formtesting::Session s(
            "[Symbology]\nChecked=Bar Code UPC-A\n[pagesetting]\nftop=50\n"
            "fdown=50\nfleft=150\nfright=150\nfiwidth=50\n");
        Tmainfm& w = s.start();
        auto* form = formtesting::hostedForm<BarFamilyForm>(w);
        QVERIFY(form);
        form->fheightedt->setText(QStringLiteral("0.5"));
        form->barcodeedt->setText(QStringLiteral("03600029145"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);

        DesignerForm::labelsDialogHook() = [](QDialog& d) {
            auto& dialog = static_cast<Tprintlabelsfm&>(d);
            dialog.searchEdit->setText(QStringLiteral("5160"));
            dialog.templateList->setCurrentRow(0);
            for (int i = 0; i < dialog.templateList->count(); ++i)
                if (dialog.templateList->item(i)->data(Qt::UserRole).toString() ==
                    QStringLiteral("Avery 5160"))
                    dialog.templateList->setCurrentRow(i);
            dialog.copiesEdit->setValue(4);
            dialog.rowEdit->setValue(2);
            dialog.columnEdit->setValue(2);
            dialog.printerBox->setCurrentText(QString::fromLatin1(kQueue));
            dialog.dxEdit->setValue(1.5);
            dialog.dyEdit->setValue(-2);
            dialog.sxEdit->setValue(100.5);
            dialog.syEdit->setValue(99.5);
            emit dialog.syEdit->editingFinished();
            QTest::mouseClick(dialog.printButton, Qt::LeftButton);
        };
        Tprintlabelsfm::printDialogHook() = [](QPrintDialog& d) {
            return d.printer()->printerName() == QString::fromLatin1(kQueue);
        };
        const cupspdf::Jobs windowJob;
        form->printLabels();
        DesignerForm::labelsDialogHook() = {};
        Tprintlabelsfm::printDialogHook() = {};
        QVERIFY2(s.messages.empty(), qPrintable(s.texts().join('\n')));
        // The calibration is kept for the queue.
        QVERIFY2(s.readIni().contains("[Calibration]\nmarlisk-pdf=1.5,-2,100.5,99.5"),
                 s.readIni().constData());
        const QString fromWindow = windowJob.waitForNext();
        QVERIFY2(!fromWindow.isEmpty(), "the window's labels did not reach the queue");
        const QByteArray windowPage = raster(fromWindow, s.dir.filePath(QStringLiteral("w")));
        QVERIFY(!windowPage.isEmpty());

        const cupspdf::Jobs cliJob;
        QProcess cli;
        cli.start(QStringLiteral(MARLISK_CLI), {"upca",        "03600029145",
                                                "--height",    "0.5",
                                                "--top",       "50",
                                                "--down",      "50",
                                                "--left",      "150",
                                                "--right",     "150",
                                                "--interval",  "50",
                                                "--sheet",     "Avery 5160",
                                                "--copies",    "4",
                                                "--start",     "2,2",
                                                "--calibrate", "1.5,-2,100.5,99.5",
                                                "--print",     kQueue});
        QVERIFY(cli.waitForFinished(60000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        const QString fromCli = cliJob.waitForNext();
        // The queue may write both jobs under one name: the window's page was read before.
        QVERIFY2(!fromCli.isEmpty(), "marlisk-cli's labels did not reach the queue");
        const QByteArray cliPage = raster(fromCli, s.dir.filePath(QStringLiteral("c")));
        QVERIFY(!cliPage.isEmpty());
        QVERIFY2(QImage::fromData(windowPage) == QImage::fromData(cliPage),
                 "the window's page differs from marlisk-cli's");
    }
};

QTEST_MAIN(LabelsWindowTest)
#include "test_labelswindow.moc"
