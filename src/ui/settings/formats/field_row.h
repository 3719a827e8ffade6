#pragma once

#include <QString>
#include <QWidget>

class QHBoxLayout;
class QLayout;

#include "ui/settings/formats/icon_label.h"

namespace orvalin::ui {

// One labelled row of a format card: the symbol and label in a fixed 108-point column, in the
// secondary colour, then the row's content.
class FieldRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLabelWidth = 108;

    FieldRow(const QString& icon, const QString& label, QWidget* content, QWidget* parent = nullptr);
    // A content of several widgets, which become the row's own.
    FieldRow(const QString& icon, const QString& label, QLayout* content, QWidget* parent = nullptr);

    // The control the label names for screen readers: a pop-up's own name is its current item.
    void setBuddy(QWidget* control);

protected:
    void changeEvent(QEvent* event) override;

private:
    QHBoxLayout* layOutCaption();
    void refreshColors();

    IconLabel* caption_;
};

}  // namespace orvalin::ui
