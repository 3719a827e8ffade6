#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "core/month_grid.h"

class QTimer;

namespace orvalin::ui {

class CalendarDayCell;
class ElidedLabel;
class GlyphButton;

// One month with week numbers and weekday initials; steps month by month and reports the clicked
// day. Its only state is the displayed month and the selected day, both forgotten when it hides.
// Today and the days follow the clock's date and the system's time zone, also while it stays open.
class MiniCalendarView : public QWidget {
    Q_OBJECT
public:
    MiniCalendarView(const Clock& clock, const MonthGrid& grid, std::function<void(Instant)> onDateSelected,
                     QWidget* parent = nullptr);

    void shiftMonth(int months);

    // For the keyboard: the cell of the day after (`direction` 1) or before (-1) the one `from`
    // shows, stepping into the neighbouring month at either end; null when `from` shows no day.
    CalendarDayCell* stepDay(const CalendarDayCell* from, int direction);
    // The same day number `months` months on (the last day when that month is shorter); the
    // first day when `from` is null.
    CalendarDayCell* stepMonths(const CalendarDayCell* from, int months);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildHeader();
    void buildGrid();
    void refresh();
    void showWeek(std::size_t row, const std::optional<CalendarWeek>& week, Instant today);
    void nameWeekdayHeadings(const std::vector<CalendarWeek>& weeks);
    void select(std::size_t row, std::size_t column);
    void onDayChange();
    std::vector<CalendarDayCell*> dayCells() const;

    static constexpr int kMaxRows = 6;

    std::function<void(Instant)> onDateSelected_;
    const Clock& clock_;
    const MonthGrid& grid_;
    Instant displayedMonth_;
    std::optional<Instant> selectedDate_;
    Instant today_{};
    QTimer* dayChange_ = nullptr;
    int rowCount_ = 0;

    ElidedLabel* title_ = nullptr;
    GlyphButton* previous_ = nullptr;
    GlyphButton* next_ = nullptr;
    std::array<ElidedLabel*, 7> headings_{};
    std::array<ElidedLabel*, kMaxRows> weekNumbers_{};
    std::array<std::array<CalendarDayCell*, 7>, kMaxRows> cells_{};
};

}  // namespace orvalin::ui
