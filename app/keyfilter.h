#pragma once
// Key filters of the number edits. A filter sees typed characters only: it lets digits,
// Backspace and Enter through (and "." where decimals are allowed) and swallows every
// other character. Pasted text and editing keys are not characters and are not filtered.

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
    bool allowPoint_;
    Enter enter_;
};

// Moves the focus from w to the next control in tab order that takes the focus (forward,
// wrapping), as Enter does in the number edits.
void focusNextControl(QWidget* w);
