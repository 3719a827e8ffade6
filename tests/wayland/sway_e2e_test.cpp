// The real program on a headless sway, reaching a foot terminal through the input method and the
// virtual keyboard; keys typed with wtype.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <memory>

#include "../e2e/e2e_support.h"
#include "core/format_catalogue.h"
#include "core/preferences_store.h"
#include "platform/wayland/input_method.h"
#include "platform/wayland/wayland_connection.h"
#include "support/temp_home.h"
#include "sway_session.h"

namespace orvalin::e2e {
namespace {

// The built-in formats, the ISO one also on Control+Alt+D.
std::vector<Shortcut> writePreferences() {
    JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
    FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    for (Shortcut& s : catalogue.mutableShortcuts()) {
        if (s.trigger == "dt ") s.globalShortcut = GlobalShortcut{2, 0x0C0000, "⌃⌥D"};
    }
    EXPECT_TRUE(catalogue.saveShortcuts());
    EXPECT_TRUE(store.write({{prefkey::kOnboardingCompleted, true}}));
    return catalogue.shortcuts();
}

std::string dateOf(const std::vector<Shortcut>& formats, const std::string& trigger) {
    for (const Shortcut& s : formats) {
        if (s.trigger == trigger) return s.formattedDate();
    }
    return "<no format " + trigger + ">";
}

class SwayEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        home_.exportEnvironment();
        ::setenv("LANG", "C.UTF-8", 1);
        ::unsetenv("LC_ALL");
        ::unsetenv("DISPLAY");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        try {
            sway_ = std::make_unique<SwaySession>();
        } catch (const std::exception& e) {
            GTEST_SKIP() << "sway cannot start here: " << e.what();
        }
        formats_ = writePreferences();
    }
    void TearDown() override {
        if (program_ > 0) stop(program_);
    }

    pid_t startProgram() {
        return spawn({ORVALIN_BINARY}, "/dev/null", (home_.path() / "orvalin.err").string());
    }
    // Starts the program and waits until a typed trigger expands in the terminal.
    void startAndWaitUntilReady() {
        program_ = startProgram();
        const std::string iso = dateOf(formats_, "dt ");
        const bool ready = waitUntil(
            [&] {
                sway_->type({"dt ", "-k", "Return"});
                return sway_->waitForReceivedPart(iso + "\n", 2s);
            },
            60s);
        ASSERT_TRUE(ready) << errors() << "\nsway: " << sway_->log();
        sway_->clearReceived();
    }
    std::string errors() const { return readFile(home_.path() / "orvalin.err"); }

    TempHome home_;
    std::unique_ptr<SwaySession> sway_;
    std::vector<Shortcut> formats_;
    pid_t program_ = -1;
};

TEST_F(SwayEndToEnd, TriggersBecomeTheirDatesAndACombinationInserts) {
    ASSERT_NO_FATAL_FAILURE(startAndWaitUntilReady());
    sway_->type({"dt ", "-k", "Return", "dtl ", "-k", "Return", "dtc ", "-k", "Return"});
    const std::string expected =
        dateOf(formats_, "dt ") + "\n" + dateOf(formats_, "dtl ") + "\n" + dateOf(formats_, "dtc ") + "\n";
    EXPECT_TRUE(sway_->waitForReceived(expected, 15s)) << sway_->received();

    sway_->clearReceived();
    // The combination reaches the terminal too (as on X11); the date follows it a moment later,
    // and a Return typed after it sends the line on.
    sway_->type({"-M", "ctrl", "-M", "alt", "d", "-m", "alt", "-m", "ctrl"});
    const std::string line = dateOf(formats_, "dt ") + "\n";
    EXPECT_TRUE(waitUntil(
        [&] {
            sway_->type({"-k", "Return"});
            return sway_->waitForReceivedPart(line, 1s);
        },
        30s))
        << sway_->received();
    EXPECT_EQ(errors().find("orvalin :"), std::string::npos) << errors();
}

TEST_F(SwayEndToEnd, OrdinaryTypingArrivesIntactAndStillArrivesOnceTheProgramStopped) {
    ASSERT_NO_FATAL_FAILURE(startAndWaitUntilReady());
    sway_->type({"abx", "-k", "BackSpace", "c", "-k", "Left", "-k", "Right", "dé", "-k", "Return"});
    EXPECT_TRUE(sway_->waitForReceived("abc\x1b[D\x1b[Cdé\n", 15s)) << sway_->received();

    stop(program_);
    program_ = -1;
    sway_->clearReceived();
    sway_->type({"after dt ", "-k", "Return"});
    EXPECT_TRUE(sway_->waitForReceived("after dt \n", 15s)) << sway_->received();
}

TEST_F(SwayEndToEnd, TheProgramSaysSoAndEndsWhenTheCompositorGoes) {
    ASSERT_NO_FATAL_FAILURE(startAndWaitUntilReady());
    sway_->kill();
    EXPECT_EQ(waitExit(program_, 60s), 1);
    program_ = -1;
    EXPECT_NE(errors().find("orvalin : connexion au compositeur Wayland perdue, arrêt"), std::string::npos)
        << errors();
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

    program_ = startProgram();
    const std::optional<int> status = waitExit(program_, 60s);
    program_ = -1;
    // No X11 display to fall back to here: the program says why and ends.
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors().find("une autre méthode de saisie (fcitx5, IBus…) occupe déjà le clavier : seules les "
                            "applications X11 (XWayland) reçoivent les dates"),
              std::string::npos)
        << errors();
}

}  // namespace
}  // namespace orvalin::e2e
