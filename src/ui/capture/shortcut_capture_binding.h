#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

#include "core/shortcut.h"
#include "ui/capture/shortcut_capture_widget.h"

namespace orvalin {

// Ties one capture field to one format's optional combination: what the field records is written
// through the setter, and the getter's value is what the field shows, read again whenever the
// owner calls refresh() and when a recording ends. While the field records, refresh() leaves it
// alone, so a change made elsewhere shows once the recording is over.
//
// Until bind() is called the binding holds no value and writes nowhere. Lives as a child of its field.
class ShortcutCaptureBinding : public QObject {
    Q_OBJECT

public:
    using Getter = std::function<std::optional<GlobalShortcut>()>;
    using Setter = std::function<void(const std::optional<GlobalShortcut>&)>;

    explicit ShortcutCaptureBinding(ShortcutCaptureWidget* field);

    // Replaces the bound value's accessors (they must stay valid while bound), then refreshes.
    void bind(Getter get, Setter set);
    // Shows the bound value, unless the field is recording.
    void refresh();

    ShortcutCaptureWidget* field() const { return field_; }

private:
    void write(const std::optional<GlobalShortcut>& value);

    QPointer<ShortcutCaptureWidget> field_;
    Getter get_;
    Setter set_;
};

}  // namespace orvalin
