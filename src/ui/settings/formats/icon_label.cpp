#include "ui/settings/formats/icon_label.h"

#include <QEvent>
#include <QPainter>

#include "ui/settings/formats/glyph_pixmap.h"

namespace orvalin::ui {

IconLabel::IconLabel(const QString& symbol, const QString& text, int spacing, QWidget* parent)
    : QLabel(text, parent), symbol_(symbol), spacing_(spacing) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    makeRoom();
}

int IconLabel::side() const {
    return fontMetrics().height();
}

// The symbol sits in the left margin, so the text keeps QLabel's own layout and size hint.
void IconLabel::makeRoom() {
    setContentsMargins(side() + spacing_, 0, 0, 0);
}

void IconLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) makeRoom();
    QLabel::changeEvent(event);
}

void IconLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    QPainter painter(this);
    const int s = side();
    painter.drawPixmap(0, (height() - s) / 2,
                       glyphPixmap(symbol_, palette().color(foregroundRole()), s, devicePixelRatioF()));
}

}  // namespace orvalin::ui
