// Construction and teardown, the permission watch, the login item and the observers.

#include "core/shortcut_json.h"
#include "support/engine_fixture.h"

namespace orvalin {
namespace {

using Change = TextExpansionManager::Change;

struct Recorder {
    std::vector<Change> changes;
    void attach(TextExpansionManager& m) {
        m.subscribe([this](Change c) { changes.push_back(c); });
    }
};

TEST_F(EngineTest, ConstructionLoadsChecksStartsMonitorWatchesSwitchesAndPollsEveryThirtySeconds) {
    std::vector<Shortcut> stored{literalEntry("A", "aa"), literalEntry("B", "bb")};
    store.values[prefkey::kShortcuts] = *encodeShortcuts(stored);
    store.values[prefkey::kDefaultFormatId] = stored[1].id.toString();
    p.loginItems.current = LoginItemService::Status::Enabled;

    start(true);
    EXPECT_EQ(manager->shortcuts(), stored);
    EXPECT_EQ(manager->defaultFormatId(), stored[1].id);
    EXPECT_EQ(manager->defaultShortcut()->label, "B");
    EXPECT_TRUE(manager->hasAccessibilityPermission());
    EXPECT_TRUE(manager->launchAtStartup());
    EXPECT_TRUE(manager->isMonitoring());
    EXPECT_EQ(p.monitor.starts, 1) << "one monitor at most";
    EXPECT_EQ(p.timeline.only({"monitor", "app switch"}),
              (std::vector<TimelineEntry>{{0ms, "monitor start", "<empty>"},
                                          {0ms, "app switch start", "<empty>"}}));
    EXPECT_EQ(p.scheduler.repeatingIntervals(), (std::vector<fakes::Duration>{30000ms}));
    EXPECT_EQ(store.writeCount, 0) << "loading writes nothing";

    manager.reset();
    EXPECT_EQ(p.monitor.stops, 1);
    EXPECT_EQ(p.activeApplications.stops, 1);
    EXPECT_EQ(p.scheduler.runningRepeating(), 0u);
}

TEST_F(EngineTest, PermissionGrantedAfterARequestInstallsTheMonitorWithinASecondAndStopsTheFastPoll) {
    start(false);
    Recorder r;
    r.attach(*manager);
    EXPECT_FALSE(manager->hasAccessibilityPermission());
    EXPECT_EQ(p.monitor.starts, 0);
    EXPECT_FALSE(p.monitor.press(0, 0, "d")) << "no monitor, typing has no effect";

    manager->requestAccessibilityPermission();
    EXPECT_EQ(p.urlOpener.opened, (std::vector<std::string>{fakes::FakePlatform::kHelpUrl}));
    EXPECT_TRUE(manager->isFastPermissionPollRunning());
    p.scheduler.advance(5s);
    EXPECT_TRUE(r.changes.empty()) << "checks that find no change notify nobody";
    EXPECT_FALSE(manager->isMonitoring());

    p.trust.trusted = true;
    p.scheduler.advance(1s);
    EXPECT_TRUE(manager->isMonitoring());
    EXPECT_FALSE(manager->isFastPermissionPollRunning());
    EXPECT_EQ(r.changes, (std::vector<Change>{Change::AccessibilityPermission}));
    EXPECT_EQ(p.scheduler.repeatingIntervals(), (std::vector<fakes::Duration>{30000ms}));
    EXPECT_EQ(p.timeline.only({"monitor"}),
              (std::vector<TimelineEntry>{{6000ms, "monitor start", "<empty>"}}));
}

TEST_F(EngineTest, PermissionWithdrawnIsNoticedWithinThirtySecondsAndReGrantedReinstallsTheMonitor) {
    start(true);
    Recorder r;
    r.attach(*manager);
    p.timeline.clear();

    p.scheduler.advance(10s);
    p.trust.trusted = false;
    p.scheduler.advance(19999ms);
    EXPECT_TRUE(manager->isMonitoring());
    p.scheduler.advance(1ms);
    EXPECT_FALSE(manager->isMonitoring());
    EXPECT_FALSE(manager->hasAccessibilityPermission());

    p.trust.trusted = true;
    p.scheduler.advance(30s);
    EXPECT_TRUE(manager->isMonitoring());
    EXPECT_EQ(p.timeline.only({"monitor"}),
              (std::vector<TimelineEntry>{{30000ms, "monitor stop", "<empty>"},
                                          {60000ms, "monitor start", "<empty>"}}));
    EXPECT_EQ(r.changes,
              (std::vector<Change>{Change::AccessibilityPermission, Change::AccessibilityPermission}));
    p.monitor.type("dt ");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 1) << "typing works again without a restart";
}

TEST_F(EngineTest, SecondRequestReplacesTheFastPoll) {
    start(false);
    manager->requestAccessibilityPermission();
    p.scheduler.advance(500ms);
    manager->requestAccessibilityPermission();
    EXPECT_EQ(p.scheduler.repeatingIntervals(), (std::vector<fakes::Duration>{1000ms, 30000ms}));
    int before = p.trust.queries;
    p.scheduler.advance(10s);
    EXPECT_EQ(p.trust.queries - before, 10) << "one tick a second, not two";
    EXPECT_EQ(p.urlOpener.opened.size(), 2u);

    // The fast poll keeps running while the permission is missing, and teardown ends it.
    manager.reset();
    EXPECT_EQ(p.scheduler.runningRepeating(), 0u);
}

TEST_F(EngineTest, MonitorThatCannotBeInstalledIsTriedAgainOnTheNextGrant) {
    p.monitor.failStart = true;
    start(true);
    EXPECT_TRUE(manager->hasAccessibilityPermission());
    EXPECT_FALSE(manager->isMonitoring());
    p.monitor.failStart = false;
    p.trust.trusted = false;
    manager->checkAccessibilityPermission();
    p.trust.trusted = true;
    manager->checkAccessibilityPermission();
    EXPECT_TRUE(manager->isMonitoring());
    EXPECT_EQ(p.monitor.stops, 0) << "nothing to remove when nothing was installed";
}

TEST_F(EngineTest, LaunchAtStartupFollowsTheServiceAndReportsAFailureOnOneLine) {
    start();
    Recorder r;
    r.attach(*manager);

    manager->setLaunchAtStartup(true);
    EXPECT_TRUE(manager->launchAtStartup());
    manager->setLaunchAtStartup(false);
    EXPECT_FALSE(manager->launchAtStartup());
    EXPECT_EQ(r.changes, (std::vector<Change>{Change::LaunchAtStartup, Change::LaunchAtStartup}));
    EXPECT_EQ(p.out.str(), "");

    p.loginItems.registerError = "Permission non accordée\nsur ~/.config/autostart";
    manager->setLaunchAtStartup(true);
    EXPECT_EQ(p.out.str(), "Erreur démarrage auto : Permission non accordée sur ~/.config/autostart\n");
    EXPECT_FALSE(manager->launchAtStartup());
    EXPECT_EQ(r.changes.size(), 2u) << "unchanged flag, no notification";

    p.loginItems.registerError.reset();
    p.loginItems.registeredProgramMissing = true;
    manager->setLaunchAtStartup(true);
    EXPECT_FALSE(manager->launchAtStartup()) << "an entry naming a missing program counts as off";

    // Unregistering fails while the service still reports the item enabled: the flag says so.
    p.loginItems.current = LoginItemService::Status::Enabled;
    p.loginItems.unregisterError = "occupé";
    p.out.str("");
    manager->setLaunchAtStartup(false);
    EXPECT_EQ(p.out.str(), "Erreur démarrage auto : occupé\n");
    EXPECT_TRUE(manager->launchAtStartup());
}

TEST_F(EngineTest, ListOperationsNotifyOnlyRealChangesAndSaveWhereExpected) {
    start();
    Recorder r;
    r.attach(*manager);
    const auto court = manager->shortcuts()[0];

    Shortcut added = manager->addShortcut();
    EXPECT_EQ(added.trigger, "new ");
    EXPECT_EQ(store.writeCount, 1);
    EXPECT_TRUE(manager->isTriggerTaken("new ", court.id));
    EXPECT_FALSE(manager->isTriggerTaken("new ", added.id));

    Shortcut edited = added;
    EXPECT_TRUE(manager->updateShortcut(edited)) << "same value: found, no change";
    edited.globalShortcut = combo(2, modifier::kSuper);
    EXPECT_TRUE(manager->updateShortcut(edited));
    EXPECT_TRUE(manager->isGlobalShortcutTaken(*edited.globalShortcut, court.id));
    EXPECT_FALSE(manager->updateShortcut(literalEntry("X", "x")));
    EXPECT_EQ(store.writeCount, 1) << "edits are saved by the caller";
    EXPECT_TRUE(manager->saveShortcuts());

    manager->setDefaultFormatId(court.id);  // already the default
    manager->setDefaultFormatId(added.id);
    manager->deleteShortcut(added.id);
    EXPECT_EQ(manager->defaultFormatId(), court.id);
    manager->deleteShortcut(Uuid::generate());  // no such entry
    manager->setShortcuts(manager->shortcuts());
    EXPECT_EQ(r.changes, (std::vector<Change>{Change::Shortcuts, Change::Shortcuts, Change::DefaultFormatId,
                                              Change::Shortcuts, Change::DefaultFormatId}));
}

TEST_F(EngineTest, ObserversMayUnsubscribeWhileBeingNotified) {
    start(false);
    std::vector<std::string> calls;
    TextExpansionManager::SubscriptionId second = 0;
    auto first = manager->subscribe([&](Change) {
        calls.push_back("first");
        manager->unsubscribe(second);
    });
    second = manager->subscribe([&](Change) { calls.push_back("second"); });
    p.trust.trusted = true;
    manager->checkAccessibilityPermission();
    manager->unsubscribe(first);
    p.trust.trusted = false;
    manager->checkAccessibilityPermission();
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
}

// A realisation may still deliver an event or a switch it had queued before it was stopped.
TEST(EngineTeardown, CallbacksArrivingAfterTeardownDoNothing) {
    struct StickyMonitor : KeyMonitor {
        Handler kept;
        bool start(Handler h) override {
            kept = h;
            return true;
        }
        void stop() override {}
    } monitor;
    struct StickySwitches : ActiveApplicationSource {
        std::function<void()> kept;
        void start(std::function<void()> f) override { kept = f; }
        void stop() override {}
    } switches;
    fakes::FakePlatform p;
    p.trust.trusted = true;
    EnginePlatform platform{monitor,     &p.keys,  &p.pasteboard, p.scheduler, p.clock, p.trust, p.loginItems,
                            p.urlOpener, switches, p.out,         "",          nullptr, {}};
    MemoryPreferencesStore store;
    auto manager = std::make_unique<TextExpansionManager>(store, platform);
    ASSERT_TRUE(monitor.kept && switches.kept);
    monitor.kept(KeyEvent{0, 0, "d"});
    EXPECT_EQ(manager->bufferLength(), 1u);
    manager.reset();
    monitor.kept(KeyEvent{17, 0, "t"});  // under the sanitizers, a touch of the freed manager fails here
    monitor.kept(KeyEvent{49, 0, " "});
    switches.kept();
    p.scheduler.advance(1min);
    EXPECT_EQ(p.pasteboard.texts, 0);
    EXPECT_EQ(p.trust.queries, 1);
}

}  // namespace
}  // namespace orvalin
