#pragma once

#include <QWidget>
#include <vector>

#include "engine/platform.h"
#include "ui/settings/about_info.h"

class QLabel;

namespace orvalin::ui {

class AboutLinkRow;

// The About page: the program's icon, name, version and status, three links to its web site
// (opened in the user's browser through `urls`), and the legal notice.
class AboutTab : public QWidget {
    Q_OBJECT
public:
    AboutTab(UrlOpener& urls, AboutInfo info = AboutInfo::fromBuild(), QWidget* parent = nullptr);

    // The program icon drawn from its vector source at `side` logical pixels for the ratio given.
    static QPixmap programIcon(int side, qreal devicePixelRatio);

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildLinks();
    QWidget* buildLegalNotice();
    void refreshColours();

    UrlOpener& urls_;
    AboutInfo info_;
    QLabel* icon_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* tagline_ = nullptr;
    QLabel* legal_ = nullptr;
    std::vector<AboutLinkRow*> links_;
};

}  // namespace orvalin::ui
