#pragma once

#include <QPushButton>

class QVariantAnimation;

namespace orvalin::ui {

// A button of the settings and onboarding pages that can come in and go out by growing and fading
// (presence 0 = gone, 1 = fully there). Tab reaches it; Enter is left to the page.
class PageButton : public QPushButton {
    Q_OBJECT
public:
    explicit PageButton(const QString& text, QWidget* parent = nullptr);

    // Shows or hides the button, growing and fading over `durationMs` when animated.
    void setPresent(bool present, bool animated, int durationMs);

signals:
    // The button is fully there or fully gone (at once, or once the animation ends).
    void settled(bool present);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws the button at full size and opacity; the base class applies the presence.
    virtual void paintButton(QPainter& painter) = 0;
    // A two-pixel accent ring `inset` inside the edge, shown while the button has the focus.
    void paintFocusRing(QPainter& painter, qreal radius, qreal inset = 1, float alpha = 0.55F);

private:
    qreal presence_ = 1;
    QVariantAnimation* animation_ = nullptr;
};

}  // namespace orvalin::ui
