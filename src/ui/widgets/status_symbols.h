#pragma once

#include <QColor>
#include <QString>

class QPainter;
class QRectF;

namespace orvalin::ui {

// Built-in drawings of the filled status and action symbols (shields, circles, lock, power, the
// outward arrow, the keyboard with a warning). Part of paintSymbol; false for other names.
bool paintStatusSymbol(QPainter& painter, const QString& symbol, const QRectF& box, const QColor& color);

}  // namespace orvalin::ui
