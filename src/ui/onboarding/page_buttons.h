#pragma once

#include <QPushButton>

class QVariantAnimation;

namespace orvalin::ui {

// A button of the onboarding pages that can come in and go out by growing and fading
// (presence 0 = gone, 1 = fully there). Tab reaches it; Enter is left to the page.
class PageButton : public QPushButton {
    Q_OBJECT
public:
    explicit PageButton(const QString& text, QWidget* parent = nullptr);

    qreal presence() const { return presence_; }
    // Shows or hides the button, growing and fading over `durationMs` when animated.
    void setPresent(bool present, bool animated, int durationMs);

signals:
    // The button is fully there or fully gone (at once, or once the animation ends).
    void settled(bool present);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws the button at full size and opacity; the base class applies the presence.
    virtual void paintButton(QPainter& painter) = 0;
    void paintFocusRing(QPainter& painter, qreal radius);

private:
    qreal presence_ = 1;
    QVariantAnimation* animation_ = nullptr;
};

// The filled, accent-coloured button of large control size that carries a page forward,
// optionally with a symbol before its text, on a fixed width.
class PageProminentButton : public PageButton {
    Q_OBJECT
public:
    static constexpr int kHeight = 32;
    PageProminentButton(const QString& text, int width, const QString& symbol = {}, QWidget* parent = nullptr);
    QString symbol() const { return symbol_; }

protected:
    void paintButton(QPainter& painter) override;

private:
    QString symbol_;
};

// A borderless text button in the secondary colour.
class PlainTextButton : public PageButton {
    Q_OBJECT
public:
    explicit PlainTextButton(const QString& text, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintButton(QPainter& painter) override;
};

}  // namespace orvalin::ui
