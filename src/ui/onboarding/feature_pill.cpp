#include "ui/onboarding/feature_pill.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

namespace {
constexpr int kInsetX = 12;
constexpr int kInsetY = 7;
constexpr int kSpacing = 6;
constexpr qreal kRadius = 8;
}  // namespace

FeaturePill::FeaturePill(const QString& icon, const QString& label, QWidget* parent)
    : QWidget(parent), icon_(icon), label_(label) {
    setFont(textFont(TextStyle::Callout));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(label);
}

int FeaturePill::glyphSide() const {
    return QFontMetrics(font()).height();
}

QSize FeaturePill::sizeHint() const {
    const QFontMetrics metrics(font());
    return {kInsetX + glyphSide() + kSpacing + metrics.horizontalAdvance(label_) + kInsetX,
            kInsetY + metrics.height() + kInsetY};
}

void FeaturePill::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(separatorColor(palette()), 1));
    painter.setBrush(controlBackground(palette()));
    painter.drawRoundedRect(shape, kRadius, kRadius);

    const QFontMetrics metrics(font());
    const int side = glyphSide();
    paintSymbol(painter, icon_, QRectF(kInsetX, (height() - side) / 2.0, side, side), accentColor(palette()));
    painter.setPen(secondaryText(palette()));
    painter.setFont(font());
    painter.drawText(QRect(kInsetX + side + kSpacing, 0, width() - kInsetX - side - kSpacing, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, label_);
}

}  // namespace orvalin::ui
