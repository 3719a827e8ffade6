#pragma once

#include "core/shortcut.h"
#include "ui/panel/panel_row_button.h"

class QHBoxLayout;

namespace orvalin::ui {

// One format: label, its date, trimmed trigger, key-combination badge. A screen reader hears the
// label and the date, then the day when it is not today, the trigger and the combination.
class FormatRow : public PanelRowButton {
    Q_OBJECT
public:
    FormatRow(const Shortcut& entry, const QString& preview, QWidget* parent = nullptr);

private:
    void addTrigger(QHBoxLayout* line, const QString& trigger);
    void addBadge(QHBoxLayout* line, const QString& combination);
};

}  // namespace orvalin::ui
