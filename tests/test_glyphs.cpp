// Every character of the window's texts is drawn: each caption, label, tooltip, list item,
// menu item and message, in the font its widget uses (with the fonts the system falls back
// to), gives a glyph rather than the empty box of a character no font has.

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTest>

#include "dialogs/aboutfm.h"
#include "dialogs/pagesetting.h"
#include "formtesting.h"

namespace {
// The texts of message boxes: they are shown in the application's font.
const char* const kMessages[] = {
    "Notice",
    "Marlisk Barcode Generator",
    "No find Printer!",
    "Fail to copy",
    "false to init",
    "Printer is Error",
    "Printer is Error  5",
    "Width Error",
    "Height Error",
    "Font setting Error",
    "Narwidth param Error",
    "Natio Error",
    "Left blank space Error",
    "Right blank space Error",
    "DPI Error",
    "Line Message Error",
    "Barcode Message Error",
    "Top blank space Error",
    "Down blank space  Error",
    "Nation  Error!",
    "The 'Bar code message' must contain 12 numbers.",
    "The 'Ean13 Supplemental' must contain 2 or 5 numbers.",
    "'1.2.3' is not a valid floating point value",
    "The settings file /usr/bin/BCodeSetting.ini cannot be written.",
};

// A character no font has: what it draws is the box of a missing glyph.
constexpr char32_t kNoSuchCharacter = 0x10FFFD;

QImage drawnAlone(const QFont& font, char32_t ch) {
    QFont big = font;
    big.setPixelSize(32);
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(big);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 0, 64, 64), Qt::AlignCenter, QString::fromUcs4(&ch, 1));
    return image;
}

// A line per character that comes out as the missing-glyph box: where, which, and in what.
QStringList undrawn(const QFont& font, const QString& where, const QString& text) {
    QStringList out;
    const QImage missing = drawnAlone(font, kNoSuchCharacter);
    for (char32_t ch : text.toUcs4()) {
        if (QChar::isSpace(ch)) continue;
        if (drawnAlone(font, ch) == missing)
            out << QStringLiteral("%1: U+%2 in \"%3\" (font %4)")
                       .arg(where)
                       .arg(uint(ch), 4, 16, QLatin1Char('0'))
                       .arg(text, font.family());
    }
    return out;
}

// Every text a widget and its children show.
QStringList undrawnIn(QWidget* top) {
    QStringList out;
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    for (QWidget* w : widgets) {
        const QString where = top->objectName() + QLatin1Char('/') + w->objectName();
        QStringList texts{w->windowTitle(), w->toolTip()};
        if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
        if (auto* e = qobject_cast<QLineEdit*>(w)) texts << e->text();
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
        for (QAction* a : w->actions()) texts << a->text() << a->toolTip();
        if (auto* m = qobject_cast<QMenu*>(w)) texts << m->title();
        for (const QString& t : texts) out << undrawn(w->font(), where, t);
    }
    return out;
}
}  // namespace

class GlyphsTest : public QObject {
    Q_OBJECT

  private slots:
    void everyTextOfTheWindowIsDrawn() {
        formtesting::Session s;
        Tmainfm& w = s.start();
        QStringList missing = undrawnIn(&w);
        for (const char* item : {"C391", "ENA13", "EAN81", "upca1", "UPCE1"}) {
            w.menuItem(QLatin1String(item))->trigger();
            missing << undrawnIn(w.currentForm());
        }
        Tpagesettingfm page(&w);
        missing << undrawnIn(&page);
        Tpringfm print(&w);
        missing << undrawnIn(&print);
        Taboutform about(&w);
        missing << undrawnIn(&about);
        for (const char* text : kMessages)
            missing << undrawn(QApplication::font(), QStringLiteral("message"),
                               QString::fromUtf8(text));
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

    // The test itself: a character no installed font has is found.
    void aMissingGlyphIsFound() {
        QCOMPARE(
            undrawn(QApplication::font(), QStringLiteral("probe"), QStringLiteral("a\U000F0001"))
                .size(),
            1);
    }
};

QTEST_MAIN(GlyphsTest)
#include "test_glyphs.moc"
