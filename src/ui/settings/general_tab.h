#pragma once

#include <QScrollArea>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"

class QAbstractButton;

namespace orvalin::ui {

class Divider;
class HowItWorksRow;
class LaunchAtLoginSwitch;
class SegmentedControl;

// The General page of the settings window: launch at login, the appearance, a warning while the
// program may not watch keys, and how to insert a date. It keeps nothing of its own: it shows the
// manager's published state and the stored appearance, and writes every change at once.
class GeneralTab : public QScrollArea {
    Q_OBJECT
public:
    GeneralTab(TextExpansionManager& manager, PreferencesStore& store, QWidget* parent = nullptr);
    ~GeneralTab() override;

private:
    QWidget* buildSettingsBox();
    QWidget* buildAppearanceRow();
    QWidget* buildPermissionRow();
    QWidget* buildHowItWorksBox();
    void chooseAppearance(const QString& value);
    void showStoredAppearance();
    void showPermissionState();

    TextExpansionManager& manager_;
    PreferencesStore& store_;
    TextExpansionManager::SubscriptionId subscription_ = 0;
    PreferencesStore::ListenerId storeListener_ = 0;

    LaunchAtLoginSwitch* launchAtLogin_ = nullptr;
    SegmentedControl* appearance_ = nullptr;
    Divider* permissionDivider_ = nullptr;
    QWidget* permissionRow_ = nullptr;
    QAbstractButton* permissionButton_ = nullptr;
    std::vector<HowItWorksRow*> rows_;
};

}  // namespace orvalin::ui
