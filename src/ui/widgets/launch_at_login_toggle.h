#pragma once

#include <QCheckBox>

#include "engine/text_expansion_manager.h"

namespace orvalin::ui {

// The "start at login" switch: shows the manager's launchAtStartup and, when the user flips it,
// asks the manager to change the login item. It always ends showing what the manager reports,
// so a refused or pending registration falls back to off.
class LaunchAtLoginToggle : public QCheckBox {
    Q_OBJECT
public:
    LaunchAtLoginToggle(TextExpansionManager& manager, const QString& text, QWidget* parent = nullptr);
    ~LaunchAtLoginToggle() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void onUserToggled(bool enabled);
    void showManagerState();
    void refreshIcon();

    TextExpansionManager& manager_;
    TextExpansionManager::SubscriptionId subscription_ = 0;
};

}  // namespace orvalin::ui
