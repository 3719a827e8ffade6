#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/route_choice.h"
#include "core/clock.h"

namespace orvalin {

class TextExpansionManager;
class JsonFilePreferencesStore;
class PreferencesStore;
class QtScheduler;
class XdgAutostartLoginItem;
class DesktopUrlOpener;
class UrlOpener;
class SingleInstanceGuard;
class RouteSession;
struct EnginePlatform;

// Everything the running program is made of, wired together: the session of the route chosen
// (X11, Wayland or IBus), the Linux services, the preferences store and the expansion engine. The front end
// (tray, windows) plugs into `manager()` and `onShowRequested`.
class ApplicationRuntime {
public:
    enum class StartResult { Running, AlreadyRunning, NoDisplay, NoInstanceGuard };

    ApplicationRuntime();
    ~ApplicationRuntime();
    ApplicationRuntime(const ApplicationRuntime&) = delete;
    ApplicationRuntime& operator=(const ApplicationRuntime&) = delete;

    // Becomes the one instance (or asks the running one to show itself) and starts the engine.
    // `forced`: the route named on the command line, the only one tried.
    StartResult start(std::optional<Route> forced = std::nullopt);

    TextExpansionManager& manager() { return *manager_; }
    // The one store the manager writes to: the front end keeps its own settings there too.
    PreferencesStore& store();
    // Opens web addresses in the user's browser (the About tab's links).
    UrlOpener& urlOpener();
    // Another start of the program asked this one to show itself.
    void onShowRequested(std::function<void()> handler);
    // The route's own menu asked for the settings window.
    void onSettingsRequested(std::function<void()> handler) { settingsRequested_ = std::move(handler); }

    // The help page installed with the program: what the session must offer and how to check it.
    static std::string permissionHelpUrl();

    // Lets an insertion under way finish (the paste fetched, the clipboard restored), within
    // `bound`, running the event loop meanwhile. Called once the main loop has ended: leaving
    // at once would erase a trigger and give the target the old clipboard instead of the date.
    void finishInsertion(std::chrono::milliseconds bound = std::chrono::milliseconds(1500));
    // The program run as the keeper of the user's selections once this one has ended (the
    // program's own binary); without it, nothing outlives the program.
    void keepSelectionsWith(std::string program) { keeperProgram_ = std::move(program); }

private:
    // The steps of start(), in order.
    // `showOther`: a copy already running is asked to show its panel.
    std::optional<StartResult> becomeTheOneInstance(const std::string& key, bool showOther);
    void watchSession();
    void followRouteRequests();
    void createDesktopServices();
    void startEngine(std::string sessionNotice);
    void reportWhyNotWatching();

    std::function<void()> showRequested_;
    std::function<void()> settingsRequested_;
    std::unique_ptr<SingleInstanceGuard> guard_;
    // Outlives the session, whose timers it holds (the IBus route's waiting date).
    std::unique_ptr<QtScheduler> scheduler_;
    std::unique_ptr<RouteSession> session_;
    std::unique_ptr<XdgAutostartLoginItem> loginItem_;
    std::unique_ptr<DesktopUrlOpener> urlOpener_;
    SystemClock clock_;
    std::unique_ptr<JsonFilePreferencesStore> store_;
    std::unique_ptr<EnginePlatform> platform_;
    std::unique_ptr<TextExpansionManager> manager_;
    bool reportedNotWatching_ = false;
    std::string keeperProgram_;
};

}  // namespace orvalin
