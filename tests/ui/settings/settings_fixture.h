#pragma once

#include <QAbstractButton>
#include <QTest>

#include "../app_fixture.h"
#include "support/widget_lookup.h"
#include "ui/settings/about_tab.h"
#include "ui/settings/general_tab.h"
#include "ui/settings/segmented_control.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/launch_at_login_switch.h"

namespace orvalin::ui {

// The settings window opened by the application object.
class SettingsTest : public AppTest {
protected:
    void TearDown() override {
        app.reset();
        applyAppearance(Appearance::System);
    }
    SettingsView* openSettings() { return open<SettingsView>(Window::Settings); }

    // The parts of the pages, found by their names as a user or a screen reader finds them.
    static GeneralTab* generalOf(const SettingsView* view) { return view->findChild<GeneralTab*>(); }
    static AboutTab* aboutOf(const SettingsView* view) { return view->findChild<AboutTab*>(); }
    static LaunchAtLoginSwitch* launchSwitch(const GeneralTab* tab) {
        return tab->findChild<LaunchAtLoginSwitch*>("launchAtLogin");
    }
    static SegmentedControl* picker(const GeneralTab* tab) {
        return tab->findChild<SegmentedControl*>("appearance");
    }
    static QWidget* permissionRow(const GeneralTab* tab) { return tab->findChild<QWidget*>("permissionRow"); }
    static QAbstractButton* permissionButton(const GeneralTab* tab) {
        return tab->findChild<QAbstractButton*>("permissionButton");
    }
    static bool permissionRowShown(const GeneralTab* tab) { return !permissionRow(tab)->isHidden(); }

    static Segment* segment(GeneralTab* tab, const QString& text) {
        for (Segment* s : picker(tab)->findChildren<Segment*>()) {
            if (s->text() == text) return s;
        }
        return nullptr;
    }

    static bool isDark(const QWidget* widget) {
        return widget->palette().color(QPalette::Window).lightness() < 128;
    }
};

}  // namespace orvalin::ui
