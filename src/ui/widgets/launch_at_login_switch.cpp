#include "ui/widgets/launch_at_login_switch.h"

namespace orvalin::ui {

LaunchAtLoginSwitch::LaunchAtLoginSwitch(TextExpansionManager& manager, const QString& text, Look look,
                                         QWidget* parent)
    : ToggleSwitch(QStringLiteral("power"), text, parent, look), manager_(manager) {
    showPublishedState();
    subscription_ = manager_.subscribe([this](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::LaunchAtStartup) showPublishedState();
    });
    // Toggled, not clicked: a screen reader's "toggle" action flips the box without a click.
    connect(this, &QAbstractButton::toggled, this, [this](bool wanted) {
        if (showing_) return;
        manager_.setLaunchAtStartup(wanted);
        // The manager does not tell when the state it reads back is the one it had.
        showPublishedState();
    });
}

LaunchAtLoginSwitch::~LaunchAtLoginSwitch() {
    manager_.unsubscribe(subscription_);
}

void LaunchAtLoginSwitch::showPublishedState() {
    showing_ = true;
    setChecked(manager_.launchAtStartup());
    showing_ = false;
}

}  // namespace orvalin::ui
