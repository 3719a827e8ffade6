#include "ui/panel/panel_row_button.h"

#include <QChildEvent>
#include <QLayout>
#include <QPainter>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

PanelRowButton::PanelRowButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize PanelRowButton::sizeHint() const {
    return layout() ? layout()->sizeHint() : QSize(0, 0);
}
QSize PanelRowButton::minimumSizeHint() const {
    return layout() ? layout()->minimumSize() : QSize(0, 0);
}

void PanelRowButton::childEvent(QChildEvent* event) {
    // The row is the button: clicks on its texts and glyphs must reach it.
    if (event->added() && event->child()->isWidgetType()) {
        static_cast<QWidget*>(event->child())->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QAbstractButton::childEvent(event);
}

bool PanelRowButton::showsKeyboardFocus() const {
    return hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void PanelRowButton::paintEvent(QPaintEvent*) {
    if (!(underMouse() || isDown() || showsKeyboardFocus())) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor fill = separatorColor(palette());
    if (isDown()) fill.setAlphaF(std::min(1.0f, fill.alphaF() * 1.8f));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(6, 1, -6, -1), 6, 6);
}

}  // namespace orvalin::ui
