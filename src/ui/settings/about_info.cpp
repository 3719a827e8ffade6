#include "ui/settings/about_info.h"

#include <QCoreApplication>
#include <QUrl>

#include "ui/settings/build_info.h"

namespace orvalin::ui {

namespace {

QString orDash(const std::optional<QString>& value) {
    return value && !value->trimmed().isEmpty() ? *value : QStringLiteral("—");
}

}  // namespace

AboutInfo AboutInfo::fromBuild() {
    return AboutInfo{QStringLiteral(ORVALIN_VERSION), QStringLiteral(ORVALIN_BUILD_NUMBER),
                     QStringLiteral(ORVALIN_WEBSITE)};
}

QString versionLine(const AboutInfo& info) {
    return QCoreApplication::translate("orvalin::ui::AboutTab", "Version %1 beta (build %2)")
        .arg(orDash(info.version), orDash(info.build));
}

SiteLinks siteLinks(const QString& website) {
    QString home = website.trimmed();
    while (home.endsWith(QLatin1Char('/'))) home.chop(1);
    const QUrl url(home);
    return SiteLinks{home, home + QStringLiteral("/support"), home + QStringLiteral("/privacy"), url.host()};
}

}  // namespace orvalin::ui
