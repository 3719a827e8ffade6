#include "ui/onboarding/symbol_badge.h"

#include <QPainter>
#include <QVariantAnimation>

#include "ui/widgets/icons.h"

namespace orvalin::ui {

namespace {
constexpr qreal kTint = 0.15;
}

SymbolBadge::SymbolBadge(const QString& symbol, const QColor& color, int glyphSize, QWidget* parent)
    : QWidget(parent),
      symbol_(symbol),
      color_(color),
      glyphSize_(glyphSize),
      fade_(new QVariantAnimation(this)) {
    setFixedSize(kSide, kSide);
    fade_->setStartValue(0.0);
    fade_->setEndValue(1.0);
    fade_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        progress_ = value.toReal();
        update();
    });
}

void SymbolBadge::setState(const QString& symbol, const QColor& color, bool animated, int durationMs) {
    if (symbol == symbol_ && color == color_) return;
    fade_->stop();
    previousSymbol_ = symbol_;
    previousColor_ = color_;
    symbol_ = symbol;
    color_ = color;
    progress_ = animated ? 0 : 1;
    if (animated) {
        fade_->setDuration(durationMs);
        fade_->start();
    }
    update();
}

void SymbolBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (progress_ < 1) paintLayer(painter, previousSymbol_, previousColor_, 1 - progress_);
    paintLayer(painter, symbol_, color_, progress_);
}

void SymbolBadge::paintLayer(QPainter& painter, const QString& symbol, const QColor& color, qreal opacity) {
    painter.save();
    painter.setOpacity(opacity);
    QColor tint = color;
    tint.setAlphaF(static_cast<float>(kTint));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint);
    painter.drawEllipse(QRectF(rect()));
    const qreal side = glyphSize_;
    paintSymbol(painter, symbol, QRectF((width() - side) / 2, (height() - side) / 2, side, side), color);
    painter.restore();
}

}  // namespace orvalin::ui
