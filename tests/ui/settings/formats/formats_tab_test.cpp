#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QSpinBox>

#include "core/format_catalogue.h"
#include "core/json_file_preferences_store.h"
#include "formats_tab_fixture.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "ui/capture/shortcut_capture_widget.h"
#include "ui/settings/formats/conflict_mark.h"
#include "ui/settings/formats/day_offset_field.h"
#include "ui/settings/formats/locale_picker.h"
#include "ui/widgets/appearance.h"

namespace orvalin::ui {
namespace {

const GlobalShortcut kCtrlAltD{2, modifier::kControl | modifier::kAlt, "⌃⌥D"};

TEST_F(FormatsTabTest, TypingAPatternUpdatesPreviewAndPickerAndSavesAtEveryKeystroke) {
    openTab({entry("Court", "dd/MM/yyyy", "dtc "), entry("ISO", "yyyy", "dt ")});
    FormatCard& iso = cardAt(1);
    QPointer<FormatCard> cardBefore(&iso);
    QLineEdit* field = part<FormatPickerField>(iso, "patternField")->lineEdit();
    field->setFocus();
    field->setCursorPosition(4);

    const std::string typed = "-MM-dd";
    std::string expected = "yyyy";
    for (char c : typed) {
        const int writesBefore = store.writeCount;
        QTest::keyClick(field, c);
        expected += c;
        ASSERT_EQ(store.writeCount, writesBefore + 1) << "after " << expected;
        EXPECT_EQ(manager->shortcuts()[1].dateFormat, expected);
        ASSERT_EQ(stored().size(), 2u);
        EXPECT_EQ(stored()[1].dateFormat, expected);
        EXPECT_EQ(iso.previewText(), today(expected));
        EXPECT_EQ(defaultPicker()->itemText(1), "ISO  \u2013  " + today(expected));
        EXPECT_EQ(field->text().toStdString(), expected);
        EXPECT_TRUE(field->hasFocus());
        EXPECT_EQ(field->cursorPosition(), static_cast<int>(expected.size()));
    }
    // Typing in the middle keeps the cursor where the user is, not at the end.
    field->setCursorPosition(4);
    QTest::keyClick(field, 'X');
    EXPECT_EQ(manager->shortcuts()[1].dateFormat, "yyyyX-MM-dd");
    EXPECT_EQ(field->cursorPosition(), 5);
    EXPECT_EQ(cardBefore.data(), tab->cards()[1]) << "the card was rebuilt";
    // The other card is untouched.
    EXPECT_EQ(cardAt(0).previewText(), today("dd/MM/yyyy"));
}

TEST_F(FormatsTabTest, NameAndTriggerEditsSaveAndASelectionElsewhereSurvivesOtherSaves) {
    openTab({entry("Court", "dd/MM/yyyy", "dtc "), entry("ISO", "yyyy", "dt ")});
    QLineEdit* name = cardAt(0).nameEdit();
    name->setFocus();
    name->setSelection(1, 3);  // "our"
    // A change that arrives from elsewhere rewrites nothing the user holds.
    Shortcut other = manager->shortcuts()[1];
    other.trigger = "iso ";
    manager->updateShortcut(other);
    EXPECT_EQ(part<QLineEdit>(cardAt(1), "triggerField")->text(), "iso ");
    EXPECT_TRUE(name->hasFocus());
    EXPECT_EQ(name->selectionStart(), 1);
    EXPECT_EQ(name->selectedText(), "our");

    QTest::keyClicks(name, "ou");  // replaces the selection
    EXPECT_EQ(manager->shortcuts()[0].label, "Cout");
    EXPECT_EQ(stored()[0].label, "Cout");
    EXPECT_EQ(defaultPicker()->itemText(0), "Cout  \u2013  " + today("dd/MM/yyyy"));
    EXPECT_EQ(cardAt(0).nameEdit()->accessibleName(), "Nom du format Cout");

    QLineEdit* trigger = part<QLineEdit>(cardAt(1), "triggerField");
    trigger->setFocus();
    trigger->selectAll();
    QTest::keyClicks(trigger, "zz ");
    EXPECT_EQ(stored()[1].trigger, "zz ");  // the engine's answer to it: see the end-to-end tests
}

TEST_F(FormatsTabTest, DuplicateTriggersFlagBothCardsAndClearTogether) {
    openTab({entry("A", "yyyy", "dt "), entry("B", "yyyy", "x "), entry("C", "yyyy", ""),
             entry("D", "yyyy", "")});
    const auto warned = [this] { return marked("triggerWarning"); };
    EXPECT_EQ(warned(), "....") << "empty triggers never conflict";

    QLineEdit* b = part<QLineEdit>(cardAt(1), "triggerField");
    b->setFocus();
    b->selectAll();
    QTest::keyClicks(b, "dt ");
    EXPECT_EQ(warned(), "xx..");
    EXPECT_EQ(part<ConflictMark>(cardAt(0), "triggerWarning")->text(), "Déjà utilisé");
    EXPECT_EQ(part<QLineEdit>(cardAt(1), "triggerField")->accessibleDescription(),
              "Ce déclencheur est déjà utilisé par un autre format");
    EXPECT_EQ(stored()[1].trigger, "dt ") << "a conflict never blocks the edit";

    QTest::keyClick(b, 'x');  // "dt x": unique again
    EXPECT_EQ(warned(), "....");
    QTest::keyClick(b, Qt::Key_Backspace);
    EXPECT_EQ(warned(), "xx..") << "back to the shared text on the next keystroke";
    QTest::keyClick(b, Qt::Key_Backspace);  // "dt", case and spaces count
    EXPECT_EQ(warned(), "....");
}

TEST_F(FormatsTabTest, SharedCombinationsFlagInPairsAndClearingOneClearsBoth) {
    GlobalShortcut otherDisplay = kCtrlAltD;
    otherDisplay.display = "Ctrl+Alt+D";
    openTab({entry("A", "yyyy", "a ", kCtrlAltD), entry("B", "yyyy", "b ", kCtrlAltD),
             entry("C", "yyyy", "c ", otherDisplay), entry("D", "yyyy", "d ")});
    // Same key and modifiers under another display: not the same combination.
    EXPECT_EQ(marked("shortcutWarning"), "xx..");
    EXPECT_EQ(marked("clearShortcut"), "xxx.");
    EXPECT_EQ(part<ShortcutCaptureWidget>(cardAt(0), "shortcutField")->displayedText(), "Ctrl+Alt+D");
    EXPECT_EQ(part<ShortcutCaptureWidget>(cardAt(2), "shortcutField")->displayedText(), "Ctrl+Alt+D");

    part<QAbstractButton>(cardAt(1), "clearShortcut")->click();
    EXPECT_FALSE(manager->shortcuts()[1].globalShortcut.has_value());
    EXPECT_FALSE(stored()[1].globalShortcut.has_value());
    EXPECT_EQ(marked("shortcutWarning"), "....");
    EXPECT_EQ(marked("clearShortcut"), "x.x.");
    EXPECT_EQ(part<ShortcutCaptureWidget>(cardAt(1), "shortcutField")->displayedText(),
              "Cliquer pour assigner");
}

TEST_F(FormatsTabTest, RecordingACombinationInACardStoresItAndFlagsTheOtherCard) {
    openTab({entry("A", "yyyy", "a ", kCtrlAltD), entry("B", "yyyy", "b ")});
    ShortcutCaptureWidget* capture = part<ShortcutCaptureWidget>(cardAt(1), "shortcutField");
    // From the keyboard: Tab reaches the field, Space starts recording.
    capture->setFocus(Qt::TabFocusReason);
    QTest::keyClick(capture, Qt::Key_Space);
    ASSERT_TRUE(capture->isRecording());
    pressNativeKey(capture, xkey::kD, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(capture->isRecording());
    ASSERT_TRUE(manager->shortcuts()[1].globalShortcut.has_value());
    EXPECT_EQ(manager->shortcuts()[1].globalShortcut->keyCode, 2u);
    EXPECT_TRUE(stored()[1].globalShortcut.has_value());
    EXPECT_EQ(marked("shortcutWarning"), "xx");
    EXPECT_EQ(marked("clearShortcut"), "xx");
}

TEST_F(FormatsTabTest, DeleteAndAddKeepTheDefaultAndTheDeleteButtonsRight) {
    openTab({entry("Court", "dd/MM/yyyy", "dtc ")});
    EXPECT_EQ(marked("deleteFormat"), ".") << "the last format cannot be deleted";

    addButton()->click();
    ASSERT_EQ(tab->cards().size(), 2u);
    EXPECT_EQ(manager->shortcuts()[1].label, "Nouveau");
    EXPECT_EQ(stored().size(), 2u);
    EXPECT_EQ(marked("deleteFormat"), "xx");
    EXPECT_TRUE(cardAt(1).nameEdit()->hasFocus()) << "the new card is ready for its name";
    EXPECT_EQ(defaultPicker()->count(), 2);

    // Deleting the default format moves the picker to the new default, the first remaining one.
    const Uuid court = manager->shortcuts()[0].id;
    const Uuid added = manager->shortcuts()[1].id;
    ASSERT_EQ(manager->defaultFormatId(), court);
    QPointer<FormatCard> doomed(&cardAt(0));
    part<QAbstractButton>(cardAt(0), "deleteFormat")->click();
    ASSERT_EQ(tab->cards().size(), 1u);
    EXPECT_EQ(tab->cards()[0]->shortcut().id, added);
    EXPECT_EQ(manager->defaultFormatId(), added);
    EXPECT_EQ(storedDefault(), added.toString());
    EXPECT_EQ(defaultPicker()->count(), 1);
    EXPECT_EQ(defaultPicker()->currentIndex(), 0);
    EXPECT_EQ(marked("deleteFormat"), ".");
    QTRY_VERIFY(doomed.isNull());
}

TEST_F(FormatsTabTest, DefaultPickerListsEveryFormatAndSavesTheChoice) {
    openTab({entry("Court", "dd/MM/yyyy", "dtc "), entry("ISO", "yyyy-MM-dd", "dt ")});
    DefaultFormatPicker* picker = defaultPicker();
    ASSERT_EQ(picker->count(), 2);  // the items' texts follow the edits: see the typing tests
    EXPECT_EQ(picker->currentIndex(), 0);
    const int writes = store.writeCount;
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(manager->defaultFormatId(), manager->shortcuts()[1].id);
    EXPECT_EQ(store.writeCount, writes + 1);
    EXPECT_EQ(storedDefault(), manager->shortcuts()[1].id.toString());
}

// The text of the label a screen reader reads for `control`; empty when none labels it.
QString labelOf(QWidget* control) {
    for (const auto& [other, relation] :
         QAccessible::queryAccessibleInterface(control)->relations(QAccessible::Label))
        return other->text(QAccessible::Name);
    return {};
}

// Tab from the default picker reaches every shown control of every card in order, then the add button.
void walkTabOrder(FormatsTab& tab) {
    auto* picker = tab.findChild<QWidget*>("defaultFormat");
    std::vector<QWidget*> expected{picker};
    for (FormatCard* c : tab.cards()) {
        for (QWidget* w : c->focusChain()) {
            if (w->isVisibleTo(w->window())) expected.push_back(w);
        }
    }
    expected.push_back(tab.findChild<QWidget*>("addFormat"));
    picker->setFocus(Qt::TabFocusReason);
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), expected[i])
            << "stop " << i << " is " << QApplication::focusWidget()->accessibleName().toStdString();
    }
}

TEST_F(FormatsTabTest, TabWalksEveryControlInCardOrderAsCardsComeAndGo) {
    Shortcut iso = entry("ISO", "yyyy", "dt ", kCtrlAltD);
    iso.dayOffset = 5;  // its field of days shows
    openTab({entry("Court", "dd/MM/yyyy", "dtc "), iso});
    walkTabOrder(*tab);
    addButton()->click();  // a card made later still comes before the add button
    walkTabOrder(*tab);

    // The names of the cards' controls are read through the accessibility bus. A pop-up's name on
    // Linux is its current item; what it is comes through the "labelled by" relation.
    EXPECT_EQ(labelOf(defaultPicker()), "Format par défaut");
    EXPECT_EQ(labelOf(part<DayOffsetField>(cardAt(1), "dayField")->choice()), "Jour");
    EXPECT_EQ(labelOf(part<LocalePicker>(cardAt(1), "languageField")), "Langue");

    part<QAbstractButton>(cardAt(0), "deleteFormat")->click();
    walkTabOrder(*tab);
}

TEST_F(FormatsTabTest, TheDayAndTheLanguageChosenFromTheKeyboardShowInThePreviewAndAreSaved) {
    ScopedEnv locale("LC_ALL", "fr_FR.UTF-8");
    const std::string pattern = "EEEE d MMMM yyyy";
    openTab({entry("Long", pattern, "dtl "), entry("ISO", "yyyy-MM-dd", "dt ")});
    FormatCard& card = cardAt(0);
    QComboBox* day = part<DayOffsetField>(card, "dayField")->choice();
    QSpinBox* count = part<DayOffsetField>(card, "dayField")->count();
    EXPECT_EQ(day->accessibleName(), "Jour inséré par Long");
    EXPECT_FALSE(shown(count));
    day->setFocus(Qt::TabFocusReason);
    for (int expected : {1, -1}) {
        QTest::keyClick(day, Qt::Key_Down);  // "Demain", then "Hier"
        EXPECT_EQ(stored()[0].dayOffset, expected);
        EXPECT_EQ(card.previewText(), dated(pattern, expected));
        EXPECT_EQ(defaultPicker()->itemText(0), "Long  \u2013  " + dated(pattern, expected));
    }
    QTest::keyClick(day, Qt::Key_Down);  // "Autre…": the field of days shows, the day stays
    ASSERT_TRUE(shown(count));
    EXPECT_EQ(stored()[0].dayOffset, -1);
    count->setFocus(Qt::TabFocusReason);
    count->selectAll();
    QTest::keyClicks(count, "12");
    EXPECT_EQ(stored()[0].dayOffset, 12);
    EXPECT_EQ(count->accessibleDescription(), "dans 12 jours");
    EXPECT_EQ(card.previewText(), dated(pattern, 12));

    LocalePicker* language = part<LocalePicker>(card, "languageField");
    EXPECT_EQ(language->accessibleName(), "Langue de Long");
    EXPECT_EQ(language->currentText(), "Langue du système — français (France)");
    language->setFocus(Qt::TabFocusReason);
    language->lineEdit()->selectAll();
    QTest::keyClicks(language, "(UNITED STATES)");  // any part of a name, in any case
    QAbstractItemView* found = language->completer()->popup();
    QTRY_VERIFY(found->isVisible());
    QTest::keyClick(found, Qt::Key_Down);
    QTest::keyClick(found, Qt::Key_Return);
    EXPECT_EQ(stored()[0].locale, "en-US");
    EXPECT_EQ(card.previewText(), dated(pattern, 12, "en_US"));
    EXPECT_EQ(language->currentText(), "English (United States)");

    // A search that names no language is given up when the field is left.
    const int writes = store.writeCount;
    language->lineEdit()->selectAll();
    QTest::keyClicks(language, "zzzz");
    QTest::keyClick(language, Qt::Key_Tab);
    EXPECT_EQ(language->currentText(), "English (United States)");
    EXPECT_EQ(store.writeCount, writes);
    EXPECT_EQ(stored()[1].dayOffset, 0) << "the other card is untouched";
    EXPECT_EQ(stored()[1].locale, "");
}

TEST_F(FormatsTabTest, StoredDaysAndLanguagesShowAsTheyAreWithoutBeingRewritten) {
    ScopedEnv locale("LC_ALL", "fr_FR.UTF-8");
    Shortcut posix = entry("A", "EEEE", "a ");
    posix.locale = "de_DE";
    posix.dayOffset = -40;
    Shortcut unknown = entry("B", "EEEE", "b ");
    unknown.locale = "xx-YY";
    unknown.dayOffset = 1;
    Shortcut unlisted = entry("C", "EEEE", "c ");
    unlisted.locale = "de_DE@euro";
    openTab({posix, unknown, unlisted});
    const int writes = store.writeCount;
    EXPECT_EQ(part<LocalePicker>(cardAt(0), "languageField")->currentText(), "Deutsch (Deutschland)");
    EXPECT_EQ(part<DayOffsetField>(cardAt(0), "dayField")->choice()->currentText(), "Autre…");
    EXPECT_EQ(part<DayOffsetField>(cardAt(0), "dayField")->count()->value(), -40);
    EXPECT_EQ(part<DayOffsetField>(cardAt(0), "dayField")->count()->accessibleDescription(),
              "il y a 40 jours");
    EXPECT_EQ(cardAt(0).previewText(), dated("EEEE", -40, "de_DE"));
    EXPECT_EQ(part<DayOffsetField>(cardAt(1), "dayField")->choice()->currentText(), "Demain");
    EXPECT_EQ(part<LocalePicker>(cardAt(1), "languageField")->currentText(), "xx-YY");
    EXPECT_EQ(part<LocalePicker>(cardAt(1), "languageField")->accessibleDescription(),
              "Langue inconnue : la date est écrite dans la langue du système");
    EXPECT_EQ(cardAt(1).previewText(), dated("EEEE", 1));
    EXPECT_EQ(part<LocalePicker>(cardAt(2), "languageField")->currentText(), "Deutsch (Deutschland, EURO)")
        << "known, not listed";
    EXPECT_EQ(part<LocalePicker>(cardAt(2), "languageField")->accessibleDescription(), "");
    EXPECT_EQ(store.writeCount, writes);
}

TEST_F(FormatsTabTest, AHundredFormatsOpenAndAnAddedCardIsScrolledIntoView) {
    std::vector<Shortcut> many;
    for (int i = 0; i < 100; ++i)
        many.push_back(entry("F" + std::to_string(i), "dd/MM/yyyy", "t" + std::to_string(i) + " "));
    openTab(many);
    EXPECT_EQ(tab->cards().size(), 100u);
    EXPECT_EQ(defaultPicker()->count(), 100);
    addButton()->click();
    FormatCard* added = tab->cards().back();
    EXPECT_TRUE(added->nameEdit()->hasFocus());
    QTRY_VERIFY(tab->verticalScrollBar()->value() > 0);
    QTRY_VERIFY(tab->viewport()->rect().contains(
        QRect(added->nameEdit()->mapTo(tab->viewport(), QPoint(0, 0)), added->nameEdit()->size())));
}

TEST_F(FormatsTabTest, AListHoldingAnIdTwiceGetsACardPerEntryAndNoStrayOnes) {
    Shortcut twin = entry("A", "yyyy", "a ");
    Shortcut copy = twin;
    copy.label = "A bis";
    openTab({twin, copy});
    ASSERT_EQ(tab->cards().size(), 2u);
    addButton()->click();
    ASSERT_EQ(tab->cards().size(), 3u);
    EXPECT_EQ(cardAt(1).nameEdit()->text(), "A bis");
    int shownCards = 0;
    for (FormatCard* c : tab->widget()->findChildren<FormatCard*>()) shownCards += shown(c) ? 1 : 0;
    EXPECT_EQ(shownCards, 3);
}

TEST_F(FormatsTabTest, HandSetColoursFollowTheAppearance) {
    openTab({entry("A", "yyyy", "a ")});
    auto* caption = tab->widget()->findChild<QLabel*>("caption");
    ASSERT_TRUE(caption);
    EXPECT_LT(caption->palette().color(QPalette::WindowText).alpha(), 255) << "secondary from the start";
    applyAppearance(Appearance::Dark);
    QApplication::processEvents();
    const QColor dark = caption->palette().color(QPalette::WindowText);
    applyAppearance(Appearance::Light);
    QApplication::processEvents();
    const QColor light = caption->palette().color(QPalette::WindowText);
    applyAppearance(Appearance::System);
    EXPECT_GT(dark.lightness(), 128);
    EXPECT_LT(light.lightness(), 128);
    EXPECT_LT(dark.alpha(), 255) << "secondary, not primary";
}

// Quitting right after a keystroke (the tab, the manager and the store going in that order, as
// when the program ends) leaves the keystroke in the preferences file.
TEST(FormatsTabOnDisk, TheLastKeystrokeBeforeQuittingIsInTheFile) {
    TempDir dir;
    {
        fakes::FakePlatform platform;
        JsonFilePreferencesStore store(dir / "preferences.json");
        TextExpansionManager manager(store, platform.engine);
        FormatsTab tab(manager);
        tab.show();
        auto* field = tab.cards().back()->findChild<QLineEdit*>("triggerField");
        field->setFocus();
        field->end(false);
        QTest::keyClicks(field, "xyz");
    }
    JsonFilePreferencesStore reread(dir / "preferences.json");
    FormatCatalogue catalogue(reread);
    catalogue.loadShortcuts();
    EXPECT_EQ(catalogue.shortcuts().back().trigger, "dt xyz");
}

}  // namespace
}  // namespace orvalin::ui
