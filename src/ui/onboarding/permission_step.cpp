#include "ui/onboarding/permission_step.h"

#include <QEvent>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "ui/onboarding/page_text.h"
#include "ui/onboarding/plain_text_button.h"
#include "ui/onboarding/symbol_badge.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/prominent_button.h"
#include "ui/widgets/symbol_label.h"

namespace orvalin::ui {

namespace {

constexpr int kBottomBand = 32;

// A box holding widgets one under the other, centred and pushed to its bottom, so that a group
// can come and go at once.
QWidget* stackCentred(std::initializer_list<std::pair<QWidget*, int>> elements) {
    auto* box = new QWidget;
    auto* stack = new QVBoxLayout(box);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addStretch(1);
    for (const auto& [widget, below] : elements) {
        stack->addWidget(widget, 0, Qt::AlignHCenter);
        if (below > 0) stack->addSpacing(below);
    }
    return box;
}

}  // namespace

PermissionStep::PermissionStep(TextExpansionManager& manager, std::function<void()> onNext, LaterCall later,
                               bool animated, QWidget* parent)
    : OnboardingPage(parent),
      manager_(manager),
      onNext_(std::move(onNext)),
      later_(std::move(later)),
      animated_(animated),
      granted_(manager.hasAccessibilityPermission()) {
    setObjectName("permissionStep");
    addFlexibleSpace(kTopSpace);

    badge_ = new SymbolBadge(QString(), QColor(), 32);
    badge_->setObjectName("permissionBadge");
    addCentred(badge_, 20);
    title_ = new PageText(QString(), onboardingTitle2Font(), ColorRole::Primary);
    title_->setObjectName("permissionTitle");
    addCentred(title_);
    column()->addSpacing(8);
    explanation_ = new PageText(QString(), textFont(TextStyle::Body), ColorRole::Secondary);
    explanation_->setObjectName("permissionExplanation");
    addCentred(explanation_, 16);
    auto* privacyNote =
        new SymbolLabel(QStringLiteral("lock.fill"), tr("Aucune frappe n'est enregistrée ni transmise."),
                        ColorRole::Secondary);
    privacyNote->setTextFont(textFont(TextStyle::Caption));
    privacyNote->setFit(SymbolLabel::Fit::OneLine);
    privacyNote_ = privacyNote;
    privacyNote_->setObjectName("privacyNote");
    addCentred(privacyNote_);
    addFlexibleSpace(kMiddleSpace);

    continue_ = new ProminentButton(tr("Continuer"), 180);
    continue_->setObjectName("continueButton");
    connect(continue_, &QAbstractButton::clicked, this, [this] {
        if (onNext_) onNext_();
    });
    continueBox_ = stackCentred({{continue_, 12}});

    help_ = new ProminentButton(tr("Afficher l'aide"), 240, QStringLiteral("arrow.up.right.square"));
    help_->setObjectName("helpButton");
    connect(help_, &QAbstractButton::clicked, this, [this] { manager_.requestAccessibilityPermission(); });
    skip_ = new PlainTextButton(tr("Passer pour l'instant"));
    skip_->setObjectName("skipButton");
    connect(skip_, &QAbstractButton::clicked, this, [this] {
        if (onNext_) onNext_();
    });
    untrustedBox_ = stackCentred({{help_, 10}, {skip_, 0}});
    // The two groups share one place, so that one can shrink away while the other grows in; a
    // group's box goes once its buttons are gone, so it never covers the other's.
    auto* buttons = new QWidget;
    auto* place = new QStackedLayout(buttons);
    place->setStackingMode(QStackedLayout::StackAll);
    place->addWidget(continueBox_);
    place->addWidget(untrustedBox_);
    column()->addWidget(buttons);
    column()->addSpacing(kBottomBand);
    connect(continue_, &PageButton::settled, continueBox_, &QWidget::setVisible);
    connect(help_, &PageButton::settled, untrustedBox_, &QWidget::setVisible);

    showState(granted_, false);
    subscription_ = manager_.subscribe([this](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::AccessibilityPermission) onPermissionChanged();
    });
}

PermissionStep::~PermissionStep() {
    manager_.unsubscribe(subscription_);
}

void PermissionStep::onPermissionChanged() {
    const bool granted = manager_.hasAccessibilityPermission();
    showState(granted, animated_);
    // Only a change brings the automatic advance, and nothing cancels it: the view ignores an
    // advance past the last page, so a quick "Continuer" before it fires does no harm.
    if (granted && later_ && onNext_) later_(kAutoAdvanceDelay, onNext_);
}

void PermissionStep::showState(bool granted, bool animated) {
    const bool hadFocus = focusWidget() && isAncestorOf(focusWidget()) && focusWidget()->hasFocus();
    granted_ = granted;
    if (granted) {
        title_->setText(tr("Permission accordée ✓"));
        explanation_->setText(tr("L'expansion de texte et les raccourcis clavier sont actifs."));
    } else {
        title_->setText(tr("Autorisation nécessaire"));
        explanation_->setText(
            tr("Pour détecter vos déclencheurs et insérer la date,\nOrvalin doit surveiller les touches "
               "clavier."));
    }
    privacyNote_->setVisible(!granted);
    QWidget* coming = granted ? continueBox_ : untrustedBox_;
    coming->show();
    coming->raise();
    continue_->setPresent(granted, animated, kStateChangeMs);
    help_->setPresent(!granted, animated, kStateChangeMs);
    skip_->setPresent(!granted, animated, kStateChangeMs);
    paintBadge(animated);
    // The button that had the keyboard may just have gone: hand it to the one that replaced it.
    if (hadFocus) stateButton()->setFocus(Qt::OtherFocusReason);
}

void PermissionStep::paintBadge(bool animated) {
    const QPalette& colours = palette();
    if (granted_) {
        badge_->setState(QStringLiteral("checkmark.shield.fill"), successGreen(colours), animated,
                         kBadgeChangeMs);
    } else {
        badge_->setState(QStringLiteral("keyboard.badge.exclamationmark"), attentionOrange(colours), animated,
                         kBadgeChangeMs);
    }
}

void PermissionStep::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) paintBadge(false);
    OnboardingPage::changeEvent(event);
}

QAbstractButton* PermissionStep::mainButton() const {
    return stateButton();
}

QAbstractButton* PermissionStep::stateButton() const {
    return granted_ ? static_cast<QAbstractButton*>(continue_) : help_;
}

}  // namespace orvalin::ui
