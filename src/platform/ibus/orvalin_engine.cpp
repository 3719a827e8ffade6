#include "platform/ibus/orvalin_engine.h"

#include <ibus.h>

#include <deque>
#include <optional>
#include <string>

#include "platform/ibus/engine_menu.h"
#include "platform/ibus/field_writer.h"
#include "platform/ibus/key_translator.h"
#include "platform/ibus/typing_route.h"

namespace orvalin::ibus {

namespace {

TypingRoute* gRoute = nullptr;
KeyTranslator* gTranslator = nullptr;
IBusEngineClass* gParent = nullptr;

// A key whose answer waits for an earlier key's date; the client gets it once the date is in.
struct WaitingKey {
    IBusEngine* engine;  // a reference held
    GDBusMethodInvocation* call;
    guint keyval, keycode, state;
    std::optional<TranslatedKey> translated;  // read once: dead keys and Compose follow each press
};
std::deque<WaitingKey> gWaiting;

// One input context's field, as the route writes to it.
class EngineField final : public FieldWriter {
public:
    explicit EngineField(IBusEngine* engine) : engine_(engine) {}
    void commit(std::string_view text) override {
        ibus_engine_commit_text(engine_, ibus_text_new_from_string(std::string(text).c_str()));
    }
    void showPreedit(std::string_view text) override {
        IBusText* preedit = ibus_text_new_from_string(std::string(text).c_str());
        const guint length = ibus_text_get_length(preedit);
        ibus_text_append_attribute(preedit, IBUS_ATTR_TYPE_UNDERLINE, IBUS_ATTR_UNDERLINE_SINGLE, 0, length);
        // Should the focus leave or a click move the cursor meanwhile, the field keeps the text as
        // typed: the daemon commits it then, except for clients that commit it themselves, where
        // it would arrive twice.
        ibus_engine_update_preedit_text_with_mode(
            engine_, preedit, length, TRUE,
            clientCommitsPreedit ? IBUS_ENGINE_PREEDIT_CLEAR : IBUS_ENGINE_PREEDIT_COMMIT);
    }
    void hidePreedit() override {
        ibus_engine_update_preedit_text_with_mode(engine_, ibus_text_new_from_string(""), 0, FALSE,
                                                  IBUS_ENGINE_PREEDIT_CLEAR);
    }
    void deleteBeforeCursor(std::size_t characters) override {
        const gint count = static_cast<gint>(characters);
        ibus_engine_delete_surrounding_text(engine_, -count, static_cast<guint>(count));
    }

    bool clientCommitsPreedit = false;

private:
    IBusEngine* engine_;
};

struct OrvalinEngine {
    IBusEngineSimple parent;
    EngineField* field;
    gboolean secret;
};

struct OrvalinEngineClass {
    IBusEngineSimpleClass parent;
};

OrvalinEngine* self(IBusEngine* engine) {
    return reinterpret_cast<OrvalinEngine*>(engine);
}

bool isSecret(guint purpose) {
    return purpose == IBUS_INPUT_PURPOSE_PASSWORD || purpose == IBUS_INPUT_PURPOSE_PIN;
}

// Taken or passed; nothing while keys wait behind a trigger or a combination (their releases too,
// so that each reaches the client after its press).
std::optional<gboolean> answerKey(WaitingKey& key) {
    if (gRoute != nullptr && gRoute->deferring()) return std::nullopt;
    EngineField& field = *self(key.engine)->field;
    if ((key.state & IBUS_RELEASE_MASK) == 0 && gRoute != nullptr && gTranslator != nullptr &&
        gRoute->watches(field)) {
        if (!key.translated) key.translated = gTranslator->press(key.keyval, key.keycode, key.state);
        const TranslatedKey& pressed = *key.translated;
        if (!pressed.isModifierKey) {
            const KeyEvent event{pressed.virtualKey, pressed.modifiers, pressed.characters};
            switch (gRoute->key(field, event, pressed.composing)) {
                case TypingRoute::Verdict::Take:
                    // The simple engine saw the sequence begin and not this end of it: it starts afresh.
                    if (pressed.composing) gParent->reset(key.engine);
                    return TRUE;
                case TypingRoute::Verdict::Wait:
                    return std::nullopt;
                case TypingRoute::Verdict::Pass:
                    break;
            }
        }
    }
    return gParent->process_key_event(key.engine, key.keyval, key.keycode, key.state);
}

void reply(const WaitingKey& key, gboolean handled) {
    g_dbus_method_invocation_return_value(key.call, g_variant_new("(b)", handled));
    g_object_unref(key.engine);
}

// Keys that waited are answered in order, until one of them waits again.
void answerWaitingKeys() {
    while (!gWaiting.empty()) {
        WaitingKey& key = gWaiting.front();
        const std::optional<gboolean> handled = answerKey(key);
        if (!handled) return;
        reply(key, *handled);
        gWaiting.pop_front();
    }
}

// The daemon's key calls are answered here rather than through the engine's signal, so that an
// answer can come later than the call.
void methodCall(IBusService* service, GDBusConnection* connection, const gchar* sender, const gchar* path,
                const gchar* interface, const gchar* method, GVariant* parameters,
                GDBusMethodInvocation* call) {
    if (g_strcmp0(interface, IBUS_INTERFACE_ENGINE) != 0 || g_strcmp0(method, "ProcessKeyEvent") != 0) {
        IBUS_SERVICE_CLASS(gParent)->service_method_call(service, connection, sender, path, interface, method,
                                                         parameters, call);
        return;
    }
    IBusEngine* engine = IBUS_ENGINE(service);
    WaitingKey key{engine, call, 0, 0, 0, std::nullopt};
    g_variant_get(parameters, "(uuu)", &key.keyval, &key.keycode, &key.state);
    const std::optional<gboolean> handled = gWaiting.empty() ? answerKey(key) : std::nullopt;
    if (handled) {
        g_dbus_method_invocation_return_value(call, g_variant_new("(b)", *handled));
        return;
    }
    g_object_ref(engine);
    gWaiting.push_back(std::move(key));
}

void startField(IBusEngine* engine) {
    if (gRoute != nullptr) gRoute->focusIn(*self(engine)->field, self(engine)->secret);
    if (gTranslator != nullptr) gTranslator->reset();
}

void focusIn(IBusEngine* engine) {
    startField(engine);
    offerMenu(engine);
    gParent->focus_in(engine);
}

// Qt's IBus client commits its preedit itself when a click or the focus ends it. The daemon's
// own "fake" context stands for no field at all: a date must wait rather than go there.
void focusInId(IBusEngine* engine, const gchar* path, const gchar* client) {
    const gchar* name = client != nullptr ? client : "";
    self(engine)->field->clientCommitsPreedit = g_str_has_prefix(name, "QIBus");
    if (g_strcmp0(name, "fake") != 0) startField(engine);
    offerMenu(engine);
    if (gParent->focus_in_id != nullptr) gParent->focus_in_id(engine, path, client);
}

void focusOut(IBusEngine* engine) {
    if (gRoute != nullptr) gRoute->focusOut(*self(engine)->field);
    gParent->focus_out(engine);
}

void focusOutId(IBusEngine* engine, const gchar* path) {
    if (gRoute != nullptr) gRoute->focusOut(*self(engine)->field);
    if (gParent->focus_out_id != nullptr) gParent->focus_out_id(engine, path);
}

void reset(IBusEngine* engine) {
    if (gRoute != nullptr) gRoute->reset(*self(engine)->field);
    if (gTranslator != nullptr) gTranslator->reset();
    gParent->reset(engine);
}

void setContentType(IBusEngine* engine, guint purpose, guint hints) {
    self(engine)->secret = isSecret(purpose) ? TRUE : FALSE;
    if (gRoute != nullptr) gRoute->setSecret(*self(engine)->field, self(engine)->secret);
    if (gParent->set_content_type != nullptr) gParent->set_content_type(engine, purpose, hints);
}

void setSurroundingText(IBusEngine* engine, IBusText* text, guint cursor, guint anchor) {
    if (gRoute != nullptr && text != nullptr && text->text != nullptr) {
        const glong length = g_utf8_strlen(text->text, -1);
        const glong at = static_cast<glong>(cursor) <= length ? static_cast<glong>(cursor) : length;
        const gchar* end = g_utf8_offset_to_pointer(text->text, at);
        gRoute->setTextBeforeCursor(*self(engine)->field,
                                    std::string(text->text, static_cast<std::size_t>(end - text->text)));
    }
    gParent->set_surrounding_text(engine, text, cursor, anchor);
}

void propertyActivate(IBusEngine* engine, const gchar* key, guint state) {
    if (!activateMenuEntry(key) && gParent->property_activate != nullptr)
        gParent->property_activate(engine, key, state);
}

void destroy(IBusObject* object) {
    OrvalinEngine* engine = self(IBUS_ENGINE(object));
    // Its client is going: keys of it still waiting go back unhandled.
    std::erase_if(gWaiting, [engine](const WaitingKey& key) {
        if (self(key.engine) != engine) return false;
        reply(key, FALSE);
        return true;
    });
    if (engine->field != nullptr) {
        if (gRoute != nullptr) gRoute->focusOut(*engine->field);
        delete engine->field;
        engine->field = nullptr;
    }
    IBUS_OBJECT_CLASS(gParent)->destroy(object);
}

void classInit(gpointer klass, gpointer) {
    gParent = IBUS_ENGINE_CLASS(g_type_class_peek_parent(klass));
    IBusEngineClass* engine = IBUS_ENGINE_CLASS(klass);
    IBUS_SERVICE_CLASS(klass)->service_method_call = methodCall;
    engine->focus_in = focusIn;
    engine->focus_out = focusOut;
    engine->focus_in_id = focusInId;
    engine->focus_out_id = focusOutId;
    engine->reset = reset;
    engine->set_content_type = setContentType;
    engine->set_surrounding_text = setSurroundingText;
    engine->property_activate = propertyActivate;
    IBUS_OBJECT_CLASS(klass)->destroy = destroy;
}

void instanceInit(GTypeInstance* instance, gpointer) {
    OrvalinEngine* engine = reinterpret_cast<OrvalinEngine*>(instance);
    engine->field = new EngineField(IBUS_ENGINE(instance));
    engine->secret = FALSE;
}

}  // namespace

GType engineType() {
    static const GType type = g_type_register_static_simple(
        IBUS_TYPE_ENGINE_SIMPLE, "OrvalinEngine", sizeof(OrvalinEngineClass), classInit,
        sizeof(OrvalinEngine), instanceInit, static_cast<GTypeFlags>(0));
    return type;
}

IBusEngine* createEngine(IBusFactory* factory, const gchar* name) {
    static guint made = 0;
    gchar* path = g_strdup_printf("/org/freedesktop/IBus/Engine/Orvalin/%u", ++made);
    GObject* engine = G_OBJECT(g_object_new(engineType(), "engine-name", name, "object-path", path,
                                            "connection", ibus_service_get_connection(IBUS_SERVICE(factory)),
                                            "has-focus-id", TRUE, nullptr));
    g_free(path);
    return IBUS_ENGINE(engine);
}

void attachEngines(TypingRoute* route, KeyTranslator* translator) {
    if (gRoute != nullptr) gRoute->setResumeListener(nullptr);
    gRoute = route;
    gTranslator = translator;
    if (gRoute != nullptr) gRoute->setResumeListener(answerWaitingKeys);
    // Detached, nothing waits any more.
    answerWaitingKeys();
}

}  // namespace orvalin::ibus
