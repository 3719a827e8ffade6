#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace orvalin {

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("orvalin", "Insère la date du jour dans l'application active."));
    const QCommandLineOption help({"h", "help"},
                                  QCoreApplication::translate("orvalin", "Affiche cette aide."));
    const QCommandLineOption version({"v", "version"},
                                     QCoreApplication::translate("orvalin", "Affiche la version."));
    const QCommandLineOption show(
        "show", QCoreApplication::translate(
                    "orvalin", "Ouvre le panneau d'Orvalin, en le démarrant s'il ne tourne pas."));
    const QCommandLineOption route(
        "route",
        QCoreApplication::translate("orvalin",
                                    "Comment atteindre les applications : auto (selon la session), x11, "
                                    "wayland (compositeurs wlroots) ou ibus (GNOME, KDE Plasma)."),
        QCoreApplication::translate("orvalin", "voie"), QStringLiteral("auto"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(show);
    parser.addOption(route);

    QStringList list;
    for (const auto& a : arguments) list << QString::fromLocal8Bit(a.c_str());
    if (list.isEmpty()) list << QStringLiteral("orvalin");

    // Without an application object Qt names the program "<executable_name>" in the usage line.
    auto usage = [&parser] {
        return parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("orvalin"));
    };
    const bool parsed = parser.parse(list);
    QString why;
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        why = QCoreApplication::translate("orvalin", "option inconnue : %1")
                  .arg((name.size() == 1 ? "-" : "--") + name);
    } else if (!parsed) {
        why = parser.errorText();  // e.g. a value given to an option that takes none
    } else if (!parser.positionalArguments().isEmpty()) {
        why = QCoreApplication::translate("orvalin", "argument inattendu : %1")
                  .arg(parser.positionalArguments().first());
    }
    bool knownRoute = true;
    const std::optional<Route> chosen =
        parsed ? routeNamed(parser.value(route).toStdString(), knownRoute) : std::nullopt;
    if (why.isEmpty() && !knownRoute)
        why = QCoreApplication::translate("orvalin", "voie inconnue : %1").arg(parser.value(route));
    if (!why.isEmpty())
        return {CommandLine::Action::Error,
                (QCoreApplication::translate("orvalin", "orvalin : %1").arg(why) + "\n\n" + usage())
                    .toStdString()};
    if (parser.isSet(help)) return {CommandLine::Action::PrintHelp, usage().toStdString()};
    if (parser.isSet(version)) return {CommandLine::Action::PrintVersion, {}};
    if (parser.isSet(show)) return {CommandLine::Action::Show, {}, chosen};
    return {CommandLine::Action::Run, {}, chosen};
}

}  // namespace orvalin
