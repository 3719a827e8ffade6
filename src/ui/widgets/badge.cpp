#include "ui/widgets/badge.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/widgets/accessible_role.h"
#include "ui/widgets/appearance.h"

namespace orvalin::ui {

Badge::Badge(const QString& text, Shape shape, QWidget* parent)
    : QWidget(parent), text_(text), shape_(shape) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleRole(this, QAccessible::StaticText);
}

void Badge::setFill(ColorRole textRole, QColor fill, bool outlined) {
    textRole_ = textRole;
    fill_ = fill;
    paletteFill_ = false;
    outlined_ = outlined;
    update();
}

void Badge::setControlBackgroundFill(ColorRole textRole) {
    textRole_ = textRole;
    paletteFill_ = true;
    outlined_ = true;
    update();
}

void Badge::setPadding(int horizontal, int vertical) {
    paddingH_ = horizontal;
    paddingV_ = vertical;
    updateGeometry();
}

QSize Badge::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text_) + 2 * paddingH_, metrics.height() + 2 * paddingV_};
}

void Badge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = shape_ == Shape::Capsule ? box.height() / 2 : 4.0;
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    painter.fillPath(path, paletteFill_ ? controlBackground(palette()) : fill_);
    if (outlined_) {
        painter.setPen(QPen(separatorColor(palette()), 0.5));
        painter.drawPath(path);
    }
    painter.setPen(resolveColor(textRole_, palette()));
    // Held narrower than its text, it shows the start of it.
    const QString shown = fontMetrics().elidedText(text_, Qt::ElideRight, width() - 2 * paddingH_);
    painter.drawText(rect(), Qt::AlignCenter, shown);
}

}  // namespace orvalin::ui
