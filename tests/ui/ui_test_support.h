#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <set>

namespace orvalin::ui {

// The widgets the keyboard focus visits in `presses` presses of Tab, from where it is now.
inline std::set<QWidget*> reachedByTab(int presses) {
    std::set<QWidget*> reached;
    for (int i = 0; i < presses; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (focus) reached.insert(focus);
        QTest::keyClick(focus ? focus : QApplication::activeWindow(), Qt::Key_Tab);
    }
    if (QApplication::focusWidget()) reached.insert(QApplication::focusWidget());
    return reached;
}

}  // namespace orvalin::ui
