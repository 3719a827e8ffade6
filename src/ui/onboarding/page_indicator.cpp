#include "ui/onboarding/page_indicator.h"

#include <QPainter>
#include <QVariantAnimation>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

namespace {
constexpr qreal kSmall = 6;
constexpr qreal kLarge = 8;
constexpr int kSpacing = 6;
constexpr int kDurationMs = 200;

// The separator colour is a hairline's: a little stronger, so the other pages' dots stay visible.
QColor plainDot(const QPalette& palette) {
    QColor color = separatorColor(palette);
    color.setAlphaF(std::min(1.0f, color.alphaF() * 2.0f));
    return color;
}

QColor mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}
}  // namespace

PageIndicator::PageIndicator(QWidget* parent) : QWidget(parent), animation_(new QVariantAnimation(this)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    animation_->setStartValue(0.0);
    animation_->setEndValue(1.0);
    animation_->setDuration(kDurationMs);
    animation_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const qreal t = value.toReal();
        for (int i = 0; i < kPages; ++i) {
            const qreal target = i == current_ ? 1 : 0;
            emphasis_[i] = from_[i] + (target - from_[i]) * t;
        }
        update();
    });
    describe();
}

void PageIndicator::setCurrent(int page, bool animated) {
    page = std::clamp(page, 0, kPages - 1);
    if (page == current_) return;
    animation_->stop();
    from_ = emphasis_;
    current_ = page;
    describe();
    if (animated) {
        animation_->start();
        return;
    }
    for (int i = 0; i < kPages; ++i) emphasis_[i] = i == current_ ? 1 : 0;
    update();
}

qreal PageIndicator::dotDiameter(int page) const {
    return kSmall + (kLarge - kSmall) * emphasis_.at(static_cast<std::size_t>(page));
}

QSize PageIndicator::sizeHint() const {
    return {static_cast<int>(kLarge) * kPages + kSpacing * (kPages - 1), kBandHeight};
}

void PageIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    qreal total = kSpacing * (kPages - 1);
    for (int i = 0; i < kPages; ++i) total += dotDiameter(i);
    qreal x = (width() - total) / 2;
    const qreal middle = height() / 2.0;
    for (int i = 0; i < kPages; ++i) {
        const qreal d = dotDiameter(i);
        painter.setBrush(
            mix(plainDot(palette()), accentColor(palette()), emphasis_[static_cast<std::size_t>(i)]));
        painter.drawEllipse(QRectF(x, middle - d / 2, d, d));
        x += d + kSpacing;
    }
}

void PageIndicator::describe() {
    setAccessibleName(tr("Étape %1 sur %2").arg(current_ + 1).arg(kPages));
}

}  // namespace orvalin::ui
