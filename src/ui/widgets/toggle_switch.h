#pragma once

#include <QCheckBox>

namespace orvalin::ui {

// A labelled on/off switch over a whole row: a symbol and the text on the leading side, the
// switch on the trailing side. The row takes the clicks, Space toggles it, and screen readers see
// a check box named by its text.
class ToggleSwitch : public QCheckBox {
    Q_OBJECT
public:
    ToggleSwitch(const QString& symbol, const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRect trackRect() const;
    int textWidth(int rowWidth) const;

    QString symbol_;
};

}  // namespace orvalin::ui
