#include "ui/widgets/launch_at_login_toggle.h"

#include <QEvent>
#include <QSignalBlocker>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

LaunchAtLoginToggle::LaunchAtLoginToggle(TextExpansionManager& manager, const QString& text, QWidget* parent)
    : QCheckBox(text, parent), manager_(manager) {
    setAccessibleName(text);
    refreshIcon();
    showManagerState();
    // `clicked` comes from the user only (mouse or keyboard), never from showing the state.
    connect(this, &QCheckBox::clicked, this, &LaunchAtLoginToggle::onUserToggled);
    subscription_ = manager_.subscribe([this](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::LaunchAtStartup) showManagerState();
    });
}

LaunchAtLoginToggle::~LaunchAtLoginToggle() {
    manager_.unsubscribe(subscription_);
}

void LaunchAtLoginToggle::onUserToggled(bool enabled) {
    manager_.setLaunchAtStartup(enabled);
    // The manager publishes only a change: a refused registration leaves its state as it was,
    // and the box must go back to it all the same.
    showManagerState();
}

void LaunchAtLoginToggle::showManagerState() {
    const QSignalBlocker quiet(this);
    setChecked(manager_.launchAtStartup());
}

void LaunchAtLoginToggle::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) refreshIcon();
    QCheckBox::changeEvent(event);
}

void LaunchAtLoginToggle::refreshIcon() {
    const int side = QFontMetrics(font()).height();
    setIconSize(QSize(side, side));
    setIcon(symbolGlyph(QStringLiteral("power"), palette().color(QPalette::WindowText)));
}

}  // namespace orvalin::ui
