#include "platform/ibus/engine_menu.h"

#include <QCoreApplication>
#include <atomic>

namespace orvalin::ibus {

namespace {

std::atomic<EngineMenu*> gMenu{nullptr};

IBusProperty* entry(const char* key, const QString& label) {
    return ibus_property_new(key, PROP_TYPE_NORMAL, ibus_text_new_from_string(label.toUtf8().constData()),
                             nullptr, nullptr, TRUE, TRUE, PROP_STATE_UNCHECKED, nullptr);
}

}  // namespace

EngineMenu::EngineMenu() : entries_(IBUS_PROP_LIST(g_object_ref_sink(ibus_prop_list_new()))) {
    ibus_prop_list_append(
        entries_, entry(kShowPanel, QCoreApplication::translate("orvalin", "Ouvrir le panneau d'Orvalin")));
    ibus_prop_list_append(entries_,
                          entry(kOpenSettings, QCoreApplication::translate("orvalin", "Préférences…")));
}

EngineMenu::~EngineMenu() {
    g_object_unref(entries_);
}

void EngineMenu::offerIn(IBusEngine* engine) const {
    ibus_engine_register_properties(engine, entries_);
}

bool EngineMenu::activate(const gchar* key) const {
    Request request;
    if (g_strcmp0(key, kShowPanel) == 0) {
        request = Request::ShowPanel;
    } else if (g_strcmp0(key, kOpenSettings) == 0) {
        request = Request::OpenSettings;
    } else {
        return false;
    }
    std::function<void(Request)> requested;
    {
        const std::lock_guard lock(mutex_);
        requested = requested_;
    }
    if (requested) requested(request);
    return true;
}

void EngineMenu::setHandler(std::function<void(Request)> requested) {
    const std::lock_guard lock(mutex_);
    requested_ = std::move(requested);
}

void attachMenu(EngineMenu* menu) {
    gMenu = menu;
}

void offerMenu(IBusEngine* engine) {
    if (EngineMenu* menu = gMenu) menu->offerIn(engine);
}

bool activateMenuEntry(const gchar* key) {
    EngineMenu* menu = gMenu;
    return menu != nullptr && menu->activate(key);
}

}  // namespace orvalin::ibus
