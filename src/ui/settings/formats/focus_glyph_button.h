#pragma once

#include "ui/widgets/glyph_button.h"

namespace orvalin::ui {

// A glyph button that the keyboard reaches: Tab stops on it, Space presses it, and it draws a
// focus ring while it has the focus.
class FocusGlyphButton : public GlyphButton {
    Q_OBJECT
public:
    FocusGlyphButton(const QString& symbol, QSize frame, int glyphSize, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace orvalin::ui
