#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <memory>

#include "support/tray_fixture.h"
#include "support/widget_lookup.h"
#include "ui/onboarding/onboarding_view.h"
#include "ui/onboarding/permission_step.h"
#include "ui/onboarding/ready_step.h"
#include "ui/onboarding/welcome_step.h"
#include "ui/widgets/elided_label.h"
#include "ui/widgets/launch_at_login_switch.h"

namespace orvalin::ui {

// The onboarding on a manager with fake platform objects: the automatic advance runs on the
// fake scheduler's virtual clock, pages change without animation unless asked.
class OnboardingTest : public TrayTest {
protected:
    OnboardingView& makeView(bool trusted = false, bool animated = false) {
        if (!manager) startManager(trusted);
        OnboardingOptions options;
        options.later = [this](std::chrono::milliseconds delay, std::function<void()> task) {
            platform.scheduler.scheduleOnce(delay, std::move(task));
        };
        options.dismiss = [this] {
            flagWhenDismissed = store.boolean(prefkey::kOnboardingCompleted);
            ++dismissals;
        };
        options.animated = animated;
        view = std::make_unique<OnboardingView>(*manager, store, std::move(options));
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        return *view;
    }
    // A widget of the window by its object name; null when there is none.
    template <typename T = QWidget>
    T* named(const QString& objectName) const {
        return view ? view->findChild<T*>(objectName) : nullptr;
    }
    QAbstractButton* button(const QString& objectName) const { return named<QAbstractButton>(objectName); }
    // The trigger box's rows as the user reads them: "trigger → date".
    QStringList triggerRows() const {
        QStringList triggers, dates;
        for (ElidedLabel* label : testing::shownChildren<ElidedLabel>(named("triggerBox"))) {
            if (label->objectName() == "trigger") triggers << label->text();
            if (label->objectName() == "date") dates << label->text();
        }
        for (qsizetype i = 0; i < triggers.size() && i < dates.size(); ++i) triggers[i] += " → " + dates[i];
        return triggers;
    }
    template <typename Page>
    Page* page() const {
        return qobject_cast<Page*>(view->currentPage());
    }
    PermissionStep& toPermissionPage() {
        if (!view) makeView();
        view->advanceStep();
        EXPECT_EQ(view->step(), 1);
        return *page<PermissionStep>();
    }
    ReadyStep& toReadyPage() {
        if (!view) makeView();
        while (view->step() < 2) view->advanceStep();
        return *page<ReadyStep>();
    }
    // The system grants or withdraws the permission; the manager sees it at its next check.
    void setTrusted(bool trusted) {
        platform.trust.trusted = trusted;
        manager->checkAccessibilityPermission();
    }
    void advanceClock(std::chrono::milliseconds by) {
        platform.scheduler.advance(by);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<OnboardingView> view;
    int dismissals = 0;
    std::optional<bool> flagWhenDismissed;
};

}  // namespace orvalin::ui
