#include "ui/panel/calendar_day_cell.h"

#include <QPainter>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

CalendarDayCell::CalendarDayCell(QWidget* parent) : QAbstractButton(parent) {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    setFixedHeight(28);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (day_ && onTap_) onTap_();
    });
}

void CalendarDayCell::setDay(std::optional<Day> day) {
    day_ = std::move(day);
    setEnabled(day_.has_value());
    setText(day_ ? QString::number(day_->dayOfMonth) : QString());
    const QString name = day_ ? day_->fullDate : QString();
    if (name != accessibleName()) setAccessibleName(name);
    setAccessibleDescription(day_ && day_->isToday ? tr("aujourd'hui") : QString());
    update();
}

QColor CalendarDayCell::textColor() const {
    const QPalette& p = palette();
    if (!day_) return Qt::transparent;
    if (day_->isSelected) return Qt::white;
    if (day_->isToday) return accentColor(p);
    if (!day_->isCurrentMonth) return tertiaryText(p);
    if (day_->weekday == 1 || day_->weekday == 7) return weekendRed(p);
    return p.color(QPalette::Active, QPalette::WindowText);
}

void CalendarDayCell::paintEvent(QPaintEvent*) {
    if (!day_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(QRectF(rect()).center() - QPointF(13, 13), QSizeF(26, 26));
    const QColor accent = accentColor(palette());
    const bool keyboardFocus = hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
    if (day_->isSelected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(accent);
        painter.drawEllipse(frame);
    } else if (underMouse() || isDown() || keyboardFocus) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(separatorColor(palette()));
        painter.drawEllipse(frame);
    }
    if (!day_->isSelected && day_->isToday) {
        painter.setPen(QPen(accent, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(frame.adjusted(0.75, 0.75, -0.75, -0.75));
    }
    painter.setFont(systemFont(12, day_->isToday ? QFont::Bold : QFont::Normal));
    painter.setPen(textColor());
    painter.drawText(frame, Qt::AlignCenter, text());
}

}  // namespace orvalin::ui
