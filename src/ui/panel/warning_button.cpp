#include "ui/panel/warning_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

namespace {
constexpr int kGlyph = 14;
constexpr int kPadH = 8;
constexpr int kPadV = 5;
constexpr int kGap = 6;
}  // namespace

WarningButton::WarningButton(const QString& text, const QString& symbol, int width, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), width_(width) {
    setText(text);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

QRect WarningButton::textRect(const QRect& inside) const {
    return inside.adjusted(kPadH + kGlyph + kGap, kPadV, -kPadH, -kPadV);
}

QSize WarningButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const int textWidth = width_ - 2 * kPadH - kGlyph - kGap;
    const QRect bounds = metrics.boundingRect(QRect(0, 0, textWidth, 10000), Qt::TextWordWrap, text());
    return {width_, std::max(bounds.height(), kGlyph) + 2 * kPadV};
}

void WarningButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (hasFocus()) option.state |= QStyle::State_HasFocus;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }

    const QRect text = textRect(rect());
    const QFontMetrics metrics(font());
    const QRect bounds =
        metrics.boundingRect(text, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, this->text());
    const int glyphTop = bounds.top() + (metrics.height() - kGlyph) / 2;
    paintSymbol(painter, symbol_, QRectF(kPadH, glyphTop, kGlyph, kGlyph), warningOrange());
    painter.setPen(warningOrange());
    painter.drawText(text, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, this->text());
}

}  // namespace orvalin::ui
