#pragma once

class QColor;
class QPainter;
class QRectF;
class QString;

namespace orvalin::ui {

// Drawings of the settings window's symbols (gears, globe, envelope…), with the painter's pen
// already set up by paintSymbol; the symbol table in icons.cpp names them. False for a name it
// does not draw.
bool paintMoreSymbol(QPainter& painter, const QString& symbol, const QRectF& box, const QColor& color);

}  // namespace orvalin::ui
