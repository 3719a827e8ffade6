#pragma once

#include "ui/widgets/page_button.h"

namespace orvalin::ui {

// The filled, accent-coloured button of a page's main action. Small: the settings pages' control
// size, as wide as its text, pressed by Enter too (it is the one action of its row). Large: the
// onboarding's, on a fixed width, optionally with a symbol before its text, Enter left to the page.
class ProminentButton : public PageButton {
    Q_OBJECT
public:
    static constexpr int kLargeHeight = 32;
    explicit ProminentButton(const QString& text, QWidget* parent = nullptr);
    ProminentButton(const QString& text, int width, const QString& symbol = {}, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintButton(QPainter& painter) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor fillColor() const;
    void paintLargeText(QPainter& painter);

    bool large_;
    QString symbol_;
};

}  // namespace orvalin::ui
