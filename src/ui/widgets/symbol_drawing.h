#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <functional>
#include <map>

namespace orvalin::ui::symbols {

// Draws one symbol inside a box in one colour. The painter comes with a round pen in that colour,
// a width that follows the box, and no brush; a drawing that wants otherwise sets its own.
using Drawing = std::function<void(QPainter&, const QRectF&, const QColor&)>;

// Coordinates as fractions of the box, so one drawing serves every size.
inline QPointF at(const QRectF& box, qreal x, qreal y) {
    return {box.left() + x * box.width(), box.top() + y * box.height()};
}

inline QRectF part(const QRectF& box, qreal x, qreal y, qreal w, qreal h) {
    return {at(box, x, y), QSizeF(w * box.width(), h * box.height())};
}

inline qreal unitOf(const QRectF& box) {
    return std::min(box.width(), box.height());
}

inline QPen strokePen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The larger drawings by name: the filled status and action symbols (shields, circles, lock,
// power…) and the settings window's outlined ones (gears, globe, envelope…).
const std::map<QString, Drawing>& namedDrawings();

}  // namespace orvalin::ui::symbols
