#include "ui/widgets/accessible_role.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace orvalin::ui {

namespace {

constexpr const char* kRoleProperty = "orvalinAccessibleRole";
constexpr const char* kExpandedProperty = "expanded";

class RoleInterface : public QAccessibleWidget {
public:
    RoleInterface(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text kind) const override {
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty()) text = widget()->property("text").toString();
        return text;
    }

    // A place kept empty (a day outside the month) is no child for a listener to step through.
    int childCount() const override { return static_cast<int>(shownChildren().size()); }
    QAccessibleInterface* child(int index) const override {
        const QWidgetList shown = shownChildren();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(index))
                                                  : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? static_cast<int>(shownChildren().indexOf(qobject_cast<QWidget*>(child->object())))
                     : -1;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        const QVariant expanded = widget()->property(kExpandedProperty);
        if (expanded.isValid()) {
            state.expandable = true;
            state.expanded = expanded.toBool();
            state.collapsed = !expanded.toBool();
        }
        if (auto* button = button_()) state.pressed = button->isDown();
        return state;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (button_() && button_()->isEnabled()) names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && button_()) {
            button_()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    QWidgetList shownChildren() const {
        QWidgetList shown;
        for (QObject* child : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (w && !w->isWindow() && !w->isHidden()) shown << w;
        }
        return shown;
    }

    // Only what is announced as a button is pressed; a glyph drawn by a button stays a picture.
    QAbstractButton* button_() const {
        return role() == QAccessible::Button ? qobject_cast<QAbstractButton*>(widget()) : nullptr;
    }
};

QAccessibleInterface* roleFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    return new RoleInterface(widget, static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    (void)installed;
    widget->setProperty(kRoleProperty, static_cast<int>(role));
}

void announceNameChange(QWidget* widget) {
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void announceExpandedChange(QWidget* widget, bool expanded) {
    widget->setProperty(kExpandedProperty, expanded);
    QAccessible::State changed;
    changed.expanded = true;
    changed.collapsed = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

}  // namespace orvalin::ui
