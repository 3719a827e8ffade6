#include "ui/settings/formats/focus_glyph_button.h"

#include <QPainter>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

FocusGlyphButton::FocusGlyphButton(const QString& symbol, QSize frame, int glyphSize, QWidget* parent)
    : GlyphButton(symbol, frame, glyphSize, parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void FocusGlyphButton::paintEvent(QPaintEvent* event) {
    GlyphButton::paintEvent(event);
    if (!hasFocus() && !isChecked()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor ring = accentColor(palette());
    if (!hasFocus()) ring.setAlphaF(0.35f);  // checked: the reference it opened is showing
    painter.setPen(QPen(ring, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
}

}  // namespace orvalin::ui
