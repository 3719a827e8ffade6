#pragma once

#include <QWidget>
#include <array>

class QVariantAnimation;

namespace orvalin::ui {

// Three dots, the current page's larger and in the accent colour. Moving to another page grows
// and colours its dot while the previous one shrinks back.
class PageIndicator : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPages = 3;
    static constexpr int kBandHeight = 28;

    explicit PageIndicator(QWidget* parent = nullptr);

    int current() const { return current_; }
    void setCurrent(int page, bool animated);
    // Diameter of a dot as drawn now (animation included).
    qreal dotDiameter(int page) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void describe();

    int current_ = 0;
    std::array<qreal, kPages> emphasis_{1, 0, 0};  // 0 plain, 1 current
    std::array<qreal, kPages> from_{1, 0, 0};
    QVariantAnimation* animation_;
};

}  // namespace orvalin::ui
