#include "app/messages.h"

#include <QMessageBox>

namespace ui {

namespace {
MessageSink& sink() {
    static MessageSink s;
    return s;
}

void show(QWidget* owner, const QString& caption, const QString& text, QMessageBox::Icon icon) {
    if (sink()) {
        sink()(caption, text);
        return;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}
}  // namespace

void setMessageSink(MessageSink s) {
    sink() = std::move(s);
}

void notice(QWidget* owner, const QString& text) {
    show(owner, QStringLiteral("Notice"), text, QMessageBox::NoIcon);
}

void errorReport(const QString& text) {
    show(nullptr, kAppTitle, text, QMessageBox::Critical);
}

}  // namespace ui
