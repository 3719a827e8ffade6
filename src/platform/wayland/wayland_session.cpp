#include "platform/wayland/wayland_session.h"

#include <QCoreApplication>
#include <chrono>
#include <iostream>

#include "platform/wayland/client_keyboard_focus.h"
#include "platform/wayland/grab_key_monitor.h"
#include "platform/wayland/input_method.h"
#include "platform/wayland/input_method_focus_watch.h"
#include "platform/wayland/virtual_keyboard.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_text_inserter.h"
#include "platform/wayland/wayland_trust_query.h"

namespace orvalin::wayland {

namespace {

// Start-up only, before the keyboard is grabbed: a compositor that does not answer in this time
// is not one to hand the keyboard to.
constexpr std::chrono::milliseconds kAnswerBound{3000};

}  // namespace

WaylandSession::WaylandSession() = default;

// Members go in reverse order: the grab is released before the virtual keyboard and the input
// method, which go before the connection.
WaylandSession::~WaylandSession() = default;

std::unique_ptr<WaylandSession> WaylandSession::open(const std::string& name,
                                                     const std::string& composeLocale, std::string& why) {
    std::unique_ptr<WaylandSession> session(new WaylandSession());
    if (!session->build(name, composeLocale, why)) return nullptr;
    return session;
}

bool WaylandSession::build(const std::string& name, const std::string& composeLocale, std::string& why) {
    connection_ = WaylandConnection::open(name, kAnswerBound);
    if (!connection_) {
        why = QCoreApplication::translate("orvalin", "le compositeur Wayland (%1) ne répond pas")
                  .arg(QString::fromStdString(name))
                  .toStdString();
        return false;
    }
    if (std::string missing = connection_->missingProtocols(); !missing.empty()) {
        why = QCoreApplication::translate(
                  "orvalin",
                  "ce compositeur Wayland n'offre pas la méthode de saisie et le clavier "
                  "virtuel (%1)")
                  .arg(QString::fromStdString(missing))
                  .toStdString();
        return false;
    }
    inputMethod_ = std::make_unique<InputMethod>(*connection_);
    // A seat whose input method is taken says so at once, before any other event.
    if (!connection_->settle(kAnswerBound) || !inputMethod_->available()) {
        why = QCoreApplication::translate(
                  "orvalin", "une autre méthode de saisie (fcitx5, IBus…) occupe déjà le clavier")
                  .toStdString();
        return false;
    }
    keyboard_ = std::make_unique<VirtualKeyboard>(*connection_);
    monitor_ = std::make_unique<GrabKeyMonitor>(*inputMethod_, *keyboard_, composeLocale);
    inserter_ = std::make_unique<WaylandTextInserter>(*inputMethod_, *keyboard_);
    trust_ = std::make_unique<WaylandTrustQuery>(*connection_, *inputMethod_);
    focusWatch_ = std::make_unique<InputMethodFocusWatch>(*inputMethod_);
    return true;
}

std::function<bool()> WaylandSession::keyFocusOf(wl_display* display) {
    auto focus = std::make_shared<ClientKeyboardFocus>(display);
    return [focus] { return focus->held(); };
}

KeyMonitor& WaylandSession::keyMonitor() {
    return *monitor_;
}

TrustQuery& WaylandSession::trust() {
    return *trust_;
}

ActiveApplicationSource& WaylandSession::activeApplications() {
    return *focusWatch_;
}

TextInserter* WaylandSession::textInserter() {
    return inserter_.get();
}

void WaylandSession::suppressKeysWhile(std::function<bool()> suppressed) {
    monitor_->setSuppressed(std::move(suppressed));
}

void WaylandSession::watch(std::function<void()> onLoss, std::function<void()> onAccessLost) {
    inputMethod_->onUnavailable([this, onAccessLost = std::move(onAccessLost)] {
        // The seat went, or the compositor gave it to another input method: stop holding keys.
        monitor_->stop();
        if (onAccessLost) onAccessLost();
    });
    connection_->watch([onLoss = std::move(onLoss)] {
        std::cerr << QCoreApplication::translate("orvalin",
                                                 "orvalin : connexion au compositeur Wayland perdue, arrêt")
                         .toStdString()
                  << "\n";
        if (onLoss) onLoss();
    });
}

bool WaylandSession::broken() const {
    return connection_->broken();
}

std::string WaylandSession::failure() {
    return trust_->missing();
}

}  // namespace orvalin::wayland
