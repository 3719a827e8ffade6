#include "ui/panel/mini_calendar_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>

#include "ui/panel/calendar_day_cell.h"
#include "ui/widgets/accessible_role.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/color_role.h"
#include "ui/widgets/elided_label.h"
#include "ui/widgets/glyph_button.h"

namespace orvalin::ui {

MiniCalendarView::MiniCalendarView(const Clock& clock, const MonthGrid& grid,
                                   std::function<void(Instant)> onDateSelected, QWidget* parent)
    : QWidget(parent),
      onDateSelected_(std::move(onDateSelected)),
      clock_(clock),
      grid_(grid),
      displayedMonth_(clock_.now()) {
    setAccessibleRole(this, QAccessible::Grouping);
    setAccessibleName(tr("Calendrier"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);
    buildHeader();
    buildGrid();
    dayChange_ = new QTimer(this);
    dayChange_->setSingleShot(true);
    connect(dayChange_, &QTimer::timeout, this, [this] { onDayChange(); });
    refresh();
}

void MiniCalendarView::buildHeader() {
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    title_ = new ElidedLabel({}, this);
    title_->setObjectName("monthTitle");
    title_->setFont(textFont(TextStyle::Callout, QFont::DemiBold));
    title_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    previous_ = new GlyphButton("chevron.left", QSize(26, 26), 12, this);
    next_ = new GlyphButton("chevron.right", QSize(26, 26), 12, this);
    previous_->setAccessibleName(tr("Mois précédent"));
    next_->setAccessibleName(tr("Mois suivant"));
    for (GlyphButton* arrow : {previous_, next_}) arrow->setFocusPolicy(Qt::TabFocus);
    connect(previous_, &QAbstractButton::clicked, this, [this] { shiftMonth(-1); });
    connect(next_, &QAbstractButton::clicked, this, [this] { shiftMonth(1); });
    header->addWidget(title_, 1, Qt::AlignVCenter);
    header->addWidget(previous_, 0, Qt::AlignVCenter);
    header->addWidget(next_, 0, Qt::AlignVCenter);
    static_cast<QBoxLayout*>(layout())->addLayout(header);
}

void MiniCalendarView::buildGrid() {
    auto* gridLayout = new QGridLayout;
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setHorizontalSpacing(2);
    gridLayout->setVerticalSpacing(2);
    gridLayout->setColumnMinimumWidth(0, 20);
    for (int column = 1; column <= 7; ++column) {
        gridLayout->setColumnMinimumWidth(column, 28);
        gridLayout->setColumnStretch(column, 1);
    }
    gridLayout->addItem(new QSpacerItem(20, 18, QSizePolicy::Fixed, QSizePolicy::Fixed), 0, 0);
    const auto initials = grid_.weekdayInitials();
    for (std::size_t i = 0; i < 7; ++i) {
        auto* heading = new ElidedLabel(QString::fromStdString(initials[i]), this);
        heading->setFont(textFont(TextStyle::Caption2, QFont::Medium));
        heading->setColorRole(ColorRole::Secondary);
        heading->setAlignment(Qt::AlignCenter);
        heading->setFixedHeight(18);
        heading->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        headings_[i] = heading;
        gridLayout->addWidget(heading, 0, static_cast<int>(i) + 1);
    }
    for (std::size_t row = 0; row < kMaxRows; ++row) {
        auto* number = new ElidedLabel({}, this);
        number->setFont(systemFont(10));
        number->setColorRole(ColorRole::Tertiary);
        number->setAlignment(Qt::AlignCenter);
        number->setFixedWidth(20);
        number->setElidable(false);
        weekNumbers_[row] = number;
        gridLayout->addWidget(number, static_cast<int>(row) + 1, 0);
        for (std::size_t column = 0; column < 7; ++column) {
            auto* cell = new CalendarDayCell(this);
            cells_[row][column] = cell;
            gridLayout->addWidget(cell, static_cast<int>(row) + 1, static_cast<int>(column) + 1);
        }
    }
    static_cast<QBoxLayout*>(layout())->addLayout(gridLayout);
}

void MiniCalendarView::shiftMonth(int months) {
    displayedMonth_ = grid_.shiftMonth(displayedMonth_, months);
    refresh();
}

// The cells are laid out afresh first: after a change of time zone, the day under the pointer is
// another instant than the one drawn before.
void MiniCalendarView::select(std::size_t row, std::size_t column) {
    refresh();
    const auto& day = cells_[row][column]->day();
    if (!day) return;
    const Instant date = day->date;
    selectedDate_ = date;
    refresh();
    if (onDateSelected_) onDateSelected_(date);
}

// At midnight the ring moves to the new day, and a calendar still on the month of the day that
// ended follows it into the next.
void MiniCalendarView::onDayChange() {
    if (grid_.isSameMonth(displayedMonth_, today_)) displayedMonth_ = clock_.now();
    refresh();
}

void MiniCalendarView::refresh() {
    grid_.followHostZone();
    title_->setText(QString::fromStdString(grid_.monthTitle(displayedMonth_)));
    const Instant today = clock_.now();
    today_ = today;
    if (isVisible()) {
        using namespace std::chrono;
        const auto wait = ceil<milliseconds>(grid_.startOfNextDay(today) - today);
        dayChange_->start(static_cast<int>(std::clamp<milliseconds::rep>(wait.count(), 0, 3'600'000)) + 50);
    }
    const auto weeks = grid_.monthWeeks(displayedMonth_);
    rowCount_ = static_cast<int>(std::min<std::size_t>(weeks.size(), kMaxRows));
    for (std::size_t row = 0; row < kMaxRows; ++row) {
        showWeek(row, static_cast<int>(row) < rowCount_ ? std::optional(weeks[row]) : std::nullopt, today);
    }
    nameWeekdayHeadings(weeks);
}

void MiniCalendarView::showWeek(std::size_t row, const std::optional<CalendarWeek>& week, Instant today) {
    ElidedLabel* number = weekNumbers_[row];
    number->setVisible(week.has_value());
    const QString weekNumber = week ? QString::fromStdString(grid_.weekNumberText(*week)) : QString();
    number->setText(weekNumber);
    number->setAccessibleName(weekNumber.isEmpty() ? QString() : tr("semaine %1").arg(weekNumber));
    for (std::size_t column = 0; column < 7; ++column) {
        CalendarDayCell* cell = cells_[row][column];
        // An empty place keeps its room within a shown week; a week not shown takes none.
        QSizePolicy policy = cell->sizePolicy();
        policy.setRetainSizeWhenHidden(week.has_value());
        cell->setSizePolicy(policy);
        const std::optional<Instant> place = week ? (*week)[column] : std::nullopt;
        cell->setVisible(place.has_value());
        if (!place) {
            cell->setDay(std::nullopt);
            cell->setOnTap({});
            continue;
        }
        CalendarDayCell::Day day;
        day.date = *place;
        day.dayOfMonth = grid_.dayOfMonth(*place);
        day.weekday = grid_.weekday(*place);
        day.isToday = grid_.isSameDay(*place, today);
        day.isSelected = selectedDate_ && grid_.isSameDay(*selectedDate_, *place);
        day.isCurrentMonth = grid_.isSameMonth(*place, displayedMonth_);
        day.fullDate = QString::fromStdString(grid_.format(*place, "EEEE d MMMM yyyy"));
        cell->setDay(day);
        cell->setOnTap([this, row, column] { select(row, column); });
    }
}

void MiniCalendarView::nameWeekdayHeadings(const std::vector<CalendarWeek>& weeks) {
    // An initial alone ("M") does not say which day it is: the screen reader hears the full name.
    for (std::size_t column = 0; column < 7; ++column) {
        for (const CalendarWeek& week : weeks) {
            if (!week[column]) continue;
            headings_[column]->setAccessibleName(QString::fromStdString(grid_.format(*week[column], "EEEE")));
            break;
        }
    }
}

std::vector<CalendarDayCell*> MiniCalendarView::dayCells() const {
    std::vector<CalendarDayCell*> days;
    for (std::size_t row = 0; row < static_cast<std::size_t>(rowCount_); ++row) {
        for (CalendarDayCell* cell : cells_[row]) {
            if (cell->day()) days.push_back(cell);
        }
    }
    return days;
}

CalendarDayCell* MiniCalendarView::stepDay(const CalendarDayCell* from, int direction) {
    auto shown = dayCells();
    const auto at = std::find(shown.begin(), shown.end(), from);
    if (at == shown.end()) return nullptr;
    const auto index = (at - shown.begin()) + (direction < 0 ? -1 : 1);
    if (index >= 0 && index < static_cast<std::ptrdiff_t>(shown.size()))
        return shown[static_cast<std::size_t>(index)];
    shiftMonth(direction < 0 ? -1 : 1);
    shown = dayCells();
    if (shown.empty()) return nullptr;
    return direction < 0 ? shown.back() : shown.front();
}

CalendarDayCell* MiniCalendarView::stepMonths(const CalendarDayCell* from, int months) {
    const int dayOfMonth = from && from->day() ? from->day()->dayOfMonth : 1;
    shiftMonth(months);
    const auto shown = dayCells();
    if (shown.empty()) return nullptr;
    return shown[static_cast<std::size_t>(std::min<int>(dayOfMonth, static_cast<int>(shown.size())) - 1)];
}

// Hidden, it may come back on another day: it opens on the month of that day, drawn anew.
void MiniCalendarView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    displayedMonth_ = clock_.now();
    refresh();
}

void MiniCalendarView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    dayChange_->stop();
    displayedMonth_ = clock_.now();
    selectedDate_.reset();
    refresh();
}

}  // namespace orvalin::ui
