#include "ui/onboarding/onboarding_page.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace orvalin::ui {

OnboardingPage::OnboardingPage(QWidget* parent) : QWidget(parent), column_(new QVBoxLayout(this)) {
    column_->setContentsMargins(kSideInset, 0, kSideInset, 0);
    column_->setSpacing(0);
}

void OnboardingPage::addFlexibleSpace(int minimum) {
    column_->addSpacerItem(new QSpacerItem(0, minimum, QSizePolicy::Minimum, QSizePolicy::MinimumExpanding));
    column_->setStretch(column_->count() - 1, 1);
}

void OnboardingPage::addCentred(QWidget* element, int below) {
    column_->addWidget(element, 0, Qt::AlignHCenter);
    if (below > 0) column_->addSpacing(below);
}

void OnboardingPage::keyPressEvent(QKeyEvent* event) {
    // Buttons leave Enter to us (they are not auto-default); Space still presses the focused one.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        QAbstractButton* button = mainButton();
        if (button && button->isVisible() && button->isEnabled()) {
            button->click();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

}  // namespace orvalin::ui
