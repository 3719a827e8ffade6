#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <memory>
#include <optional>

#include "ui/capture/key_event_translation.h"
#include "ui/capture/shortcut_capture_binding.h"
#include "ui/capture/shortcut_capture_widget.h"

using orvalin::GlobalShortcut;
using orvalin::ShortcutCaptureBinding;
using orvalin::ShortcutCaptureWidget;
using OptionalShortcut = std::optional<GlobalShortcut>;

namespace {

// X key codes (evdev + 8) and X modifier masks, as the xcb platform reports them.
constexpr quint32 kXA = 38, kXD = 40, kXSpace = 65, kXEscape = 9, kXBackspace = 22;
constexpr quint32 kXF5 = 71, kXF15 = 193, kXControlL = 37, kXShiftL = 50, kXTab = 23;
constexpr quint32 kXShiftMask = 0x1, kXLockMask = 0x2, kXControlMask = 0x4, kXMod1Mask = 0x8,
                  kXMod4Mask = 0x40;

const QString kPrompt = QStringLiteral("Appuyer sur une touche…");
const QString kPlaceholder = QStringLiteral("Cliquer pour assigner");

// The window a capture field sits in; it counts the key presses that reach it.
class KeySink : public QWidget {
public:
    int keyPresses = 0;
    int lastKey = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        ++keyPresses;
        lastKey = event->key();
        event->accept();
    }
};

// Delivers a key press the way the platform does: first the shortcut override to the focus
// object, then the press to the window, which hands it to its focus widget.
void pressKey(QWidget* anyWidgetInWindow, quint32 xKeycode, int qtKey, Qt::KeyboardModifiers mods,
              const QString& text = {}, quint32 xState = 0) {
    QWindow* window = anyWidgetInWindow->window()->windowHandle();
    QVERIFY(window);
    QObject* focus = window->focusObject() ? window->focusObject() : window;
    QKeyEvent override(QEvent::ShortcutOverride, qtKey, mods, xKeycode, 0, xState, text);
    QCoreApplication::sendEvent(focus, &override);
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, xKeycode, 0, xState, text);
    QCoreApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, xKeycode, 0, xState, text);
    QCoreApplication::sendEvent(window, &release);
}

}  // namespace

class ShortcutCaptureWidgetTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<KeySink> window_;
    ShortcutCaptureWidget* field_ = nullptr;
    QPushButton* other_ = nullptr;
    ShortcutCaptureBinding* binding_ = nullptr;
    OptionalShortcut stored_;  // the format's combination the field is bound to
    int writes_ = 0;

    void startRecording() {
        QTest::mouseClick(field_, Qt::LeftButton);
        QVERIFY(field_->isRecording());
        QCOMPARE(QApplication::focusWidget(), field_);
    }

private slots:
    void init() {
        window_ = std::make_unique<KeySink>();
        auto* layout = new QHBoxLayout(window_.get());
        field_ = new ShortcutCaptureWidget;
        other_ = new QPushButton(QStringLiteral("Autre"));
        layout->addWidget(field_);
        layout->addWidget(other_);
        stored_ = GlobalShortcut{2, 0x180000, "⌥⌘D"};
        writes_ = 0;
        binding_ = new ShortcutCaptureBinding(field_);
        binding_->bind([this] { return stored_; },
                       [this](const OptionalShortcut& value) {
                           stored_ = value;
                           ++writes_;
                       });
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() { window_.reset(); }

    void idleShowsTheBoundCombinationOrThePlaceholder() {
        QCOMPARE(field_->displayedText(), QStringLiteral("⌥⌘D"));
        stored_.reset();
        binding_->refresh();
        QCOMPARE(field_->displayedText(), kPlaceholder);
        QVERIFY(!field_->isRecording());
    }

    void clickOnTheFieldStartsAndEndsRecording() {
        QSignalSpy recording(field_, &ShortcutCaptureWidget::recordingChanged);
        QSignalSpy changed(field_, &ShortcutCaptureWidget::shortcutChanged);
        startRecording();
        QCOMPARE(field_->displayedText(), kPrompt);
        // A right click inside the field is no click elsewhere.
        QTest::mouseClick(field_, Qt::RightButton);
        QVERIFY(field_->isRecording());
        QTest::mouseClick(field_, Qt::LeftButton, {}, QPoint(100, 11));
        QVERIFY(!field_->isRecording());
        QCOMPARE(field_->displayedText(), QStringLiteral("⌥⌘D"));
        QCOMPARE(recording.count(), 2);
        QCOMPARE(changed.count(), 0);
        // A right click does not start a recording.
        QTest::mouseClick(field_, Qt::RightButton);
        QVERIFY(!field_->isRecording());
    }

    void clickElsewhereEndsRecordingAndStillReachesItsTarget() {
        QSignalSpy clicked(other_, &QPushButton::clicked);
        startRecording();
        QTest::mouseClick(other_, Qt::LeftButton);
        QVERIFY(!field_->isRecording());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(writes_, 0);

        // A click in another window of the program ends it too.
        startRecording();
        QWidget second;
        second.resize(50, 50);
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QTest::mouseClick(&second, Qt::LeftButton);
        QVERIFY(!field_->isRecording());
    }

    void switchingAwayEndsRecording() {
        startRecording();
        QWidget other;
        other.resize(50, 50);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!field_->isRecording());

        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        startRecording();
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        QVERIFY(!field_->isRecording());
        QCOMPARE(writes_, 0);
    }

    // Escape gives up (whatever the modifiers: see the recording rules' tests), and is not the
    // window's shortcut meanwhile.
    void escapeEndsRecordingAndDoesNotFireTheWindowsShortcut() {
        QAction close(window_.get());
        close.setShortcut(Qt::Key_Escape);
        window_->addAction(&close);
        QSignalSpy fired(&close, &QAction::triggered);
        // Through the platform's own path, shortcut map included.
        QTest::keyClick(window_->windowHandle(), Qt::Key_Escape);
        QCOMPARE(fired.count(), 1);

        startRecording();
        QTest::keyClick(window_->windowHandle(), Qt::Key_Escape);
        QVERIFY(!field_->isRecording());
        QCOMPARE(fired.count(), 1);
        QCOMPARE(window_->keyPresses, 0);
        QCOMPARE(writes_, 0);
        QCOMPARE(field_->displayedText(), QStringLiteral("⌥⌘D"));
    }

    // Forward Delete clears as Backspace does (see the recording rules' tests).
    void deleteAloneClearsTheCombination() {
        startRecording();
        QSignalSpy changed(field_, &ShortcutCaptureWidget::shortcutChanged);
        pressKey(field_, kXBackspace, Qt::Key_Backspace, {}, QStringLiteral("\b"));
        QVERIFY(!field_->isRecording());
        QCOMPARE(changed.count(), 1);
        QVERIFY(!stored_);
        QCOMPARE(field_->displayedText(), kPlaceholder);
        QCOMPARE(window_->keyPresses, 0);
        // With a modifier it is an ordinary combination.
        startRecording();
        pressKey(field_, kXBackspace, Qt::Key_Backspace, Qt::ShiftModifier, QStringLiteral("\b"),
                 kXShiftMask);
        QCOMPARE(stored_, (OptionalShortcut{GlobalShortcut{51, 0x20000, "⇧⌫"}}));
        QCOMPARE(field_->displayedText(), QStringLiteral("⇧⌫"));
    }

    void combinationsAreRecordedAndComeBackThroughTheBinding() {
        struct Case {
            quint32 xKeycode;
            int qtKey;
            Qt::KeyboardModifiers mods;
            const char* text;
            quint32 xState;
            GlobalShortcut expected;
        };
        const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier, control = Qt::ControlModifier,
                                          alt = Qt::AltModifier, super = Qt::MetaModifier;
        const quint32 kXCtrlAlt = kXControlMask | kXMod1Mask;
        const Case cases[] = {
            {kXD, Qt::Key_D, shift | super, "D", kXShiftMask | kXMod4Mask, {2, 0x120000, "⇧⌘D"}},
            {kXSpace, Qt::Key_Space, control | alt, " ", kXCtrlAlt, {49, 0xC0000, "⌃⌥Espace"}},
            {kXD, Qt::Key_D, control | alt, "\x04", kXCtrlAlt, {2, 0xC0000, "⌃⌥D"}},
            // Caps Lock on: only Super counts.
            {kXA, Qt::Key_A, super, "A", kXLockMask | kXMod4Mask, {0, 0x100000, "⌘A"}},
            {kXF5, Qt::Key_F5, none, "", 0, {96, 0, "F5"}},
            {kXF15, Qt::Key_F15, none, "", 0, {113, 0, "F15"}},
            // The keypad modifier is no part of the word.
            {kXD, Qt::Key_D, control | Qt::KeypadModifier, "\x04", kXControlMask, {2, 0x40000, "⌃D"}},
        };
        for (const Case& c : cases) {
            startRecording();
            QSignalSpy recording(field_, &ShortcutCaptureWidget::recordingChanged);
            pressKey(field_, c.xKeycode, c.qtKey, c.mods, QString::fromUtf8(c.text), c.xState);
            QVERIFY2(!field_->isRecording(), c.expected.display.c_str());
            QCOMPARE(stored_, OptionalShortcut{c.expected});
            QCOMPARE(field_->shortcut(), OptionalShortcut{c.expected});
            QCOMPARE(field_->displayedText(), QString::fromStdString(c.expected.display));
            QCOMPARE(recording.count(), 1);
            QCOMPARE(window_->keyPresses, 0);  // consumed: nothing else saw it
        }
    }

    void plainKeysArePassedOnAndRecordingGoesOn() {
        startRecording();
        pressKey(field_, kXA, Qt::Key_A, {}, QStringLiteral("a"));
        QVERIFY(field_->isRecording());
        QCOMPARE(field_->displayedText(), kPrompt);
        QCOMPARE(window_->keyPresses, 1);
        QCOMPARE(window_->lastKey, int(Qt::Key_A));

        // Pressing Control (or Shift) on the way to a combination is no combination yet.
        pressKey(field_, kXControlL, Qt::Key_Control, Qt::ControlModifier, {}, 0);
        pressKey(field_, kXShiftL, Qt::Key_Shift, Qt::ShiftModifier | Qt::ControlModifier, {}, kXControlMask);
        QVERIFY(field_->isRecording());

        // A key the platform cannot place is let through as well.
        pressKey(field_, 0, Qt::Key_D, Qt::ControlModifier, QStringLiteral("\x04"));
        QVERIFY(field_->isRecording());

        // Tab keeps its meaning: the focus moves on, the recording stays.
        pressKey(field_, kXTab, Qt::Key_Tab, {}, QStringLiteral("\t"));
        QVERIFY(field_->isRecording());
        QCOMPARE(QApplication::focusWidget(), other_);
        QCOMPARE(writes_, 0);

        // Keys still reach the recording wherever the focus went.
        pressKey(field_, kXD, Qt::Key_D, Qt::ControlModifier, QStringLiteral("\x04"), kXControlMask);
        QVERIFY(!field_->isRecording());
        QCOMPARE(stored_, (OptionalShortcut{GlobalShortcut{2, 0x40000, "⌃D"}}));
    }

    void boundValueChangesWaitForTheEndOfRecording() {
        startRecording();
        stored_ = GlobalShortcut{96, 0, "F5"};
        binding_->refresh();
        QCOMPARE(field_->displayedText(), kPrompt);
        QCOMPARE(field_->shortcut(), (OptionalShortcut{GlobalShortcut{2, 0x180000, "⌥⌘D"}}));
        pressKey(field_, kXEscape, Qt::Key_Escape, {}, QStringLiteral("\x1b"));
        QCOMPARE(field_->displayedText(), QStringLiteral("F5"));

        // Rebinding shows the newly bound value at once; a binding that is gone writes nowhere.
        OptionalShortcut other = GlobalShortcut{105, 0, "F13"};
        binding_->bind([&other] { return other; }, [&other](const OptionalShortcut& v) { other = v; });
        QCOMPARE(field_->displayedText(), QStringLiteral("F13"));
        delete binding_;
        binding_ = nullptr;
        startRecording();
        pressKey(field_, kXD, Qt::Key_D, Qt::ControlModifier, QStringLiteral("\x04"), kXControlMask);
        QVERIFY(!field_->isRecording());
        QCOMPARE(other, (OptionalShortcut{GlobalShortcut{105, 0, "F13"}}));
    }

    void hidingRemovingOrDestroyingReleasesTheKeyboard() {
        startRecording();
        field_->setParent(nullptr);
        QVERIFY(!field_->isRecording());
        delete field_;
        field_ = nullptr;
        binding_ = nullptr;  // it was the field's child
        other_->setFocus();
        pressKey(other_, kXD, Qt::Key_D, Qt::ControlModifier, QStringLiteral("\x04"), kXControlMask);
        QCOMPARE(window_->keyPresses, 1);

        // Destroyed while recording: keys flow normally afterwards.
        auto* field = new ShortcutCaptureWidget(window_.get());
        field->show();
        QTest::mouseClick(field, Qt::LeftButton);
        QVERIFY(field->isRecording());
        delete field;
        other_->setFocus();
        pressKey(other_, kXD, Qt::Key_D, Qt::ControlModifier, QStringLiteral("\x04"), kXControlMask);
        QCOMPARE(window_->keyPresses, 2);

        // Its window closed while recording: the recording is over.
        field = new ShortcutCaptureWidget(window_.get());
        field->show();
        QTest::mouseClick(field, Qt::LeftButton);
        QVERIFY(field->isRecording());
        window_->hide();
        QVERIFY(!field->isRecording());
    }

    void aDisabledFieldStopsRecording() {
        startRecording();
        field_->setEnabled(false);
        QVERIFY(!field_->isRecording());
        QTest::mouseClick(field_, Qt::LeftButton);
        QVERIFY(!field_->isRecording());
    }

    void drawingFollowsTheState() {
        QPalette pal = field_->palette();
        pal.setColor(QPalette::Highlight, QColor(200, 0, 0));
        pal.setColor(QPalette::Base, QColor(0, 180, 0));
        field_->setPalette(pal);
        const QPoint inside(4, field_->height() / 2);  // clear of the centred text
        QCOMPARE(field_->grab().toImage().pixelColor(inside), QColor(0, 180, 0));
        startRecording();
        QCOMPARE(field_->grab().toImage().pixelColor(inside), QColor(200, 0, 0));
        // The text is drawn: the middle row is not all fill.
        const QImage image = field_->grab().toImage();
        bool sawText = false;
        for (int x = 0; x < image.width(); ++x)
            sawText |= image.pixelColor(x, image.height() / 2) != QColor(200, 0, 0);
        QVERIFY(sawText);
    }

    void intrinsicSizeGrowsOnlyForLargeFonts() {
        QFont small = field_->font();
        small.setPixelSize(6);
        field_->setFont(small);
        QCOMPARE(field_->sizeHint(), QSize(110, 22));
        QFont large = field_->font();
        large.setPixelSize(40);
        field_->setFont(large);
        QVERIFY(field_->sizeHint().width() > 110);
        QVERIFY(field_->sizeHint().height() > 22);
    }

    void keyEventTranslation() {
        using orvalin::capture::translateKeyEvent;
        // Shift still applies to the characters, the other modifiers do not.
        auto bang = translateKeyEvent(QKeyEvent(QEvent::KeyPress, Qt::Key_Exclam,
                                                Qt::ControlModifier | Qt::ShiftModifier, 10, 0, 0, {}));
        QCOMPARE(bang.keyCode, (std::optional<std::uint32_t>{18}));
        QCOMPARE(bang.modifiers, 0x60000u);
        QCOMPARE(bang.characters, std::string("!"));
        auto eacute =
            translateKeyEvent(QKeyEvent(QEvent::KeyPress, Qt::Key_Eacute, Qt::AltModifier, 11, 0, 0, {}));
        QCOMPARE(eacute.keyCode, (std::optional<std::uint32_t>{19}));
        QCOMPARE(eacute.characters, std::string("É"));
        // A key with no place in the table gets a code of its own, clear of the table.
        auto media =
            translateKeyEvent(QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, Qt::MetaModifier, 208, 0, 0, {}));
        QCOMPARE(media.keyCode, (std::optional<std::uint32_t>{0x8000 + 200}));
        QCOMPARE(media.modifiers, 0x100000u);
        // Without a native code only the keys that steer a recording are known (a plain key
        // without one is passed on: see plainKeysArePassedOnAndRecordingGoesOn).
        QCOMPARE(translateKeyEvent(QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {})).keyCode,
                 (std::optional<std::uint32_t>{53}));
        QCOMPARE(orvalin::capture::modifierWordFromQt(Qt::ShiftModifier | Qt::ControlModifier |
                                                      Qt::AltModifier | Qt::MetaModifier |
                                                      Qt::KeypadModifier | Qt::GroupSwitchModifier),
                 0x1E0000u);
    }
};

QTEST_MAIN(ShortcutCaptureWidgetTest)
#include "shortcut_capture_widget_test.moc"
