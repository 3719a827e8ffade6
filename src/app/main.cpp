#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/application_runtime.h"
#include "app/command_line.h"
#include "app/interface_translation.h"
#include "app/route_choice.h"
#include "app/test_hooks.h"
#include "platform/x11/x11_session.h"
#include "platform/xdg_autostart_login_item.h"
#include "ui/onboarding/onboarding_view.h"
#include "ui/orvalin_app.h"
#include "ui/settings/about_info.h"
#include "ui/settings/settings_view.h"

namespace {

using orvalin::installInterfaceTranslation;
using orvalin::InterfaceLanguage;

int signalPipe[2] = {-1, -1};

void onQuitSignal(int) {
    char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &c, 1);
}

// SIGINT and SIGTERM end the event loop, so everything is torn down in order (the clipboard comes
// back, the instance socket goes away).
void quitOnSignals(QApplication& app) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char buf[16];
        while (::read(signalPipe[0], buf, sizeof buf) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onQuitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

// Texts printed before the window system is reached get their translation from a plain
// application object, which needs no display. It names the program "orvalin" in the usage line.
template <typename Print>
int printEarly(InterfaceLanguage language, Print print) {
    int argc = 1;
    char name[] = "orvalin";
    char* argv[] = {name, nullptr};
    QCoreApplication texts(argc, argv);
    installInterfaceTranslation(language);
    return print();
}

int printCommandLineAnswer(const std::vector<std::string>& arguments, InterfaceLanguage language) {
    return printEarly(language, [&arguments] {
        const orvalin::CommandLine command = orvalin::parseCommandLine(arguments);
        if (command.action == orvalin::CommandLine::Action::Error) {
            std::cerr << command.text;
            return 2;
        }
        std::cout << command.text;
        return 0;
    });
}

int printNoDisplay(InterfaceLanguage language) {
    return printEarly(language, [] {
        std::cerr << QCoreApplication::translate("orvalin",
                                                 "orvalin : impossible d'ouvrir l'affichage X "
                                                 "(DISPLAY=%1)")
                         .arg(qEnvironmentVariable("DISPLAY"))
                         .toStdString()
                  << "\n";
        return 1;
    });
}

}  // namespace

int main(int argc, char** argv) {
    // The keeper of the user's clipboard after the program ended (started by the program itself).
    if (argc == 2 && std::strcmp(argv[1], orvalin::x11::X11Session::keeperArgument()) == 0)
        return orvalin::x11::X11Session::runKeeper(STDIN_FILENO);
    const std::vector<std::string> arguments(argv, argv + argc);
    const orvalin::CommandLine command = orvalin::parseCommandLine(arguments);
    const auto language = orvalin::interfaceLanguage(orvalin::MessageLocale::fromEnvironment());
    switch (command.action) {
        case orvalin::CommandLine::Action::Error:
        case orvalin::CommandLine::Action::PrintHelp:
            // Parsed again, where its texts can be translated.
            return printCommandLineAnswer(arguments, language);
        case orvalin::CommandLine::Action::PrintVersion:
            std::cout << "Orvalin "
                      << orvalin::ui::versionLine(orvalin::ui::AboutInfo::fromBuild()).toStdString() << "\n";
            return 0;
        case orvalin::CommandLine::Action::Run:
        case orvalin::CommandLine::Action::Show:
            break;
    }
    if (!orvalin::chooseWindowSystem(orvalin::SessionDisplays::fromEnvironment())) {
        return printNoDisplay(language);
    }
    QApplication app(argc, argv);
    installInterfaceTranslation(language);
    QApplication::setApplicationName("orvalin");
    QApplication::setDesktopFileName("orvalin");
    QApplication::setQuitOnLastWindowClosed(false);
    quitOnSignals(app);

    orvalin::ApplicationRuntime runtime;
    switch (runtime.start(command.route)) {
        case orvalin::ApplicationRuntime::StartResult::AlreadyRunning:
            return 0;
        case orvalin::ApplicationRuntime::StartResult::NoDisplay:
        case orvalin::ApplicationRuntime::StartResult::NoInstanceGuard:
            return 1;
        case orvalin::ApplicationRuntime::StartResult::Running:
            break;
    }
    // Declared after the runtime, so the tray goes first when the program ends.
    orvalin::ui::OrvalinApp tray(runtime.manager(), runtime.store());
    runtime.onShowRequested([&tray] { tray.showPanel(); });
    runtime.onSettingsRequested([&tray] { tray.openWindow(orvalin::ui::Window::Settings); });
    tray.setWindowContentFactory(orvalin::ui::Window::Onboarding,
                                 [](orvalin::ui::OrvalinApp& app) -> QWidget* {
                                     return new orvalin::ui::OnboardingView(app.manager(), app.store());
                                 });
    if (command.action == orvalin::CommandLine::Action::Show) {
        QMetaObject::invokeMethod(
            &tray, [&tray] { tray.showPanel(); }, Qt::QueuedConnection);
    }
    tray.setWindowContentFactory(orvalin::ui::Window::Settings, [&runtime](orvalin::ui::OrvalinApp& app) {
        return new orvalin::ui::SettingsView(app.manager(), app.store(), runtime.urlOpener());
    });
    orvalin::TestHooks::installFromEnvironment(tray);
    runtime.keepSelectionsWith(orvalin::XdgAutostartLoginItem::currentExecutable().string());
    const int status = tray.exec();
    // Quitter, SIGTERM or logout in the middle of an insertion: its date still lands.
    runtime.finishInsertion();
    return status;
}
