#include "ui/onboarding/page_buttons.h"

#include <QEasingCurve>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <cmath>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

namespace {
// How small a button is when it starts to come in.
constexpr qreal kSmallestScale = 0.8;
}  // namespace

PageButton::PageButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAutoDefault(false);
    setDefault(false);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(text);
}

void PageButton::setPresent(bool present, bool animated, int durationMs) {
    const qreal target = present ? 1.0 : 0.0;
    if (animation_) animation_->stop();
    if (present) show();
    if (!animated || presence_ == target) {
        presence_ = target;
        setVisible(present);
        update();
        emit settled(present);
        return;
    }
    if (!animation_) {
        animation_ = new QVariantAnimation(this);
        animation_->setEasingCurve(QEasingCurve::InOutQuad);
        connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            presence_ = value.toReal();
            update();
        });
    }
    animation_->setDuration(durationMs);
    animation_->setStartValue(presence_);
    animation_->setEndValue(target);
    disconnect(animation_, &QVariantAnimation::finished, this, nullptr);
    connect(animation_, &QVariantAnimation::finished, this, [this, present] {
        setVisible(present);
        emit settled(present);
    });
    animation_->start();
}

void PageButton::paintEvent(QPaintEvent*) {
    if (presence_ <= 0) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (presence_ < 1) {
        const qreal scale = kSmallestScale + (1 - kSmallestScale) * presence_;
        const QPointF centre = QRectF(rect()).center();
        painter.setOpacity(presence_);
        painter.translate(centre);
        painter.scale(scale, scale);
        painter.translate(-centre);
    }
    paintButton(painter);
}

void PageButton::paintFocusRing(QPainter& painter, qreal radius) {
    if (!hasFocus()) return;
    QColor ring = accentColor(palette());
    ring.setAlphaF(0.55f);
    painter.setPen(QPen(ring, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), radius, radius);
}

PageProminentButton::PageProminentButton(const QString& text, int width, const QString& symbol, QWidget* parent)
    : PageButton(text, parent), symbol_(symbol) {
    setFont(textFont(TextStyle::Body, QFont::Medium));
    setFixedSize(width, kHeight);
}

void PageProminentButton::paintButton(QPainter& painter) {
    QColor fill = accentColor(palette());
    if (!isEnabled()) {
        fill = secondaryText(palette());
    } else if (isDown()) {
        fill = fill.darker(120);
    } else if (underMouse()) {
        fill = fill.lighter(108);
    }
    const qreal radius = 7;
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), radius, radius);
    paintFocusRing(painter, radius + 1);

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

PlainTextButton::PlainTextButton(const QString& text, QWidget* parent) : PageButton(text, parent) {
    setFont(textFont(TextStyle::Callout));
    setFlat(true);
}

QSize PlainTextButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 16, metrics.height() + 8};
}

void PlainTextButton::paintButton(QPainter& painter) {
    QColor color = isDown() ? palette().color(QPalette::WindowText) : secondaryText(palette());
    painter.setPen(color);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
    if (underMouse() && !isDown()) {
        const QFontMetrics metrics(font());
        const int w = metrics.horizontalAdvance(text());
        const int y = (height() + metrics.ascent()) / 2 + 2;
        painter.drawLine(QPointF((width() - w) / 2.0, y + 0.5), QPointF((width() + w) / 2.0, y + 0.5));
    }
    paintFocusRing(painter, 5);
}

}  // namespace orvalin::ui
