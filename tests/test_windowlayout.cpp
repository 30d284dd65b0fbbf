// The window as its tables lay it out: the host panel, each hosted form and its scroll box,
// the keyboard's way through a form, and the toolbar's tooltips.

#include <QAction>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include "formtesting.h"

namespace {
struct FormCase {
    const char* item;  // the Symbology menu item
    QSize client;      // the form's own size
    QSize scrollBox;   // what is left of it below the toolbar, inputs and heading
    // Every tab stop, from the first: hidden and disabled buttons keep their place.
    QStringList tabStops;
    // What Tab presses reach from the first control, before coming back to it.
    QStringList tabWalk;
};

const FormCase kForms[] = {
    {"C391",
     {688, 461},
     {686, 186},
     {"fheightedt", "fnarwidthedt", "natiocbox", "heardtextedt", "barcodeedt", "Button1", "Button3",
      "Button4"},
     {"fheightedt", "fnarwidthedt", "natiocbox", "heardtextedt", "barcodeedt", "Button1"}},
    {"ENA13",
     {686, 444},
     {684, 169},
     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Button4", "ComboBox1", "Button3",
      "Edit1"},
     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "ComboBox1", "Edit1"}},
    {"upca1",
     {688, 445},
     {686, 170},
     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Button4", "Button3",
      "Supplementaltxt", "barwidth"},
     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Supplementaltxt", "barwidth"}},
    {"EAN81",
     {687, 452},
     {685, 177},
     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Button4", "Button3", "barwidth",
      "Supplementaltxt"},
     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "barwidth", "Supplementaltxt"}},
    {"UPCE1",
     {690, 446},
     {688, 171},
     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Button4", "Button3",
      "Supplementaltxt", "barwidth"},
     {"fheightedt", "heardtextedt", "barcodeedt", "Button1", "Supplementaltxt", "barwidth"}},
};

QString focusName() {
    QWidget* w = QApplication::focusWidget();
    return w != nullptr ? w->objectName() : QStringLiteral("(none)");
}
}  // namespace

Q_DECLARE_METATYPE(const FormCase*)

class WindowLayoutTest : public QObject {
    Q_OBJECT

    static void forms() {
        QTest::addColumn<const FormCase*>("c");
        for (const FormCase& c : kForms) QTest::newRow(c.item) << &c;
    }
    static Tmainfm& shown(formtesting::Session& s) {
        Tmainfm& w = s.start();
        w.show();
        if (!QTest::qWaitForWindowExposed(&w)) qFatal("the main window was not shown");
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w)) qFatal("the main window did not become active");
        return w;
    }

  private slots:
    void hostPanelIsAsDesigned() {
        formtesting::Session s;
        Tmainfm& w = shown(s);
        QCOMPARE(w.Panel4->size(), QSize(687, 461));
    }

    void formFillsThePanel_data() { forms(); }
    void formFillsThePanel() {
        QFETCH(const FormCase*, c);
        formtesting::Session s;
        Tmainfm& w = shown(s);
        w.menuItem(QLatin1String(c->item))->trigger();
        auto* f = qobject_cast<DesignerForm*>(w.currentForm());
        QVERIFY(f != nullptr);
        QCOMPARE(w.Panel4->size(), QSize(687, 461));
        QCOMPARE(f->geometry(), QRect(QPoint(1, 1), c->client));
        QCOMPARE(f->ScrollBox1->size(), c->scrollBox);
        // The scroll box ends at the bottom of the form: no band under the preview.
        QCOMPARE(f->ScrollBox1->mapTo(f, QPoint(0, c->scrollBox.height())).y(),
                 c->client.height() - 1);
    }

    void tabStopsAreTheFormsOwn_data() { forms(); }
    void tabStopsAreTheFormsOwn() {
        QFETCH(const FormCase*, c);
        formtesting::Session s;
        Tmainfm& w = shown(s);
        w.menuItem(QLatin1String(c->item))->trigger();
        QWidget* first = w.currentForm()->findChild<QWidget*>(c->tabStops.first());
        QVERIFY(first != nullptr);
        // The whole window's chain, from the first control round to it again.
        QStringList stops;
        for (QWidget* x = first;;) {
            if (x->focusPolicy() & Qt::TabFocus) stops << x->objectName();
            x = x->nextInFocusChain();
            if (x == first) break;
        }
        QCOMPARE(stops, c->tabStops);
    }

    void focusStartsInTheFirstControlAndTabWalksTheForm_data() { forms(); }
    void focusStartsInTheFirstControlAndTabWalksTheForm() {
        QFETCH(const FormCase*, c);
        formtesting::Session s;
        Tmainfm& w = shown(s);
        w.menuItem(QLatin1String(c->item))->trigger();
        QCOMPARE(focusName(), c->tabWalk.first());
        QStringList walk;
        for (int i = 0; i < c->tabWalk.size(); ++i) {
            walk << focusName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(walk, c->tabWalk);
        QCOMPARE(focusName(), c->tabWalk.first());  // round again
    }

    void hostedAtStartHasTheFocusToo() {
        formtesting::Session s(QByteArray("[Symbology]\nChecked=Bar Code UPC-A\n"));
        shown(s);
        QCOMPARE(focusName(), QStringLiteral("fheightedt"));
    }

    void toolbarTooltipsSayWhatTheButtonsDo() {
        formtesting::Session s;
        Tmainfm& w = shown(s);
        w.menuItem(QStringLiteral("ENA13"))->trigger();
        QStringList tips;
        for (QToolButton* b : w.currentForm()->findChildren<QToolButton*>(
                 QRegularExpression(QStringLiteral("^ToolButton\\d$"))))
            tips << b->objectName() + QLatin1Char('=') + b->toolTip();
        tips.sort();
        QCOMPARE(tips, (QStringList{"ToolButton1=Page setting", "ToolButton2=Font",
                                    QString::fromUtf8("ToolButton3=Unturned"),
                                    QString::fromUtf8("ToolButton5=Turn 90\u00b0 clockwise"),
                                    "ToolButton6=Bar colour"}));
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "test_windowlayout.moc"
