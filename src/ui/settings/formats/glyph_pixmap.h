#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

namespace orvalin::ui {

// One built-in symbol drawn once at the size and pixel ratio asked, then kept: a page of many
// cards shows the same few symbols in the same colours over and over.
QPixmap glyphPixmap(const QString& symbol, const QColor& color, int side, qreal devicePixelRatio);

}  // namespace orvalin::ui
