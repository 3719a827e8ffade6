// The capture field on a real X server: key presses sent through XTest travel the whole way
// (X server, keyboard grab, Qt's xcb platform, key-code table) and must be recorded as the key
// monitor will see them.
#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

#include <cstdio>
#include <memory>
#include <optional>

#include "capture_window.h"
#include "support/other_x_client.h"
#include "support/xvfb_server.h"

using orvalin::GlobalShortcut;
using orvalin::ui::CaptureWindow;
using OptionalShortcut = std::optional<GlobalShortcut>;

namespace {

constexpr int kTimeoutMs = 15000;

bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

}  // namespace

class ShortcutCaptureX11Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CaptureWindow> window_;
    orvalin::ShortcutCaptureWidget* field_ = nullptr;
    QAction* windowShortcut_ = nullptr;
    OptionalShortcut stored_;

    // A real pointer click in the middle of the field starts a recording.
    void startRecording() {
        const QPoint centre = field_->mapToGlobal(field_->rect().center());
        // One client, so the server takes the move before the click.
        QVERIFY(
            xdotool({"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(field_->isRecording(), kTimeoutMs);
    }
    // Starts a recording and presses `keys` (xdotool's names) for real; the recording ends.
    void recordRealKeys(const char* keys) {
        startRecording();
        QVERIFY(xdotool({"key", keys}));
        QTRY_VERIFY_WITH_TIMEOUT(!field_->isRecording(), kTimeoutMs);
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    void init() {
        window_ = std::make_unique<CaptureWindow>();
        field_ = window_->field;
        stored_.reset();
        connect(field_, &orvalin::ShortcutCaptureWidget::shortcutChanged, this,
                [this](const OptionalShortcut& value) {
                    stored_ = value;
                    field_->setShortcut(value);
                });
        windowShortcut_ = new QAction(window_.get());
        windowShortcut_->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_D));
        window_->addAction(windowShortcut_);
        window_->move(50, 50);
        QVERIFY(window_->showActive(kTimeoutMs));
    }

    void cleanup() {
        window_.reset();
        QTest::qWait(50);
    }

    void realKeyPressIsRecordedAsTheMonitorSeesIt() {
        OtherXClient probe;
        QVERIFY(probe.ok());
        QSignalSpy fired(windowShortcut_, &QAction::triggered);

        // Not recording: the combination reaches the window's own shortcut.
        QVERIFY(xdotool({"key", "ctrl+alt+d"}));
        QTRY_COMPARE_WITH_TIMEOUT(fired.count(), 1, kTimeoutMs);
        QVERIFY(!probe.keyboardHeldByAnother());

        startRecording();
        QVERIFY(probe.keyboardHeldByAnother());

        QVERIFY(xdotool({"key", "ctrl+alt+d"}));
        QTRY_VERIFY_WITH_TIMEOUT(!field_->isRecording(), kTimeoutMs);
        QCOMPARE(stored_, (OptionalShortcut{GlobalShortcut{2, 0x0C0000, "⌃⌥D"}}));
        QCOMPARE(field_->displayedText(), QStringLiteral("Ctrl+Alt+D"));
        QCOMPARE(fired.count(), 1);  // consumed by the recording, not by the window
        QVERIFY(window_->keys.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!probe.keyboardHeldByAnother(), kTimeoutMs);
    }

    void realShiftSuperAndFunctionKeys() {
        recordRealKeys("shift+super+d");
        QCOMPARE(stored_, (OptionalShortcut{GlobalShortcut{2, 0x120000, "⇧⌘D"}}));

        recordRealKeys("F5");
        QCOMPARE(stored_, (OptionalShortcut{GlobalShortcut{96, 0, "F5"}}));

        // Shift still applies to the characters shown, as it does when typing.
        recordRealKeys("ctrl+shift+1");
        QCOMPARE(stored_, (OptionalShortcut{GlobalShortcut{18, 0x060000, "⌃⇧!"}}));
    }

    void plainKeysGoOnAndEscapeGivesUp() {
        startRecording();
        QVERIFY(xdotool({"key", "a"}));
        QTRY_COMPARE_WITH_TIMEOUT(window_->keys, QList<int>{Qt::Key_A}, kTimeoutMs);
        QVERIFY(field_->isRecording());

        QVERIFY(xdotool({"key", "Escape"}));
        QTRY_VERIFY_WITH_TIMEOUT(!field_->isRecording(), kTimeoutMs);
        QVERIFY(!stored_);
        QCOMPARE(window_->keys, QList<int>{Qt::Key_A});
    }

    void frenchLayoutKeepsPositionsAndShowsTheLayoutsCharacters() {
        if (QStandardPaths::findExecutable(QStringLiteral("setxkbmap")).isEmpty())
            QSKIP("setxkbmap is not installed");
        QVERIFY(QProcess::execute(QStringLiteral("setxkbmap"), {"fr"}) == 0);
        struct Restore {
            ~Restore() { QProcess::execute(QStringLiteral("setxkbmap"), {"us"}); }
        } restore;

        // On AZERTY the letter A sits where Q is on a US board; the key code names the place.
        recordRealKeys("ctrl+alt+a");
        QCOMPARE(stored_, (OptionalShortcut{GlobalShortcut{12, 0x0C0000, "⌃⌥A"}}));

        // The top row gives punctuation without Shift.
        recordRealKeys("ctrl+alt+ampersand");
        QCOMPARE(stored_, (OptionalShortcut{GlobalShortcut{18, 0x0C0000, "⌃⌥&"}}));
    }

    void anotherApplicationTakingTheFocusEndsRecording() {
        startRecording();
        OtherXClient other;
        QVERIFY(other.ok());
        QVERIFY(other.keyboardHeldByAnother());
        other.focus(other.window("Other"));  // a switch to another application
        QTRY_VERIFY_WITH_TIMEOUT(!field_->isRecording(), kTimeoutMs);
        QVERIFY(!stored_);
        QTRY_VERIFY_WITH_TIMEOUT(!other.keyboardHeldByAnother(), kTimeoutMs);
    }
};

int main(int argc, char** argv) {
    XvfbServer server;
    if (!server.start()) {
        std::printf("SKIP: %s\n", server.error().c_str());
        return 77;
    }
    server.exportDisplay();
    int result = 0;
    {
        QApplication app(argc, argv);
        ShortcutCaptureX11Test test;
        result = QTest::qExec(&test, argc, argv);
    }
    server.stop();
    return result;
}

#include "shortcut_capture_x11_test.moc"
