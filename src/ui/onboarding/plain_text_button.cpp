#include "ui/onboarding/plain_text_button.h"

#include <QPainter>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

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
