#include "ui/settings/segmented_control.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

namespace {
constexpr int kInset = 2;  // track to segment
constexpr qreal kRadius = 6;
}  // namespace

Segment::Segment(const QString& text, QString value, QWidget* parent)
    : QRadioButton(text, parent), value_(std::move(value)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setFont(textFont(TextStyle::Callout));
}

QSize Segment::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * 12, metrics.height() + 2 * 4};
}

void Segment::keyPressEvent(QKeyEvent* event) {
    auto* control = qobject_cast<SegmentedControl*>(parentWidget());
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!isChecked()) click();
            return;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (control) {
                const bool forward =
                    (event->key() == Qt::Key_Right) != (layoutDirection() == Qt::RightToLeft);
                control->focusNeighbour(this, forward ? 1 : -1);
            }
            return;
        default:
            QRadioButton::keyPressEvent(event);
    }
}

void Segment::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const bool dark = pal.color(QPalette::Window).lightnessF() < 0.5;
    const QRectF box = QRectF(rect()).adjusted(kInset, kInset, -kInset, -kInset);
    if (isChecked()) {
        painter.setPen(QPen(QColor(0, 0, 0, dark ? 90 : 40), 0.5));
        painter.setBrush(dark ? QColor(0x63, 0x63, 0x68) : QColor(Qt::white));
        painter.drawRoundedRect(box, kRadius - 1, kRadius - 1);
    } else if (underMouse() || isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(separatorColor(pal));
        painter.drawRoundedRect(box, kRadius - 1, kRadius - 1);
    }
    if (hasFocus()) {
        painter.setPen(QPen(accentColor(pal), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), kRadius, kRadius);
    }
    painter.setPen(pal.color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

SegmentedControl::SegmentedControl(QWidget* parent) : QWidget(parent), layout_(new QHBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SegmentedControl::addSegment(const QString& text, const QString& value) {
    auto* segment = new Segment(text, value, this);
    // Toggled, not clicked: a screen reader's "toggle" action checks the button without a click.
    connect(segment, &QAbstractButton::toggled, this,
            [this, segment](bool checked) { onToggled(segment, checked); });
    layout_->addWidget(segment);
    segments_.push_back(segment);
}

void SegmentedControl::onToggled(Segment* segment, bool checked) {
    update();
    if (showingValue_ || !checked) return;
    emit chosen(segment->value());
}

void SegmentedControl::setValue(const QString& value) {
    showingValue_ = true;
    for (Segment* segment : segments_) {
        // Exclusive buttons refuse to be all unchecked; an unknown value checks none.
        segment->setAutoExclusive(false);
        segment->setChecked(segment->value() == value);
        segment->setAutoExclusive(true);
    }
    showingValue_ = false;
    update();
}

QString SegmentedControl::value() const {
    for (Segment* segment : segments_) {
        if (segment->isChecked()) return segment->value();
    }
    return {};
}

void SegmentedControl::focusNeighbour(Segment* from, int step) {
    const auto it = std::find(segments_.begin(), segments_.end(), from);
    if (it == segments_.end()) return;
    const auto index = static_cast<int>(it - segments_.begin()) + step;
    if (index >= 0 && index < static_cast<int>(segments_.size()))
        segments_[static_cast<std::size_t>(index)]->setFocus(Qt::TabFocusReason);
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor fill = pal.color(QPalette::WindowText);
    fill.setAlphaF(0.07F);
    painter.setPen(QPen(separatorColor(pal), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(track, kRadius, kRadius);
    // Hairlines between two unchosen neighbours, as one control shows its parts.
    painter.setPen(QPen(separatorColor(pal), 1));
    for (std::size_t i = 1; i < segments_.size(); ++i) {
        if (segments_[i - 1]->isChecked() || segments_[i]->isChecked()) continue;
        const qreal x = segments_[i]->geometry().left() + 0.5;
        painter.drawLine(QPointF(x, height() * 0.25), QPointF(x, height() * 0.75));
    }
}

}  // namespace orvalin::ui
