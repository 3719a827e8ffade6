#include "ui/panel/mini_calendar_view.h"

#include "core/date_format.h"
#include "support/scoped_env.h"
#include "support/tray_fixture.h"
#include "support/widget_lookup.h"
#include "ui/panel/calendar_day_cell.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/elided_label.h"

namespace orvalin::ui {
namespace {

using orvalin::testing::byAccessibleName;
using orvalin::testing::shownChildren;

// How far a colour drawn on screen is from the one meant, channel by channel.
int distance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

class CalendarViewTest : public TrayTest {
protected:
    MiniCalendarView& makeView(Instant now = kNow) {
        platform.clock.set(now);
        view = std::make_unique<MiniCalendarView>(platform.clock, grid,
                                                  [this](Instant day) { picked.push_back(day); });
        view->resize(300, 260);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        return *view;
    }
    CalendarDayCell* day(const QString& spoken) const {
        return byAccessibleName<CalendarDayCell>(view.get(), spoken);
    }
    QString title() const { return view->findChild<ElidedLabel*>("monthTitle")->text(); }
    // The week-number labels, top to bottom, as a screen reader names them.
    QStringList weeks() const {
        QStringList names;
        for (ElidedLabel* label : shownChildren<ElidedLabel>(view.get())) {
            if (label->accessibleName().startsWith("semaine")) names << label->accessibleName();
        }
        return names;
    }
    // The colour drawn `below` pixels under the centre of the cell.
    static QColor drawnBelowCentre(CalendarDayCell* cell, int below) {
        const QImage image = cell->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2 + below);
    }

    std::unique_ptr<MiniCalendarView> view;
    std::vector<Instant> picked;
};

TEST_F(CalendarViewTest, HeadingAndGridFollowTheFrenchCalendar) {
    MiniCalendarView& v = makeView();
    EXPECT_EQ(title(), QStringLiteral("février 2026"));
    const auto labels = shownChildren<ElidedLabel>(&v);
    ASSERT_GE(labels.size(), 8u);
    QStringList initials;
    QStringList names;
    for (std::size_t i = 1; i <= 7; ++i) {
        initials << labels[i]->text();
        names << labels[i]->accessibleName();
    }
    EXPECT_EQ(initials, (QStringList{"L", "M", "M", "J", "V", "S", "D"}));
    EXPECT_EQ(names, (QStringList{"lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"}));
    EXPECT_EQ(weeks(), (QStringList{"semaine 5", "semaine 6", "semaine 7", "semaine 8", "semaine 9"}));

    // Sunday 1 February stands under "D" after six empty places, hidden so that no click lands on
    // them; Saturday 28 under "S".
    const auto cells = shownChildren<CalendarDayCell>(&v);
    ASSERT_EQ(cells.size(), 28u);
    EXPECT_EQ(cells.front()->accessibleName(), QStringLiteral("dimanche 1 février 2026"));
    EXPECT_EQ(cells.back()->accessibleName(), QStringLiteral("samedi 28 février 2026"));
    const auto column = [&](QWidget* w) { return w->mapTo(&v, w->rect().center()).x(); };
    EXPECT_NEAR(column(cells.front()), column(labels[7]), 2);
    EXPECT_NEAR(column(cells.back()), column(labels[6]), 2);
}

TEST_F(CalendarViewTest, DayColoursFollowTodaySelectionAndWeekends) {
    MiniCalendarView& v = makeView();
    const QPalette palette = v.palette();
    const QColor accent = accentColor(palette);
    CalendarDayCell* todayCell = day("mardi 10 février 2026");
    CalendarDayCell* saturday = day("samedi 14 février 2026");
    CalendarDayCell* sunday = day("dimanche 15 février 2026");
    CalendarDayCell* monday = day("lundi 16 février 2026");
    ASSERT_TRUE(todayCell && saturday && sunday && monday);

    // Today: an accent ring, not a disc, and its number in the accent colour.
    EXPECT_EQ(todayCell->textColor(), accent);
    EXPECT_LT(distance(drawnBelowCentre(todayCell, 12), accent), 60);
    EXPECT_GT(distance(drawnBelowCentre(todayCell, 9), accent), 60);
    EXPECT_EQ(todayCell->accessibleDescription(), QStringLiteral("aujourd'hui"));
    EXPECT_EQ(saturday->textColor(), weekendRed(palette));
    EXPECT_EQ(sunday->textColor(), weekendRed(palette));
    EXPECT_EQ(monday->textColor(), palette.color(QPalette::Active, QPalette::WindowText));
    EXPECT_GT(distance(drawnBelowCentre(monday, 9), accent), 60);

    QTest::mouseClick(saturday, Qt::LeftButton);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(grid.dayOfMonth(picked[0]), 14);
    EXPECT_LT(distance(drawnBelowCentre(saturday, 9), accent), 10);
    EXPECT_EQ(saturday->textColor(), QColor(Qt::white));

    // Selecting today: the filled disc wins over the ring.
    QTest::mouseClick(todayCell, Qt::LeftButton);
    EXPECT_LT(distance(drawnBelowCentre(todayCell, 9), accent), 10);
    EXPECT_EQ(todayCell->textColor(), QColor(Qt::white));
    EXPECT_GT(distance(drawnBelowCentre(saturday, 9), accent), 60);
}

TEST_F(CalendarViewTest, ADayClickedAfterTheTimeZoneChangedIsThatDayInTheNewZone) {
    ScopedEnv tz("TZ", "Asia/Tokyo");
    makeView();
    tz.set("America/Los_Angeles");
    QTest::mouseClick(day("samedi 14 février 2026"), Qt::LeftButton);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(formatDate(picked[0], "yyyy-MM-dd", "fr_FR"), "2026-02-14");
}

TEST_F(CalendarViewTest, OpenAcrossMidnightTodayMovesToTheNewDayAndMonth) {
    ScopedEnv tz("TZ", "Europe/Paris");
    makeView(sys_days{2026y / February / 28} + 22h + 59min + 59s + 700ms);
    ASSERT_TRUE(day("samedi 28 février 2026")->day()->isToday);
    platform.clock.set(sys_days{2026y / February / 28} + 23h + 1s);  // 00:00:01 on 1 March in Paris
    (void)QTest::qWaitFor([&] { return title() == QStringLiteral("mars 2026"); }, 3000);
    EXPECT_EQ(title(), QStringLiteral("mars 2026"));
    ASSERT_NE(day("dimanche 1 mars 2026"), nullptr);
    EXPECT_TRUE(day("dimanche 1 mars 2026")->day()->isToday);
}

}  // namespace
}  // namespace orvalin::ui
