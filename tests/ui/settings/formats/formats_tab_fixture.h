#pragma once

#include <QApplication>
#include <QTest>
#include <memory>

#include "core/shortcut_json.h"
#include "support/native_key_press.h"
#include "support/tray_fixture.h"
#include "ui/settings/formats/default_format_picker.h"
#include "ui/settings/formats/format_card.h"
#include "ui/settings/formats/format_picker_field.h"
#include "ui/settings/formats/formats_tab.h"

namespace orvalin::ui {

// A shown Formats tab on a manager with fake platform objects and a memory store.
class FormatsTabTest : public TrayTest {
protected:
    FormatsTab& openTab(std::vector<Shortcut> formats) {
        startManager().setShortcuts(std::move(formats));
        manager->setDefaultFormatId(manager->shortcuts().front().id);
        tab = std::make_unique<FormatsTab>(*manager);
        tab->resize(520, 560);
        tab->show();
        QApplication::setActiveWindow(tab.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(tab.get()));
        return *tab;
    }
    FormatCard& cardAt(std::size_t index) { return *tab->cards().at(index); }
    // The list as the store holds it now.
    std::vector<Shortcut> stored() const {
        auto it = store.values.find(prefkey::kShortcuts);
        if (it == store.values.end()) return {};
        return decodeShortcuts(std::get<std::string>(it->second)).value_or(std::vector<Shortcut>{});
    }
    std::string storedDefault() const {
        auto it = store.values.find(prefkey::kDefaultFormatId);
        return it == store.values.end() ? std::string() : std::get<std::string>(it->second);
    }
    QString today(const std::string& pattern) const { return dated(pattern, 0); }
    // The date `days` days from today, in a locale (the user's when empty).
    QString dated(const std::string& pattern, int days, const std::string& locale = {}) const {
        return QString::fromStdString(platform.clock.date(pattern, days, locale));
    }
    static bool shown(QWidget* w) { return w->isVisibleTo(w->window()); }
    // A part of a card or of the tab, by its object name.
    template <class Part = QWidget>
    static Part* part(const QObject& root, const char* name) {
        return root.findChild<Part*>(QLatin1String(name));
    }
    DefaultFormatPicker* defaultPicker() const { return part<DefaultFormatPicker>(*tab, "defaultFormat"); }
    QAbstractButton* addButton() const { return part<QAbstractButton>(*tab, "addFormat"); }
    // Which cards show the named mark, card by card: "x.x." when the first and third do.
    std::string marked(const char* mark) const {
        std::string marks;
        for (FormatCard* card : tab->cards()) marks += shown(part(*card, mark)) ? 'x' : '.';
        return marks;
    }

    std::unique_ptr<FormatsTab> tab;
};

}  // namespace orvalin::ui
