#pragma once

#include <QObject>
#include <QString>

namespace orvalin::ui {
class OrvalinApp;
}

namespace orvalin {

// What tests and benchmarks ask of the running program through ORVALIN_TEST_HOOKS, to check that
// keys never wait for the main thread: SIGUSR1 holds that thread for 200 ms; "settings-open"
// opens the settings window on its Formats tab at start; "settings-loop" opens and closes it
// without end, the heaviest thing a user makes the main thread do. Unset, nothing is installed.
class TestHooks : public QObject {
public:
    enum class Mode { Off, Signals, SettingsOpen, SettingsLoop };
    static constexpr int kBlockMs = 200;

    static Mode modeNamed(const QString& value);
    // Installs what ORVALIN_TEST_HOOKS asks for, owned by `app`.
    static void installFromEnvironment(ui::OrvalinApp& app);

private:
    TestHooks(ui::OrvalinApp& app, Mode mode);
    void blockOnSignal();
    void openFormats();
    void cycle();

    ui::OrvalinApp& app_;
    Mode mode_;
};

}  // namespace orvalin
