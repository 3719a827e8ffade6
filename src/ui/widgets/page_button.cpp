#include "ui/widgets/page_button.h"

#include <QEasingCurve>
#include <QPainter>
#include <QVariantAnimation>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

namespace {
// How small a button is when it starts to come in.
constexpr qreal kSmallestScale = 0.8;
}  // namespace

PageButton::PageButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAutoDefault(false);
    setDefault(false);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(text);
}

void PageButton::setPresent(bool present, bool animated, int durationMs) {
    const qreal target = present ? 1.0 : 0.0;
    if (animation_) animation_->stop();
    if (present) show();
    if (!animated || presence_ == target) {
        presence_ = target;
        setVisible(present);
        update();
        emit settled(present);
        return;
    }
    if (!animation_) {
        animation_ = new QVariantAnimation(this);
        animation_->setEasingCurve(QEasingCurve::InOutQuad);
        connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            presence_ = value.toReal();
            update();
        });
    }
    animation_->setDuration(durationMs);
    animation_->setStartValue(presence_);
    animation_->setEndValue(target);
    disconnect(animation_, &QVariantAnimation::finished, this, nullptr);
    connect(animation_, &QVariantAnimation::finished, this, [this, present] {
        setVisible(present);
        emit settled(present);
    });
    animation_->start();
}

void PageButton::paintEvent(QPaintEvent*) {
    if (presence_ <= 0) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (presence_ < 1) {
        const qreal scale = kSmallestScale + (1 - kSmallestScale) * presence_;
        const QPointF centre = QRectF(rect()).center();
        painter.setOpacity(presence_);
        painter.translate(centre);
        painter.scale(scale, scale);
        painter.translate(-centre);
    }
    paintButton(painter);
}

void PageButton::paintFocusRing(QPainter& painter, qreal radius, qreal inset, float alpha) {
    if (!hasFocus()) return;
    QColor ring = accentColor(palette());
    ring.setAlphaF(alpha);
    painter.setPen(QPen(ring, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
}

}  // namespace orvalin::ui
