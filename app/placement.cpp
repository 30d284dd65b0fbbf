#include "app/placement.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace place {

namespace {
// Presses the button it watches on Enter or Return, as Space does.
class EnterPresses : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        auto* b = static_cast<QPushButton*>(watched);
        if (!b->isEnabled() || key->isAutoRepeat()) return true;
        b->animateClick();
        return true;
    }
};
}  // namespace

QFont sansSerif(int pixelHeight, bool bold) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    return f;
}

QLabel* label(QWidget* parent, const QString& name, int x, int y, int w, int h, const QString& text,
              const QFont& font) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(font);
    const QSize hint = l->sizeHint();
    l->setGeometry(x, y, std::max(w, hint.width()), std::max(h, hint.height()));
    return l;
}

QLineEdit* edit(QWidget* parent, const QString& name, int x, int y, int w, int h,
                const QString& text, int maxLength) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    if (maxLength > 0) e->setMaxLength(maxLength);
    e->setGeometry(x, y, w, h);
    return e;
}

QPushButton* button(QWidget* parent, const QString& name, int x, int y, int w, int h,
                    const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);  // Enter in an edit must not press a button
    b->setGeometry(x, y, w, h);
    b->installEventFilter(new EnterPresses(b));
    return b;
}

QString spokenWords(const QString& caption) {
    QString words = caption.simplified();
    words.remove(QLatin1Char('&'));
    while (words.endsWith(QLatin1Char(':')) || words.endsWith(QChar(0xFF1A)))
        words = words.chopped(1).trimmed();
    return words;
}

void nameAfter(QWidget* control, QLabel* label, const QString& unit) {
    label->setBuddy(control);
    const QString words = spokenWords(label->text());
    control->setAccessibleName(unit.isEmpty() ? words : QStringLiteral("%1 (%2)").arg(words, unit));
}

}  // namespace place
