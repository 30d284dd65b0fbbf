#pragma once
// Key filters of the number edits. A filter sees typed characters only: it lets digits,
// Backspace and Enter through (and "." where decimals are allowed) and swallows every
// other character. Pasted text and editing keys are not characters and are not filtered.
//
// Pasting into a digits-only edit (by keys, its menu, the middle button or a drop): a
// number written with blanks or hyphens ("5901 2341 2345") comes in as its digits, and
// then, as every paste, only as much as the edit's length limit leaves room for, never
// half a character.

#include <QObject>

class QLineEdit;

class NumberKeyFilter : public QObject {
    Q_OBJECT
  public:
    enum class Enter { MovesFocus, StaysPut };
    NumberKeyFilter(bool allowPoint, Enter enter, QObject* parent);

    // Installs a filter owned by the edit.
    static void install(QLineEdit* edit, bool allowPoint, Enter enter);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool pasteFilter(QLineEdit* edit, QEvent* event);

    bool allowPoint_;
    Enter enter_;
};

// What pasting `text` into `edit` inserts: for a digits-only edit a number with blanks or
// hyphens reduced to its digits, then cut to the room the length limit leaves (the
// selection counts as room), never between the halves of a character.
QString pastedText(const QLineEdit& edit, const QString& text, bool digitsOnly);

// Moves the focus from w to the next control in tab order that takes the focus (forward,
// wrapping), as Enter does in the number edits.
void focusNextControl(QWidget* w);
