#pragma once

#include <QString>
#include <optional>

namespace orvalin::ui {

// What the About page says about the program: its version, build number and web site.
struct AboutInfo {
    std::optional<QString> version;  // missing or empty shows as "—"
    std::optional<QString> build;    // missing or empty shows as "—"
    QString website;                 // absolute address of the home page

    // The values this build was configured with.
    static AboutInfo fromBuild();
};

// "Version 1.2 beta (build 37)", each missing part an em dash.
QString versionLine(const AboutInfo& info);

// The addresses of the About page's links, all derived from the one web site address.
struct SiteLinks {
    QString home;
    QString support;
    QString privacy;
    QString host;  // shown under "Site web"
};
SiteLinks siteLinks(const QString& website);

}  // namespace orvalin::ui
