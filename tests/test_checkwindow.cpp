// The symbol check in the window: after each Build/Copy its summary is in the first status
// panel and its findings in the preview's tooltip; "Symbol check…" shows the full report.
// Each row is a symbol a user might build, with the summary and one finding it must show.

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/symbolcheckdialog.h"
#include "formtesting.h"

using formtesting::Session;
using formtesting::setField;

namespace {
// Page values that give every symbol its quiet zones.
const QByteArray kRoomy = "[pagesetting]\nftop=100\nfdown=100\nfleft=200\nfright=200\nfiwidth=50\n";

// Builds in the form of `menu` with `fields` (name=value) and returns it.
DesignerForm* built(Session& s, const QString& menu, const QStringList& fields) {
    Tmainfm& w = s.start();
    w.menuItem(menu)->trigger();
    auto* form = qobject_cast<DesignerForm*>(w.currentForm());
    if (form == nullptr) return nullptr;
    for (const QString& f : fields)
        setField(form, qPrintable(f.section('=', 0, 0)), f.section('=', 1));
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    return form;
}

// The report dialog's lines, as the user sees them.
QString reportShown(DesignerForm& form) {
    QString shown;
    DesignerForm::reportDialogHook() = [&shown](QDialog& d) {
        shown = d.findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText();
    };
    QMenu* offered = nullptr;
    DesignerForm::previewMenuHook() = [&offered](QMenu& menu) {
        for (QAction* a : menu.actions())
            if (a->text() == QStringLiteral("Symbol check\u2026")) a->trigger();
        offered = &menu;
    };
    emit form.Image1->customContextMenuRequested(QPoint(1, 1));
    DesignerForm::previewMenuHook() = {};
    DesignerForm::reportDialogHook() = {};
    return shown;
}
}  // namespace

class CheckWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void summaryAndFindingsAfterBuildCopy_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("finding");  // a line of the tooltip
        QTest::newRow("Code 39 with no page values: no quiet zone")
            << QByteArray() << "C391" << QStringList{"barcodeedt=CODE39"} << "Check: 3 warnings"
            << "warn: the left quiet zone is 0 narrow widths (no blank columns), less than the "
               "10 Code 39 needs";
        QTest::newRow("UPC-A 5-mil module: no bars")
            << QByteArray() << "upca1" << QStringList{"barcodeedt=03600029145", "barwidth=5"}
            << "Does not scan"
            << "fail: no bars: a 5-mil module is 0 pixels at 96 dpi";
        QTest::newRow("EAN-8 add-on under its digits: a wrong add-on read")
            << QByteArray() << "EAN81" << QStringList{"barcodeedt=9638507", "Supplementaltxt=12"}
            << "Does not scan"
            << "fail: zbar: row 9 reads add-on 51, expected 12";
        QTest::newRow("EAN-13 large interval: no bars")
            << QByteArray("[pagesetting]\nfiwidth=500\n") << "ENA13"
            << QStringList{"barcodeedt=012345678905", "ComboBox1=2"} << "Does not scan"
            << "fail: no bars: the bars are -59 pixels high";
        QTest::newRow("UPC-E with room")
            << kRoomy << "UPCE1" << QStringList{"barcodeedt=123456"} << "Scan OK"
            << "";
    }
    void summaryAndFindingsAfterBuildCopy() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, menu);
        QFETCH(QStringList, fields);
        QFETCH(QString, summary);
        QFETCH(QString, finding);
        Session s(ini.isEmpty() ? std::nullopt : std::optional<QByteArray>(ini));
        DesignerForm* form = built(s, menu, fields);
        QVERIFY(form != nullptr);
        QCOMPARE(s.clipboardCopies, 1);

        QLabel* panel = s.window->statusPanel(0);
        QCOMPARE(panel->text(), summary);
        const QStringList tip = form->Image1->toolTip().split(QLatin1Char('\n'));
        QCOMPARE(tip.first(), summary);
        if (!finding.isEmpty()) QVERIFY2(tip.contains(finding), qPrintable(tip.join('\n')));
        QCOMPARE(panel->toolTip(), form->Image1->toolTip());
        // The summary fits its panel, which keeps its width, in a readable size.
        QCOMPARE(panel->width(), 100);
        QVERIFY2(panel->fontMetrics().horizontalAdvance(summary) <= panel->contentsRect().width(),
                 qPrintable(summary));
        QVERIFY(panel->font().pointSizeF() >= 7);
        // The other panels are as they were: the stored name, and nothing.
        QVERIFY(!s.window->statusPanel(1)->text().isEmpty());
        QCOMPARE(s.window->statusPanel(2)->text(), QString());

        // The report lists every finding, the tooltip's among them.
        const QString report = reportShown(*form);
        QCOMPARE(report.count(QLatin1Char('\n')) + 1, int(form->findings().size()));
        if (!finding.isEmpty())
            QVERIFY2(report.contains(finding.section(QStringLiteral(": "), 1)), qPrintable(report));
    }

    // The summary belongs to the symbol in the preview: a refused build that clears the
    // preview clears it, and so does choosing another symbology.
    void summaryGoesWithTheSymbol() {
        Session s;
        DesignerForm* form = built(s, QStringLiteral("C391"), {"barcodeedt=CODE39"});
        QVERIFY(form != nullptr);
        QCOMPARE(s.window->statusPanel(0)->text(), QStringLiteral("Check: 3 warnings"));

        setField(form, "fheightedt", QStringLiteral("x"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(s.window->statusPanel(0)->text(), QString());
        QCOMPARE(form->Image1->toolTip(), QString());
        QVERIFY(form->findings().empty());

        setField(form, "fheightedt", QStringLiteral("1.2"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(s.window->statusPanel(0)->text(), QStringLiteral("Check: 3 warnings"));

        // A message the drawing refuses leaves nothing to save, copy or check, though the
        // symbol was laid out before the refusal.
        setField(form, "barcodeedt", QStringLiteral("A"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(s.window->statusPanel(0)->text(), QString());
        s.saveAnswers << s.dir.filePath(QStringLiteral("refused.png"));
        form->savePictureAs();
        QVERIFY(s.saveDialogFolders.isEmpty());
        QCOMPARE(reportShown(*form), QString());
        setField(form, "barcodeedt", QStringLiteral("CODE39"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        s.window->menuItem(QStringLiteral("UPCE1"))->trigger();
        QCOMPARE(s.window->statusPanel(0)->text(), QString());
        QCOMPARE(s.window->statusPanel(1)->text(), QStringLiteral("Bar Code UPC-E"));
    }

    // Before the first build there is nothing to report.
    void nothingToReportBeforeABuild() {
        Session s;
        Tmainfm& w = s.start();
        w.menuItem(QStringLiteral("EAN81"))->trigger();
        auto* form = qobject_cast<DesignerForm*>(w.currentForm());
        QVERIFY(form != nullptr);
        QCOMPARE(reportShown(*form), QString());
        QCOMPARE(w.statusPanel(0)->text(), QString());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CheckWindowTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_checkwindow.moc"
