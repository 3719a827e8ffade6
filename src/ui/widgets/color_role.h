#pragma once

#include <QColor>
#include <QPalette>

namespace orvalin::ui {

// Which palette-derived colour a piece of text is drawn in; resolved at paint time so that an
// appearance change recolours everything at once.
enum class ColorRole { Primary, Secondary, Tertiary, Accent, Orange, White };

QColor resolveColor(ColorRole role, const QPalette& palette);

}  // namespace orvalin::ui
