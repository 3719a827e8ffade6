#include "ui/onboarding/onboarding_view.h"

#include <QAbstractButton>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/onboarding/page_indicator.h"
#include "ui/onboarding/page_slider.h"
#include "ui/onboarding/ready_step.h"
#include "ui/onboarding/welcome_step.h"

namespace orvalin::ui {

namespace {
constexpr int kSpaceBelowIndicator = 16;
}

OnboardingView::OnboardingView(TextExpansionManager& manager, PreferencesStore& store,
                               OnboardingOptions options, QWidget* parent)
    : QWidget(parent), manager_(manager), store_(store), options_(std::move(options)) {
    setObjectName("onboardingView");
    setFixedSize(kWidth, kHeight);
    if (!options_.later) {
        options_.later = [this](std::chrono::milliseconds delay, std::function<void()> task) {
            QTimer::singleShot(delay, this, std::move(task));
        };
    }
    if (!options_.dismiss) {
        options_.dismiss = [this] { window()->close(); };
    }

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    slider_ = new PageSlider;
    slider_->setObjectName("pageSlider");
    stack->addWidget(slider_, 1);
    indicator_ = new PageIndicator;
    indicator_->setObjectName("pageIndicator");
    stack->addWidget(indicator_);
    stack->addSpacing(kSpaceBelowIndicator);

    showStep(false);
}

OnboardingPage* OnboardingView::currentPage() const {
    return qobject_cast<OnboardingPage*>(slider_->page());
}

OnboardingPage* OnboardingView::makePage(int step) {
    // The pages' actions may fire after the view is gone (the delayed advance): they check.
    QPointer<OnboardingView> self(this);
    auto next = [self] {
        if (self) self->advanceStep();
    };
    switch (step) {
        case 0:
            return new WelcomeStep(next);
        case 1:
            return new PermissionStep(manager_, next, options_.later, options_.animated);
        default:
            return new ReadyStep(manager_, [self] {
                if (self) self->finishOnboarding();
            });
    }
}

void OnboardingView::advanceStep() {
    const int next = std::min(step_ + 1, kLastStep);
    if (next == step_) return;
    step_ = next;
    showStep(options_.animated);
}

void OnboardingView::finishOnboarding() {
    // The flag is stored before the window goes, so that nothing can close it in between.
    store_.write({{prefkey::kOnboardingCompleted, true}});
    if (options_.dismiss) options_.dismiss();
}

void OnboardingView::showStep(bool animated) {
    OnboardingPage* page = makePage(step_);
    slider_->setPage(page, animated && isVisible());
    indicator_->setCurrent(step_, animated && isVisible());
    if (isVisible()) page->mainButton()->setFocus(Qt::TabFocusReason);
}

void OnboardingView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (OnboardingPage* page = currentPage()) page->mainButton()->setFocus(Qt::OtherFocusReason);
}

}  // namespace orvalin::ui
