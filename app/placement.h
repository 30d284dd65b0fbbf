#pragma once
// Placing controls at fixed pixel positions, as the forms and dialogs are laid out. Sizes
// are the designed ones; a label grows to fit its text so that a wider substitute face
// never cuts it off.

#include <QFont>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace place {

// "MS Sans Serif" at a pixel height (11 for the forms' text, 13 for their labels).
QFont sansSerif(int pixelHeight, bool bold = false);

QLabel* label(QWidget* parent, const QString& name, int x, int y, int w, int h, const QString& text,
              const QFont& font);
QLineEdit* edit(QWidget* parent, const QString& name, int x, int y, int w, int h,
                const QString& text, int maxLength = 0);
QPushButton* button(QWidget* parent, const QString& name, int x, int y, int w, int h,
                    const QString& caption);

}  // namespace place
