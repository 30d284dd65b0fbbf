#include "app/accessibility.h"

#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QMenu>
#include <QWidget>

namespace a11y {

namespace {
constexpr char kProperty[] = "marlisk_visibleChildrenOnly";

// A container's interface that leaves out its hidden children (and, as Qt's own does,
// windows, menus and focus frames).
class VisibleChildrenOnly : public QAccessibleWidget {
  public:
    explicit VisibleChildrenOnly(QWidget* w) : QAccessibleWidget(w, QAccessible::Pane) {}

    int childCount() const override { return static_cast<int>(children().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> shown = children();
        if (index < 0 || index >= shown.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(shown.at(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr || !child->object()) return -1;
        return static_cast<int>(children().indexOf(qobject_cast<QWidget*>(child->object())));
    }

  private:
    QList<QWidget*> children() const {
        QList<QWidget*> shown;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w == nullptr || w->isWindow() || w->isHidden() || qobject_cast<QMenu*>(w) ||
                qobject_cast<QFocusFrame*>(w))
                continue;
            shown << w;
        }
        return shown;
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (!object->isWidgetType() || !object->property(kProperty).toBool()) return nullptr;
    return new VisibleChildrenOnly(static_cast<QWidget*>(object));
}
}  // namespace

void exposeVisibleChildrenOnly(QWidget* container) {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
    container->setProperty(kProperty, true);
}

}  // namespace a11y
