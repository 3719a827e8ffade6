#pragma once

#include <QAbstractButton>

namespace orvalin::ui {

// A chrome-less button over a whole panel row; its children only show, the row takes the clicks.
// Hover and keyboard focus get a soft highlight.
class PanelRowButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PanelRowButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void childEvent(QChildEvent* event) override;
    // Whether to draw the focus highlight: only once the keyboard moved the focus, so the row
    // focused on opening does not look hovered to a pointer user.
    bool showsKeyboardFocus() const;
};

}  // namespace orvalin::ui
