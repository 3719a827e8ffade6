#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QScreen>

#include "formats_tab_fixture.h"
#include "support/english_interface.h"
#include "ui/capture/shortcut_capture_widget.h"
#include "ui/settings/formats/format_reference_view.h"
#include "ui/widgets/section_label.h"

namespace orvalin::ui {
namespace {

// The runs of spaces before the example (`marker`) pad each description to the same column.
void expectExamplesLinedUp(const QString& marker, const QString& yearTitle) {
    for (const auto& section : FormatReferenceView::sections()) {
        for (const auto& code : section.codes) {
            const int at = code.description.indexOf(marker);
            if (at >= 0) {
                EXPECT_EQ(at, section.title == yearTitle ? 22 : 23) << code.description.toStdString();
            }
        }
    }
}

TEST_F(FormatsTabTest, APresetReplacesThePatternAndTheMenuKeepsItsMarchSamples) {
    openTab({entry("Court", "dd/MM/yyyy HH", "dtc ")});
    FormatPickerField* field = part<FormatPickerField>(cardAt(0), "patternField");
    QList<QAction*> items = field->presetsMenu()->actions();
    ASSERT_EQ(items.size(), 8);
    // Each shows the same fixed moment, whatever today is.
    EXPECT_EQ(items[2]->text(), "Long — vendredi 20 mars 2026");
    EXPECT_EQ(items[7]->text(), "Date + heure — 20/03/2026 14:30");

    const int writes = store.writeCount;
    items[2]->trigger();
    EXPECT_EQ(field->lineEdit()->text(), "EEEE d MMMM yyyy");
    EXPECT_EQ(manager->shortcuts()[0].dateFormat, "EEEE d MMMM yyyy");
    EXPECT_EQ(stored()[0].dateFormat, "EEEE d MMMM yyyy");
    EXPECT_EQ(store.writeCount, writes + 1);
    EXPECT_EQ(cardAt(0).previewText(), today("EEEE d MMMM yyyy"));
}

TEST_F(FormatsTabTest, TheEnglishInterfaceNamesTheCardsControlsAndPresets) {
    const EnglishInterface english;
    openTab({entry("ISO", "yyyy-MM-dd", "dt ")});
    FormatPickerField* field = part<FormatPickerField>(cardAt(0), "patternField");
    EXPECT_EQ(field->presetsMenu()->actions().at(2)->text(), "Long — Friday 20 March 2026");
    EXPECT_EQ(field->lineEdit()->accessibleName(), "Date format for ISO");
    EXPECT_EQ(cardAt(0).nameEdit()->accessibleName(), "Name of the ISO format");
    expectExamplesLinedUp("e.g.", "Year");  // in English too
}

TEST(FormatReference, ListsEightSectionsOfCodesWithTheirSpacingIntact) {
    expectExamplesLinedUp("ex :", "Année");

    // The sheet shows those texts as they are, in a scrolling view of a fixed size.
    FormatReferenceView view;
    QStringList shown;
    for (QLabel* label : view.widget()->findChildren<QLabel*>()) shown << label->text();
    EXPECT_TRUE(shown.contains("Nom complet            ex : mars"));
    EXPECT_TRUE(shown.contains("/  -  .  espace"));  // runs of spaces not collapsed
    EXPECT_EQ(view.widget()->findChildren<SectionLabel*>().size(), 8);
    view.show();
    QApplication::processEvents();
    EXPECT_GT(view.widget()->height(), 420) << "taller than its window: it scrolls";
}

TEST_F(FormatsTabTest, EachCardOpensAndClosesItsOwnReference) {
    openTab({entry("Court", "dd/MM/yyyy", "dtc "), entry("ISO", "yyyy", "dt ")});
    FormatPickerField* first = part<FormatPickerField>(cardAt(0), "patternField");
    FormatPickerField* second = part<FormatPickerField>(cardAt(1), "patternField");
    auto* button = qobject_cast<QAbstractButton*>(second->referenceButton());
    button->click();
    ASSERT_TRUE(second->isReferenceShown());
    EXPECT_FALSE(first->isReferenceShown());
    // Anchored to its button: below it, or above it where the screen has no room below.
    const QRect anchor(button->mapToGlobal(QPoint(0, 0)), button->size());
    const QRect popup = second->findChild<FormatReferencePopup*>()->geometry();
    const bool below = popup.top() >= anchor.bottom();
    const bool roomBelow = anchor.bottom() + popup.height() < button->screen()->availableGeometry().bottom();
    EXPECT_EQ(below, roomBelow);
    if (!below) {
        EXPECT_LE(popup.bottom(), anchor.top());
    }

    // Escape closes it.
    QTest::keyClick(second->findChild<FormatReferencePopup*>(), Qt::Key_Escape);
    EXPECT_FALSE(second->isReferenceShown());
    EXPECT_FALSE(button->isChecked());

    // Two presses of the button (from the keyboard) open and close it.
    QTest::qWait(300);  // past the guard against a closing click reopening it
    second->setReferenceShown(false);
    button->click();
    EXPECT_TRUE(second->isReferenceShown());
    button->click();
    EXPECT_FALSE(second->isReferenceShown());
}

TEST_F(FormatsTabTest, AnOpenReferenceLeavesARecordingCaptureFieldItsKeys) {
    openTab({entry("Court", "dd/MM/yyyy", "dtc "), entry("ISO", "yyyy", "dt ")});
    ShortcutCaptureWidget* capture = part<ShortcutCaptureWidget>(cardAt(0), "shortcutField");
    capture->setFocus(Qt::TabFocusReason);
    QTest::keyClick(capture, Qt::Key_Space);
    ASSERT_TRUE(capture->isRecording());
    part<FormatPickerField>(cardAt(1), "patternField")->setReferenceShown(true);
    FormatReferencePopup* popup =
        part<FormatPickerField>(cardAt(1), "patternField")->findChild<FormatReferencePopup*>();
    ASSERT_TRUE(popup && popup->isVisible());
    // The key goes where the window system sends it, the open popup; the recording takes it.
    pressNativeKey(popup, xkey::kK, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(capture->isRecording());
    ASSERT_TRUE(manager->shortcuts()[0].globalShortcut.has_value());
    EXPECT_EQ(manager->shortcuts()[0].globalShortcut->display, "⌃⇧K");
}

}  // namespace
}  // namespace orvalin::ui
