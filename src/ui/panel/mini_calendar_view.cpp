#include "ui/panel/mini_calendar_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/widgets/appearance.h"
#include "ui/panel/calendar_day_cell.h"
#include "ui/widgets/glyph_button.h"
#include "ui/widgets/text_widgets.h"

namespace orvalin::ui {

MiniCalendarView::MiniCalendarView(std::function<void(Instant)> onDateSelected, QWidget* parent,
                                   const MonthGrid& grid, Clock now)
    : QWidget(parent),
      onDateSelected_(std::move(onDateSelected)),
      grid_(grid),
      now_(now ? std::move(now) : Clock([] { return std::chrono::system_clock::now(); })),
      displayedMonth_(now_()) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    title_ = new ElidedLabel({}, this);
    title_->setFont(textFont(TextStyle::Callout, QFont::DemiBold));
    title_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    previous_ = new GlyphButton("chevron.left", QSize(26, 26), 12, this);
    next_ = new GlyphButton("chevron.right", QSize(26, 26), 12, this);
    previous_->setAccessibleName(QStringLiteral("Mois précédent"));
    next_->setAccessibleName(QStringLiteral("Mois suivant"));
    connect(previous_, &QAbstractButton::clicked, this, [this] { shiftMonth(-1); });
    connect(next_, &QAbstractButton::clicked, this, [this] { shiftMonth(1); });
    header->addWidget(title_, 1, Qt::AlignVCenter);
    header->addWidget(previous_, 0, Qt::AlignVCenter);
    header->addWidget(next_, 0, Qt::AlignVCenter);
    outer->addLayout(header);

    auto* gridLayout = new QGridLayout;
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setHorizontalSpacing(2);
    gridLayout->setVerticalSpacing(2);
    gridLayout->setColumnMinimumWidth(0, 20);
    for (int column = 1; column <= 7; ++column) {
        gridLayout->setColumnMinimumWidth(column, 28);
        gridLayout->setColumnStretch(column, 1);
    }
    auto* corner = new QWidget(this);
    corner->setFixedSize(20, 18);
    gridLayout->addWidget(corner, 0, 0);
    const auto initials = grid_.weekdayInitials();
    for (int i = 0; i < 7; ++i) {
        auto* heading = new ElidedLabel(QString::fromStdString(initials[static_cast<std::size_t>(i)]), this);
        heading->setFont(textFont(TextStyle::Caption2, QFont::Medium));
        heading->setColorRole(ColorRole::Secondary);
        heading->setAlignment(Qt::AlignCenter);
        heading->setFixedHeight(18);
        heading->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        headings_[static_cast<std::size_t>(i)] = heading;
        gridLayout->addWidget(heading, 0, i + 1);
    }
    for (int row = 0; row < kMaxRows; ++row) {
        auto* number = new ElidedLabel({}, this);
        number->setFont(systemFont(10));
        number->setColorRole(ColorRole::Tertiary);
        number->setAlignment(Qt::AlignCenter);
        number->setFixedWidth(20);
        number->setElidable(false);
        weekNumbers_[static_cast<std::size_t>(row)] = number;
        gridLayout->addWidget(number, row + 1, 0);
        for (int column = 0; column < 7; ++column) {
            auto* cell = new CalendarDayCell(this);
            cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = cell;
            gridLayout->addWidget(cell, row + 1, column + 1);
        }
    }
    outer->addLayout(gridLayout);
    refresh();
}

void MiniCalendarView::shiftMonth(int months) {
    displayedMonth_ = grid_.shiftMonth(displayedMonth_, months);
    refresh();
}

void MiniCalendarView::select(Instant day) {
    selectedDate_ = day;
    refresh();
    if (onDateSelected_) onDateSelected_(day);
}

void MiniCalendarView::refresh() {
    title_->setText(QString::fromStdString(grid_.monthTitle(displayedMonth_)));
    const Instant today = now_();
    const auto weeks = grid_.monthWeeks(displayedMonth_);
    rowCount_ = static_cast<int>(std::min<std::size_t>(weeks.size(), kMaxRows));
    for (std::size_t row = 0; row < kMaxRows; ++row) {
        const bool shown = static_cast<int>(row) < rowCount_;
        weekNumbers_[row]->setVisible(shown);
        weekNumbers_[row]->setText(shown ? QString::fromStdString(grid_.weekNumberText(weeks[row]))
                                         : QString());
        for (std::size_t column = 0; column < 7; ++column) {
            CalendarDayCell* cell = cells_[row][column];
            cell->setVisible(shown);
            const std::optional<Instant> place = shown ? weeks[row][column] : std::nullopt;
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
            cell->setDay(day);
            const Instant date = *place;
            cell->setOnTap([this, date] { select(date); });
        }
    }
}

void MiniCalendarView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    displayedMonth_ = now_();
    selectedDate_.reset();
    refresh();
}

QString MiniCalendarView::monthTitleText() const {
    return title_->text();
}

QStringList MiniCalendarView::weekdayHeadings() const {
    QStringList list;
    for (auto* heading : headings_) list << heading->text();
    return list;
}

QString MiniCalendarView::weekNumberOfRow(int row) const {
    if (row < 0 || row >= rowCount_) return {};
    return weekNumbers_[static_cast<std::size_t>(row)]->text();
}

CalendarDayCell* MiniCalendarView::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount_ || column < 0 || column >= 7) return nullptr;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

CalendarDayCell* MiniCalendarView::cellForDay(int dayOfMonth) const {
    for (int row = 0; row < rowCount_; ++row) {
        for (auto* cell : cells_[static_cast<std::size_t>(row)]) {
            if (cell->day() && cell->day()->isCurrentMonth && cell->day()->dayOfMonth == dayOfMonth)
                return cell;
        }
    }
    return nullptr;
}

}  // namespace orvalin::ui
