#include "app/test_hooks.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <iostream>
#include <thread>

#include "ui/orvalin_app.h"

namespace orvalin {

namespace {

int blockPipe[2] = {-1, -1};

void onBlockSignal(int) {
    char c = 1;
    [[maybe_unused]] auto n = ::write(blockPipe[1], &c, 1);
}

}  // namespace

TestHooks::Mode TestHooks::modeNamed(const QString& value) {
    if (value.isEmpty()) return Mode::Off;
    if (value == QLatin1String("settings-open")) return Mode::SettingsOpen;
    if (value == QLatin1String("settings-loop")) return Mode::SettingsLoop;
    return Mode::Signals;
}

void TestHooks::installFromEnvironment(ui::OrvalinApp& app) {
    const Mode mode = modeNamed(qEnvironmentVariable("ORVALIN_TEST_HOOKS"));
    if (mode != Mode::Off) new TestHooks(app, mode);
}

TestHooks::TestHooks(ui::OrvalinApp& app, Mode mode) : QObject(&app), app_(app), mode_(mode) {
    blockOnSignal();
    if (mode_ == Mode::SettingsOpen) QTimer::singleShot(0, this, [this] { openFormats(); });
    if (mode_ == Mode::SettingsLoop) QTimer::singleShot(0, this, [this] { cycle(); });
}

void TestHooks::blockOnSignal() {
    if (::pipe2(blockPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(blockPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [] {
        char buf[16];
        while (::read(blockPipe[0], buf, sizeof buf) > 0) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kBlockMs));
        std::cerr << "orvalin: test hook: main thread blocked " << kBlockMs << " ms" << std::endl;
    });
    struct sigaction sa {};
    sa.sa_handler = onBlockSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGUSR1, &sa, nullptr);
}

void TestHooks::openFormats() {
    QWidget* window = app_.openWindow(ui::Window::Settings, ui::OrvalinApp::Focus::LeaveWithUser);
    if (window == nullptr) return;
    if (auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("settingsView"))) {
        if (auto* formats = tabs->findChild<QWidget*>(QStringLiteral("formatsPage")))
            tabs->setCurrentWidget(formats);
    }
    // Painted now, as the user would see it, not when the loop gets round to it.
    window->repaint();
}

void TestHooks::cycle() {
    openFormats();
    QWidget* window = app_.window(ui::Window::Settings);
    if (window == nullptr) return;
    // The next round opens a new window, not the one on its way out.
    connect(window, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, [this] { cycle(); }); });
    window->close();
}

}  // namespace orvalin
