#include "ui/onboarding/ready_step.h"

#include <QEvent>
#include <QVBoxLayout>

#include "ui/onboarding/page_text.h"
#include "ui/onboarding/symbol_badge.h"
#include "ui/onboarding/trigger_box.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/launch_at_login_switch.h"
#include "ui/widgets/prominent_button.h"

namespace orvalin::ui {

namespace {

// The badge's green follows the appearance.
class ReadyBadge : public SymbolBadge {
public:
    ReadyBadge() : SymbolBadge(QStringLiteral("checkmark.circle.fill"), QColor(), 36) { recolour(); }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::PaletteChange) recolour();
        SymbolBadge::changeEvent(event);
    }

private:
    void recolour() { setState(symbol(), successGreen(palette()), false, 0); }
};

}  // namespace

ReadyStep::ReadyStep(TextExpansionManager& manager, std::function<void()> onFinish, QWidget* parent)
    : OnboardingPage(parent), manager_(manager), onFinish_(std::move(onFinish)) {
    setObjectName("readyStep");
    addFlexibleSpace(kTopSpace);

    auto* badge = new ReadyBadge;
    badge->setObjectName("readyBadge");
    addCentred(badge, 20);
    addCentred(new PageText(tr("Tout est prêt !"), onboardingTitle2Font(), ColorRole::Primary));
    column()->addSpacing(8);
    addCentred(new PageText(tr("Tapez l'un de ces déclencheurs dans n'importe quelle app :"),
                            textFont(TextStyle::Body), ColorRole::Secondary),
               20);

    box_ = new TriggerBox;
    box_->setObjectName("triggerBox");
    addCentred(box_);
    addFlexibleSpace(kMiddleSpace);

    toggle_ = new LaunchAtLoginSwitch(manager_, tr("Lancer Orvalin à l'ouverture de session"),
                                      LaunchAtLoginSwitch::Look::CheckBox);
    toggle_->setObjectName("launchAtLogin");
    toggle_->setFont(textFont(TextStyle::Callout));
    addCentred(toggle_, 20);

    finish_ = new ProminentButton(tr("Commencer à utiliser Orvalin"), 240);
    finish_->setObjectName("finishButton");
    connect(finish_, &QAbstractButton::clicked, this, [this] {
        if (onFinish_) onFinish_();
    });
    addCentred(finish_, 32);

    refreshTriggers();
    subscription_ = manager_.subscribe([this](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::Shortcuts) refreshTriggers();
    });
}

ReadyStep::~ReadyStep() {
    manager_.unsubscribe(subscription_);
}

void ReadyStep::refreshTriggers() {
    box_->setEntries(manager_.shortcuts(), manager_.clock().now());
}

QAbstractButton* ReadyStep::mainButton() const {
    return finish_;
}

}  // namespace orvalin::ui
