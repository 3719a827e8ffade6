#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <optional>

#include "core/key_combination.h"
#include "core/shortcut.h"

class QWindow;

namespace orvalin {

// The click-to-record field for one key combination. Idle, it shows the combination or a
// placeholder; a click starts recording; the next combination (a key with Shift, Control, Alt or
// Super, or F1-F20 alone) is reported through shortcutChanged, Delete alone reports a clear and
// Escape gives up. While recording it holds the keyboard so that the combination it uses reaches
// nothing else, and it lets other keys through to their normal handling. A click elsewhere in the
// program, a switch to another application, or hiding the field ends the recording.
//
// The field never changes its own value: the owner stores what shortcutChanged reports and hands
// it back through setShortcut (ShortcutCaptureBinding does both).
class ShortcutCaptureWidget : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutCaptureWidget(QWidget* parent = nullptr);
    ~ShortcutCaptureWidget() override;

    const std::optional<GlobalShortcut>& shortcut() const { return current_; }
    // The text drawn now: the prompt while recording, else the combination or the placeholder.
    QString displayedText() const;
    // The combination drawn while idle.
    void setShortcut(std::optional<GlobalShortcut> shortcut);

    bool isRecording() const { return recording_; }
    void startRecording();
    // Ends a recording without reporting anything.
    void cancelRecording() { endRecording(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // A recording produced a new combination, or none when Delete cleared it. Emitted while the
    // field still records; recordingChanged(false) follows. Connected slots that want to delete the
    // field must use deleteLater().
    void shortcutChanged(const std::optional<orvalin::GlobalShortcut>& shortcut);
    void recordingChanged(bool recording);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Decides a key event while recording; acts on it when `act`. True when the key is used up.
    bool handleRecordingKey(QKeyEvent& event, bool act);
    void endRecording();
    void installMonitors();
    void removeMonitors();
    bool isClickOutside(QObject* receiver, const QMouseEvent& event) const;

    // The combination as it is shown (Linux key names), empty without one.
    QString combinationText() const;
    QFont promptFont() const;
    QFont displayFont() const;

    std::optional<GlobalShortcut> current_;
    bool recording_ = false;
    bool filtering_ = false;
    QPointer<QWindow> grabbedWindow_;
    QMetaObject::Connection applicationStateConnection_;
};

}  // namespace orvalin
