#include "ui/widgets/glyph_button.h"

#include <QPainter>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

GlyphButton::GlyphButton(const QString& symbol, QSize frame, int glyphSize, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), frame_(frame), glyphSize_(glyphSize) {
    setFixedSize(frame);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void GlyphButton::setColorRole(ColorRole role) {
    role_ = role;
    update();
}

void GlyphButton::setRotation(qreal degrees) {
    rotation_ = degrees;
    update();
}

void GlyphButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool keyboardFocus = hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
    if (hoverFeedback_ && (underMouse() || isDown() || keyboardFocus)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(separatorColor(palette()));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    }
    const QRectF box(QPointF(0, 0), QSizeF(glyphSize_, glyphSize_));
    painter.translate(QRectF(rect()).center());
    painter.rotate(rotation_);
    painter.translate(-box.center());
    paintSymbol(painter, symbol_, box, resolveColor(role_, palette()));
}

}  // namespace orvalin::ui
