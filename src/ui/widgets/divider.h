#pragma once

#include <QWidget>

namespace orvalin::ui {

// A one-pixel horizontal line in the separator colour, with space above and below.
class Divider : public QWidget {
    Q_OBJECT
public:
    explicit Divider(int above = 0, int below = 0, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int above_;
    int below_;
};

}  // namespace orvalin::ui
