#pragma once

#include <functional>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "ui/onboarding/permission_step.h"

namespace orvalin::ui {

class OnboardingPage;
class PageIndicator;
class PageSlider;

struct OnboardingOptions {
    LaterCall later;                // delayed calls (the automatic advance); Qt timers when empty
    std::function<void()> dismiss;  // closes the window holding the view when empty
    bool animated = true;           // false: every change shows at once (tests)
};

// The first-run window's content, 480 by 420: welcome, permission, triggers, one page at a
// time over a three-dot page indicator. Finishing it stores that the onboarding is done and
// closes the window; leaving it any other way stores nothing, and a new window starts over.
class OnboardingView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 420;
    static constexpr int kLastStep = 2;

    OnboardingView(TextExpansionManager& manager, PreferencesStore& store, OnboardingOptions options = {},
                   QWidget* parent = nullptr);

    int step() const { return step_; }
    OnboardingPage* currentPage() const;

    // One page further, never past the last.
    void advanceStep();
    // Stores that the onboarding is done, then closes the window.
    void finishOnboarding();

protected:
    void showEvent(QShowEvent* event) override;

private:
    OnboardingPage* makePage(int step);
    void showStep(bool animated);

    TextExpansionManager& manager_;
    PreferencesStore& store_;
    OnboardingOptions options_;
    int step_ = 0;
    PageSlider* slider_;
    PageIndicator* indicator_;
};

}  // namespace orvalin::ui
