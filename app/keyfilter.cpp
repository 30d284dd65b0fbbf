#include "app/keyfilter.h"

#include <QKeyEvent>
#include <QLineEdit>

NumberKeyFilter::NumberKeyFilter(bool allowPoint, Enter enter, QObject* parent)
    : QObject(parent), allowPoint_(allowPoint), enter_(enter) {}

void NumberKeyFilter::install(QLineEdit* edit, bool allowPoint, Enter enter) {
    edit->installEventFilter(new NumberKeyFilter(allowPoint, enter, edit));
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (enter_ == Enter::MovesFocus) {
            focusNextControl(qobject_cast<QWidget*>(watched));
            return true;
        }
        return false;
    }
    const QString text = key->text();
    // Editing keys (arrows, Delete, Home...) and shortcuts such as Ctrl+V carry no
    // printable character; they are not the filter's business.
    if (text.isEmpty() || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7F) return false;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    for (const QChar c : text) {
        const bool ok = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                        (allowPoint_ && c == QLatin1Char('.'));
        if (!ok) return true;  // swallowed
    }
    return false;
}

void focusNextControl(QWidget* w) {
    if (w == nullptr) return;
    QWidget* next = w->nextInFocusChain();
    while (next != nullptr && next != w) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(w->window()) &&
            next->isEnabled() && next->window() == w->window()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
        next = next->nextInFocusChain();
    }
}
