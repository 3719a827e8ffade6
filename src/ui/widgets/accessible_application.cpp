#include "ui/widgets/accessible_application.h"

#include <QAccessibleObject>
#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace orvalin::ui {

namespace {

// The application as assistive technologies see it: every top-level window, popups included.
class ApplicationInterface : public QAccessibleObject {
public:
    ApplicationInterface() : QAccessibleObject(qApp) {}

    QWindow* window() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return nullptr; }
    int childCount() const override { return static_cast<int>(windows().size()); }

    QAccessibleInterface* child(int index) const override {
        const QObjectList shown = windows();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(index))
                                                  : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? static_cast<int>(windows().indexOf(child->object())) : -1;
    }

    QAccessibleInterface* focusChild() const override {
        if (QWidget* popup = QApplication::activePopupWidget())
            return QAccessible::queryAccessibleInterface(popup);
        if (QWindow* focused = QGuiApplication::focusWindow()) return focused->accessibleRoot();
        return nullptr;
    }

    QString text(QAccessible::Text kind) const override {
        switch (kind) {
            case QAccessible::Name:
                return QGuiApplication::applicationName();
            case QAccessible::Description:
                return QGuiApplication::applicationFilePath();
            default:
                return {};
        }
    }

    QAccessible::Role role() const override { return QAccessible::Application; }
    QAccessible::State state() const override { return {}; }

private:
    static QObjectList windows() {
        QObjectList found;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (window->type() == Qt::Desktop) continue;
            if (QAccessibleInterface* root = window->accessibleRoot(); root && root->object())
                found << root->object();
        }
        return found;
    }
};

QAccessibleInterface* applicationFactory(const QString&, QObject* object) {
    return object == qApp ? new ApplicationInterface : nullptr;
}

}  // namespace

void exposePopupWindowsToAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(applicationFactory);
        return true;
    }();
    (void)installed;
    // An interface made before the factory was there (the AT-SPI bridge asks early) is replaced.
    QAccessibleInterface* current = QAccessible::queryAccessibleInterface(qApp);
    if (current && !dynamic_cast<ApplicationInterface*>(current)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
        QAccessible::queryAccessibleInterface(qApp);
    }
}

}  // namespace orvalin::ui
