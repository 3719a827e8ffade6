#pragma once

#include <QAbstractButton>
#include <functional>
#include <optional>

#include "core/month_grid.h"

namespace orvalin::ui {

// One place of the month grid: a day number in a 26 × 26 frame, or an empty place, which is
// hidden but keeps its room. Selected: white on a filled accent disc; today: bold accent number in
// an accent ring; other months: tertiary; Saturday and Sunday: red. A screen reader hears the full
// date ("mardi 10 février 2026").
class CalendarDayCell : public QAbstractButton {
    Q_OBJECT
public:
    struct Day {
        Instant date;
        int dayOfMonth = 0;
        int weekday = 0;  // 1 = Sunday … 7 = Saturday
        bool isToday = false;
        bool isSelected = false;
        bool isCurrentMonth = true;
        QString fullDate;  // the spoken name
    };

    explicit CalendarDayCell(QWidget* parent = nullptr);

    // Shows a day, or an empty place when none.
    void setDay(std::optional<Day> day);
    const std::optional<Day>& day() const { return day_; }
    void setOnTap(std::function<void()> onTap) { onTap_ = std::move(onTap); }

    QColor textColor() const;

    QSize sizeHint() const override { return {28, 28}; }
    QSize minimumSizeHint() const override { return {28, 28}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<Day> day_;
    std::function<void()> onTap_;
};

}  // namespace orvalin::ui
