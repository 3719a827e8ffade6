// Records one format's key combination the way a settings window would: a capture field bound to
// that format of the stored catalogue, saved on every change. It says on its standard output where
// the field is and when it records, and ends once a recording has produced a combination.
#include <xcb/xcb.h>

#include <QApplication>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

#include "core/format_catalogue.h"
#include "core/preferences_store.h"
#include "ui/capture/shortcut_capture_binding.h"
#include "ui/capture/shortcut_capture_widget.h"

#include "x11_focus.h"

namespace {

void say(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString label;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--label") label = args[i + 1];
    }

    orvalin::JsonFilePreferencesStore store(orvalin::JsonFilePreferencesStore::defaultPath());
    orvalin::FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    auto entry = [&catalogue, &label]() -> orvalin::Shortcut* {
        for (auto& s : catalogue.mutableShortcuts()) {
            if (QString::fromStdString(s.label) == label) return &s;
        }
        return nullptr;
    };
    if (entry() == nullptr) {
        say("no format " + label.toUtf8());
        return 2;
    }

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new orvalin::ShortcutCaptureWidget;
    layout->addWidget(field);
    auto* binding = new orvalin::ShortcutCaptureBinding(field);
    bool changed = false;
    bool saved = false;
    binding->bind([&entry] { return entry()->globalShortcut; },
                  [&](const std::optional<orvalin::GlobalShortcut>& value) {
                      entry()->globalShortcut = value;
                      saved = catalogue.saveShortcuts();
                      changed = true;
                  });
    QObject::connect(field, &orvalin::ShortcutCaptureWidget::recordingChanged, &app, [&](bool recording) {
        if (recording) {
            say("recording");
            return;
        }
        if (!changed) return;
        say(saved ? "saved" : "not saved");
        // Let the binding finish its own handling of the end of the recording first.
        QTimer::singleShot(0, &app, [&app, saved] { app.exit(saved ? 0 : 1); });
    });

    window.resize(240, 80);
    window.move(100, 100);
    window.show();
    QTimer::singleShot(100, &window, [&window, field] {
        e2e::takeInputFocus(window);
        window.activateWindow();
        const QPoint centre = field->mapToGlobal(field->rect().center());
        say("ready " + QByteArray::number(centre.x()) + ' ' + QByteArray::number(centre.y()));
    });
    return QApplication::exec();
}
