#include "ui/widgets/divider.h"

#include <QPainter>

#include "ui/widgets/accessible_role.h"
#include "ui/widgets/appearance.h"

namespace orvalin::ui {

Divider::Divider(int above, int below, QWidget* parent) : QWidget(parent), above_(above), below_(below) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleRole(this, QAccessible::Separator);
}

QSize Divider::sizeHint() const {
    return {1, above_ + 1 + below_};
}

void Divider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, above_, width(), 1), separatorColor(palette()));
}

}  // namespace orvalin::ui
