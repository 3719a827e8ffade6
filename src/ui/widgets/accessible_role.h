#pragma once

#include <QAccessible>

class QWidget;

namespace orvalin::ui {

// Gives a custom-painted widget the role a screen reader announces (a heading, a group, a static
// text, a button…). Its name is its accessible name, or else its `text` property, so a label that
// changes its text is read with the new one. A QAbstractButton given the push-button role also offers the
// press action, and a widget with the `expanded` property says whether it is expanded. Set before the widget
// is shown.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

// Tells assistive technologies that a widget's name, description or expanded state changed.
void announceNameChange(QWidget* widget);
void announceExpandedChange(QWidget* widget, bool expanded);

}  // namespace orvalin::ui
