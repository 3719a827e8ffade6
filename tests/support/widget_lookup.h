#pragma once

#include <QAccessible>
#include <QWidget>
#include <algorithm>
#include <vector>

// Finds the widgets of a window the way a user or a screen reader does: by what they show, their
// accessible name or their object name, in the order they stand on the screen.

namespace orvalin::testing {

inline QPoint placeIn(const QWidget* root, const QWidget* widget) {
    return widget->mapTo(root, QPoint(0, 0));
}

// The widgets of type T inside `root` that are shown, top to bottom, then left to right.
template <class T = QWidget>
std::vector<T*> shownChildren(const QWidget* root) {
    std::vector<T*> found;
    for (T* child : root->findChildren<T*>()) {
        if (child->isVisibleTo(root)) found.push_back(child);
    }
    std::stable_sort(found.begin(), found.end(), [root](T* a, T* b) {
        const QPoint pa = placeIn(root, a);
        const QPoint pb = placeIn(root, b);
        return std::pair(pa.y(), pa.x()) < std::pair(pb.y(), pb.x());
    });
    return found;
}

// The shown widget of type T whose accessible name is `name`; null when there is none.
template <class T = QWidget>
T* byAccessibleName(const QWidget* root, const QString& name) {
    for (T* child : shownChildren<T>(root)) {
        if (child->accessibleName() == name) return child;
    }
    return nullptr;
}

// What a screen reader is told of a widget.
inline QString spokenName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

inline QAccessible::Role spokenRole(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->role() : QAccessible::NoRole;
}

}  // namespace orvalin::testing
