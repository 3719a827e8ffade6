#include "ui/widgets/launch_at_login_switch.h"

namespace orvalin::ui {

LaunchAtLoginSwitch::LaunchAtLoginSwitch(TextExpansionManager& manager, const QString& text, QWidget* parent)
    : ToggleSwitch(QStringLiteral("power"), text, parent), manager_(manager) {
    showPublishedState();
    subscription_ = manager_.subscribe([this](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::LaunchAtStartup) showPublishedState();
    });
    // `clicked` comes from the user only (pointer or keyboard), never from showing the state.
    connect(this, &QAbstractButton::clicked, this, [this](bool wanted) {
        manager_.setLaunchAtStartup(wanted);
        // The manager does not tell when the state it reads back is the one it had.
        showPublishedState();
    });
}

LaunchAtLoginSwitch::~LaunchAtLoginSwitch() {
    manager_.unsubscribe(subscription_);
}

void LaunchAtLoginSwitch::showPublishedState() {
    setChecked(manager_.launchAtStartup());
}

}  // namespace orvalin::ui
