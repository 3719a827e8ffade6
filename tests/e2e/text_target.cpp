// A small X client for the end-to-end tests: one text field that pastes like an ordinary
// application (Control+V). It writes its text to a file after every change and notes every paste
// chord and other combination it receives, so the test can read both back.
#include <xcb/xcb.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {

struct Options {
    QString output;
    int pasteDelayMs = 0;
    QString timing;  // where to note when spaces and pastes arrive (benchmarks)
};

long long nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class Field : public QPlainTextEdit {
public:
    explicit Field(const Options& options) : options_(options) {
        connect(this, &QPlainTextEdit::textChanged, this, [this] { save(); });
    }

    void save() {
        QSaveFile file(options_.output);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write(toPlainText().toUtf8());
        file.commit();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const auto mods = event->modifiers() &
                          (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (event->key() == Qt::Key_V && mods == Qt::ControlModifier) {
            note("ctrl+v");
            paste();
            return;
        }
        const int key = event->key();
        if (key == Qt::Key_Space && mods == Qt::NoModifier) mark("space");
        if (key == Qt::Key_Escape && mods == Qt::NoModifier) {
            // The test's way to start afresh.
            clear();
            return;
        }
        const bool modifierKey = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
                                 key == Qt::Key_Meta || key == Qt::Key_Super_L || key == Qt::Key_Super_R ||
                                 key == Qt::Key_AltGr;
        if (!modifierKey && mods != Qt::NoModifier && mods != Qt::ShiftModifier) {
            // Combinations the program uses (Control+Alt+D…) type nothing here.
            note("other-combination");
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

private:
    void mark(const char* what) {
        if (options_.timing.isEmpty()) return;
        QFile file(options_.timing);
        if (file.open(QIODevice::Append))
            file.write(QByteArray(what) + ' ' + QByteArray::number(nowMicros()) + '\n');
    }

    void note(const char* chord) {
        mark("chord");
        QFile file(options_.output + ".chords");
        if (file.open(QIODevice::Append)) file.write(QByteArray(chord) + "\n");
    }

    void paste() {
        auto fetch = [this] {
            insertPlainText(QGuiApplication::clipboard()->text());
            mark("paste");
        };
        if (options_.pasteDelayMs <= 0) {
            fetch();
            return;
        }
        // A slow application fetches the clipboard some time after the chord.
        QTimer::singleShot(options_.pasteDelayMs, this, fetch);
    }

    Options options_;
};

// No window manager runs under the test server: the window takes the input focus directly.
void takeInputFocus(QWidget& window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) return;
    xcb_set_input_focus(x11->connection(), XCB_INPUT_FOCUS_POINTER_ROOT,
                        static_cast<xcb_window_t>(window.winId()), XCB_CURRENT_TIME);
    xcb_flush(x11->connection());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    Options options;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--output") options.output = args[i + 1];
        if (args[i] == "--paste-delay") options.pasteDelayMs = args[i + 1].toInt();
        if (args[i] == "--timing") options.timing = args[i + 1];
    }
    if (options.output.isEmpty()) return 2;

    Field field(options);
    field.resize(400, 200);
    field.show();
    field.save();
    QTimer::singleShot(100, &field, [&field] {
        takeInputFocus(field);
        field.activateWindow();
        field.setFocus();
        std::printf("ready %llu\n", static_cast<unsigned long long>(field.winId()));
        std::fflush(stdout);
    });
    return QApplication::exec();
}
