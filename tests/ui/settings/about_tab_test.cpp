// The About tab: version line, links through the URL opener, the icon.
#include <QLabel>

#include "settings_fixture.h"
#include "ui/settings/about_link_row.h"
#include "ui/settings/about_tab.h"

namespace orvalin::ui {
namespace {

TEST(AboutVersionLine, MissingOrEmptyPartsShowAnEmDash) {
    const std::pair<AboutInfo, const char*> cases[] = {
        {{"1.2", "37", {}}, "Version 1.2 beta (build 37)"},
        {{"1.2", std::nullopt, {}}, "Version 1.2 beta (build —)"},
        {{"1.2", QString(), {}}, "Version 1.2 beta (build —)"},
        {{std::nullopt, std::nullopt, {}}, "Version — beta (build —)"},
        {{"%2", "%1", {}}, "Version %2 beta (build %1)"},  // a placeholder-like version stays as it is
    };
    for (const auto& [info, line] : cases) EXPECT_EQ(versionLine(info), QString::fromUtf8(line));
}

TEST(AboutVersionLine, ThisBuildShowsTheProjectVersion) {
    const AboutInfo info = AboutInfo::fromBuild();
    ASSERT_TRUE(info.version.has_value());
    EXPECT_TRUE(
        versionLine(info).startsWith(QStringLiteral("Version ") + *info.version + QStringLiteral(" beta")));
    EXPECT_TRUE(info.website.startsWith(QStringLiteral("http")));
}

TEST(AboutSiteLinks, DerivedFromTheOneWebSite) {
    for (const char* site : {"https://exemple.test", "https://exemple.test/"}) {
        const SiteLinks links = siteLinks(QString::fromLatin1(site));
        EXPECT_EQ(links.home, QStringLiteral("https://exemple.test"));
        EXPECT_EQ(links.support, QStringLiteral("https://exemple.test/support"));
        EXPECT_EQ(links.privacy, QStringLiteral("https://exemple.test/privacy"));
        EXPECT_EQ(links.host, QStringLiteral("exemple.test"));
    }
}

class AboutTabTest : public SettingsTest {
protected:
    AboutTab* openAbout() {
        startApp();
        SettingsView* view = openSettings();
        view->setCurrentWidget(aboutOf(view));
        QCoreApplication::processEvents();
        return aboutOf(view);
    }
};

TEST_F(AboutTabTest, TheVersionLineAndLinkRowsThatOpenTheirAddressFromAnywhereInsideThem) {
    about.build.reset();
    AboutTab* tab = openAbout();
    EXPECT_EQ(tab->findChild<QLabel*>("versionLine")->text(), QStringLiteral("Version 1.2 beta (build —)"));
    const auto rows = testing::shownChildren<AboutLinkRow>(tab);
    ASSERT_EQ(rows.size(), 3u);  // the titles are read through the accessibility bus
    EXPECT_EQ(rows[0]->subtitle(), QStringLiteral("exemple.test"));

    // The empty middle, between the texts and the arrow, for every row.
    for (AboutLinkRow* row : rows) {
        ASSERT_GT(row->width(), 300);
        QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(row->width() * 2 / 3, row->height() / 2));
    }
    EXPECT_EQ(platform.urlOpener.opened,
              (std::vector<std::string>{"https://exemple.test", "https://exemple.test/support",
                                        "https://exemple.test/privacy"}));
    // The window stays open.
    EXPECT_TRUE(tab->window()->isVisible());

    // Enter on a focused row.
    rows[1]->setFocus();
    QTest::keyClick(rows[1], Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(platform.urlOpener.opened.size(), 4u, 2000);
    EXPECT_EQ(platform.urlOpener.opened.back(), "https://exemple.test/support");
}

TEST(AboutIcon, DrawnFromItsVectorSourceAtEveryScale) {
    for (qreal ratio : {1.0, 2.0}) {
        const QPixmap icon = AboutTab::programIcon(80, ratio);
        EXPECT_EQ(icon.size(), QSize(80, 80) * ratio);
        EXPECT_EQ(icon.devicePixelRatio(), ratio);
        // The orange band across the top of the program's own drawing.
        const QColor band = icon.toImage().pixelColor(QPoint(40, 24) * ratio);
        EXPECT_GT(band.red(), 220) << ratio;
        EXPECT_LT(band.blue(), 60) << ratio;
    }
}

}  // namespace
}  // namespace orvalin::ui
