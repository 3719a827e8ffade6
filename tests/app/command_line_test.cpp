#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/command_line.h"
#include "app/interface_translation.h"
#include "app/route_choice.h"
#include "support/captured_stderr.h"
#include "support/fake_platform.h"

namespace orvalin {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, OptionsChooseTheAction) {
    EXPECT_EQ(parseCommandLine({"orvalin"}).action, Action::Run);
    EXPECT_EQ(parseCommandLine({}).action, Action::Run);
    EXPECT_EQ(parseCommandLine({"orvalin", "--show"}).action, Action::Show);
    EXPECT_EQ(parseCommandLine({"orvalin", "--version"}).action, Action::PrintVersion);
    EXPECT_EQ(parseCommandLine({"orvalin", "-v"}).action, Action::PrintVersion);
    // Help wins over everything else on the line, as users expect from any program.
    EXPECT_EQ(parseCommandLine({"orvalin", "--show", "--help"}).action, Action::PrintHelp);
}

TEST(CommandLine, HelpNamesTheProgramAndEveryOption) {
    const std::string help = parseCommandLine({"orvalin", "-h"}).text;
    EXPECT_NE(help.find("orvalin [options]"), std::string::npos) << help;
    for (const char* option : {"--show", "--version", "--help", "--route"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(help.find("<executable_name>"), std::string::npos);
}

TEST(CommandLine, UnknownOptionsAndArgumentsAreErrorsWithTheUsage) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"orvalin", "--bogus"}, {"orvalin", "-x"}, {"orvalin", "stray"}, {"orvalin", "--show=1"}}) {
        const CommandLine line = parseCommandLine(args);
        EXPECT_EQ(line.action, Action::Error) << args.back();
        EXPECT_EQ(line.text.rfind("orvalin : ", 0), 0u) << line.text;
        EXPECT_NE(line.text.find("--version"), std::string::npos) << "usage missing";
    }
    EXPECT_EQ(parseCommandLine({"orvalin", "--bogus"}).text.rfind("orvalin : option inconnue : --bogus\n", 0),
              0u);
}

TEST(CommandLine, ARouteIsForcedByNameOrLeftToTheSession) {
    EXPECT_EQ(parseCommandLine({"orvalin", "--route", "ibus"}).route, Route::IBus);
    const CommandLine show = parseCommandLine({"orvalin", "--show", "--route=wayland"});
    EXPECT_EQ(show.action, Action::Show);
    EXPECT_EQ(show.route, Route::Wayland);
    EXPECT_FALSE(parseCommandLine({"orvalin", "--route", "auto"}).route.has_value());
    EXPECT_FALSE(parseCommandLine({"orvalin"}).route.has_value());
    const CommandLine bad = parseCommandLine({"orvalin", "--route", "gnome"});
    EXPECT_EQ(bad.action, Action::Error);
    EXPECT_EQ(bad.text.rfind("orvalin : voie inconnue : gnome\n", 0), 0u) << bad.text;
}

TEST(RouteChoice, AWaylandSessionTriesItsInputMethodThenIBusThenXWayland) {
    const SessionDisplays wayland{"wayland-1", ":1"};
    const SessionDisplays x11{"", ":0"};
    EXPECT_EQ(routesToTry(wayland), (std::vector<Route>{Route::Wayland, Route::IBus, Route::X11}));
    EXPECT_EQ(routesToTry(x11), std::vector<Route>{Route::X11});
    // A forced route is the only one tried, whatever the session.
    EXPECT_EQ(routesToTry(x11, Route::IBus), std::vector<Route>{Route::IBus});
    EXPECT_EQ(routesToTry(wayland, Route::X11), std::vector<Route>{Route::X11});
    // Forced outside a Wayland session, the native route says there is none (no compositor to name).
    OpenedRoute opened;
    const std::string said = stderrOf([&] { opened = openRoute(x11, {Route::Wayland, "", ""}); });
    EXPECT_EQ(opened.session, nullptr);
    EXPECT_NE(said.find("pas de session Wayland (WAYLAND_DISPLAY est vide)"), std::string::npos) << said;
}

TEST(CommandLine, HelpAndErrorsSpeakTheInterfaceLanguage) {
    int argc = 1;
    char name[] = "orvalin";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ASSERT_TRUE(installInterfaceTranslation(InterfaceLanguage::English));
    std::string help = parseCommandLine({"orvalin", "--help"}).text;
    // Qt wraps the descriptions to the width of the longest option (--route <route>).
    EXPECT_NE(help.find("Opens Orvalin's panel, starting Orvalin"), std::string::npos) << help;
    EXPECT_EQ(help.find("Affiche"), std::string::npos) << help;
    EXPECT_EQ(parseCommandLine({"orvalin", "stray"}).text.rfind("orvalin: unexpected argument: stray\n", 0),
              0u);

    ASSERT_TRUE(installInterfaceTranslation(InterfaceLanguage::French));
    help = parseCommandLine({"orvalin", "--help"}).text;
    EXPECT_NE(help.find("Ouvre le panneau d'Orvalin"), std::string::npos) << help;
    EXPECT_EQ(parseCommandLine({"orvalin", "stray"}).text.rfind("orvalin : argument inattendu : stray\n", 0),
              0u);
}

}  // namespace
}  // namespace orvalin
