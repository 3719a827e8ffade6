#include "ui/widgets/color_role.h"

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

QColor resolveColor(ColorRole role, const QPalette& palette) {
    switch (role) {
        case ColorRole::Primary:
            return palette.color(QPalette::WindowText);
        case ColorRole::Secondary:
            return secondaryText(palette);
        case ColorRole::Tertiary:
            return tertiaryText(palette);
        case ColorRole::Accent:
            return accentColor(palette);
        case ColorRole::Orange:
            return warningOrange();
        case ColorRole::White:
            return Qt::white;
    }
    return palette.color(QPalette::WindowText);
}

}  // namespace orvalin::ui
