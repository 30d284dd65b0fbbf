// The font dialog opens on the face the symbols are really drawn in, with that face's
// styles, and OK without a change leaves the picture as it was, byte for byte.

#include <QAbstractItemModel>
#include <QFontDialog>
#include <QFontInfo>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "formtesting.h"

namespace {
// The face "MS Sans Serif" is drawn in on this system (set up with fonts-liberation2).
const QString kDrawnFace = QStringLiteral("Liberation Sans");

// The dialog's list that holds `row` (the family list holds families, the style list styles).
QListView* listHolding(QFontDialog& d, const QString& row) {
    for (QListView* v : d.findChildren<QListView*>()) {
        const QAbstractItemModel* m = v->model();
        for (int i = 0; m != nullptr && i < m->rowCount(); ++i)
            if (m->index(i, 0).data().toString() == row) return v;
    }
    return nullptr;
}

QString currentText(const QListView* v) {
    return v != nullptr ? v->currentIndex().data().toString() : QString();
}

// What the font dialog showed when it opened, and what was done with it.
struct Opened {
    bool seen = false;
    QString family, style;
    int pointSize = 0;
    QStringList styles;
};

// Answers the next font dialog: records what it shows, picks `style` when one is given,
// and presses OK.
void answerFontDialog(Opened& opened, const QString& style = {}) {
    QTimer::singleShot(0, [&opened, style] {
        auto* d = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (d == nullptr) return;
        opened.seen = true;
        opened.family = d->currentFont().family();
        opened.pointSize = d->currentFont().pointSize();
        if (QListView* styles = listHolding(*d, QStringLiteral("Bold"))) {
            opened.style = currentText(styles);
            for (int i = 0; i < styles->model()->rowCount(); ++i)
                opened.styles << styles->model()->index(i, 0).data().toString();
            if (!style.isEmpty()) {
                const auto found = styles->model()->match(
                    styles->model()->index(0, 0), Qt::DisplayRole, style, 1, Qt::MatchExactly);
                if (!found.isEmpty()) styles->setCurrentIndex(found.first());
            }
        }
        d->accept();
    });
}
}  // namespace

class FontDialogTest : public QObject {
    Q_OBJECT

    // Builds the EAN-13 of the hosted form and returns what reached the clipboard.
    static QImage build(formtesting::Session& s, DesignerForm& form) {
        const int before = s.clipboardCopies;
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        return s.clipboardCopies == before ? QImage() : s.clipboard.image();
    }

    // The main window shown with its EAN-13 form, the message typed.
    static DesignerForm* shownEan13(Tmainfm& w) {
        w.show();
        if (!QTest::qWaitForWindowExposed(&w)) return nullptr;
        auto* form = qobject_cast<DesignerForm*>(w.currentForm());
        if (form != nullptr)
            formtesting::setField(form, "barcodeedt", QStringLiteral("590123412345"));
        return form;
    }

  private slots:
    void opensOnTheDrawnFaceAndOkChangesNothing_data() {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("Settings > Font setting") << true;
        QTest::newRow("the form's font button") << false;
    }
    void opensOnTheDrawnFaceAndOkChangesNothing() {
        QFETCH(bool, fromMenu);
        formtesting::Session s(QByteArray("[Symbology]\nChecked=Bar Code ENA13\n"));
        Tmainfm& w = s.start();
        DesignerForm* form = shownEan13(w);
        QVERIFY(form != nullptr);
        const QImage before = build(s, *form);
        QVERIFY(!before.isNull());
        // The face the picture's digits are drawn in.
        QCOMPARE(QFontInfo(w.sharedFont().toQFont(96)).family(), kDrawnFace);

        Opened opened;
        answerFontDialog(opened);
        if (fromMenu)
            w.menuItem(QStringLiteral("Fontsetting1"))->trigger();
        else
            form->ToolButton2->click();
        QVERIFY(opened.seen);
        QCOMPARE(opened.family, kDrawnFace);
        QCOMPARE(opened.pointSize, 8);
        QCOMPARE(opened.style, QStringLiteral("Regular"));
        QVERIFY2(opened.styles.contains(QStringLiteral("Bold")),
                 qPrintable(opened.styles.join(',')));

        // The specified default is kept by its name; the picture is the same to the byte.
        QCOMPARE(w.sharedFont().family, QStringLiteral("MS Sans Serif"));
        QCOMPARE(w.sharedFont().pointSize, 8);
        const QImage after = build(s, *form);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.format(), before.format());
        QVERIFY(after == before);
        QVERIFY(s.messages.empty());
    }

    // The bold the dialog offers is the bold the digits are drawn in; the dialog opens on
    // it the next time.
    void boldIsOfferedAndDrawn() {
        formtesting::Session s(QByteArray("[Symbology]\nChecked=Bar Code ENA13\n"));
        Tmainfm& w = s.start();
        DesignerForm* form = shownEan13(w);
        QVERIFY(form != nullptr);
        const QImage regular = build(s, *form);

        Opened first;
        answerFontDialog(first, QStringLiteral("Bold"));
        form->ToolButton2->click();
        QVERIFY(first.seen);
        QVERIFY(w.sharedFont().bold);
        QCOMPARE(w.sharedFont().family, kDrawnFace);
        const QImage bold = build(s, *form);
        QCOMPARE(bold.size(), regular.size());
        QVERIFY(bold != regular);

        Opened second;
        answerFontDialog(second);
        form->ToolButton2->click();
        QCOMPARE(second.family, kDrawnFace);
        QCOMPARE(second.style, QStringLiteral("Bold"));
        QVERIFY(build(s, *form) == bold);
    }
};

QTEST_MAIN(FontDialogTest)
#include "test_fontdialog.moc"
