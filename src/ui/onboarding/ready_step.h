#pragma once

#include <functional>

#include "engine/text_expansion_manager.h"
#include "ui/onboarding/onboarding_page.h"

namespace orvalin::ui {

class LaunchAtLoginSwitch;
class ProminentButton;
class TriggerBox;

// Page 3: everything is ready; the triggers to type with today's date in each, the start at
// login, and "Commencer à utiliser Orvalin".
class ReadyStep : public OnboardingPage {
    Q_OBJECT
public:
    ReadyStep(TextExpansionManager& manager, std::function<void()> onFinish, QWidget* parent = nullptr);
    ~ReadyStep() override;

    QAbstractButton* mainButton() const override;

private:
    void refreshTriggers();

    TextExpansionManager& manager_;
    std::function<void()> onFinish_;
    TextExpansionManager::SubscriptionId subscription_ = 0;
    TriggerBox* box_;
    LaunchAtLoginSwitch* toggle_;
    ProminentButton* finish_;
};

}  // namespace orvalin::ui
