#pragma once
// What a screen reader is told about the window beyond what Qt tells by itself.

class QWidget;

namespace a11y {

// A screen reader sees only the children of `container` that are not hidden: a control
// that is never shown (a form's hidden Close button) is not offered to a listener.
void exposeVisibleChildrenOnly(QWidget* container);

}  // namespace a11y
