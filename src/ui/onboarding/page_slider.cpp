#include "ui/onboarding/page_slider.h"

#include <QGraphicsOpacityEffect>
#include <QVariantAnimation>

namespace orvalin::ui {

namespace {
void setOpacity(QWidget* page, qreal opacity) {
    if (!page) return;
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(page->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(page);
        page->setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity);
}
}  // namespace

PageSlider::PageSlider(QWidget* parent) : QWidget(parent), slide_(new QVariantAnimation(this)) {
    slide_->setStartValue(0.0);
    slide_->setEndValue(1.0);
    slide_->setDuration(kDurationMs);
    slide_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(slide_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { place(value.toReal()); });
    connect(slide_, &QVariantAnimation::finished, this, &PageSlider::endSlide);
}

bool PageSlider::isSliding() const {
    return slide_->state() == QAbstractAnimation::Running;
}

void PageSlider::setPage(QWidget* page, bool animated) {
    finishSliding();
    leaving_ = current_;
    current_ = page;
    page->setParent(this);
    page->setGeometry(rect());
    page->show();
    if (!animated || !leaving_) {
        endSlide();
        return;
    }
    // The leaving page no longer takes clicks; it only shows itself going.
    leaving_->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(0);
    slide_->start();
}

void PageSlider::finishSliding() {
    if (!isSliding()) return;
    slide_->stop();
    endSlide();
}

void PageSlider::place(qreal progress) {
    const int w = width();
    if (current_) {
        current_->move(static_cast<int>(w * (1 - progress)), 0);
        setOpacity(current_, progress);
    }
    if (leaving_) {
        leaving_->move(static_cast<int>(-w * progress), 0);
        setOpacity(leaving_, 1 - progress);
    }
}

void PageSlider::endSlide() {
    if (leaving_) {
        leaving_->hide();
        leaving_->deleteLater();
        leaving_ = nullptr;
    }
    if (current_) {
        // Drawn directly again: an effect would render the page through an offscreen copy.
        current_->setGraphicsEffect(nullptr);
        current_->setGeometry(rect());
    }
}

void PageSlider::resizeEvent(QResizeEvent*) {
    if (isSliding()) return;
    if (current_) current_->setGeometry(rect());
}

}  // namespace orvalin::ui
