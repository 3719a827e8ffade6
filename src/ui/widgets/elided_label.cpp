#include "ui/widgets/elided_label.h"

#include <QPainter>

#include "ui/widgets/accessible_role.h"

namespace orvalin::ui {

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleRole(this, QAccessible::StaticText);
}

void ElidedLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    updateGeometry();
    update();
    if (accessibleName().isEmpty()) announceNameChange(this);
}

void ElidedLabel::setColorRole(ColorRole role) {
    role_ = role;
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void ElidedLabel::setElidable(bool elidable) {
    elidable_ = elidable;
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    const QMargins margins = contentsMargins();
    return QSize(metrics.horizontalAdvance(text_) + 1, metrics.height()).grownBy(margins);
}

QSize ElidedLabel::minimumSizeHint() const {
    if (!elidable_) return sizeHint();
    const QFontMetrics metrics(font());
    const QSize text(
        std::min(metrics.horizontalAdvance(text_) + 1, metrics.horizontalAdvance(QStringLiteral("…")) * 2),
        metrics.height());
    return text.grownBy(contentsMargins());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(resolveColor(role_, palette()));
    const QFontMetrics metrics(font());
    const QRect inside = contentsRect();
    painter.drawText(inside, static_cast<int>(alignment_),
                     metrics.elidedText(text_, Qt::ElideRight, inside.width()));
}

}  // namespace orvalin::ui
