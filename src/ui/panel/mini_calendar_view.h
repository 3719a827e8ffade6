#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "core/month_grid.h"

namespace orvalin::ui {

class CalendarDayCell;
class ElidedLabel;
class GlyphButton;

// One month with week numbers and weekday initials; steps month by month and reports the clicked
// day. Its only state is the displayed month and the selected day, both forgotten when it hides.
class MiniCalendarView : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<Instant()>;

    explicit MiniCalendarView(std::function<void(Instant)> onDateSelected, QWidget* parent = nullptr,
                              const MonthGrid& grid = MonthGrid::current(), Clock now = {});

    Instant displayedMonth() const { return displayedMonth_; }
    std::optional<Instant> selectedDate() const { return selectedDate_; }
    void shiftMonth(int months);

    QString monthTitleText() const;
    QStringList weekdayHeadings() const;
    // Visible rows of the grid: their week numbers and their cells.
    int rowCount() const { return rowCount_; }
    QString weekNumberOfRow(int row) const;
    CalendarDayCell* cellAt(int row, int column) const;
    // The cell showing that day of the displayed month, if any.
    CalendarDayCell* cellForDay(int dayOfMonth) const;
    GlyphButton* previousButton() const { return previous_; }
    GlyphButton* nextButton() const { return next_; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();
    void select(Instant day);

    static constexpr int kMaxRows = 6;

    std::function<void(Instant)> onDateSelected_;
    const MonthGrid& grid_;
    Clock now_;
    Instant displayedMonth_;
    std::optional<Instant> selectedDate_;
    int rowCount_ = 0;

    ElidedLabel* title_ = nullptr;
    GlyphButton* previous_ = nullptr;
    GlyphButton* next_ = nullptr;
    std::array<ElidedLabel*, 7> headings_{};
    std::array<ElidedLabel*, kMaxRows> weekNumbers_{};
    std::array<std::array<CalendarDayCell*, 7>, kMaxRows> cells_{};
};

}  // namespace orvalin::ui
