#pragma once

#include "ui/widgets/page_button.h"

namespace orvalin::ui {

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
