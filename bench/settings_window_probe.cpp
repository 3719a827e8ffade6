// Measures the settings window on the program's real platform objects: the time from a click on
// the panel's "Préférences…" to the window's first paint reaching the screen, and the resident
// memory before and with the window open. Run under an X server (bench/settings_window does);
// prints one line of figures in kB and ms (the CPU time the program spent on it as well).
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/application_runtime.h"
#include "core/preferences_store.h"
#include "ui/orvalin_app.h"
#include "ui/panel/menu_bar_panel.h"
#include "ui/settings/settings_view.h"

namespace {

// CPU time of this process so far, which a busy machine does not stretch as it does wall time.
double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toLong();
    }
    return -1;
}

// Notes when the first paint of a window has been handled (the flush to the screen included).
class FirstPaint : public QObject {
public:
    explicit FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}
    qint64 paintedAfterNs = -1;
    double paintedAtCpuMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !queued_) {
            queued_ = true;
            // Runs once the whole paint cycle of the window, children included, is done.
            QTimer::singleShot(0, this, [this] {
                paintedAfterNs = clock_.nsecsElapsed();
                paintedAtCpuMs = processCpuMs();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& clock_;
    bool queued_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    orvalin::ApplicationRuntime runtime;
    if (runtime.start() != orvalin::ApplicationRuntime::StartResult::Running) return 1;
    orvalin::ui::OrvalinApp app(runtime.manager(), runtime.store());
    app.setWindowContentFactory(orvalin::ui::Window::Settings, [&runtime](orvalin::ui::OrvalinApp& owner) {
        return new orvalin::ui::SettingsView(owner.manager(), owner.store(), runtime.urlOpener());
    });
    app.start();
    int status = 0;
    QTimer::singleShot(0, &app, [&] {
        // The program as it is once its panel was used: shown, then closed.
        app.showPanel();
        if (!QTest::qWaitForWindowExposed(&app.panel(), 5000)) std::fprintf(stderr, "panel not exposed\n");
        QTest::qWait(300);
        const long before = residentKb();

        QElapsedTimer clock;
        FirstPaint painted(clock);
        const double cpuBefore = processCpuMs();
        clock.start();
        // The window is built and shown inside the click; it paints once the event loop runs.
        auto* preferences = app.panel().findChild<QPushButton*>(QStringLiteral("preferencesButton"));
        if (preferences == nullptr) {
            std::fprintf(stderr, "no Préférences… button in the panel\n");
            QCoreApplication::exit(1);
            return;
        }
        preferences->click();
        if (QWidget* window = app.window(orvalin::ui::Window::Settings)) window->installEventFilter(&painted);
        if (!QTest::qWaitFor([&] { return painted.paintedAfterNs >= 0; }, 5000)) {
            std::fprintf(stderr, "settings window never painted\n");
            status = 1;
        }
        QTest::qWait(500);
        const long with = residentKb();
        std::printf("open_ms %.2f open_cpu_ms %.2f rss_before_kb %ld rss_with_window_kb %ld\n",
                    static_cast<double>(painted.paintedAfterNs) / 1e6, painted.paintedAtCpuMs - cpuBefore,
                    before, with);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    const int loop = QApplication::exec();
    return status != 0 ? status : loop;
}
