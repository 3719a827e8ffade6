/* The bare IBus pass-through that bench/ibus_latency measures beside the program: an engine that
 * answers every key "not handled" at once, registered at run time the way the program registers
 * its own. Prints "ready" once the daemon knows the engine; leaves with the daemon. */
#include <ibus.h>
#include <stdio.h>

#define ENGINE_NAME "bench-pass"

typedef struct {
    IBusEngine parent;
} PassEngine;

typedef struct {
    IBusEngineClass parent;
} PassEngineClass;

G_DEFINE_TYPE(PassEngine, pass_engine, IBUS_TYPE_ENGINE)

static gboolean pass_key(IBusEngine* engine, guint keyval, guint keycode, guint state) {
    (void)engine;
    (void)keyval;
    (void)keycode;
    (void)state;
    return FALSE;
}

static void pass_engine_class_init(PassEngineClass* klass) {
    IBUS_ENGINE_CLASS(klass)->process_key_event = pass_key;
}

static void pass_engine_init(PassEngine* engine) {
    (void)engine;
}

int main(void) {
    ibus_init();
    IBusBus* bus = ibus_bus_new();
    if (!ibus_bus_is_connected(bus)) {
        fprintf(stderr, "ibus-daemon does not answer\n");
        return 1;
    }
    g_signal_connect(bus, "disconnected", G_CALLBACK(ibus_quit), NULL);
    IBusFactory* factory = ibus_factory_new(ibus_bus_get_connection(bus));
    ibus_factory_add_engine(factory, ENGINE_NAME, pass_engine_get_type());
    IBusComponent* component = ibus_component_new_varargs(
        "name", "org.freedesktop.IBus.BenchPass", "description", "Bench pass-through", "version", "1",
        "license", "GPL", "author", "Orvalin", "homepage", "", "command-line", "", "textdomain", "", NULL);
    ibus_component_add_engine(
        component,
        ibus_engine_desc_new_varargs("name", ENGINE_NAME, "longname", "Bench pass-through", "description", "",
                                     "language", "other", "license", "GPL", "author", "Orvalin", "icon", "",
                                     "layout", "default", "rank", 0, NULL));
    ibus_bus_register_component(bus, component);
    puts("ready");
    fflush(stdout);
    ibus_main();
    return 0;
}
