#include "ui/panel/slide_reveal.h"

#include <QEasingCurve>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

namespace orvalin::ui {

SlideReveal::SlideReveal(QWidget* content, QWidget* parent)
    : QWidget(parent), content_(content), fade_(new QGraphicsOpacityEffect(this)) {
    content_->setParent(this);
    content_->show();  // a new parent hides a widget; it shows with us from now on
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    fade_->setOpacity(1.0);
    fade_->setEnabled(false);
    setGraphicsEffect(fade_);
    animation_ = new QPropertyAnimation(this, "progress", this);
    animation_->setDuration(kDurationMs);
    animation_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(animation_, &QPropertyAnimation::finished, this, [this] {
        fade_->setEnabled(false);
        if (!revealed_) {
            content_->hide();
            hide();
            emit heightChanged();
        }
    });
}

void SlideReveal::setRevealed(bool revealed, bool animated) {
    revealed_ = revealed;
    animation_->stop();
    if (revealed) {
        content_->show();
        show();
    }
    if (!animated) {
        setProgress(revealed ? 1.0 : 0.0);
        fade_->setEnabled(false);
        if (!revealed) {
            content_->hide();
            hide();
        }
        emit heightChanged();
        return;
    }
    fade_->setEnabled(true);
    animation_->setStartValue(progress_);
    animation_->setEndValue(revealed ? 1.0 : 0.0);
    animation_->start();
}

void SlideReveal::setProgress(qreal progress) {
    progress_ = std::clamp<qreal>(progress, 0.0, 1.0);
    fade_->setOpacity(progress_);
    updateGeometry();
    place();
    emit heightChanged();
}

QSize SlideReveal::sizeHint() const {
    const QSize full = content_->sizeHint();
    return {full.width(), static_cast<int>(std::lround(full.height() * progress_))};
}

bool SlideReveal::event(QEvent* event) {
    // The content is placed by hand, not by a layout: pass its size changes on.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        place();
        emit heightChanged();
    }
    return QWidget::event(event);
}

void SlideReveal::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void SlideReveal::place() {
    const int fullHeight = content_->sizeHint().height();
    const int visible = static_cast<int>(std::lround(fullHeight * progress_));
    content_->setGeometry(0, visible - fullHeight, width(), fullHeight);
}

}  // namespace orvalin::ui
