#include "app/application_runtime.h"

#include <qpa/qplatformnativeinterface.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "platform/desktop_url_opener.h"
#include "platform/paste_tracker.h"
#include "platform/qt_clipboard_pasteboard.h"
#include "platform/qt_scheduler.h"
#include "platform/shown_windows.h"
#include "platform/single_instance_guard.h"
#include "platform/x11/active_window_watcher.h"
#include "platform/x11/clipboard_keeper.h"
#include "platform/x11/input_focus.h"
#include "platform/x11/keyboard_hold.h"
#include "platform/x11/record_key_monitor.h"
#include "platform/x11/selection_watch.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_trust_query.h"
#include "platform/x11/xcb_selection_reader.h"
#include "platform/x11/xtest_key_synthesizer.h"
#include "platform/xdg_autostart_login_item.h"

#include "app/help_page.h"
#include "app/wayland_session.h"
#include "platform/wayland/client_keyboard_focus.h"
#include "platform/wayland/grab_key_monitor.h"
#include "platform/wayland/input_method.h"
#include "platform/wayland/wayland_text_inserter.h"
#include "ui/settings/build_info.h"

namespace orvalin {

namespace {

// One line on standard error, in the interface language.
void report(const QString& line) {
    std::cerr << line.toStdString() << "\n";
}

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// One instance per session: per Wayland display, else per X display (":0" and ":0.0" are one).
std::string instanceKey(const std::string& waylandName, const std::string& display) {
    if (!waylandName.empty()) return "wayland-" + waylandName;
    auto colon = display.rfind(':');
    auto dot = display.find('.', colon == std::string::npos ? 0 : colon);
    return "display" +
           (colon != std::string::npos && dot != std::string::npos ? display.substr(0, dot) : display);
}

// The locale whose Compose table applies: LC_ALL, LC_CTYPE, then LANG.
std::string composeLocale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && v[0] != '\0') return v;
    }
    return "C.UTF-8";
}

// Keys typed into the program's own windows are theirs (the shortcut capture, text fields). Where
// they go is asked of the display server: Qt learns that one of its windows lost the focus only
// a while later, and the keys typed meanwhile belong to the application that has it.
std::function<bool()> keysGoToOwnWindow() {
    std::function<bool()> serverSays;
    // An X11 popup grabs the keyboard: every key goes to it. A Wayland one has the focus.
    bool popupGrabs = false;
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        serverSays = [qtConnection = x11->connection()] { return x11::keysGoToClientOf(qtConnection); };
        popupGrabs = true;
    } else if (QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
               native != nullptr && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        if (auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"))) {
            auto focus = std::make_shared<wayland::ClientKeyboardFocus>(display);
            serverSays = [focus] { return focus->held(); };
        }
    }
    // Elsewhere only Qt's view is known; a hidden window at least never holds the keys.
    if (!serverSays) serverSays = [] { return QGuiApplication::focusWindow() != nullptr; };
    return [serverSays = std::move(serverSays), popupGrabs] {
        switch (shownWindows()) {
            case ShownWindows::None:
                return false;
            case ShownWindows::Popup:
                return popupGrabs || serverSays();
            case ShownWindows::Focusable:
                return serverSays();
        }
        return false;
    };
}

}  // namespace

ApplicationRuntime::ApplicationRuntime() = default;

ApplicationRuntime::~ApplicationRuntime() {
    // The engine goes first: it puts the user's clipboard back while everything it uses still exists.
    manager_.reset();
    keepSelectionsServed();
}

// The content the program put back after an insertion is the user's: it must outlive the
// program, as it would have with the application the user copied from. A clipboard manager takes
// it over from Qt as the program ends; without one a small keeper process serves it.
void ApplicationRuntime::keepSelectionsServed() {
    if (keeperProgram_.empty() || !pasteboard_ || !connection_ || connection_->broken()) return;
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    pasteboard_->restoreNow();
    if (x11::selectionOwner(*connection_, "CLIPBOARD_MANAGER") != XCB_WINDOW_NONE) return;
    std::vector<x11::KeptSelection> kept;
    for (bool primary : {false, true}) {
        PasteboardSnapshot content = pasteboard_->ownedContent(primary);
        if (!content.empty()) kept.push_back({primary ? "PRIMARY" : "CLIPBOARD", std::move(content.items)});
    }
    if (kept.empty()) return;
    if (!x11::startClipboardKeeper(keeperProgram_, kept))
        report(QCoreApplication::translate(
            "orvalin", "orvalin : le presse-papiers ne peut être gardé après la fin du programme"));
}

PreferencesStore& ApplicationRuntime::store() {
    return *store_;
}

UrlOpener& ApplicationRuntime::urlOpener() {
    return *urlOpener_;
}

std::string ApplicationRuntime::permissionHelpUrl() {
    return helpPageUrl(runningBinaryDir(), ORVALIN_WEBSITE,
                       interfaceLanguage(MessageLocale::fromEnvironment()));
}

void ApplicationRuntime::onShowRequested(std::function<void()> handler) {
    showRequested_ = std::move(handler);
}

ApplicationRuntime::StartResult ApplicationRuntime::start() {
    const std::string display = environment("DISPLAY");
    const std::string waylandName = environment("WAYLAND_DISPLAY");
    if (auto settled = becomeTheOneInstance(instanceKey(waylandName, display))) return *settled;
    if (!waylandName.empty()) openWayland(waylandName);
    if (!wayland_ && !openDisplay(display)) return StartResult::NoDisplay;
    createClipboard();
    createDesktopServices();
    if (!wayland_) createKeyboard(display);
    startEngine();
    return StartResult::Running;
}

std::optional<ApplicationRuntime::StartResult> ApplicationRuntime::becomeTheOneInstance(
    const std::string& key) {
    guard_ = std::make_unique<SingleInstanceGuard>(key);
    switch (guard_->claimOrNotify()) {
        case SingleInstanceGuard::Role::Secondary:
            if (!guard_->failure().empty()) {
                report(QCoreApplication::translate(
                    "orvalin", "orvalin : une autre instance tourne déjà mais ne répond pas"));
            }
            return StartResult::AlreadyRunning;
        case SingleInstanceGuard::Role::Failed:
            // Without the guard a second instance could run too, and both would insert every date.
            report(QCoreApplication::translate("orvalin",
                                               "orvalin : contrôle d'instance unique impossible (%1), arrêt")
                       .arg(text(guard_->failure())));
            return StartResult::NoInstanceGuard;
        case SingleInstanceGuard::Role::Primary:
            guard_->onShowRequested([this] {
                if (showRequested_) showRequested_();
            });
            break;
    }
    return std::nullopt;
}

// The native route where the compositor offers it; otherwise the X11 route reaches the X11
// applications through XWayland, and the user is told so once, here and in the panel.
bool ApplicationRuntime::openWayland(const std::string& name) {
    std::string why;
    wayland_ = WaylandSession::open(name, composeLocale(), why);
    if (wayland_) {
        wayland_->watch(
            [] {
                report(QCoreApplication::translate(
                    "orvalin", "orvalin : connexion au compositeur Wayland perdue, arrêt"));
                QCoreApplication::exit(1);
            },
            [this] {
                // Reported at once, as a lost permission is: on standard error and in the panel.
                if (manager_) manager_->checkAccessibilityPermission();
            });
        return true;
    }
    report(QCoreApplication::translate(
               "orvalin",
               "orvalin : %1 : seules les applications X11 (XWayland) reçoivent les dates "
               "dans cette session (aide : %2)")
               .arg(text(why), text(permissionHelpUrl())));
    sessionNotice_ =
        QCoreApplication::translate("orvalin", "Seules les applications X11 reçoivent les dates — Aide…")
            .toStdString();
    return false;
}

bool ApplicationRuntime::openDisplay(const std::string& display) {
    connection_ = x11::X11Connection::open(display.empty() ? nullptr : display.c_str());
    if (!connection_) {
        report(QCoreApplication::translate("orvalin", "orvalin : pas de connexion au serveur X"));
        return false;
    }
    connection_->setLossHandler([] {
        report(QCoreApplication::translate("orvalin", "orvalin : connexion au serveur X perdue, arrêt"));
        QCoreApplication::exit(1);
    });
    return true;
}

void ApplicationRuntime::createClipboard() {
    tracker_ = std::make_unique<PasteTracker>();
    x11::X11Connection* conn = connection_.get();
    if (conn == nullptr) {
        // The Wayland route inserts without the clipboard; it is there for the engine's other route.
        pasteboard_ = std::make_unique<QtClipboardPasteboard>(*tracker_);
        return;
    }
    selectionReader_ = std::make_unique<x11::XcbSelectionReader>(*conn);
    pasteboard_ = std::make_unique<QtClipboardPasteboard>(*tracker_, selectionReader_.get());
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QtClipboardPasteboard* pb = pasteboard_.get();
        // The user's keys typed after a paste wait in the server until the target fetched the date.
        keyboardHold_ = std::make_unique<x11::KeyboardHold>(*conn, [] { x11::waitForQtRequests(); });
        x11::KeyboardHold* hold = keyboardHold_.get();
        selectionWatch_ = std::make_unique<x11::SelectionRequestWatch>(*conn, [pb, hold] {
            pb->dataFetched();
            hold->releaseSoon();
        });
    }
}

void ApplicationRuntime::createDesktopServices() {
    scheduler_ = std::make_unique<QtScheduler>();
    loginItem_ = std::make_unique<XdgAutostartLoginItem>(XdgAutostartLoginItem::defaultFile(),
                                                         XdgAutostartLoginItem::currentExecutable());
    urlOpener_ = std::make_unique<DesktopUrlOpener>();
    if (wayland_) return;
    trust_ = std::make_unique<x11::X11TrustQuery>(connection_.get());
    activeWindows_ = std::make_unique<x11::ActiveWindowWatcher>(*connection_);
}

void ApplicationRuntime::createKeyboard(const std::string& display) {
    keyMonitor_ = std::make_unique<x11::RecordKeyMonitor>(
        *connection_, display.empty() ? nullptr : display.c_str(), composeLocale());
    keyMonitor_->setSuppressed(keysGoToOwnWindow());
    x11::RecordKeyMonitor* monitor = keyMonitor_.get();
    keySynthesizer_ = std::make_unique<x11::XTestKeySynthesizer>(
        *connection_, *tracker_, [monitor](std::uint32_t sym) { return monitor->keycodeForKeysym(sym); },
        [monitor](std::uint32_t kc) { return monitor->isModifierKeycode(kc); });
    if (x11::KeyboardHold* hold = keyboardHold_.get())
        keySynthesizer_->setAfterPaste([hold] { hold->hold(); });
}

void ApplicationRuntime::startEngine() {
    store_ = std::make_unique<JsonFilePreferencesStore>(JsonFilePreferencesStore::defaultPath());
    // Diagnostics, the login item's included, go to standard error.
    if (wayland_) {
        wayland_->keyMonitor().setSuppressed(keysGoToOwnWindow());
        platform_ = std::make_unique<EnginePlatform>(
            EnginePlatform{wayland_->keyMonitor(), wayland_->keySynthesizer(), *pasteboard_, *scheduler_,
                           wayland_->trust(), *loginItem_, *urlOpener_, wayland_->focusWatch(), std::cerr,
                           permissionHelpUrl(), &wayland_->textInserter(), sessionNotice_});
    } else {
        platform_ = std::make_unique<EnginePlatform>(EnginePlatform{
            *keyMonitor_, *keySynthesizer_, *pasteboard_, *scheduler_, *trust_, *loginItem_, *urlOpener_,
            *activeWindows_, std::cerr, permissionHelpUrl(), nullptr, sessionNotice_});
    }
    // The engine writes the error after this start of the line.
    platform_->loginItemFailure =
        QCoreApplication::translate("orvalin", "Erreur démarrage auto : %1").arg(QString()).toStdString();
    manager_ = std::make_unique<TextExpansionManager>(*store_, *platform_);
    reportWhyNotWatching();
    manager_->subscribe([this](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::AccessibilityPermission) reportWhyNotWatching();
    });
}

void ApplicationRuntime::finishInsertion(std::chrono::milliseconds bound) {
    if (!manager_ || (connection_ && connection_->broken()) || (wayland_ && wayland_->broken())) return;
    auto underWay = [this] { return manager_->isInsertionUnderWay() || pasteboard_->restoreHeld(); };
    if (!underWay()) return;
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer elapsed;
    elapsed.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!underWay() || elapsed.hasExpired(bound.count())) loop.quit();
    });
    poll.start(10);
    loop.exec();
}

void ApplicationRuntime::reportWhyNotWatching() {
    if (reportedNotWatching_ || manager_->isMonitoring()) return;
    std::string why = wayland_ ? wayland_->failure() : trust_->missing();
    if (why.empty() && keyMonitor_) why = keyMonitor_->failure();
    if (why.empty()) return;
    reportedNotWatching_ = true;
    report(QCoreApplication::translate("orvalin",
                                       "orvalin : surveillance du clavier impossible : %1 (aide : %2)")
               .arg(text(why), text(permissionHelpUrl())));
}

}  // namespace orvalin
