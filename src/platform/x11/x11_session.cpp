#include "platform/x11/x11_session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>
#include <vector>

#include "platform/qt_clipboard_pasteboard.h"
#include "platform/x11/active_window_watcher.h"
#include "platform/x11/clipboard_keeper.h"
#include "platform/x11/input_focus.h"
#include "platform/x11/paste_sequence.h"
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
    selectionReader_ = std::make_unique<XcbSelectionReader>(*connection_);
    clipboard_ = std::make_unique<QtClipboardPasteboard>(selectionReader_.get());
    pasteSequence_ = std::make_unique<PasteSequence>(*connection_, *clipboard_);
}

void X11Session::createKeyboard(const std::string& display, const std::string& composeLocale) {
    keyMonitor_ = std::make_unique<RecordKeyMonitor>(
        *connection_, display.empty() ? nullptr : display.c_str(), composeLocale);
    RecordKeyMonitor* monitor = keyMonitor_.get();
    keySynthesizer_ = std::make_unique<XTestKeySynthesizer>(
        *connection_, *pasteSequence_,
        [monitor](std::uint32_t sym) { return monitor->keycodeForKeysym(sym); },
        [monitor](std::uint32_t kc) { return monitor->isModifierKeycode(kc); });
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
    return pasteSequence_.get();
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
    return pasteSequence_->restoreHeld();
}

// The content the program put back after an insertion is the user's: it must outlive the
// program, as it would have with the application the user copied from. A clipboard manager takes
// it over from Qt as the program ends; without one a small keeper process serves it.
void X11Session::leave(const std::string& keeperProgram) {
    if (keeperProgram.empty() || connection_->broken() || !qtOnX11()) return;
    pasteSequence_->restoreNow();
    if (selectionOwner(*connection_, "CLIPBOARD_MANAGER") != XCB_WINDOW_NONE) return;
    std::vector<KeptSelection> kept;
    for (bool primary : {false, true}) {
        PasteboardSnapshot content = clipboard_->ownedContent(primary);
        if (!content.empty()) kept.push_back({primary ? "PRIMARY" : "CLIPBOARD", std::move(content.items)});
    }
    if (kept.empty()) return;
    if (!startClipboardKeeper(keeperProgram, kept))
        report(QCoreApplication::translate(
            "orvalin", "orvalin : le presse-papiers ne peut être gardé après la fin du programme"));
}

}  // namespace orvalin::x11
