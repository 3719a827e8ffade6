#include "ui/settings/formats/conflict_mark.h"

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

ConflictMark::ConflictMark(const QString& help, QWidget* parent)
    : IconLabel("exclamationmark.triangle.fill", tr("Déjà utilisé"), 3, parent) {
    setFont(textFont(TextStyle::Caption));
    QPalette orange = palette();
    orange.setColor(QPalette::WindowText, warningOrange());
    setPalette(orange);
    setToolTip(help);
    setAccessibleName(text());
    setAccessibleDescription(help);
}

}  // namespace orvalin::ui
