#include "ui/widgets/toggle_switch.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

namespace {
constexpr int kTrackWidth = 34;
constexpr int kTrackHeight = 20;
constexpr int kGap = 6;       // symbol to text
constexpr int kTextGap = 12;  // text to switch
constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
}  // namespace

ToggleSwitch::ToggleSwitch(const QString& symbol, const QString& text, QWidget* parent, Look look)
    : QCheckBox(text, parent), symbol_(symbol), look_(look) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(text);
    if (look_ == Look::CheckBox) {
        refreshIcon();
        return;
    }
    setAttribute(Qt::WA_Hover);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int ToggleSwitch::textWidth(int rowWidth) const {
    const int glyph = fontMetrics().height();
    return std::max(1, rowWidth - glyph - kGap - kTextGap - kTrackWidth);
}

void ToggleSwitch::changeEvent(QEvent* event) {
    if (look_ == Look::CheckBox &&
        (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange))
        refreshIcon();
    QCheckBox::changeEvent(event);
}

void ToggleSwitch::refreshIcon() {
    const int side = QFontMetrics(font()).height();
    setIconSize(QSize(side, side));
    setIcon(symbolGlyph(symbol_, palette().color(QPalette::WindowText)));
}

int ToggleSwitch::heightForWidth(int width) const {
    if (look_ == Look::CheckBox) return QCheckBox::heightForWidth(width);
    const QRect text = fontMetrics().boundingRect(QRect(0, 0, textWidth(width), 10000), kFlags, this->text());
    return std::max({text.height(), kTrackHeight, fontMetrics().height()}) + 2;
}

QSize ToggleSwitch::sizeHint() const {
    if (look_ == Look::CheckBox) return QCheckBox::sizeHint();
    const int width =
        fontMetrics().height() + kGap + fontMetrics().horizontalAdvance(text()) + kTextGap + kTrackWidth + 2;
    return {width, heightForWidth(width)};
}

QSize ToggleSwitch::minimumSizeHint() const {
    if (look_ == Look::CheckBox) return QCheckBox::minimumSizeHint();
    return {fontMetrics().height() + kGap + kTextGap + kTrackWidth + 40, kTrackHeight + 2};
}

QRect ToggleSwitch::trackRect() const {
    return {width() - kTrackWidth - 1, (height() - kTrackHeight) / 2, kTrackWidth, kTrackHeight};
}

bool ToggleSwitch::hitButton(const QPoint& pos) const {
    if (look_ == Look::CheckBox) return QCheckBox::hitButton(pos);
    return rect().contains(pos);
}

void ToggleSwitch::paintEvent(QPaintEvent* event) {
    if (look_ == Look::CheckBox) {
        QCheckBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QColor textColor = isEnabled() ? pal.color(QPalette::WindowText) : tertiaryText(pal);

    const int glyph = fontMetrics().height();
    paintSymbol(painter, symbol_, QRectF(0, (height() - glyph) / 2.0, glyph, glyph), textColor);
    painter.setPen(textColor);
    painter.drawText(QRect(glyph + kGap, 0, textWidth(width()), height()), kFlags, text());

    const QRectF track = QRectF(trackRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    painter.setPen(isChecked() ? Qt::NoPen : QPen(separatorColor(pal), 1));
    painter.setBrush(isChecked() ? accentColor(pal) : separatorColor(pal));
    painter.drawRoundedRect(track, radius, radius);
    const qreal knob = track.height() - 4;
    const qreal x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));

    if (hasFocus()) {
        painter.setPen(QPen(accentColor(pal), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track.adjusted(-2, -2, 2, 2), radius + 2, radius + 2);
    }
}

}  // namespace orvalin::ui
