#pragma once

#include <chrono>
#include <functional>

#include "engine/text_expansion_manager.h"
#include "ui/onboarding/onboarding_page.h"

class QLabel;

namespace orvalin::ui {

class PageText;
class PlainTextButton;
class ProminentButton;
class SymbolBadge;

// Runs a task once, later, on the main thread.
using LaterCall = std::function<void(std::chrono::milliseconds delay, std::function<void()> task)>;

// Page 2: whether the program may watch the keyboard. Untrusted, it explains why the permission is
// needed and offers the help page or skipping; trusted, it says so and offers "Continuer". When
// the permission arrives while the page is shown, the page moves on by itself shortly after.
class PermissionStep : public OnboardingPage {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kAutoAdvanceDelay{800};
    static constexpr int kStateChangeMs = 250;
    static constexpr int kBadgeChangeMs = 300;

    PermissionStep(TextExpansionManager& manager, std::function<void()> onNext, LaterCall later,
                   bool animated, QWidget* parent = nullptr);
    ~PermissionStep() override;

    QAbstractButton* mainButton() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void onPermissionChanged();
    void showState(bool granted, bool animated);
    void paintBadge(bool animated);
    // The main button of the state shown (not virtual: also used while constructing).
    QAbstractButton* stateButton() const;

    TextExpansionManager& manager_;
    std::function<void()> onNext_;
    LaterCall later_;
    bool animated_;
    bool granted_ = false;
    TextExpansionManager::SubscriptionId subscription_ = 0;

    SymbolBadge* badge_;
    PageText* title_;
    PageText* explanation_;
    QWidget* privacyNote_;
    ProminentButton* continue_;
    ProminentButton* help_;
    PlainTextButton* skip_;
    QWidget* continueBox_;
    QWidget* untrustedBox_;
};

}  // namespace orvalin::ui
