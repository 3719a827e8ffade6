#include "ui/widgets/group_box.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

GroupBox::GroupBox(QWidget* parent, GroupBoxLook look) : QWidget(parent), look_(look) {
    // Never capped at its size hint: wrapped text inside may need more height at a given width.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void GroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const bool dark = pal.color(QPalette::Window).lightnessF() < 0.5;
    QColor fill = pal.color(QPalette::WindowText);
    fill.setAlphaF(dark ? look_.darkFillAlpha : 0.035F);
    QPainterPath path;
    const qreal radius = look_.cornerRadius;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.fillPath(path, fill);
    painter.setPen(QPen(separatorColor(pal), 1));
    painter.drawPath(path);
}

}  // namespace orvalin::ui
