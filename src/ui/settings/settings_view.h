#pragma once

#include <QTabWidget>

#include "core/preferences_store.h"
#include "engine/platform.h"
#include "engine/text_expansion_manager.h"
#include "ui/settings/about_info.h"

namespace orvalin::ui {

class AboutTab;
class GeneralTab;

// The content of the settings window: the tabs "Général", "Formats" and "À propos", always
// opening on "Général". Ctrl+W and Escape close the window around it.
class SettingsView : public QTabWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 520;
    static constexpr int kHeight = 560;

    SettingsView(TextExpansionManager& manager, PreferencesStore& store, UrlOpener& urls,
                 AboutInfo about = AboutInfo::fromBuild(), QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeFormatsPage();
    void refreshTabIcons();
    void installCloseKeys();

    TextExpansionManager& manager_;
    GeneralTab* general_;
    QWidget* formats_;
    AboutTab* about_;
};

}  // namespace orvalin::ui
