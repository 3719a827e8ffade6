#pragma once

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include "ui/capture/shortcut_capture_widget.h"

namespace orvalin::ui {

// A window holding a capture field and a button beside it. It keeps the keys that reach it,
// modifier keys left out: what a recording let through to the normal handling.
class CaptureWindow : public QWidget {
public:
    CaptureWindow() {
        auto* layout = new QHBoxLayout(this);
        layout->addWidget(field);
        layout->addWidget(other);
    }
    bool showActive(int timeoutMs = 5000) {
        show();
        activateWindow();
        return QTest::qWaitForWindowActive(this, timeoutMs);
    }

    ShortcutCaptureWidget* field = new ShortcutCaptureWidget;
    QPushButton* other = new QPushButton(QStringLiteral("Autre"));
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        static const QList<int> modifierKeys{Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt,
                                             Qt::Key_Meta,  Qt::Key_Super_L, Qt::Key_Super_R};
        if (!modifierKeys.contains(event->key())) keys.append(event->key());
        event->accept();
    }
};

}  // namespace orvalin::ui
