#include "platform/ibus/gnome_input_source.h"

#include <gio/gio.h>

namespace orvalin::ibus {

namespace {

constexpr const char* kSchema = "org.gnome.desktop.input-sources";
constexpr const char* kRecentSources = "mru-sources";

}  // namespace

GnomeInputSource::GnomeInputSource(std::function<void()> chosen) : chosen_(std::move(chosen)) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source != nullptr ? g_settings_schema_source_lookup(source, kSchema, TRUE) : nullptr;
    if (schema == nullptr) return;
    if (g_settings_schema_has_key(schema, kRecentSources))
        settings_ = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    if (settings_ == nullptr) return;
    g_signal_connect(settings_, "changed::mru-sources",
                     G_CALLBACK(+[](GSettings*, const gchar*, gpointer self) {
                         static_cast<GnomeInputSource*>(self)->check();
                     }),
                     this);
    check();
}

GnomeInputSource::~GnomeInputSource() {
    if (settings_ == nullptr) return;
    g_signal_handlers_disconnect_by_data(settings_, this);
    g_object_unref(settings_);
}

void GnomeInputSource::check() {
    GVariant* sources = g_settings_get_value(settings_, kRecentSources);
    bool ours = false;
    if (g_variant_is_of_type(sources, G_VARIANT_TYPE("a(ss)")) && g_variant_n_children(sources) > 0) {
        const gchar* type = nullptr;
        const gchar* id = nullptr;
        g_variant_get_child(sources, 0, "(&s&s)", &type, &id);
        ours = g_strcmp0(type, "ibus") == 0 && g_strcmp0(id, "orvalin") == 0;
    }
    g_variant_unref(sources);
    if (ours && chosen_) chosen_();
}

}  // namespace orvalin::ibus
