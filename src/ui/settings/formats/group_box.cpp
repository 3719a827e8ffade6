#include "ui/settings/formats/group_box.h"

#include <QPainter>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

void FormatsGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::WindowText);
    fill.setAlphaF(0.035f);
    painter.setBrush(fill);
    painter.setPen(QPen(separatorColor(palette()), 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

}  // namespace orvalin::ui
