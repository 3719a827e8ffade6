#include "platform/ibus/orvalin_engine.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/route_session.h"
#include "engine/text_expansion_manager.h"
#include "platform/ibus/engine_menu.h"
#include "platform/ibus/glib_scheduler.h"
#include "platform/ibus/key_translator.h"
#include "platform/ibus/route_relay.h"
#include "platform/ibus/typing_route.h"
#include "support/engine_fixture.h"
#include "support/fake_platform.h"
#include "support/memory_preferences_store.h"

namespace orvalin {
namespace {

using Request = RouteSession::MenuRequest;

// A private D-Bus link, as between ibus-daemon and the program: the engine serves on one end and
// this end hears what it tells its field.
class PeerBus {
public:
    PeerBus() {
        int ends[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        gchar* guid = g_dbus_generate_guid();
        // Each end authenticates while the other does: the engine's in a worker thread.
        g_dbus_connection_new(
            stream(ends[0]), guid,
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_SERVER |
                                              G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_ALLOW_ANONYMOUS),
            nullptr, nullptr, &PeerBus::served, this);
        GIOStream* ours = stream(ends[1]);
        field_ = g_dbus_connection_new_sync(ours, nullptr, G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT,
                                            nullptr, nullptr, nullptr);
        g_object_unref(ours);
        g_free(guid);
        settle([this] { return engineSide != nullptr; });
        subscription_ = g_dbus_connection_signal_subscribe(
            field_, nullptr, "org.freedesktop.IBus.Engine", nullptr, nullptr, nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, &PeerBus::heard, this, nullptr);
    }
    ~PeerBus() {
        g_dbus_connection_signal_unsubscribe(field_, subscription_);
        g_dbus_connection_close_sync(field_, nullptr, nullptr);
        g_object_unref(field_);
        if (engineSide != nullptr) g_object_unref(engineSide);
    }

    // Runs the main loop until `done` or a second has passed.
    template <typename Done>
    static void settle(Done done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!done() && std::chrono::steady_clock::now() < end) g_main_context_iteration(nullptr, FALSE);
    }
    // What the engine said since the last call: "CommitText <text>", "RegisterProperties <keys>"...
    std::vector<std::string> heard() {
        g_dbus_connection_flush_sync(engineSide, nullptr, nullptr);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (std::chrono::steady_clock::now() < end) g_main_context_iteration(nullptr, FALSE);
        return std::exchange(heard_, {});
    }

    // Calls the engine as the daemon does; its answer, null when there was none in a second.
    GVariant* call(const char* method, GVariant* arguments) {
        GVariant* answer = nullptr;
        g_dbus_connection_call(field_, nullptr, kPath, IBUS_INTERFACE_ENGINE, method, arguments, nullptr,
                               G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, &PeerBus::answered, &answer);
        settle([&answer] { return answer != nullptr; });
        return answer;
    }

    static constexpr const char* kPath = "/org/freedesktop/IBus/Engine/Test";
    GDBusConnection* engineSide = nullptr;

private:
    static void answered(GObject* connection, GAsyncResult* result, gpointer answer) {
        GVariant* value = g_dbus_connection_call_finish(G_DBUS_CONNECTION(connection), result, nullptr);
        *static_cast<GVariant**>(answer) = value != nullptr ? value : g_variant_ref_sink(g_variant_new("()"));
    }
    static GIOStream* stream(int fd) {
        GSocket* socket = g_socket_new_from_fd(fd, nullptr);
        GIOStream* connection = G_IO_STREAM(g_socket_connection_factory_create_connection(socket));
        g_object_unref(socket);
        return connection;
    }
    static void served(GObject*, GAsyncResult* result, gpointer self) {
        static_cast<PeerBus*>(self)->engineSide = g_dbus_connection_new_finish(result, nullptr);
    }
    static void heard(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* signal,
                      GVariant* parameters, gpointer self) {
        std::string line = signal;
        if (g_variant_is_of_type(parameters, G_VARIANT_TYPE("(v)"))) {
            GVariant* value = g_variant_get_child_value(parameters, 0);
            GVariant* inner = g_variant_get_variant(value);
            IBusSerializable* object = ibus_serializable_deserialize(inner);
            if (IBUS_IS_TEXT(object)) line += std::string(" ") + ibus_text_get_text(IBUS_TEXT(object));
            if (IBUS_IS_PROP_LIST(object)) {
                for (guint i = 0; IBusProperty* p = ibus_prop_list_get(IBUS_PROP_LIST(object), i); ++i)
                    line += std::string(" ") + ibus_property_get_key(p) + "=" +
                            ibus_text_get_text(ibus_property_get_label(p));
            }
            if (object != nullptr) g_object_unref(g_object_ref_sink(object));
            g_variant_unref(inner);
            g_variant_unref(value);
        }
        static_cast<PeerBus*>(self)->heard_.push_back(line);
    }

    GDBusConnection* field_ = nullptr;
    guint subscription_ = 0;
    std::vector<std::string> heard_;
};

// Runs `task` on this thread's main loop later, as the route's and the engine's threads hand each
// other work.
void later(std::function<void()> task) {
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(task)),
        [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

// One engine of the program as the daemon makes it, over the route and a manager on the fake
// platform whose one format types "DATE" for the trigger "é". The route and the engine take
// turns on the one main loop.
class OrvalinEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ibus_init(); }
    OrvalinEngineTest() {
        platform = std::make_unique<EnginePlatform>(
            EnginePlatform{relay, nullptr, nullptr, p.scheduler, p.clock, p.trust, p.loginItems, p.urlOpener,
                           p.activeApplications, p.out, "", &relay, "", p.engine.loginItemFailure});
        p.trust.trusted = true;
        route.setHandoff([this](const KeyEvent& e, std::uint64_t id, bool awaited) {
            later(
                [this, code = e.keyCode, mods = e.modifiers, text = std::string(e.characters), id, awaited] {
                    relay.deliver(KeyEvent{code, mods, text}, id, awaited);
                });
        });
        manager = std::make_unique<TextExpansionManager>(store, *platform);
        manager->setShortcuts({literalEntry("DATE", "é")});
        ibus::followTriggers(relay, *manager);
        ibus::attachEngines(&route, &translator);
        ibus::attachMenu(&menu);
        menu.setHandler([this](Request request) { requests.push_back(request); });
        engine = IBUS_ENGINE(g_object_new(ibus::engineType(), "engine-name", "orvalin", "object-path",
                                          PeerBus::kPath, "connection", bus.engineSide, "has-focus-id", TRUE,
                                          nullptr));
    }
    ~OrvalinEngineTest() override {
        // Work one side handed the other and not run yet must not outlive the fixture; the
        // manager hands some over as it goes.
        manager.reset();
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        ibus_object_destroy(IBUS_OBJECT(engine));
        g_object_unref(engine);
        ibus::attachMenu(nullptr);
        ibus::attachEngines(nullptr, nullptr);
    }

    void focusIn() { drop(bus.call("FocusInId", g_variant_new("(ss)", "/field", "gtk3-im"))); }
    // True when the engine keeps the key from the application.
    bool press(guint keyval, guint keycode) {
        GVariant* answer = bus.call("ProcessKeyEvent", g_variant_new("(uuu)", keyval, keycode, 0U));
        gboolean taken = FALSE;
        if (g_variant_is_of_type(answer, G_VARIANT_TYPE("(b)"))) g_variant_get(answer, "(b)", &taken);
        drop(answer);
        drop(bus.call("ProcessKeyEvent", g_variant_new("(uuu)", keyval, keycode, guint{IBUS_RELEASE_MASK})));
        return taken != FALSE;
    }
    static void drop(GVariant* answer) {
        if (answer != nullptr) g_variant_unref(answer);
    }

    PeerBus bus;
    fakes::FakePlatform p;
    MemoryPreferencesStore store;
    ibus::GlibScheduler routeTimers{g_main_context_default()};
    ibus::TypingRoute route{routeTimers};
    ibus::RouteRelay relay{[this](std::function<void(ibus::TypingRoute&)> task) {
        later([this, task = std::move(task)] { task(route); });
    }};
    ibus::KeyTranslator translator{"C.UTF-8"};
    ibus::EngineMenu menu;
    std::vector<Request> requests;
    std::unique_ptr<EnginePlatform> platform;
    std::unique_ptr<TextExpansionManager> manager;
    IBusEngine* engine = nullptr;
};

// A trigger ending in a letter typed with a dead key: the engine takes that letter, and the
// keyboard's own compose handling, which saw the dead key, does not hold on to it.
TEST_F(OrvalinEngineTest, ATriggerEndingInADeadKeyLetterLeavesComposeReady) {
    focusIn();
    bus.heard();
    press(IBUS_KEY_dead_acute, 40);
    EXPECT_TRUE(press(IBUS_KEY_e, 18));
    const std::vector<std::string> said = bus.heard();
    EXPECT_TRUE(std::find(said.begin(), said.end(), "CommitText DATE") != said.end())
        << ::testing::PrintToString(said);
    // The first key after a date may go in through the engine, which keeps it after the date.
    const bool xTaken = press(IBUS_KEY_x, 45);
    const std::vector<std::string> afterX = bus.heard();
    EXPECT_TRUE(!xTaken || std::find(afterX.begin(), afterX.end(), "CommitText x") != afterX.end())
        << "x is held in a sequence the dead key began: " << ::testing::PrintToString(afterX);
    press(IBUS_KEY_dead_circumflex, 26);
    press(IBUS_KEY_o, 24);
    const std::vector<std::string> then = bus.heard();
    EXPECT_TRUE(std::find(then.begin(), then.end(), "CommitText ô") != then.end())
        << ::testing::PrintToString(then);
}

// Where no tray shows, the input-source menu leads to the panel and the settings.
TEST_F(OrvalinEngineTest, EachFieldOffersTheMenuWhoseEntriesReachTheProgram) {
    focusIn();
    const std::vector<std::string> said = bus.heard();
    EXPECT_NE(std::find(said.begin(), said.end(),
                        "RegisterProperties orvalin.show-panel=Ouvrir le panneau d'Orvalin "
                        "orvalin.open-settings=Préférences…"),
              said.end())
        << ::testing::PrintToString(said);
    for (const char* key :
         {ibus::EngineMenu::kOpenSettings, "another.engines.entry", ibus::EngineMenu::kShowPanel})
        drop(bus.call("PropertyActivate", g_variant_new("(su)", key, guint{PROP_STATE_CHECKED})));
    EXPECT_EQ(requests, (std::vector<Request>{Request::OpenSettings, Request::ShowPanel}));
}

}  // namespace
}  // namespace orvalin
