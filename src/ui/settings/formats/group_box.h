#pragma once

#include <QWidget>

namespace orvalin::ui {

// The grouped-content box of the settings pages: a faint fill and a hairline outline with
// rounded corners, following the appearance.
class FormatsGroupBox : public QWidget {
    Q_OBJECT
public:
    explicit FormatsGroupBox(QWidget* parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace orvalin::ui
