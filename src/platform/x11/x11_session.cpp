#include "platform/x11/x11_session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>
#include <vector>

#include "platform/paste_tracker.h"
#include "platform/qt_clipboard_pasteboard.h"
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

namespace orvalin::x11 {

namespace {

void report(const QString& line) {
    std::cerr << line.toStdString() << "\n";
}

bool qtOnX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

}  // namespace

X11Session::X11Session(std::unique_ptr<X11Connection> connection) : connection_(std::move(connection)) {}

X11Session::~X11Session() = default;

std::unique_ptr<X11Session> X11Session::open(const std::string& display, const std::string& composeLocale) {
    std::unique_ptr<X11Connection> connection =
        X11Connection::open(display.empty() ? nullptr : display.c_str());
    if (!connection) return nullptr;
    std::unique_ptr<X11Session> session(new X11Session(std::move(connection)));
    session->createClipboard();
    session->trust_ = std::make_unique<X11TrustQuery>(session->connection_.get());
    session->activeWindows_ = std::make_unique<ActiveWindowWatcher>(*session->connection_);
    session->createKeyboard(display, composeLocale);
    return session;
}

std::function<bool()> X11Session::keyFocusOf(xcb_connection_t* connection) {
    return [connection] { return keysGoToClientOf(connection); };
}

const char* X11Session::keeperArgument() {
    return kKeeperArgument;
}

int X11Session::runKeeper(int inputFd) {
    return runClipboardKeeper(inputFd);
}

void X11Session::createClipboard() {
    tracker_ = std::make_unique<PasteTracker>();
    selectionReader_ = std::make_unique<XcbSelectionReader>(*connection_);
    pasteboard_ = std::make_unique<QtClipboardPasteboard>(*tracker_, selectionReader_.get());
    if (!qtOnX11()) return;
    QtClipboardPasteboard* pb = pasteboard_.get();
    // The user's keys typed after a paste wait in the server until the target fetched the date.
    keyboardHold_ = std::make_unique<KeyboardHold>(*connection_, [] { waitForQtRequests(); });
    KeyboardHold* hold = keyboardHold_.get();
    selectionWatch_ = std::make_unique<SelectionRequestWatch>(*connection_, [pb, hold] {
        pb->dataFetched();
        hold->releaseSoon();
    });
}

void X11Session::createKeyboard(const std::string& display, const std::string& composeLocale) {
    keyMonitor_ = std::make_unique<RecordKeyMonitor>(
        *connection_, display.empty() ? nullptr : display.c_str(), composeLocale);
    RecordKeyMonitor* monitor = keyMonitor_.get();
    keySynthesizer_ = std::make_unique<XTestKeySynthesizer>(
        *connection_, *tracker_, [monitor](std::uint32_t sym) { return monitor->keycodeForKeysym(sym); },
        [monitor](std::uint32_t kc) { return monitor->isModifierKeycode(kc); });
    if (KeyboardHold* hold = keyboardHold_.get()) keySynthesizer_->setAfterPaste([hold] { hold->hold(); });
}

KeyMonitor& X11Session::keyMonitor() {
    return *keyMonitor_;
}

TrustQuery& X11Session::trust() {
    return *trust_;
}

ActiveApplicationSource& X11Session::activeApplications() {
    return *activeWindows_;
}

KeySynthesizer* X11Session::keySynthesizer() {
    return keySynthesizer_.get();
}

Pasteboard* X11Session::pasteboard() {
    return pasteboard_.get();
}

void X11Session::suppressKeysWhile(std::function<bool()> suppressed) {
    keyMonitor_->setSuppressed(std::move(suppressed));
}

// The server's extensions stay for its life: access is lost only with the connection.
void X11Session::watch(std::function<void()> onLoss, std::function<void()>) {
    connection_->setLossHandler([onLoss = std::move(onLoss)] {
        report(QCoreApplication::translate("orvalin", "orvalin : connexion au serveur X perdue, arrêt"));
        if (onLoss) onLoss();
    });
}

bool X11Session::broken() const {
    return connection_->broken();
}

std::string X11Session::failure() {
    std::string why = trust_->missing();
    return why.empty() ? keyMonitor_->failure() : why;
}

bool X11Session::holdsInsertion() const {
    return pasteboard_->restoreHeld();
}

// The content the program put back after an insertion is the user's: it must outlive the
// program, as it would have with the application the user copied from. A clipboard manager takes
// it over from Qt as the program ends; without one a small keeper process serves it.
void X11Session::leave(const std::string& keeperProgram) {
    if (keeperProgram.empty() || connection_->broken() || !qtOnX11()) return;
    pasteboard_->restoreNow();
    if (selectionOwner(*connection_, "CLIPBOARD_MANAGER") != XCB_WINDOW_NONE) return;
    std::vector<KeptSelection> kept;
    for (bool primary : {false, true}) {
        PasteboardSnapshot content = pasteboard_->ownedContent(primary);
        if (!content.empty()) kept.push_back({primary ? "PRIMARY" : "CLIPBOARD", std::move(content.items)});
    }
    if (kept.empty()) return;
    if (!startClipboardKeeper(keeperProgram, kept))
        report(QCoreApplication::translate(
            "orvalin", "orvalin : le presse-papiers ne peut être gardé après la fin du programme"));
}

}  // namespace orvalin::x11
