// The panel on the screen it opens on: never taller than the screen's available area, the
// formats and calendar scrolling when they must, the commands always in view. Run on the
// offscreen platform's 800 × 600 screen, and again on 1280 × 800 at QT_SCALE_FACTOR=2.
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "support/panel_fixture.h"

namespace orvalin::ui {
namespace {

class PanelFitTest : public PanelTest {
protected:
    void showWith(int formats) {
        completeOnboarding();
        std::vector<Shortcut> list;
        for (int i = 0; i < formats; ++i) list.push_back(entry("F" + std::to_string(i), "yyyy-MM-dd", ""));
        startManager(false).setShortcuts(list);
        showPanel();
    }
    QRect area() const { return panel->screen()->availableGeometry(); }
    QScrollArea* scroller() const { return panel->findChild<QScrollArea*>("panelScroller"); }
    // Whether `widget` is wholly inside the panel and, within the scrolling part, inside its view.
    bool inView(QWidget* widget) const {
        const QRect onPanel(widget->mapTo(panel.get(), QPoint(0, 0)), widget->size());
        if (!panel->rect().contains(onPanel)) return false;
        if (!scroller()->isAncestorOf(widget)) return true;
        const QRect onView(widget->mapTo(scroller()->viewport(), QPoint(0, 0)), widget->size());
        return scroller()->viewport()->rect().contains(onView);
    }
    void expectWithinTheScreenWithItsCommands() const {
        EXPECT_LE(panel->height(), area().height());
        EXPECT_TRUE(area().contains(panel->geometry()))
            << "panel " << panel->geometry().y() << "+" << panel->height() << " on " << area().height();
        for (const char* name : {"permissionWarning", "preferencesButton", "quitButton"})
            EXPECT_TRUE(inView(part(name))) << name;
    }
};

TEST_F(PanelFitTest, ManyFormatsScrollAndTheCommandsStayInView) {
    showWith(60);
    expectWithinTheScreenWithItsCommands();
    EXPECT_EQ(panel->width(), 320);
    EXPECT_TRUE(scroller()->verticalScrollBar()->isVisible());

    // The last format and the calendar are reached by scrolling.
    FormatRow* last = rows().back();
    EXPECT_FALSE(inView(last));
    scroller()->ensureWidgetVisible(last);
    EXPECT_TRUE(inView(last));
    CalendarDayCell* someDay = day("mardi 10 février 2026");
    scroller()->ensureWidgetVisible(someDay);
    EXPECT_TRUE(inView(someDay));
    QTest::mouseClick(someDay, Qt::LeftButton);
    EXPECT_EQ(platform.pasteboard.describe(), "2026-02-10");
}

TEST_F(PanelFitTest, TheBuiltInFormatsFitASmallScaledScreen) {
    showWith(3);
    ASSERT_LE(area().height(), 400) << "a 1280 × 800 screen at QT_SCALE_FACTOR=2";
    expectWithinTheScreenWithItsCommands();
    QTRY_VERIFY(scroller()->verticalScrollBar()->isVisible());
    for (FormatRow* row : rows()) EXPECT_TRUE(inView(row));
}

TEST_F(PanelFitTest, WithRoomNothingScrolls) {
    showWith(3);
    ASSERT_GE(area().height(), 600) << "a screen with room for the whole panel";
    EXPECT_FALSE(scroller()->verticalScrollBar()->isVisible());
    EXPECT_EQ(scroller()->height(), scroller()->widget()->height());
    for (CalendarDayCell* cell : shownChildren<CalendarDayCell>(panel.get())) EXPECT_TRUE(inView(cell));

    // Formats added while it is open make it grow up to the screen, then scroll.
    std::vector<Shortcut> many = manager->shortcuts();
    for (int i = 0; i < 40; ++i) many.push_back(entry("N" + std::to_string(i), "yyyy", ""));
    manager->setShortcuts(many);
    expectWithinTheScreenWithItsCommands();
    QTRY_VERIFY(scroller()->verticalScrollBar()->isVisible());
}

}  // namespace
}  // namespace orvalin::ui
