#include "platform/ibus/ibus_session.h"

#include <ibus.h>

#include <QCoreApplication>
#include <iostream>

#include "engine/text_expansion_manager.h"

#include "platform/ibus/engine_menu.h"
#include "platform/ibus/glib_scheduler.h"
#include "platform/ibus/gnome_input_source.h"
#include "platform/ibus/ibus_thread.h"
#include "platform/ibus/key_translator.h"
#include "platform/ibus/orvalin_engine.h"
#include "platform/ibus/route_relay.h"
#include "platform/ibus/typing_route.h"

namespace orvalin::ibus {

// Each field getting the focus counts as a switch of application: an expansion waiting for
// one field never goes into another. Told on the main thread.
class FieldFocusSource final : public ActiveApplicationSource {
public:
    void start(std::function<void()> onSwitch) override { onSwitch_ = std::move(onSwitch); }
    void stop() override { onSwitch_ = nullptr; }
    void switched() {
        if (onSwitch_) onSwitch_();
    }

private:
    std::function<void()> onSwitch_;
};

std::string IbusTrustQuery::missing() const {
    if (!connected) return QCoreApplication::translate("orvalin", "IBus ne répond pas").toStdString();
    if (!active)
        return QCoreApplication::translate("orvalin", "Orvalin n'est pas la source de saisie active")
            .toStdString();
    return {};
}

std::string IbusSession::droppedDateReason() {
    return QCoreApplication::translate("orvalin", "aucun champ de saisie n'a reçu le focus à temps")
        .toStdString();
}

IbusSession::IbusSession()
    : trust_(std::make_unique<IbusTrustQuery>()),
      menu_(std::make_unique<EngineMenu>()),
      thread_(std::make_unique<IbusThread>()),
      mainSide_(std::make_unique<QObject>()),
      relay_(std::make_unique<RouteRelay>([this](std::function<void(TypingRoute&)> task) {
          thread_->post([this, task = std::move(task)] {
              if (route_) task(*route_);
          });
      })),
      focus_(std::make_unique<FieldFocusSource>()) {}

std::unique_ptr<IbusSession> IbusSession::open(const std::string& composeLocale, const std::string& program,
                                               std::string& why) {
    std::unique_ptr<IbusSession> session(new IbusSession());
    bool started = false;
    session->thread_->call([&] { started = session->start(composeLocale, program, why); });
    if (!started) return nullptr;
    return session;
}

IbusSession::~IbusSession() {
    thread_->call([this] { shutDown(); });
    thread_.reset();
    // Calls handed to the main thread and not run yet go with it.
    mainSide_.reset();
}

bool IbusSession::start(const std::string& composeLocale, const std::string& program, std::string& why) {
    scheduler_ = std::make_unique<GlibScheduler>(thread_->context());
    route_ = std::make_unique<TypingRoute>(*scheduler_);
    translator_ = std::make_unique<KeyTranslator>(composeLocale);
    route_->setHandoff(
        [this](const KeyEvent& event, std::uint64_t id, bool awaited) { handOver(event, id, awaited); });
    route_->setFocusListener([this] {
        pace_.focusChanged();
        toMain([this] { focus_->switched(); });
    });
    route_->setDropListener([this] {
        toMain([this] {
            if (dateDropped_) dateDropped_();
        });
    });
    if (!connect(program, why)) return false;
    attachEngines(route_.get(), translator_.get());
    attachMenu(menu_.get());
    return true;
}

void IbusSession::shutDown() {
    attachEngines(nullptr, nullptr);
    attachMenu(nullptr);
    gnome_.reset();
    if (bus_ != nullptr) g_signal_handlers_disconnect_by_data(bus_, this);
    if (factory_ != nullptr) ibus_object_destroy(IBUS_OBJECT(factory_));
    if (factory_ != nullptr) g_object_unref(factory_);
    if (bus_ != nullptr) g_object_unref(bus_);
    route_.reset();
    translator_.reset();
    scheduler_.reset();
}

// On the IBus thread.
void IbusSession::toMain(std::function<void()> task, bool wake) {
    {
        std::lock_guard lock(forMainMutex_);
        forMain_.push_back(std::move(task));
    }
    if (!wake) return;
    pace_.woken();
    wakeMain();
}

void IbusSession::wakeMain() {
    {
        std::lock_guard lock(forMainMutex_);
        if (forMain_.empty() || runPosted_) return;
        runPosted_ = true;
    }
    QMetaObject::invokeMethod(
        mainSide_.get(), [this] { runOnMain(); }, Qt::QueuedConnection);
}

void IbusSession::runOnMain() {
    std::vector<std::function<void()>> tasks;
    {
        std::lock_guard lock(forMainMutex_);
        std::swap(tasks, forMain_);
        runPosted_ = false;
    }
    const std::weak_ptr<char> alive = alive_;
    for (std::function<void()>& task : tasks) {
        if (alive.expired()) return;  // the tasks left are the ended session's
        task();
    }
}

// Ordinary characters wake no one (see NewsPace): each wake-up of the main thread costs more than
// the key. The key's text is the event's only for the call: the copy crosses to the main thread.
void IbusSession::handOver(const KeyEvent& event, std::uint64_t id, bool awaited) {
    const NewsPace::Tell tell = pace_.urgency(event, awaited, route_->hasFocusedField());
    if (tell == NewsPace::Tell::LaterFromHere) {
        scheduler_->cancel(idleTimer_);
        idleTimer_ = scheduler_->scheduleOnce(NewsPace::kIdleBound, [this] {
            idleTimer_ = 0;
            if (pace_.due()) wakeMain();
        });
    }
    toMain(
        [this, keyCode = event.keyCode, modifiers = event.modifiers,
         characters = std::string(event.characters), id, awaited, period = pace_.period()] {
            const bool judged = relay_->deliver(KeyEvent{keyCode, modifiers, characters}, id, awaited);
            pace_.answered(period, !judged);
        },
        tell == NewsPace::Tell::Now);
}

bool IbusSession::connect(const std::string& program, std::string& why) {
    ibus_init();
    bus_ = ibus_bus_new();
    if (bus_ == nullptr || !ibus_bus_is_connected(bus_)) {
        why = trust_->missing();
        return false;
    }
    trust_->connected = true;
    factory_ = ibus_factory_new(ibus_bus_get_connection(bus_));
    g_object_ref_sink(factory_);
    ibus_factory_add_engine(factory_, kEngineName, engineType());
    g_signal_connect(factory_, "create-engine", G_CALLBACK(createEngine), nullptr);
    // An installed component file names us: owning its name makes the daemon use this process
    // rather than start another. Without one, the component is told at run time.
    if (engineKnown()) {
        if (ibus_bus_request_name(bus_, kComponentName, 0) != IBUS_BUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
            why = QCoreApplication::translate("orvalin",
                                              "une autre instance d'Orvalin fournit déjà la source de saisie")
                      .toStdString();
            return false;
        }
    } else {
        registerComponent(program);
    }
    followActiveEngine();
    // GNOME selected its sources before this engine existed: the daemon is told which is current.
    // Asked without waiting: the daemon makes the engine through this very process.
    gnome_ = std::make_unique<GnomeInputSource>([this] {
        if (!trust_->active)
            ibus_bus_set_global_engine_async(bus_, kEngineName, -1, nullptr, nullptr, nullptr);
    });
    return true;
}

bool IbusSession::engineKnown() const {
    const gchar* names[] = {kEngineName, nullptr};
    IBusEngineDesc** found = ibus_bus_get_engines_by_names(bus_, names);
    bool known = false;
    if (found != nullptr) {
        for (IBusEngineDesc** desc = found; *desc != nullptr; ++desc) {
            known = known || g_strcmp0(ibus_engine_desc_get_name(*desc), kEngineName) == 0;
            g_object_unref(*desc);
        }
        g_free(found);
    }
    return known;
}

void IbusSession::registerComponent(const std::string& program) {
    IBusComponent* component = ibus_component_new_varargs(
        "name", kComponentName, "description", "Orvalin", "version", "1", "license", "GPL", "author",
        "Orvalin", "homepage", "", "command-line", program.c_str(), "textdomain", "orvalin", nullptr);
    IBusEngineDesc* engine = ibus_engine_desc_new_varargs(
        "name", kEngineName, "longname", "Orvalin", "description", "Orvalin", "language", "other", "license",
        "GPL", "author", "Orvalin", "icon", "orvalin", "layout", "default", "rank", 0, nullptr);
    ibus_component_add_engine(component, engine);
    ibus_bus_register_component(bus_, component);
    g_object_unref(g_object_ref_sink(component));
}

// The daemon announces every change of input source once asked to.
void IbusSession::followActiveEngine() {
    ibus_bus_set_watch_ibus_signal(bus_, TRUE);
    if (IBusEngineDesc* current = ibus_bus_get_global_engine(bus_)) {
        trust_->active = g_strcmp0(ibus_engine_desc_get_name(current), kEngineName) == 0;
        g_object_unref(current);
    }
    g_signal_connect(bus_, "global-engine-changed",
                     G_CALLBACK(+[](IBusBus*, const gchar* name, gpointer data) {
                         auto* self = static_cast<IbusSession*>(data);
                         const bool active = g_strcmp0(name, kEngineName) == 0;
                         if (active == self->trust_->active) return;
                         self->trust_->active = active;
                         self->toMain([self] {
                             if (self->onSourceChange_) self->onSourceChange_();
                         });
                     }),
                     this);
}

void IbusSession::watch(std::function<void()> onLoss, std::function<void()> onSourceChange) {
    onLoss_ = std::move(onLoss);
    onSourceChange_ = std::move(onSourceChange);
    thread_->post([this] {
        g_signal_connect(bus_, "disconnected", G_CALLBACK(+[](IBusBus*, gpointer data) {
                             auto* self = static_cast<IbusSession*>(data);
                             if (!self->trust_->connected) return;
                             self->trust_->connected = false;
                             self->toMain([self] {
                                 if (self->onLoss_) self->onLoss_();
                             });
                         }),
                         this);
    });
}

void IbusSession::onMenuRequest(std::function<void(MenuRequest)> requested) {
    menu_->setHandler(std::move(requested));
}

KeyMonitor& IbusSession::keyMonitor() {
    return *relay_;
}

TextInserter* IbusSession::textInserter() {
    return relay_.get();
}

ActiveApplicationSource& IbusSession::activeApplications() {
    return *focus_;
}

// With QT_IM_MODULE=ibus the program's own windows send their keys through the engine too.
void IbusSession::suppressKeysWhile(std::function<bool()> suppressed) {
    relay_->ignoreKeysWhile(std::move(suppressed));
}

void IbusSession::engineStarted(TextExpansionManager& manager) {
    followTriggers(*relay_, manager);
    relay_->insertionsUnderWay([&manager] { return manager.isInsertionUnderWay(); });
    dateDropped_ = [this] {
        std::cerr << QCoreApplication::translate("orvalin", "orvalin : date non insérée : %1")
                         .arg(QString::fromStdString(droppedDateReason()))
                         .toStdString()
                  << "\n";
        if (onDropped_) onDropped_(droppedDateReason());
    };
}

std::string IbusSession::permissionWarning() const {
    return QCoreApplication::translate("orvalin", "Orvalin n'est pas la source de saisie — Aide…")
        .toStdString();
}

}  // namespace orvalin::ibus
