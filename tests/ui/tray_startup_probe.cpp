// Measures the tray front end on the program's real platform objects: the time from process start
// to the tray icon being shown with the event loop running, and the resident memory once the panel
// has been shown and closed. Run under an X server; prints two lines.
//   orvalin_tray_probe <start time in ns of CLOCK_REALTIME, taken just before exec>
#include <time.h>

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/application_runtime.h"
#include "core/preferences_store.h"
#include "ui/panel/menu_bar_panel.h"
#include "ui/orvalin_app.h"

namespace {

long long realtimeNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

// "VmRSS" or "VmHWM" of this process, in kB.
long statusKb(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(static_cast<int>(std::strlen(field)) + 1).trimmed().split(' ')[0].toLong();
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const long long launched = argc > 1 ? std::atoll(argv[1]) : realtimeNs();
    QApplication qapp(argc, argv);
    orvalin::ApplicationRuntime runtime;
    if (runtime.start() != orvalin::ApplicationRuntime::StartResult::Running) return 1;
    orvalin::JsonFilePreferencesStore store(orvalin::JsonFilePreferencesStore::defaultPath());
    orvalin::ui::OrvalinApp app(runtime.manager(), store);
    app.start();
    QTimer::singleShot(0, &app, [&] {
        std::printf("tray ready after %.1f ms\n", static_cast<double>(realtimeNs() - launched) / 1e6);
        app.showPanel();
        if (!QTest::qWaitForWindowExposed(&app.panel(), 5000)) std::fprintf(stderr, "panel not exposed\n");
        QTest::qWait(300);
        app.panel().hide();
        QTest::qWait(300);
        std::printf("resident memory with the panel shown once: %ld kB (peak %ld kB)\n", statusKb("VmRSS"),
                    statusKb("VmHWM"));
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
