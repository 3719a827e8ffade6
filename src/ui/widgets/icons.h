#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QPainter;
class QRectF;

namespace orvalin::ui {

// Freedesktop theme names tried, in order, for a symbol name ("calendar", "trash"…).
QStringList themeNamesForSymbol(const QString& symbol);

// The desktop theme's icon for the symbol, or the built-in drawing when the theme has none, so
// that no icon is ever blank.
QIcon symbolIcon(const QString& symbol);

// The built-in drawing of the symbol in one colour. Used where the colour carries meaning (a
// secondary chevron, an orange warning), which theme icons cannot take.
QIcon symbolGlyph(const QString& symbol, const QColor& color);

// The built-in drawing of the symbol at `side` logical pixels, drawn for the given pixel ratio so
// that it stays sharp on scaled screens.
QPixmap symbolPixmap(const QString& symbol, const QColor& color, int side, qreal devicePixelRatio);

// Draws the built-in glyph of `symbol` inside `box`. An unknown name gets a neutral mark.
void paintSymbol(QPainter& painter, const QString& symbol, const QRectF& box, const QColor& color);

}  // namespace orvalin::ui
