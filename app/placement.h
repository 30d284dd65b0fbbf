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
// A push button that Enter and Return press when it has the focus, as Space does, in a
// dialog or not (it is never a default button: Enter in an edit presses nothing).
QPushButton* button(QWidget* parent, const QString& name, int x, int y, int w, int h,
                    const QString& caption);

// Ties a control to the label in front of it: a screen reader speaks the label's words
// (blanks tidied, the closing colon left out, and the unit where one follows the control).
void nameAfter(QWidget* control, QLabel* label, const QString& unit = {});
// The words of a caption as a screen reader should say them.
QString spokenWords(const QString& caption);

}  // namespace place
