// The IBus route as the program hosts it, for the panel click end to end: the session on the real
// ibus-daemon, the real engine on Qt's main loop and timers, a "dt" trigger. Prints "ready" once
// the engine is offered; each line "click" on standard input asks for the date as a panel click
// does (the program's panel rows are found only by their pixels, from the C++ end-to-end tests).
// The clipboard, login item and links are fakes: this route never touches them.
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <iostream>
#include <sstream>
#include <string>

#include "core/clock.h"
#include "engine/text_expansion_manager.h"
#include "platform/ibus/ibus_session.h"
#include "platform/ibus/typing_route.h"
#include "platform/qt_scheduler.h"
#include "support/fake_platform.h"
#include "support/memory_preferences_store.h"

int main(int argc, char** argv) {
    using namespace orvalin;
    QCoreApplication app(argc, argv);
    QtScheduler scheduler;
    std::string why;
    auto session = ibus::IbusSession::open(scheduler, "C.UTF-8",
                                           QCoreApplication::applicationFilePath().toStdString(), why);
    if (!session) {
        std::cerr << "no IBus session: " << why << std::endl;
        return 2;
    }
    fakes::FakeLoginItems loginItems;
    fakes::FakeUrlOpener urlOpener;
    fakes::FakeActiveApplications applications;
    SystemClock clock;
    std::ostringstream out;
    // The route writes into the field itself: no synthesized keys, no clipboard.
    EnginePlatform platform{session->keyMonitor(),
                            nullptr,
                            nullptr,
                            scheduler,
                            clock,
                            session->trust(),
                            loginItems,
                            urlOpener,
                            applications,
                            out,
                            "",
                            session->textInserter(),
                            "",
                            "failure: "};
    MemoryPreferencesStore store;
    TextExpansionManager manager(store, platform);
    manager.setShortcuts({Shortcut{Uuid::generate(), "ISO", "yyyy-MM-dd", "dt", std::nullopt}});
    ibus::followTriggers(session->route(), manager);
    session->watch([] { QCoreApplication::exit(3); }, [&manager] { manager.checkAccessibilityPermission(); });
    session->route().setDropListener([] { std::cout << "dropped" << std::endl; });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            QCoreApplication::quit();
            return;
        }
        if (std::string(buf, static_cast<std::size_t>(n)).find("click") != std::string::npos) {
            manager.pasteText(manager.shortcuts().front().formattedDate(clock.now()),
                              std::chrono::milliseconds(0));
        }
    });
    std::cout << "ready" << std::endl;
    return app.exec();
}
