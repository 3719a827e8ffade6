// The real program on a headless sway, reaching a foot terminal through the input method and the
// virtual keyboard; keys typed with wtype.

#include <gtest/gtest.h>
#include <signal.h>

#include <qpa/qplatformnativeinterface.h>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QRasterWindow>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <source_location>
#include <thread>
#include <vector>

#include "../e2e/e2e_desktop.h"
#include "core/clock.h"
#include "platform/wayland/client_keyboard_focus.h"
#include "platform/wayland/input_method.h"
#include "platform/wayland/typing_keymap.h"
#include "platform/wayland/virtual_keyboard.h"
#include "platform/wayland/wayland_connection.h"
#include "support/process_cpu.h"
#include "support/scoped_env.h"
#include "sway_session.h"

// One case runs Qt's Wayland platform in this process: its proxies and Mesa's EGL set-up stay to
// the end, and are known only by whole stacks.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6WaylandClient.so\nleak:libEGL_mesa.so\n";
}

namespace orvalin::e2e {
namespace {

std::string dateOf(const std::vector<Shortcut>& formats, const std::string& trigger) {
    for (const Shortcut& s : formats) {
        if (s.trigger == trigger) return s.formattedDate(SystemClock().now());
    }
    return "<no format " + trigger + ">";
}

// The checks that failed in one run of a scenario, each with the line it was made on.
class Failures {
public:
    void check(bool ok, std::string what, std::source_location where = std::source_location::current()) {
        if (!ok) failed_.push_back({where.file_name(), static_cast<int>(where.line()), std::move(what)});
    }
    bool empty() const { return failed_.empty(); }
    // Each as a failure of its own, at its own line.
    void report() const {
        for (const Failed& f : failed_) ADD_FAILURE_AT(f.file, f.line) << f.what;
    }

private:
    struct Failed {
        const char* file;
        int line;
        std::string what;
    };
    std::vector<Failed> failed_;
};

class SwayEndToEnd : public FreshDesktop {
protected:
    void SetUp() override {
        ::unsetenv("DISPLAY");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        try {
            sway_ = std::make_unique<SwaySession>();
        } catch (const std::exception& e) {
            GTEST_SKIP() << "sway cannot start here: " << e.what();
        }
        skipWelcome();
        formats_ = storeFormatsWithIsoOnControlAltD();
    }
    // The program ends before its compositor.
    void TearDown() override { stop(orvalin); }

    // sway 1.7 can crash when a fresh virtual keyboard (every wtype run makes one) meets the
    // input method's grab. A run whose compositor died is started over on a new one, at most
    // three times; any other failure is reported as it is.
    void runOnSway(const std::function<void(Failures&)>& scenario) {
        Failures failures;
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (attempt > 0) restartSway();
            failures = {};
            scenario(failures);
            if (failures.empty() || sway_->alive()) break;
            std::fprintf(stderr, "sway ended during the run, starting over: %s\n", sway_->log().c_str());
        }
        failures.report();
    }
    void restartSway() {
        stop(orvalin);
        sway_.reset();
        sway_ = std::make_unique<SwaySession>();
        std::filesystem::remove(home.path() / "orvalin.err");
    }

    // Starts the program and waits until a typed trigger expands in the terminal.
    bool startAndWaitUntilReady(Failures& failures) {
        startProgram();
        return waitUntilExpanding(failures);
    }
    bool waitUntilExpanding(Failures& failures) {
        const std::string iso = dateOf(formats_, "dt ");
        const bool ready = waitUntil(
            [&] {
                sway_->type({"dt ", "-k", "Return"});
                return sway_->waitForReceivedPart(iso + "\n", 2s) || !sway_->alive();
            },
            60s);
        failures.check(ready && sway_->alive(), "no trigger expanded: " + errors());
        sway_->clearReceived();
        return failures.empty();
    }

    // Holds the program's main thread 200 ms (its test hook); the number of holds ended before.
    std::size_t holdMainThread() {
        const std::size_t before = holdsEnded();
        ::kill(orvalin, SIGUSR1);
        std::this_thread::sleep_for(20ms);  // the main thread asleep by now
        return before;
    }
    std::size_t holdsEnded() const {
        std::size_t count = 0;
        const std::string text = errors();
        for (std::size_t at = 0; (at = text.find("main thread blocked", at)) != std::string::npos; ++at)
            ++count;
        return count;
    }

    std::unique_ptr<SwaySession> sway_;
    std::vector<Shortcut> formats_;
};

TEST_F(SwayEndToEnd, TriggersBecomeTheirDatesAndACombinationInserts) {
    runOnSway([&](Failures& failures) {
        if (!startAndWaitUntilReady(failures)) return;
        sway_->type({"dt ", "-k", "Return", "dtl ", "-k", "Return", "dtc ", "-k", "Return"});
        const std::string expected = dateOf(formats_, "dt ") + "\n" + dateOf(formats_, "dtl ") + "\n" +
                                     dateOf(formats_, "dtc ") + "\n";
        failures.check(sway_->waitForReceived(expected, 15s), "triggers gave: " + sway_->received());

        sway_->clearReceived();
        // The combination reaches the terminal too (as on X11); the date follows it a moment
        // later, and a Return typed after it sends the line on.
        sway_->type({"-M", "ctrl", "-M", "alt", "d", "-m", "alt", "-m", "ctrl"});
        const std::string line = dateOf(formats_, "dt ") + "\n";
        const bool inserted = waitUntil(
            [&] {
                sway_->type({"-k", "Return"});
                return sway_->waitForReceivedPart(line, 1s);
            },
            30s);
        failures.check(inserted, "the combination gave: " + sway_->received());
        failures.check(errors().find("orvalin :") == std::string::npos, "the program said: " + errors());
    });
}

TEST_F(SwayEndToEnd, OrdinaryTypingArrivesIntactAndStillArrivesOnceTheProgramStopped) {
    runOnSway([&](Failures& failures) {
        if (!startAndWaitUntilReady(failures)) return;
        sway_->type({"abx", "-k", "BackSpace", "c", "-k", "Left", "-k", "Right", "dé", "-k", "Return"});
        failures.check(sway_->waitForReceived("abc\x1b[D\x1b[Cdé\n", 15s),
                       "typing gave: " + sway_->received());

        // Typed again until a line arrives whole: under load a fresh virtual keyboard (one per
        // wtype run) can lose its first key. A program still expanding would spoil every line.
        stop(orvalin);
        const bool arrived = waitUntil(
            [&] {
                sway_->clearReceived();
                sway_->type({"after dt ", "-k", "Return"});
                return sway_->waitForReceived("after dt \n", 5s);
            },
            30s);
        failures.check(arrived, "after the end: " + sway_->received());
    });
}

// The main thread held 200 ms (a test hook, as a window being built holds it): keys typed
// meanwhile reach the terminal at once, before the hold ends, not after it.
TEST_F(SwayEndToEnd, KeysTypedWhileTheMainThreadIsHeldArriveAtOnce) {
    ScopedEnv hooks("ORVALIN_TEST_HOOKS", "1");
    runOnSway([&](Failures& failures) {
        if (!startAndWaitUntilReady(failures)) return;
        // A loaded machine may start wtype late: the hold is asked for again, three times at most.
        std::string seen;
        bool atOnce = false;
        for (int attempt = 0; attempt < 3 && !atOnce; ++attempt) {
            const std::size_t before = holdMainThread();
            const std::string line = "held " + std::to_string(attempt) + "\n";
            sway_->type({"held " + std::to_string(attempt), "-k", "Return"});
            const auto sent = std::chrono::steady_clock::now();
            bool arrived = false;
            while (!(arrived = sway_->received().find(line) != std::string::npos) &&
                   std::chrono::steady_clock::now() - sent < 2s)
                std::this_thread::sleep_for(1ms);
            const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - sent);
            const bool duringTheHold = holdsEnded() == before;
            atOnce = arrived && duringTheHold && delay < 50ms;
            seen += " [arrived " + std::to_string(arrived) + " after " + std::to_string(delay.count()) +
                    " ms, during the hold " + std::to_string(duringTheHold) + "]";
            waitUntil([&] { return holdsEnded() > before; }, 5s);
            sway_->clearReceived();
        }
        RecordProperty("arrivals", seen);
        failures.check(atOnce, "keys waited for the main thread:" + seen + " " + errors());
    });
}

// Keys typed right after a trigger while the engine cannot answer yet wait for its date: the
// erase takes the trigger, not them.
TEST_F(SwayEndToEnd, KeysTypedRightAfterATriggerWhileTheMainThreadIsHeldFollowItsDate) {
    ScopedEnv hooks("ORVALIN_TEST_HOOKS", "1");
    runOnSway([&](Failures& failures) {
        if (!startAndWaitUntilReady(failures)) return;
        holdMainThread();
        sway_->type({"dt xy", "-k", "Return"});
        const std::string expected = dateOf(formats_, "dt ") + "xy\n";
        failures.check(sway_->waitForReceived(expected, 15s), "typing gave: " + sway_->received());
    });
}

// Qt's own Wayland platform, as on a session without XWayland: the panel of a second start is a
// window of the compositor, and Enter on its first row (Court) types the date into the terminal.
TEST_F(SwayEndToEnd, OnQtsWaylandPlatformThePanelShowsAndItsRowInsertsIntoTheTerminal) {
    ::setenv("QT_QPA_PLATFORM", "wayland", 1);
    // Whole stacks in leak reports, where Qt's Wayland platform is known and passed over.
    const char* asan = std::getenv("ASAN_OPTIONS");
    ::setenv("ASAN_OPTIONS", (std::string(asan != nullptr ? asan : "") + ":fast_unwind_on_malloc=0").c_str(),
             1);
    runOnSway([&](Failures& failures) {
        if (!startAndWaitUntilReady(failures)) return;
        const ::testing::AssertionResult second = startASecondTime();
        failures.check(second, std::string("the second start: ") + second.message());
        const bool shown = waitUntil([&] { return sway_->showsWindow("Orvalin"); }, 30s);
        failures.check(shown, "no panel on the compositor: " + errors());
        if (!shown) return;
        sway_->type({"-k", "Return"});
        failures.check(waitUntil([&] { return !sway_->showsWindow("Orvalin"); }, 15s),
                       "the panel stays after Enter");
        // The terminal has the keyboard again: a Return sends the typed date on.
        const std::string line = dateOf(formats_, "dtc ") + "\n";
        const bool inserted = waitUntil(
            [&] {
                sway_->type({"-k", "Return"});
                return sway_->waitForReceivedPart(line, 1s);
            },
            30s);
        failures.check(inserted, "the row gave: " + sway_->received() + errors());
    });
}

// The program asks the compositor whether its windows have the keyboard: Qt reports a lost focus
// only after a round trip of its own, and keys typed meanwhile are another application's.
TEST_F(SwayEndToEnd, TheCompositorSaysAtOnceWhetherAWindowOfOursHasTheKeyboard) {
    ::setenv("QT_QPA_PLATFORM", "wayland", 1);
    int argc = 1;
    char name[] = "sway_e2e";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    auto* display = static_cast<wl_display*>(
        QGuiApplication::platformNativeInterface()->nativeResourceForIntegration("wl_display"));
    ASSERT_NE(display, nullptr);
    // The headless compositor has no keyboard of its own: a virtual one, as the program brings.
    auto connection = wayland::WaylandConnection::open(sway_->socket(), 10s);
    ASSERT_TRUE(connection);
    wayland::VirtualKeyboard keyboard(*connection);
    keyboard.forwardKeymap(wayland::TypingKeymap::forText("a")->source());
    ASSERT_TRUE(connection->settle(10s));
    wayland::ClientKeyboardFocus focus(display);
    EXPECT_FALSE(focus.held()) << "the terminal has the keyboard";

    // A window the compositor maps: one that draws.
    QRasterWindow window;
    window.setTitle("Orvalin focus");
    window.resize(200, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sway_->command("[title=\"^Orvalin focus\"] focus"); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return focus.held(); }, 10000));
    // Moved away: known at once, with no time for Qt to hear of it.
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(sway_->command("[app_id=\"foot\"] focus"));
        EXPECT_FALSE(focus.held()) << "run " << run;
        ASSERT_TRUE(sway_->command("[title=\"^Orvalin focus\"] focus"));
        EXPECT_TRUE(focus.held()) << "run " << run;
    }
}

// Right after the start no other keyboard has typed yet: the seat's keyboard may be the program's
// own virtual one, whose keymap the grab then reports back for every one the program gives it.
TEST_F(SwayEndToEnd, TheProgramRestsAfterItsStartAndAfterAnInsertion) {
    runOnSway([&](Failures& failures) {
        failures.check(startAndWait(), "the program did not start: " + errors());
        std::this_thread::sleep_for(1s);  // the grab taken
        const long afterStart = ticksOver(orvalin);
        failures.check(atRest(afterStart),
                       "CPU ticks over 3 s after the start: " + std::to_string(afterStart));
        if (!waitUntilExpanding(failures)) return;
        std::this_thread::sleep_for(1s);
        const long afterInsertion = ticksOver(orvalin);
        failures.check(atRest(afterInsertion),
                       "CPU ticks over 3 s after an insertion: " + std::to_string(afterInsertion));
    });
}

TEST_F(SwayEndToEnd, TheProgramSaysSoAndEndsWhenTheCompositorGoes) {
    runOnSway([&](Failures& failures) {
        if (!startAndWaitUntilReady(failures)) return;
        sway_->kill();
        failures.check(waitExit(orvalin, 60s) == 1, "the program did not end with status 1");
        failures.check(errors().find("orvalin: connection to the Wayland compositor lost, stopping") !=
                           std::string::npos,
                       "the program said: " + errors());
    });
}

TEST_F(SwayEndToEnd, ASecondInputMethodIsRefusedWithAClearMessage) {
    int argc = 1;
    char name[] = "sway_e2e";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    auto connection = wayland::WaylandConnection::open(sway_->socket(), 10s);
    ASSERT_TRUE(connection);
    wayland::InputMethod first(*connection);
    ASSERT_TRUE(connection->settle(10s));
    ASSERT_TRUE(first.available());

    startProgram();
    const std::optional<int> status = waitExit(orvalin, 60s);
    // No X11 display to fall back to here: the program says why and ends.
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors().find("another input method (fcitx5, IBus…) already holds the keyboard: only X11 "
                            "applications (XWayland) receive dates"),
              std::string::npos)
        << errors();
}

}  // namespace
}  // namespace orvalin::e2e
