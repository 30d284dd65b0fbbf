#include "app/keyfilter.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

NumberKeyFilter::NumberKeyFilter(bool allowPoint, Enter enter, QObject* parent)
    : QObject(parent), allowPoint_(allowPoint), enter_(enter) {}

void NumberKeyFilter::install(QLineEdit* edit, bool allowPoint, Enter enter) {
    edit->installEventFilter(new NumberKeyFilter(allowPoint, enter, edit));
}

namespace {
bool isBlankOrHyphen(QChar c) {
    return c.isSpace() || c == QLatin1Char('-') || c == QChar(0x2010) || c == QChar(0x2011) ||
           c == QChar(0x2012) || c == QChar(0x2013) || c == QChar(0x2212);
}

// "5901 2341 2345", "978-3-16-148410", "590123412345\n": a number written for people.
bool isWrittenNumber(const QString& text) {
    bool digit = false;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digit = true;
        else if (!isBlankOrHyphen(c))
            return false;
    }
    return digit;
}

void paste(QLineEdit* edit, QClipboard::Mode mode, bool digitsOnly) {
    if (edit->isReadOnly()) return;
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (!text.isEmpty()) edit->insert(pastedText(*edit, text, digitsOnly));
}
}  // namespace

QString pastedText(const QLineEdit& edit, const QString& text, bool digitsOnly) {
    QString in = text;
    if (digitsOnly && isWrittenNumber(in)) in.removeIf([](QChar c) { return isBlankOrHyphen(c); });
    const qsizetype room = edit.maxLength() - (edit.text().size() - edit.selectedText().size());
    if (room <= 0) return {};
    if (in.size() > room) {
        in.truncate(room);
        if (in.back().isHighSurrogate()) in.chop(1);
    }
    return in;
}

bool NumberKeyFilter::pasteFilter(QLineEdit* edit, QEvent* event) {
    const bool digitsOnly = !allowPoint_;
    switch (event->type()) {
        case QEvent::KeyPress:
            if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) return false;
            paste(edit, QClipboard::Clipboard, digitsOnly);
            return true;
        case QEvent::MouseButtonRelease: {
            // X11's primary selection, pasted with the middle button.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::MiddleButton ||
                !QGuiApplication::clipboard()->supportsSelection())
                return false;
            edit->setCursorPosition(edit->cursorPositionAt(mouse->position().toPoint()));
            paste(edit, QClipboard::Selection, digitsOnly);
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasText() || edit->isReadOnly()) return false;
            edit->setCursorPosition(edit->cursorPositionAt(drop->position().toPoint()));
            edit->insert(pastedText(*edit, drop->mimeData()->text(), digitsOnly));
            drop->acceptProposedAction();
            return true;
        }
        case QEvent::ChildPolished: {
            // The edit's context menu (its own, or one a form builds from it): its Paste
            // item pastes in the same way. A menu is polished when it is about to show.
            auto* menu = qobject_cast<QMenu*>(static_cast<QChildEvent*>(event)->child());
            if (menu == nullptr) return false;
            for (QAction* a : menu->actions()) {
                if (a->objectName() != QLatin1String("edit-paste")) continue;
                disconnect(a, &QAction::triggered, edit, nullptr);
                connect(a, &QAction::triggered, edit,
                        [edit, digitsOnly] { paste(edit, QClipboard::Clipboard, digitsOnly); });
            }
            return false;
        }
        default:
            return false;
    }
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit != nullptr && pasteFilter(edit, event))
        return true;
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
