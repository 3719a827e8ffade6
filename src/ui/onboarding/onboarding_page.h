#pragma once

#include <QWidget>

class QAbstractButton;
class QVBoxLayout;

namespace orvalin::ui {

// One page of the onboarding: a column of centred elements inset 40 on both sides. Enter
// presses its main button, whichever control has the keyboard.
class OnboardingPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSideInset = 40;
    // The least room above the content and between the content and the buttons.
    static constexpr int kTopSpace = 8;
    static constexpr int kMiddleSpace = 8;

    explicit OnboardingPage(QWidget* parent = nullptr);
    // The button Enter presses; the first to get the keyboard when the page comes in.
    virtual QAbstractButton* mainButton() const = 0;

protected:
    QVBoxLayout* column() const { return column_; }
    // Flexible space that keeps `minimum` pixels even when the page is full.
    void addFlexibleSpace(int minimum);
    // Adds a centred element with `below` pixels of space after it.
    void addCentred(QWidget* element, int below = 0);
    void keyPressEvent(QKeyEvent* event) override;

private:
    QVBoxLayout* column_;
};

}  // namespace orvalin::ui
