#include "ui/settings/formats/preview_plate.h"

#include <QAccessible>
#include <QPainter>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

namespace {
constexpr int kPaddingX = 8;
constexpr int kPaddingY = 12;
constexpr qreal kCornerRadius = 8;
}  // namespace

PreviewPlate::PreviewPlate(QWidget* parent) : QWidget(parent) {
    setFont(systemFont(17, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PreviewPlate::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
    // Building the event makes the plate's accessible object; with no reader listening that is
    // wasted on each of a hundred cards.
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent event(this, text_);
    QAccessible::updateAccessibility(&event);
}

QSize PreviewPlate::sizeHint() const {
    return {2 * kPaddingX, QFontMetrics(font()).height() + 2 * kPaddingY};
}

void PreviewPlate::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = accentColor(palette());
    fill.setAlphaF(0.12f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    const QRect room = rect().adjusted(kPaddingX, 0, -kPaddingX, 0);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(room, Qt::AlignCenter,
                     painter.fontMetrics().elidedText(text_, Qt::ElideRight, room.width()));
}

}  // namespace orvalin::ui
