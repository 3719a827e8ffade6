#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace orvalin {

class TextExpansionManager;
class JsonFilePreferencesStore;
class PreferencesStore;
class QtClipboardPasteboard;
class QtScheduler;
class XdgAutostartLoginItem;
class DesktopUrlOpener;
class UrlOpener;
class SingleInstanceGuard;
class WaylandSession;
struct EnginePlatform;
namespace x11 {
class X11Connection;
class RecordKeyMonitor;
class XTestKeySynthesizer;
class X11TrustQuery;
class ActiveWindowWatcher;
class XcbSelectionReader;
class PasteSequence;
}  // namespace x11

// Everything the running program is made of, wired together: the X11 and Linux realisations of
// the platform, the preferences store and the expansion engine. The front end (tray, windows)
// plugs into `manager()` and `onShowRequested`.
class ApplicationRuntime {
public:
    enum class StartResult { Running, AlreadyRunning, NoDisplay, NoInstanceGuard };

    ApplicationRuntime();
    ~ApplicationRuntime();
    ApplicationRuntime(const ApplicationRuntime&) = delete;
    ApplicationRuntime& operator=(const ApplicationRuntime&) = delete;

    // Becomes the one instance (or asks the running one to show itself) and starts the engine.
    StartResult start();

    TextExpansionManager& manager() { return *manager_; }
    // The one store the manager writes to: the front end keeps its own settings there too.
    PreferencesStore& store();
    // Opens web addresses in the user's browser (the About tab's links).
    UrlOpener& urlOpener();
    // Another start of the program asked this one to show itself.
    void onShowRequested(std::function<void()> handler);

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
    std::optional<StartResult> becomeTheOneInstance(const std::string& key);
    bool openWayland(const std::string& name);
    bool openDisplay(const std::string& display);
    void createClipboard();
    void createDesktopServices();
    void createKeyboard(const std::string& display);
    void startEngine();
    void reportWhyNotWatching();
    void keepSelectionsServed();

    std::function<void()> showRequested_;
    std::unique_ptr<SingleInstanceGuard> guard_;
    std::unique_ptr<WaylandSession> wayland_;  // the native route, when the compositor offers it
    std::string sessionNotice_;                // why the X11 route was taken under Wayland
    std::unique_ptr<x11::X11Connection> connection_;
    std::unique_ptr<x11::XcbSelectionReader> selectionReader_;
    std::unique_ptr<QtClipboardPasteboard> pasteboard_;
    std::unique_ptr<x11::PasteSequence> pasteSequence_;  // the X11 route's clipboard
    std::unique_ptr<x11::RecordKeyMonitor> keyMonitor_;
    std::unique_ptr<x11::XTestKeySynthesizer> keySynthesizer_;
    std::unique_ptr<QtScheduler> scheduler_;
    std::unique_ptr<x11::X11TrustQuery> trust_;
    std::unique_ptr<XdgAutostartLoginItem> loginItem_;
    std::unique_ptr<DesktopUrlOpener> urlOpener_;
    std::unique_ptr<x11::ActiveWindowWatcher> activeWindows_;
    std::unique_ptr<JsonFilePreferencesStore> store_;
    std::unique_ptr<EnginePlatform> platform_;
    std::unique_ptr<TextExpansionManager> manager_;
    bool reportedNotWatching_ = false;
    std::string keeperProgram_;
};

}  // namespace orvalin
