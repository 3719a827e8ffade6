#pragma once

#include <QAbstractButton>

namespace orvalin::ui {

// An ordinary push button whose orange content (a warning glyph and a text) wraps onto more
// lines when it does not fit `width`.
class WarningButton : public QAbstractButton {
    Q_OBJECT
public:
    WarningButton(const QString& text, const QString& symbol, int width, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect(const QRect& inside) const;

    QString symbol_;
    int width_;
};

}  // namespace orvalin::ui
