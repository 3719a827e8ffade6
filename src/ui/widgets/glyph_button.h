#pragma once

#include <QAbstractButton>

#include "ui/widgets/color_role.h"

namespace orvalin::ui {

// A chrome-less button showing one built-in symbol glyph in a colour role, with a soft hover
// disc so the pointer has feedback. The glyph may be turned (degrees) for disclosure chevrons.
class GlyphButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(qreal rotation READ rotation WRITE setRotation)
public:
    GlyphButton(const QString& symbol, QSize frame, int glyphSize, QWidget* parent = nullptr);

    QString symbol() const { return symbol_; }
    void setColorRole(ColorRole role);
    qreal rotation() const { return rotation_; }
    void setRotation(qreal degrees);
    // Whether to draw the hover disc (off when the glyph sits inside a larger clickable row).
    void setHoverFeedback(bool enabled) { hoverFeedback_ = enabled; }

    QSize sizeHint() const override { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    QSize frame_;
    int glyphSize_;
    ColorRole role_ = ColorRole::Secondary;
    qreal rotation_ = 0;
    bool hoverFeedback_ = true;
};

}  // namespace orvalin::ui
