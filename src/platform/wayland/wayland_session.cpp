#include "platform/wayland/wayland_session.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <chrono>
#include <iostream>

#include "engine/text_expansion_manager.h"
#include "platform/wayland/client_keyboard_focus.h"
#include "platform/wayland/input_method.h"
#include "platform/wayland/input_method_focus_watch.h"
#include "platform/wayland/key_relay.h"
#include "platform/wayland/pass_through_thread.h"
#include "platform/wayland/virtual_keyboard.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_trust_query.h"

namespace orvalin::wayland {

namespace {

// Start-up only, before the keyboard is grabbed: a compositor that does not answer in this time
// is not one to hand the keyboard to.
constexpr std::chrono::milliseconds kAnswerBound{3000};

}  // namespace

WaylandSession::WaylandSession() = default;

// Members go in reverse order: the thread ends first, with the grab released, before the virtual
// keyboard and the input method, which go before the connection.
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
    trust_ = std::make_unique<WaylandTrustQuery>(*connection_, *inputMethod_);
    focusWatch_ = std::make_unique<InputMethodFocusWatch>();
    thread_ = std::make_unique<PassThroughThread>(*connection_, *inputMethod_, *keyboard_, composeLocale);
    relay_ = std::make_unique<KeyRelay>(*thread_, [this] { return trust_->isTrusted(); });
    return true;
}

std::function<bool()> WaylandSession::keyFocusOf(wl_display* display) {
    auto focus = std::make_shared<ClientKeyboardFocus>(display);
    return [focus] { return focus->held(); };
}

KeyMonitor& WaylandSession::keyMonitor() {
    return *relay_;
}

TrustQuery& WaylandSession::trust() {
    return *trust_;
}

ActiveApplicationSource& WaylandSession::activeApplications() {
    return *focusWatch_;
}

TextInserter* WaylandSession::textInserter() {
    return relay_.get();
}

void WaylandSession::suppressKeysWhile(std::function<bool()> suppressed) {
    relay_->setSuppressed(std::move(suppressed));
}

void WaylandSession::watch(std::function<void()> onLoss, std::function<void()> onAccessLost) {
    onLoss_ = std::move(onLoss);
    onAccessLost_ = std::move(onAccessLost);
    newsReady_ = std::make_unique<QSocketNotifier>(thread_->news().fd(), QSocketNotifier::Read);
    QObject::connect(newsReady_.get(), &QSocketNotifier::activated, [this] { takeNews(); });
    // Without its thread the route cannot pass keys on: as good as lost.
    if (!thread_->run()) report({.kind = PassThroughNews::Kind::ConnectionLost});
}

void WaylandSession::takeNews() {
    thread_->news().take(news_);
    for (const PassThroughNews& news : news_) report(news);
}

void WaylandSession::report(const PassThroughNews& news) {
    switch (news.kind) {
        case PassThroughNews::Kind::Key:
            relay_->deliver(news);
            return;
        case PassThroughNews::Kind::FocusChange:
            focusWatch_->changed();
            return;
        case PassThroughNews::Kind::AccessLost:
            if (onAccessLost_) onAccessLost_();
            return;
        case PassThroughNews::Kind::ConnectionLost:
            newsReady_->setEnabled(false);
            std::cerr << QCoreApplication::translate(
                             "orvalin", "orvalin : connexion au compositeur Wayland perdue, arrêt")
                             .toStdString()
                      << "\n";
            if (onLoss_) onLoss_();
            return;
    }
}

void WaylandSession::engineStarted(TextExpansionManager& manager) {
    auto update = [this, &manager] {
        std::vector<std::string> triggers;
        std::vector<std::uint16_t> combinationKeys;
        for (const Shortcut& s : manager.shortcuts()) {
            if (!s.trigger.empty()) triggers.push_back(TriggerBuffer::toNfc(s.trigger));
            if (s.globalShortcut)
                combinationKeys.push_back(static_cast<std::uint16_t>(s.globalShortcut->keyCode));
        }
        relay_->setTriggers(std::move(triggers), std::move(combinationKeys));
    };
    update();
    manager.subscribe([update](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::Shortcuts) update();
    });
}

bool WaylandSession::broken() const {
    return connection_->broken();
}

std::string WaylandSession::failure() {
    return trust_->missing();
}

}  // namespace orvalin::wayland
