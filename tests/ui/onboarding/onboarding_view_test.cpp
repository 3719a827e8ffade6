// The onboarding's walk through its pages: steps, the automatic advance after the permission
// arrives, finishing and leaving, the keyboard.
#include <QApplication>
#include <QKeyEvent>

#include "../app_fixture.h"
#include "../ui_test_support.h"
#include "onboarding_fixture.h"
#include "ui/onboarding/page_slider.h"

namespace orvalin::ui {
namespace {

using namespace std::chrono_literals;

TEST_F(OnboardingTest, ButtonsWalkThePagesTheStepNeverPassesTheLastAndFinishingStoresTheFlag) {
    // The indicator follows: see the dots' test and the screen reader's walk.
    OnboardingView& v = makeView();
    page<WelcomeStep>()->mainButton()->click();
    ASSERT_NE(page<PermissionStep>(), nullptr);
    button("skipButton")->click();
    ReadyStep* ready = page<ReadyStep>();
    ASSERT_NE(ready, nullptr);
    for (int i = 0; i < 3; ++i) v.advanceStep();
    EXPECT_EQ(v.step(), 2);
    EXPECT_EQ(page<ReadyStep>(), ready) << "the ready page was built again";
    EXPECT_EQ(dismissals, 0);
    EXPECT_FALSE(store.values.count(prefkey::kOnboardingCompleted));

    // Finishing stores the flag first, then closes.
    ready->mainButton()->click();
    EXPECT_EQ(dismissals, 1);
    EXPECT_EQ(flagWhenDismissed, std::optional<bool>(true)) << "the window closed before the flag was stored";
    EXPECT_EQ(store.boolean(prefkey::kOnboardingCompleted), std::optional<bool>(true));
}

TEST_F(OnboardingTest, ContinueTwiceAndALateAutomaticAdvanceEndOnTheReadyPageOnce) {
    toPermissionPage();
    setTrusted(true);
    QAbstractButton* next = button("continueButton");
    ASSERT_TRUE(next->isVisible());
    next->click();
    next->click();  // the page is on its way out, the second press arrives all the same
    ASSERT_EQ(view->step(), 2);
    ReadyStep* ready = page<ReadyStep>();
    ASSERT_NE(ready, nullptr);

    advanceClock(PermissionStep::kAutoAdvanceDelay);
    EXPECT_EQ(view->step(), 2);
    EXPECT_EQ(page<ReadyStep>(), ready);
    EXPECT_EQ(platform.scheduler.pendingOnce(), 0u);
}

TEST_F(OnboardingTest, PermissionGrantedWhileShownAdvancesEightTenthsOfASecondLater) {
    toPermissionPage();
    view->activateWindow();
    QTRY_VERIFY(view->isActiveWindow());
    EXPECT_EQ(QApplication::focusWidget(), button("helpButton"));

    // The help button opens the help page and polls every second; the grant is seen at the next
    // tick, the ready page comes 0.8 s after that.
    button("helpButton")->click();
    EXPECT_EQ(platform.urlOpener.opened, std::vector<std::string>{fakes::FakePlatform::kHelpUrl});
    platform.trust.trusted = true;
    advanceClock(1s);
    ASSERT_TRUE(button("continueButton")->isVisible());
    EXPECT_FALSE(button("helpButton")->isVisible());
    // The keyboard was on the button that went; it is on the one that came.
    EXPECT_EQ(QApplication::focusWidget(), button("continueButton"));

    advanceClock(799ms);
    EXPECT_EQ(view->step(), 1);
    advanceClock(1ms);
    EXPECT_EQ(view->step(), 2);
    EXPECT_NE(page<ReadyStep>(), nullptr);
}

TEST_F(OnboardingTest, AGrantThatComesAfterTheWindowClosedDoesNothing) {
    toPermissionPage();
    setTrusted(true);
    view.reset();
    advanceClock(PermissionStep::kAutoAdvanceDelay);  // the delayed advance finds no view
    EXPECT_EQ(platform.scheduler.pendingOnce(), 0u);
}

TEST_F(OnboardingTest, EnterPressesThePagesMainButtonWhereverTheKeyboardIs) {
    makeView();
    auto pressEnter = [] {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr) << "nothing has the keyboard";
        QTest::keyClick(target, Qt::Key_Return);
    };
    view->activateWindow();
    QTRY_VERIFY(view->isActiveWindow());
    EXPECT_EQ(QApplication::focusWidget(), page<WelcomeStep>()->mainButton());
    pressEnter();
    ASSERT_EQ(view->step(), 1);

    // Untrusted, Enter asks for the help page, even with the keyboard on "Passer pour l'instant".
    button("skipButton")->setFocus();
    pressEnter();
    EXPECT_EQ(view->step(), 1);
    EXPECT_EQ(platform.urlOpener.opened.size(), 1u);
    // Space presses the button that has the keyboard.
    button("skipButton")->setFocus();
    QTest::keyClick(button("skipButton"), Qt::Key_Space);
    ASSERT_EQ(view->step(), 2);

    // On the ready page, with the keyboard on the toggle, Enter finishes.
    named<LaunchAtLoginSwitch>("launchAtLogin")->setFocus();
    QTest::keyClick(named<LaunchAtLoginSwitch>("launchAtLogin"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dismissals, 1);
    EXPECT_FALSE(manager->launchAtStartup());
}

TEST_F(OnboardingTest, TabReachesEveryButtonOfEachPage) {
    makeView();
    view->activateWindow();
    QTRY_VERIFY(view->isActiveWindow());
    for (int step = 0; step < 3; ++step) {
        if (step > 0) view->advanceStep();
        const auto buttons = testing::shownChildren<QAbstractButton>(view->currentPage());
        ASSERT_FALSE(buttons.empty());
        const auto reached = reachedByTab(8);
        for (QAbstractButton* b : buttons)
            EXPECT_TRUE(reached.count(b)) << "page " << step << ": " << b->objectName().toStdString();
    }
}

TEST_F(OnboardingTest, ASecondAdvanceDuringASlideEndsTheFirstAndShowsTheLastPage) {
    makeView(false, /*animated=*/true);
    QPointer<QWidget> welcome = view->currentPage();
    view->advanceStep();
    EXPECT_TRUE(named<PageSlider>("pageSlider")->isSliding());
    QPointer<QWidget> permission = view->currentPage();
    view->advanceStep();
    EXPECT_EQ(view->step(), 2);
    ASSERT_NE(page<ReadyStep>(), nullptr);
    named<PageSlider>("pageSlider")->finishSliding();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(welcome.isNull());
    EXPECT_TRUE(permission.isNull());
    EXPECT_EQ(view->currentPage()->geometry(), named<PageSlider>("pageSlider")->rect());
    EXPECT_EQ(view->currentPage()->graphicsEffect(), nullptr);
}

// Through the application object, as the program opens it.
class OnboardingWindowTest : public AppTest {
protected:
    void SetUp() override { startApp(); }
};

TEST_F(OnboardingWindowTest, ClosingTheWindowOnItsLastPageStoresNothing) {
    OnboardingView* first = open<OnboardingView>(Window::Onboarding);
    ASSERT_NE(first, nullptr);
    first->advanceStep();
    first->advanceStep();
    const int writes = store.writeCount;
    first->window()->close();
    QTRY_COMPARE(app->window(Window::Onboarding), static_cast<QWidget*>(nullptr));
    EXPECT_EQ(store.writeCount, writes);
    EXPECT_FALSE(store.values.count(prefkey::kOnboardingCompleted));
    // The next is built afresh, on the first page: see the application object's tests.
}

TEST_F(OnboardingWindowTest, ThePanelOpensTheWindowWithoutTakingTheKeyboard) {
    app->showPanel();
    QWidget* window = app->window(Window::Onboarding);
    ASSERT_NE(window, nullptr) << "the panel did not open the onboarding";
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
    app->panel().hide();

    // Asked for directly (not from the open panel), it comes forward as usual.
    window->close();
    QTRY_COMPARE(app->window(Window::Onboarding), static_cast<QWidget*>(nullptr));
    EXPECT_FALSE(app->openWindow(Window::Onboarding)->testAttribute(Qt::WA_ShowWithoutActivating));
}

}  // namespace
}  // namespace orvalin::ui
