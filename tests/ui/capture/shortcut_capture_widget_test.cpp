// The capture field on the offscreen platform, keys delivered as the X11 platform delivers them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QSignalSpy>

#include <functional>
#include <optional>

#include "capture_window.h"
#include "support/native_key_press.h"
#include "ui/capture/key_event_translation.h"
#include "ui/capture/shortcut_capture_binding.h"

namespace orvalin::ui {
namespace {

using OptionalShortcut = std::optional<GlobalShortcut>;

// X key codes (evdev + 8).
constexpr quint32 kXA = 38, kXSpace = 65, kXEscape = 9, kXBackspace = 22, kXF15 = 193, kXControlL = 37,
                  kXShiftL = 50, kXTab = 23;
const QString kPrompt = QStringLiteral("Appuyer sur une touche…");
const GlobalShortcut kBound{2, 0x180000, "⌥⌘D"};
const GlobalShortcut kControlD{2, 0x40000, "⌃D"};

// A field bound to one format's combination, in an active window.
class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        binding = new ShortcutCaptureBinding(w.field);
        binding->bind([this] { return stored; },
                      [this](const OptionalShortcut& value) {
                          stored = value;
                          ++writes;
                      });
        ASSERT_TRUE(w.showActive());
    }
    void startRecording() {
        QTest::mouseClick(w.field, Qt::LeftButton);
        ASSERT_TRUE(w.field->isRecording());
        EXPECT_EQ(QApplication::focusWidget(), w.field);
    }
    void press(quint32 xKeycode, int key, Qt::KeyboardModifiers mods = {}, const QString& text = {}) {
        pressNativeKey(w.field ? static_cast<QWidget*>(w.field) : &w, xKeycode, key, mods, text);
    }
    void pressControlD() { press(xkey::kD, Qt::Key_D, Qt::ControlModifier, QStringLiteral("\x04")); }

    CaptureWindow w;
    ShortcutCaptureBinding* binding = nullptr;
    OptionalShortcut stored = kBound;  // the format's combination the field is bound to
    int writes = 0;
};

TEST_F(CaptureTest, ALeftClickStartsAndEndsRecordingARightClickOnlyKeepsIt) {
    QSignalSpy recording(w.field, &ShortcutCaptureWidget::recordingChanged);
    QSignalSpy changed(w.field, &ShortcutCaptureWidget::shortcutChanged);
    startRecording();
    EXPECT_EQ(w.field->displayedText(), kPrompt);
    QTest::mouseClick(w.field, Qt::RightButton);  // inside the field: no click elsewhere
    EXPECT_TRUE(w.field->isRecording());
    QTest::mouseClick(w.field, Qt::LeftButton, {}, QPoint(100, 11));
    EXPECT_FALSE(w.field->isRecording());
    EXPECT_EQ(w.field->displayedText(), "Alt+Super+D");
    EXPECT_EQ(recording.count(), 2);
    EXPECT_EQ(changed.count(), 0);
    QTest::mouseClick(w.field, Qt::RightButton);
    EXPECT_FALSE(w.field->isRecording());
}

TEST_F(CaptureTest, ClickingElsewhereSwitchingAwayHidingOrDisablingEndsTheRecording) {
    QWidget second;
    second.resize(50, 50);
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"a click on the button beside", [&] { QTest::mouseClick(w.other, Qt::LeftButton); }},
        {"a click in another window of the program",
         [&] {
             second.show();
             ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
             QTest::mouseClick(&second, Qt::LeftButton);
         }},
        {"another window active",
         [&] {
             second.show();
             second.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&second));
         }},
        {"the application inactive", [] { emit qApp->applicationStateChanged(Qt::ApplicationInactive); }},
        {"the field disabled, then clicked",
         [&] {
             w.field->setEnabled(false);
             EXPECT_FALSE(w.field->isRecording());
             QTest::mouseClick(w.field, Qt::LeftButton);
         }},
        {"its window hidden", [&] { w.hide(); }},
    };
    QSignalSpy clicked(w.other, &QPushButton::clicked);
    for (const auto& [how, act] : ways) {
        SCOPED_TRACE(how);
        w.field->setEnabled(true);
        second.hide();
        ASSERT_TRUE(w.showActive());
        startRecording();
        act();
        EXPECT_FALSE(w.field->isRecording());
    }
    EXPECT_EQ(clicked.count(), 1) << "the click that ended it did not reach its target";
    EXPECT_EQ(writes, 0);
}

TEST_F(CaptureTest, AFieldRemovedOrDestroyedWhileRecordingLeavesTheKeysToTheWindow) {
    startRecording();
    w.field->setParent(nullptr);
    EXPECT_FALSE(w.field->isRecording());
    delete w.field;  // and the binding, its child
    w.field = new ShortcutCaptureWidget(&w);
    w.field->show();
    startRecording();
    delete w.field;
    w.field = nullptr;
    w.other->setFocus();
    pressControlD();
    EXPECT_EQ(w.keys, QList<int>{Qt::Key_D});
}

// Escape gives up (whatever the modifiers: see the recording rules' tests), and is not the
// window's shortcut meanwhile.
TEST_F(CaptureTest, EscapeEndsRecordingAndDoesNotFireTheWindowsShortcut) {
    QAction close(&w);
    close.setShortcut(Qt::Key_Escape);
    w.addAction(&close);
    QSignalSpy fired(&close, &QAction::triggered);
    // Through the platform's own path, shortcut map included.
    QTest::keyClick(w.windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(fired.count(), 1);

    startRecording();
    QTest::keyClick(w.windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(w.field->isRecording());
    EXPECT_EQ(fired.count(), 1);
    EXPECT_TRUE(w.keys.isEmpty());
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(w.field->displayedText(), "Alt+Super+D");
}

// Forward Delete clears as Backspace does (see the recording rules' tests); with a modifier it is
// an ordinary combination.
TEST_F(CaptureTest, BackspaceAloneClearsTheCombination) {
    QSignalSpy changed(w.field, &ShortcutCaptureWidget::shortcutChanged);
    startRecording();
    press(kXBackspace, Qt::Key_Backspace, {}, QStringLiteral("\b"));
    EXPECT_FALSE(w.field->isRecording());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(stored);
    EXPECT_EQ(w.field->displayedText(), "Cliquer pour assigner");
    EXPECT_TRUE(w.keys.isEmpty());

    startRecording();
    press(kXBackspace, Qt::Key_Backspace, Qt::ShiftModifier, QStringLiteral("\b"));
    EXPECT_EQ(stored, (OptionalShortcut{GlobalShortcut{51, 0x20000, "⇧⌫"}}));
    EXPECT_EQ(w.field->displayedText(), "Shift+Retour arrière");
}

TEST_F(CaptureTest, CombinationsAreRecordedAndComeBackThroughTheBinding) {
    struct Case {
        quint32 xKeycode;
        int qtKey;
        Qt::KeyboardModifiers mods;
        const char* text;
        GlobalShortcut expected;
        const char* shown;
    };
    // The field shows the Linux form of what it stores. More on the real X server: the X11 capture tests.
    const Qt::KeyboardModifiers kControlAlt = Qt::ControlModifier | Qt::AltModifier;
    const Case cases[] = {
        {kXSpace, Qt::Key_Space, kControlAlt, " ", {49, 0xC0000, "⌃⌥Espace"}, "Ctrl+Alt+Espace"},
        // Caps Lock on: an upper-case A.
        {kXA, Qt::Key_A, Qt::MetaModifier, "A", {0, 0x100000, "⌘A"}, "Super+A"},
        {kXF15, Qt::Key_F15, {}, "", {113, 0, "F15"}, "F15"},
        // The keypad modifier is no part of the word.
        {xkey::kD, Qt::Key_D, Qt::ControlModifier | Qt::KeypadModifier, "\x04", kControlD, "Ctrl+D"},
    };
    for (const Case& c : cases) {
        startRecording();
        QSignalSpy recording(w.field, &ShortcutCaptureWidget::recordingChanged);
        press(c.xKeycode, c.qtKey, c.mods, QString::fromUtf8(c.text));
        EXPECT_FALSE(w.field->isRecording()) << c.expected.display;
        EXPECT_EQ(stored, OptionalShortcut{c.expected});
        EXPECT_EQ(w.field->shortcut(), OptionalShortcut{c.expected});
        EXPECT_EQ(w.field->displayedText(), QString::fromUtf8(c.shown));
        EXPECT_EQ(recording.count(), 1);
        EXPECT_TRUE(w.keys.isEmpty()) << "a recorded combination reached the window";
    }
}

TEST_F(CaptureTest, PlainKeysArePassedOnAndRecordingGoesOn) {
    startRecording();
    press(kXA, Qt::Key_A, {}, QStringLiteral("a"));
    EXPECT_TRUE(w.field->isRecording());
    EXPECT_EQ(w.field->displayedText(), kPrompt);
    EXPECT_EQ(w.keys, QList<int>{Qt::Key_A});

    // Pressing Control (or Shift) on the way to a combination is no combination yet.
    press(kXControlL, Qt::Key_Control, Qt::ControlModifier);
    press(kXShiftL, Qt::Key_Shift, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(w.field->isRecording());
    // A key the platform cannot place is let through as well.
    press(0, Qt::Key_D, Qt::ControlModifier, QStringLiteral("\x04"));
    EXPECT_TRUE(w.field->isRecording());
    // Tab keeps its meaning: the focus moves on, the recording stays.
    press(kXTab, Qt::Key_Tab, {}, QStringLiteral("\t"));
    EXPECT_TRUE(w.field->isRecording());
    EXPECT_EQ(QApplication::focusWidget(), w.other);
    EXPECT_EQ(writes, 0);

    // Keys still reach the recording wherever the focus went.
    pressControlD();
    EXPECT_FALSE(w.field->isRecording());
    EXPECT_EQ(stored, OptionalShortcut{kControlD});
}

TEST_F(CaptureTest, BoundValueChangesWaitForTheEndOfRecording) {
    startRecording();
    stored = GlobalShortcut{96, 0, "F5"};
    binding->refresh();
    EXPECT_EQ(w.field->displayedText(), kPrompt);
    EXPECT_EQ(w.field->shortcut(), OptionalShortcut{kBound});
    press(kXEscape, Qt::Key_Escape, {}, QStringLiteral("\x1b"));
    EXPECT_EQ(w.field->displayedText(), "F5");

    // Rebinding shows the newly bound value at once; a binding that is gone writes nowhere.
    OptionalShortcut other = GlobalShortcut{105, 0, "F13"};
    binding->bind([&other] { return other; }, [&other](const OptionalShortcut& v) { other = v; });
    EXPECT_EQ(w.field->displayedText(), "F13");
    delete binding;
    startRecording();
    pressControlD();
    EXPECT_FALSE(w.field->isRecording());
    EXPECT_EQ(other, (OptionalShortcut{GlobalShortcut{105, 0, "F13"}}));
}

TEST_F(CaptureTest, DrawingFollowsTheStateAndTheSizeGrowsOnlyForLargeFonts) {
    QPalette palette = w.field->palette();
    palette.setColor(QPalette::Highlight, QColor(200, 0, 0));
    palette.setColor(QPalette::Base, QColor(0, 180, 0));
    w.field->setPalette(palette);
    const QPoint inside(4, w.field->height() / 2);  // clear of the centred text
    EXPECT_EQ(w.field->grab().toImage().pixelColor(inside), QColor(0, 180, 0));
    startRecording();
    const QImage image = w.field->grab().toImage();
    EXPECT_EQ(image.pixelColor(inside), QColor(200, 0, 0));
    bool sawText = false;  // the middle row is not all fill
    for (int x = 0; x < image.width(); ++x)
        sawText |= image.pixelColor(x, image.height() / 2) != QColor(200, 0, 0);
    EXPECT_TRUE(sawText);

    QFont font = w.field->font();
    font.setPixelSize(6);
    w.field->setFont(font);
    EXPECT_EQ(w.field->sizeHint(), QSize(110, 22));
    font.setPixelSize(40);
    w.field->setFont(font);
    EXPECT_GT(w.field->sizeHint().width(), 110);
    EXPECT_GT(w.field->sizeHint().height(), 22);
}

TEST(KeyEventTranslation, KeyCodesModifiersAndCharacters) {
    using capture::translateKeyEvent;
    auto translate = [](int key, Qt::KeyboardModifiers mods, quint32 scanCode) {
        return translateKeyEvent(QKeyEvent(QEvent::KeyPress, key, mods, scanCode, 0, 0, {}));
    };
    // Shift still applies to the characters, the other modifiers do not.
    const auto bang = translate(Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier, 10);
    EXPECT_EQ(bang.keyCode, 18u);
    EXPECT_EQ(bang.modifiers, 0x60000u);
    EXPECT_EQ(bang.characters, "!");
    const auto eacute = translate(Qt::Key_Eacute, Qt::AltModifier, 11);
    EXPECT_EQ(eacute.keyCode, 19u);
    EXPECT_EQ(eacute.characters, "É");
    // A key with no place in the table gets a code of its own, clear of the table.
    const auto media = translate(Qt::Key_unknown, Qt::MetaModifier, 208);
    EXPECT_EQ(media.keyCode, 0x8000u + 200);
    EXPECT_EQ(media.modifiers, 0x100000u);
    // Without a native code only the keys that steer a recording are known (a plain key without
    // one is passed on: see PlainKeysArePassedOnAndRecordingGoesOn).
    EXPECT_EQ(translateKeyEvent(QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {})).keyCode, 53u);
    EXPECT_EQ(capture::modifierWordFromQt(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                                          Qt::MetaModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier),
              0x1E0000u);
}

}  // namespace
}  // namespace orvalin::ui
