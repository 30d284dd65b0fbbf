#pragma once
// Message boxes. Every message the program shows goes through here, so that one place
// decides how it looks and a test can read what would have been shown.

#include <QString>
#include <functional>

class QWidget;

namespace ui {

// A modal box with caption "Notice" and an OK button, owned by `owner` (none: owned by the
// application).
void notice(QWidget* owner, const QString& text);

// The application's general error report (a number field that does not convert, an
// unexpected failure): a modal box with the application's title as caption.
void errorReport(const QString& text);

// A test (or a tool without a screen) may take the messages instead of showing them.
// The sink receives the caption and the text. An empty function shows boxes again.
using MessageSink = std::function<void(const QString& caption, const QString& text)>;
void setMessageSink(MessageSink sink);

inline const QString kAppTitle = QStringLiteral("Marlisk Barcode Generator");

}  // namespace ui
