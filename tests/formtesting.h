#pragma once
// Helpers for tests that drive the windows: a main window on a temporary settings file,
// and recorders for what would have reached the user (message boxes), the clipboard and
// the print-option dialog.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "app/globals.h"
#include "app/mainform.h"
#include "app/messages.h"
#include "app/settings.h"
#include "designers/designerform.h"
#include "dialogs/printunit.h"
#include "surface/clipboard.h"
#include "surface/font.h"
#include "surface/screen.h"

namespace formtesting {

struct Message {
    QString caption;
    QString text;
};

// Everything a test wants to see of one session with the program.
class Session {
  public:
    // `iniText`: the settings file's content, or nothing for no file at all.
    explicit Session(const std::optional<QByteArray>& iniText = std::nullopt) {
        surface::registerFontSubstitutes();
        surface::setScreenDpiOverride(96);
        settings::setPathOverride(dir.filePath(QStringLiteral("BCodeSetting.ini")));
        if (iniText) writeIni(*iniText);
        ui::setMessageSink([this](const QString& caption, const QString& text) {
            messages.push_back({caption, text});
        });
        surface::setClipboardSink([this](const surface::Bitmap& b) {
            if (refuseClipboard) return false;
            clipboard = b;
            ++clipboardCopies;
            return true;
        });
        DesignerForm::printDialogHook() = [this](Tpringfm& d) {
            printColour = d.PrintColor;
            printed = globals::printBitmap();
            ++printDialogs;
        };
        DesignerForm::saveDialogHook() = [this](const QString& folder) {
            saveDialogFolders << folder;
            return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
        };
    }
    ~Session() {
        window.reset();
        ui::setMessageSink({});
        surface::setClipboardSink({});
        DesignerForm::printDialogHook() = {};
        DesignerForm::saveDialogHook() = {};
        settings::setPathOverride({});
        surface::setScreenDpiOverride(0);
    }

    Tmainfm& start() {
        window = std::make_unique<Tmainfm>();
        return *window;
    }

    void writeIni(const QByteArray& text) {
        QFile f(iniPath());
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
    QByteArray readIni() const {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString iniPath() const { return dir.filePath(QStringLiteral("BCodeSetting.ini")); }

    QStringList texts() const {
        QStringList out;
        for (const Message& m : messages) out << m.text;
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<Tmainfm> window;
    std::vector<Message> messages;
    bool refuseClipboard = false;
    surface::Bitmap clipboard;
    int clipboardCopies = 0;
    surface::Bitmap printed;
    QColor printColour;
    int printDialogs = 0;
    QStringList saveAnswers;        // the files the save dialog answers with, in turn
    QStringList saveDialogFolders;  // the folders it opened in
};

// Fields of a designer form by their control names.
inline void setField(QWidget* form, const char* name, const QString& text) {
    if (text.isNull()) return;
    if (auto* e = form->findChild<QLineEdit*>(QLatin1String(name))) {
        e->setText(text);
        return;
    }
    auto* c = form->findChild<QComboBox*>(QLatin1String(name));
    QVERIFY2(c != nullptr, name);
    c->setCurrentText(text);
}

// The hosted designer form of the main window, as its own type.
template <class Form>
Form* hostedForm(Tmainfm& w) {
    return qobject_cast<Form*>(w.currentForm());
}

}  // namespace formtesting
