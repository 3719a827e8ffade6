#include "ui/onboarding/trigger_box.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/widgets/appearance.h"
#include "ui/widgets/color_role.h"
#include "ui/widgets/day_offset_text.h"
#include "ui/widgets/elided_label.h"
#include "ui/widgets/trigger_text.h"

namespace orvalin::ui {

namespace {

constexpr int kInsetX = 20;
constexpr int kInsetY = 14;
constexpr int kRowSpacing = 8;
constexpr int kArrowMargin = 10;
constexpr qreal kRadius = 10;

QFont triggerFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(textFont(TextStyle::Body).pixelSize());
    font.setWeight(QFont::DemiBold);
    return font;
}

QWidget* makeRow(const QString& trigger, const QString& date, const QString& when) {
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);

    auto* triggerLabel = new ElidedLabel(trigger);
    triggerLabel->setObjectName("trigger");
    triggerLabel->setFont(triggerFont());
    triggerLabel->setColorRole(ColorRole::Accent);
    triggerLabel->setFixedWidth(TriggerBox::kTriggerColumn);
    line->addWidget(triggerLabel);

    auto* arrow = new ElidedLabel(QStringLiteral("→"));
    arrow->setFont(textFont(TextStyle::Body));
    arrow->setColorRole(ColorRole::Tertiary);
    arrow->setElidable(false);
    line->addSpacing(kArrowMargin);
    line->addWidget(arrow);
    line->addSpacing(kArrowMargin);

    auto* dateLabel = new ElidedLabel(date);
    dateLabel->setObjectName("date");
    dateLabel->setFont(textFont(TextStyle::Body));
    line->addWidget(dateLabel, 1);

    row->setAccessibleName(trigger.isEmpty() ? date : trigger + QStringLiteral(" → ") + date);
    row->setAccessibleDescription(when);
    return row;
}

}  // namespace

TriggerBox::TriggerBox(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    rowsWidget_ = new QWidget;
    rowsWidget_->setAutoFillBackground(false);
    rowsLayout_ = new QVBoxLayout(rowsWidget_);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(kRowSpacing);

    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->setWidget(rowsWidget_);
    // The box paints its own background; the scroll area and its viewport stay see-through.
    scroll_->setStyleSheet(
        QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    scroll_->setFocusPolicy(Qt::NoFocus);

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(kInsetX, kInsetY, kInsetX, kInsetY);
    frame->setSpacing(0);
    // The box decides its own sizes (above); the scroll area's would keep it from shrinking.
    frame->setSizeConstraint(QLayout::SetNoConstraint);
    frame->addWidget(scroll_);
}

void TriggerBox::setEntries(const std::vector<Shortcut>& entries, Instant now) {
    while (QLayoutItem* item = rowsLayout_->takeAt(0)) {
        if (QWidget* old = item->widget()) {
            old->hide();
            old->deleteLater();
        }
        delete item;
    }
    for (const Shortcut& entry : entries) {
        rowsLayout_->addWidget(makeRow(trimSpacesAndTabs(entry.trigger),
                                       QString::fromStdString(entry.formattedDate(now)),
                                       dayOffsetPhrase(entry.effectiveDayOffset())));
    }
    rowCount_ = entries.size();
    rowsWidget_->adjustSize();
    updateGeometry();
}

QSize TriggerBox::sizeHint() const {
    const QSize content = rowsLayout_->sizeHint();
    const int width = rowCount_ == 0 ? 0 : content.width();
    const int height = rowCount_ == 0 ? 0 : content.height();
    return {kInsetX + width + kInsetX, kInsetY + height + kInsetY};
}

QSize TriggerBox::minimumSizeHint() const {
    // One row stays in view; the others scroll. Width: the trigger column and a little date.
    const int rowHeight = rowCount_ == 0 ? 0 : QFontMetrics(textFont(TextStyle::Body)).height();
    const int width = rowCount_ == 0 ? 0 : kTriggerColumn + 2 * kArrowMargin + 60;
    return {kInsetX + width + kInsetX, kInsetY + rowHeight + kInsetY};
}

void TriggerBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(controlBackground(palette()));
    painter.drawRoundedRect(QRectF(rect()), kRadius, kRadius);
}

}  // namespace orvalin::ui
