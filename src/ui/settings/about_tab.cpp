#include "ui/settings/about_tab.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include "ui/settings/about_link_row.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/badge.h"
#include "ui/widgets/color_role.h"
#include "ui/widgets/divider.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

namespace {

constexpr int kIconSide = 80;
constexpr int kDividerIndent = 44;  // past the tiles

const QColor kBlue(0x0a, 0x84, 0xff);
const QColor kOrange(0xff, 0x95, 0x00);
const QColor kGreen(0x30, 0xb0, 0x50);

QLabel* centredLabel(const QString& text, const QFont& font) {
    auto* label = new QLabel(text);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter);
    label->setWordWrap(true);
    return label;
}

void tint(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

}  // namespace

AboutTab::AboutTab(UrlOpener& urls, AboutInfo info, QWidget* parent)
    : QWidget(parent), urls_(urls), info_(std::move(info)) {
    setObjectName("aboutTab");
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(buildHeader());
    page->addWidget(new Divider);
    page->addWidget(buildLinks());
    page->addStretch(1);
    page->addWidget(buildLegalNotice());
    refreshColours();
}

QPixmap AboutTab::programIcon(int side, qreal devicePixelRatio) {
    const int pixels = std::max(1, qRound(side * devicePixelRatio));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/orvalin/orvalin.svg"));
    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    if (svg.isValid()) {
        svg.render(&painter, QRectF(0, 0, pixels, pixels));
    } else {
        // Never a blank space where the icon goes.
        paintSymbol(painter, QStringLiteral("calendar"), QRectF(0, 0, pixels, pixels),
                    QColor(0xf0, 0x8a, 0x00));
    }
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QWidget* AboutTab::buildHeader() {
    auto* header = new QWidget;
    auto* stack = new QVBoxLayout(header);
    stack->setContentsMargins(20, 36, 20, 24);
    stack->setSpacing(10);

    icon_ = new QLabel;
    icon_->setObjectName("programIcon");
    icon_->setFixedSize(kIconSide, kIconSide);
    icon_->setPixmap(programIcon(kIconSide, devicePixelRatioF()));
    icon_->setAccessibleName(tr("Icône d'Orvalin"));
    stack->addWidget(icon_, 0, Qt::AlignHCenter);

    stack->addWidget(centredLabel(QStringLiteral("Orvalin"), systemFont(17, QFont::Bold)));
    version_ = centredLabel(versionLine(info_), textFont(TextStyle::Subheadline));
    version_->setObjectName("versionLine");
    version_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    stack->addWidget(version_);

    auto* badge = new Badge(tr("BÊTA"), Badge::Shape::Capsule);
    badge->setObjectName("betaBadge");
    badge->setFont(textFont(TextStyle::Caption2, QFont::Bold));
    badge->setFill(ColorRole::White, badgeOrange(), false);
    badge->setPadding(6, 3);
    badge->setAccessibleName(tr("BÊTA"));
    stack->addWidget(badge, 0, Qt::AlignHCenter);

    tagline_ = centredLabel(tr("Orvalin : La date dans toutes vos apps !"), textFont(TextStyle::Callout));
    stack->addWidget(tagline_);
    return header;
}

QWidget* AboutTab::buildLinks() {
    const SiteLinks site = siteLinks(info_.website);
    links_ = {
        new AboutLinkRow(QStringLiteral("globe"), kBlue, tr("Site web"), site.host, site.home),
        new AboutLinkRow(QStringLiteral("envelope.fill"), kOrange, tr("Support"), tr("Signaler un problème"),
                         site.support),
        new AboutLinkRow(QStringLiteral("lock.shield.fill"), kGreen, tr("Politique de confidentialité"),
                         tr("Aucune donnée collectée"), site.privacy),
    };
    auto* list = new QWidget;
    auto* stack = new QVBoxLayout(list);
    stack->setContentsMargins(20, 8, 20, 8);
    stack->setSpacing(0);
    for (std::size_t i = 0; i < links_.size(); ++i) {
        if (i > 0) {
            auto* line = new QHBoxLayout;
            line->setContentsMargins(kDividerIndent, 0, 0, 0);
            line->addWidget(new Divider);
            stack->addLayout(line);
        }
        // The settings window stays open; the browser comes forward by itself.
        connect(links_[i], &AboutLinkRow::activated, this,
                [this](const QString& url) { urls_.open(url.toStdString()); });
        stack->addWidget(links_[i]);
    }
    return list;
}

QWidget* AboutTab::buildLegalNotice() {
    auto* box = new QWidget;
    auto* stack = new QVBoxLayout(box);
    stack->setContentsMargins(20, 0, 20, 20);
    legal_ = centredLabel(tr("© 2026 Orvalin. Tous droits réservés."), textFont(TextStyle::Caption));
    stack->addWidget(legal_);
    return box;
}

void AboutTab::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) refreshColours();
    QWidget::changeEvent(event);
}

void AboutTab::refreshColours() {
    tint(version_, secondaryText(palette()));
    tint(tagline_, secondaryText(palette()));
    tint(legal_, tertiaryText(palette()));
}

}  // namespace orvalin::ui
