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

#include "core/json_file_preferences_store.h"
#include "engine/route_session.h"
#include "engine/text_expansion_manager.h"
#include "platform/desktop_url_opener.h"
#include "platform/qt_scheduler.h"
#include "platform/shown_windows.h"
#include "platform/single_instance_guard.h"
#include "platform/wayland/wayland_session.h"
#include "platform/x11/x11_session.h"
#include "platform/xdg_autostart_login_item.h"

#include "app/help_page.h"
#include "app/route_choice.h"
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

// One instance per session: per Wayland display, else per X display (":0" and ":0.0" are one).
std::string instanceKey(const std::string& waylandName, const std::string& display) {
    if (!waylandName.empty()) return "wayland-" + waylandName;
    auto colon = display.rfind(':');
    auto dot = display.find('.', colon == std::string::npos ? 0 : colon);
    return "display" +
           (colon != std::string::npos && dot != std::string::npos ? display.substr(0, dot) : display);
}

// Keys typed into the program's own windows are theirs (the shortcut capture, text fields). Where
// they go is asked of the display server: Qt learns that one of its windows lost the focus only
// a while later, and the keys typed meanwhile belong to the application that has it.
std::function<bool()> keysGoToOwnWindow() {
    std::function<bool()> serverSays;
    // An X11 popup grabs the keyboard: every key goes to it. A Wayland one has the focus.
    bool popupGrabs = false;
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        serverSays = x11::X11Session::keyFocusOf(x11->connection());
        popupGrabs = true;
    } else if (QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
               native != nullptr && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        if (auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display")))
            serverSays = wayland::WaylandSession::keyFocusOf(display);
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
    if (session_) session_->leave(keeperProgram_);
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

ApplicationRuntime::StartResult ApplicationRuntime::start(std::optional<Route> forced) {
    const SessionDisplays displays = SessionDisplays::fromEnvironment();
    // ibus-daemon starts the program for its engine only when no running one owns it: a copy
    // already running on another route is left alone, its panel not popped up.
    const bool forIBus = forced == Route::IBus;
    if (auto settled = becomeTheOneInstance(instanceKey(displays.wayland, displays.x11), !forIBus))
        return *settled;
    createDesktopServices();
    OpenedRoute route = openRoute(
        displays,
        {forced, permissionHelpUrl(), XdgAutostartLoginItem::currentExecutable().string() + " --route ibus"});
    if (!route.session) return StartResult::NoDisplay;
    session_ = std::move(route.session);
    watchSession();
    followRouteRequests();
    startEngine(std::move(route.notice));
    return StartResult::Running;
}

std::optional<ApplicationRuntime::StartResult> ApplicationRuntime::becomeTheOneInstance(
    const std::string& key, bool showOther) {
    guard_ = std::make_unique<SingleInstanceGuard>(key);
    switch (showOther ? guard_->claimOrNotify() : guard_->claim()) {
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

void ApplicationRuntime::watchSession() {
    session_->watch([] { QCoreApplication::exit(1); },
                    [this] {
                        // Reported at once, as a lost permission is: on standard error and in the panel.
                        if (manager_) manager_->checkAccessibilityPermission();
                    });
    session_->suppressKeysWhile(keysGoToOwnWindow());
}

// Set before the engine starts: the route may report from a thread of its own, and what it asks
// for is done on the main one.
void ApplicationRuntime::followRouteRequests() {
    session_->onInsertionDropped([this](std::string why) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this, why = std::move(why)] {
                if (manager_) manager_->insertionDropped(why);
            },
            Qt::QueuedConnection);
    });
    // Its menu in the desktop's input-source menu (GNOME has no tray).
    session_->onMenuRequest([this](RouteSession::MenuRequest request) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this, request] {
                const auto& open =
                    request == RouteSession::MenuRequest::ShowPanel ? showRequested_ : settingsRequested_;
                if (open) open();
            },
            Qt::QueuedConnection);
    });
}

void ApplicationRuntime::createDesktopServices() {
    scheduler_ = std::make_unique<QtScheduler>();
    loginItem_ = std::make_unique<XdgAutostartLoginItem>(XdgAutostartLoginItem::defaultFile(),
                                                         XdgAutostartLoginItem::currentExecutable());
    urlOpener_ = std::make_unique<DesktopUrlOpener>();
}

void ApplicationRuntime::startEngine(std::string sessionNotice) {
    store_ = std::make_unique<JsonFilePreferencesStore>(JsonFilePreferencesStore::defaultPath());
    // Diagnostics, the login item's included, go to standard error.
    platform_ = std::make_unique<EnginePlatform>(EnginePlatform{
        session_->keyMonitor(), session_->keySynthesizer(), session_->pasteboard(), *scheduler_, clock_,
        session_->trust(), *loginItem_, *urlOpener_, session_->activeApplications(), std::cerr,
        permissionHelpUrl() + session_->helpAnchor(), session_->textInserter(), std::move(sessionNotice)});
    // The engine writes the error after this start of the line.
    platform_->loginItemFailure =
        QCoreApplication::translate("orvalin", "Erreur démarrage auto : %1").arg(QString()).toStdString();
    platform_->permissionWarning = session_->permissionWarning();
    manager_ = std::make_unique<TextExpansionManager>(*store_, *platform_);
    session_->engineStarted(*manager_);
    reportWhyNotWatching();
    manager_->subscribe([this](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::AccessibilityPermission) reportWhyNotWatching();
    });
}

void ApplicationRuntime::finishInsertion(std::chrono::milliseconds bound) {
    if (!manager_ || session_->broken()) return;
    auto underWay = [this] { return manager_->isInsertionUnderWay() || session_->holdsInsertion(); };
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
    const std::string why = session_->failure();
    if (why.empty()) return;
    reportedNotWatching_ = true;
    report(QCoreApplication::translate("orvalin",
                                       "orvalin : surveillance du clavier impossible : %1 (aide : %2)")
               .arg(text(why), text(permissionHelpUrl())));
}

}  // namespace orvalin
