#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <string_view>

namespace orvalin::ui {

enum class Appearance { System, Light, Dark };

// "light" and "dark" exactly; anything else, the empty text and a missing value follow the system.
Appearance appearanceFromSetting(std::string_view value);

// Switches every window of the application at once: light or dark palettes on Fusion, or back to
// the platform's own style and palette for System. Remembers the platform's look on first use.
void applyAppearance(Appearance appearance);
Appearance currentAppearance();

QPalette lightPalette();
QPalette darkPalette();

// Colour roles derived from a palette, so that they follow the appearance.
QColor secondaryText(const QPalette& palette);
QColor tertiaryText(const QPalette& palette);
QColor separatorColor(const QPalette& palette);
QColor accentColor(const QPalette& palette);
QColor controlBackground(const QPalette& palette);
QColor weekendRed(const QPalette& palette);
QColor warningOrange();
QColor badgeOrange();

// Text styles, in pixels, relative to nothing but themselves so the panel keeps its proportions.
enum class TextStyle { Headline, Body, Callout, Subheadline, Caption, Caption2, MonospacedCaption };
QFont textFont(TextStyle style, QFont::Weight weight = QFont::Normal);
QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);

}  // namespace orvalin::ui
