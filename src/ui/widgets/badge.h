#pragma once

#include <QColor>
#include <QWidget>

#include "ui/widgets/color_role.h"

namespace orvalin::ui {

// A small text on a filled shape: a capsule, or a rounded rectangle with a hairline outline.
class Badge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text)
public:
    enum class Shape { Capsule, RoundedRect };
    Badge(const QString& text, Shape shape, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setFill(ColorRole textRole, QColor fill, bool outlined);
    // A fill that follows the palette: the control background.
    void setControlBackgroundFill(ColorRole textRole);
    // Space between the text and the shape's edge (5 and 2 unless told).
    void setPadding(int horizontal, int vertical);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    Shape shape_;
    ColorRole textRole_ = ColorRole::White;
    QColor fill_;
    bool paletteFill_ = false;
    bool outlined_ = false;
    int paddingH_ = 5;
    int paddingV_ = 2;
};

}  // namespace orvalin::ui
