#pragma once

#include <QIcon>
#include <functional>
#include <vector>

#include "ui/onboarding/onboarding_page.h"

namespace orvalin::ui {

class FeaturePill;
class ProminentButton;

// Page 1: the program's icon, a welcome, what it does in three pills, and "Commencer".
class WelcomeStep : public OnboardingPage {
    Q_OBJECT
public:
    static constexpr int kIconSide = 88;

    explicit WelcomeStep(std::function<void()> onNext, QWidget* parent = nullptr);

    QAbstractButton* mainButton() const override;

private:
    std::function<void()> onNext_;
    ProminentButton* start_;
};

// The program's own icon (its SVG built in, the desktop theme's when installed there).
QIcon applicationIcon();

}  // namespace orvalin::ui
