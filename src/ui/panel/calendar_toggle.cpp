#include "ui/panel/calendar_toggle.h"

#include <QEasingCurve>
#include <QHBoxLayout>
#include <QPropertyAnimation>

#include "ui/panel/slide_reveal.h"
#include "ui/widgets/accessible_role.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/color_role.h"
#include "ui/widgets/elided_label.h"
#include "ui/widgets/glyph_button.h"

namespace orvalin::ui {

CalendarToggle::CalendarToggle(QWidget* parent) : PanelRowButton(parent) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(14, 5, 14, 5);
    line->setSpacing(6);
    icon_ = new GlyphButton("calendar", QSize(16, 16), 14, this);
    icon_->setHoverFeedback(false);
    label_ = new ElidedLabel(tr("Choisir une date"), this);
    label_->setFont(textFont(TextStyle::Callout));
    chevron_ = new GlyphButton("chevron.right", QSize(12, 12), 10, this);
    chevron_->setObjectName("chevron");
    chevron_->setHoverFeedback(false);
    for (GlyphButton* glyph : {icon_, chevron_}) setAccessibleRole(glyph, QAccessible::Graphic);
    line->addWidget(icon_, 0, Qt::AlignVCenter);
    line->addWidget(label_, 0, Qt::AlignVCenter);
    line->addStretch(1);
    line->addWidget(chevron_, 0, Qt::AlignVCenter);
    turn_ = new QPropertyAnimation(chevron_, "rotation", this);
    turn_->setDuration(SlideReveal::kDurationMs);  // turns as the calendar slides
    turn_->setEasingCurve(QEasingCurve::InOutQuad);
    // A push button that says whether the calendar below is expanded.
    setAccessibleRole(this, QAccessible::Button);
    setAccessibleName(label_->text());
}

void CalendarToggle::setExpanded(bool expanded, bool animated) {
    const ColorRole role = expanded ? ColorRole::Primary : ColorRole::Secondary;
    label_->setColorRole(role);
    icon_->setColorRole(role);
    const qreal target = expanded ? 90.0 : 0.0;
    turn_->stop();
    if (animated) {
        turn_->setStartValue(chevron_->rotation());
        turn_->setEndValue(target);
        turn_->start();
    } else {
        chevron_->setRotation(target);
    }
    announceExpandedChange(this, expanded);
}

}  // namespace orvalin::ui
