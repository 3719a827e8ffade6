#pragma once

#include <QWidget>

namespace orvalin::ui {

// A group box's corner radius and how strong its fill is on a dark window (0.035 on a light one).
struct GroupBoxLook {
    qreal cornerRadius = 7;
    float darkFillAlpha = 0.05F;
};

// The grouped-content box of settings pages: a softly filled rounded rectangle with a hairline
// edge, in colours that follow the appearance.
class GroupBox : public QWidget {
    Q_OBJECT
public:
    explicit GroupBox(QWidget* parent = nullptr, GroupBoxLook look = {});

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GroupBoxLook look_;
};

// The Formats tab's boxes: rounder, and as faint on a dark window as on a light one.
inline constexpr GroupBoxLook kFormatsGroupLook{8, 0.035F};

}  // namespace orvalin::ui
