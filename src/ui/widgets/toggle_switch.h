#pragma once

#include <QCheckBox>

namespace orvalin::ui {

// A labelled on/off control. As a switch it spans a whole row: a symbol and the text on the
// leading side, the switch on the trailing side, and the row takes the clicks. As a check box it is
// the platform's own, the symbol before the text. Space toggles it, and screen readers see a check
// box named by its text.
class ToggleSwitch : public QCheckBox {
    Q_OBJECT
public:
    enum class Look { Switch, CheckBox };
    ToggleSwitch(const QString& symbol, const QString& text, QWidget* parent = nullptr,
                 Look look = Look::Switch);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return look_ == Look::Switch; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void changeEvent(QEvent* event) override;

private:
    QRect trackRect() const;
    int textWidth(int rowWidth) const;
    void refreshIcon();

    QString symbol_;
    Look look_;
};

}  // namespace orvalin::ui
