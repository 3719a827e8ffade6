#include "ui/widgets/prominent_button.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <cmath>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

ProminentButton::ProminentButton(const QString& text, QWidget* parent)
    : PageButton(text, parent), large_(false) {
    setFont(textFont(TextStyle::Callout, QFont::Medium));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

ProminentButton::ProminentButton(const QString& text, int width, const QString& symbol, QWidget* parent)
    : PageButton(text, parent), large_(true), symbol_(symbol) {
    setFont(textFont(TextStyle::Body, QFont::Medium));
    setFixedSize(width, kLargeHeight);
}

QSize ProminentButton::sizeHint() const {
    if (large_) return PageButton::sizeHint();
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * 10, metrics.height() + 2 * 4};
}

QSize ProminentButton::minimumSizeHint() const {
    return large_ ? PageButton::minimumSizeHint() : sizeHint();
}

QColor ProminentButton::fillColor() const {
    QColor fill = accentColor(palette());
    if (!isEnabled()) {
        if (large_) return secondaryText(palette());
        fill.setAlphaF(0.4F);
    } else if (isDown()) {
        fill = fill.darker(large_ ? 120 : 115);
    } else if (large_ && underMouse()) {
        fill = fill.lighter(108);
    }
    return fill;
}

void ProminentButton::paintButton(QPainter& painter) {
    const qreal inset = large_ ? 2 : 1.5;
    const qreal radius = large_ ? 7 : 5;
    painter.setPen(Qt::NoPen);
    painter.setBrush(fillColor());
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
    if (large_) {
        paintFocusRing(painter, radius + 1);
        paintLargeText(painter);
        return;
    }
    paintFocusRing(painter, radius + 1, 0.5, 0.5F);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void ProminentButton::paintLargeText(QPainter& painter) {
    painter.setFont(font());
    // Measured on the painter: its device may hint the text a little wider than the screen.
    const QFontMetricsF metrics = painter.fontMetrics();
    const qreal glyph = symbol_.isEmpty() ? 0 : metrics.height();
    const qreal gap = glyph > 0 ? 6 : 0;
    const qreal room = width() - 20 - glyph - gap;
    const QString shown = metrics.elidedText(text(), Qt::ElideRight, room);
    const qreal textWidth = std::min(std::ceil(metrics.horizontalAdvance(shown)) + 1, room);
    qreal x = (width() - glyph - gap - textWidth) / 2;
    if (glyph > 0) {
        paintSymbol(painter, symbol_, QRectF(x, (height() - glyph) / 2.0, glyph, glyph), Qt::white);
        x += glyph + gap;
    }
    painter.setPen(Qt::white);
    painter.drawText(QRectF(x, 0, textWidth, height()), Qt::AlignVCenter | Qt::AlignLeft, shown);
}

void ProminentButton::keyPressEvent(QKeyEvent* event) {
    if (!large_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        animateClick();
        return;
    }
    PageButton::keyPressEvent(event);
}

}  // namespace orvalin::ui
