#include "app/wayland_session.h"

#include <QCoreApplication>
#include <chrono>

#include "platform/wayland/grab_key_monitor.h"
#include "platform/wayland/input_method.h"
#include "platform/wayland/virtual_keyboard.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_text_inserter.h"

namespace orvalin {

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
    session->connection_ = wayland::WaylandConnection::open(name, kAnswerBound);
    if (!session->connection_) {
        why = QCoreApplication::translate("orvalin", "le compositeur Wayland (%1) ne répond pas")
                  .arg(QString::fromStdString(name))
                  .toStdString();
        return nullptr;
    }
    if (std::string missing = session->connection_->missingProtocols(); !missing.empty()) {
        why = QCoreApplication::translate(
                  "orvalin",
                  "ce compositeur Wayland n'offre pas la méthode de saisie et le clavier "
                  "virtuel (%1)")
                  .arg(QString::fromStdString(missing))
                  .toStdString();
        return nullptr;
    }
    session->inputMethod_ = std::make_unique<wayland::InputMethod>(*session->connection_);
    // A seat whose input method is taken says so at once, before any other event.
    if (!session->connection_->settle(kAnswerBound) || !session->inputMethod_->available()) {
        why = QCoreApplication::translate(
                  "orvalin", "une autre méthode de saisie (fcitx5, IBus…) occupe déjà le clavier")
                  .toStdString();
        return nullptr;
    }
    session->keyboard_ = std::make_unique<wayland::VirtualKeyboard>(*session->connection_);
    session->monitor_ =
        std::make_unique<wayland::GrabKeyMonitor>(*session->inputMethod_, *session->keyboard_, composeLocale);
    session->inserter_ =
        std::make_unique<wayland::WaylandTextInserter>(*session->inputMethod_, *session->keyboard_);
    session->synthesizer_ = std::make_unique<wayland::VirtualKeySynthesizer>(*session->keyboard_);
    session->trust_ =
        std::make_unique<wayland::WaylandTrustQuery>(*session->connection_, *session->inputMethod_);
    session->focusWatch_ = std::make_unique<wayland::InputMethodFocusWatch>(*session->inputMethod_);
    return session;
}

void WaylandSession::watch(std::function<void()> onLoss, std::function<void()> onSeatLost) {
    inputMethod_->onUnavailable([this, onSeatLost = std::move(onSeatLost)] {
        // The seat went, or the compositor gave it to another input method: stop holding keys.
        monitor_->stop();
        if (onSeatLost) onSeatLost();
    });
    connection_->watch(std::move(onLoss));
}

bool WaylandSession::broken() const {
    return connection_->broken();
}

std::string WaylandSession::failure() const {
    return trust_->missing();
}

}  // namespace orvalin
