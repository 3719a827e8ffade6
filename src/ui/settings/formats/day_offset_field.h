#pragma once

#include <QObject>

class QComboBox;
class QHBoxLayout;
class QLayout;
class QSpinBox;
class QWidget;

namespace orvalin::ui {

class ElidedLabel;

// The day a format inserts: a pop-up of "Aujourd'hui", "Demain", "Hier" and "Autre…", the last
// showing a field of days after today (negative: before it) and what the number means. It only
// edits the number; the card stores it.
//
// A row of widgets rather than a widget: the row's caption must be the pop-up's sibling for
// screen readers to take it as its label.
class DayOffsetField : public QObject {
    Q_OBJECT
public:
    // The widgets belong to `parent` until the row's layout is placed.
    explicit DayOffsetField(QWidget* parent);

    QLayout* layout() const;

    // Shows `days` unless it is already shown, so that someone typing the number keeps the field.
    void setDays(int days);
    int days() const { return days_; }
    // Names the controls after the format they belong to, for screen readers.
    void setOwnerName(const QString& formatName);

    QComboBox* choice() const { return choice_; }
    QSpinBox* count() const { return count_; }

signals:
    // The user chose another day.
    void daysEdited(int days);

private:
    void choose(int index);
    void type(int days);
    // The pop-up's item, the field's visibility and value, and the phrase, as `days_` says.
    void refresh();

    QComboBox* choice_;
    QSpinBox* count_;
    ElidedLabel* phrase_;
    QHBoxLayout* row_;
    int days_ = 0;
    bool other_ = false;  // "Autre…" chosen, or a day none of the other items names
};

}  // namespace orvalin::ui
