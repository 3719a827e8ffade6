#pragma once

#include "engine/text_expansion_manager.h"
#include "ui/widgets/toggle_switch.h"

namespace orvalin::ui {

// The launch-at-login switch of the settings and the onboarding: it always shows what the manager
// publishes, and flipping it asks the manager to change the login item. A refused or pending
// registration flips it back.
class LaunchAtLoginSwitch : public ToggleSwitch {
    Q_OBJECT
public:
    LaunchAtLoginSwitch(TextExpansionManager& manager, const QString& text, Look look = Look::Switch,
                        QWidget* parent = nullptr);
    ~LaunchAtLoginSwitch() override;

private:
    void showPublishedState();

    TextExpansionManager& manager_;
    TextExpansionManager::SubscriptionId subscription_ = 0;
    bool showing_ = false;
};

}  // namespace orvalin::ui
