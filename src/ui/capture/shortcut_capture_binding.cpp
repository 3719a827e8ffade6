#include "ui/capture/shortcut_capture_binding.h"

namespace orvalin {

ShortcutCaptureBinding::ShortcutCaptureBinding(ShortcutCaptureWidget* field) : QObject(field), field_(field) {
    if (!field_) return;
    // Connected with this object as context: once the binding is gone, recordings write nowhere.
    connect(field_, &ShortcutCaptureWidget::shortcutChanged, this, &ShortcutCaptureBinding::write);
    connect(field_, &ShortcutCaptureWidget::recordingChanged, this, [this](bool recording) {
        if (!recording) refresh();
    });
}

void ShortcutCaptureBinding::bind(Getter get, Setter set) {
    get_ = std::move(get);
    set_ = std::move(set);
    refresh();
}

void ShortcutCaptureBinding::refresh() {
    if (!field_ || field_->isRecording()) return;
    field_->setShortcut(get_ ? get_() : std::nullopt);
}

void ShortcutCaptureBinding::write(const std::optional<GlobalShortcut>& value) {
    if (set_) set_(value);
}

}  // namespace orvalin
