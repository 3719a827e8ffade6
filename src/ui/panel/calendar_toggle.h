#pragma once

#include "ui/panel/panel_row_button.h"

class QPropertyAnimation;

namespace orvalin::ui {

class ElidedLabel;
class GlyphButton;

// "Choisir une date" with a chevron that turns down while the calendar is shown.
class CalendarToggle : public PanelRowButton {
    Q_OBJECT
public:
    explicit CalendarToggle(QWidget* parent = nullptr);
    // Reflects the state; animates the chevron unless `animated` is false.
    void setExpanded(bool expanded, bool animated);

private:
    ElidedLabel* label_;
    GlyphButton* icon_;
    GlyphButton* chevron_;
    QPropertyAnimation* turn_;
};

}  // namespace orvalin::ui
