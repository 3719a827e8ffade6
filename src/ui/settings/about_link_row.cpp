#include "ui/settings/about_link_row.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

namespace {
constexpr int kTile = 28;
constexpr int kTileRadius = 7;
constexpr int kTileGlyph = 15;
constexpr int kGap = 12;
constexpr int kVertical = 8;
constexpr int kArrow = 10;
}  // namespace

AboutLinkRow::AboutLinkRow(const QString& symbol, const QColor& tile, const QString& title,
                           const QString& subtitle, QString url, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), tile_(tile), subtitle_(subtitle), url_(std::move(url)) {
    setText(title);
    setAccessibleName(title);
    setAccessibleDescription(subtitle);
    setToolTip(url_);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] { emit activated(url_); });
}

QSize AboutLinkRow::sizeHint() const {
    const QFontMetrics title(textFont(TextStyle::Callout));
    const QFontMetrics subtitle(textFont(TextStyle::Caption));
    const int textHeight = title.height() + 1 + subtitle.height();
    const int textWidth = std::max(title.horizontalAdvance(text()), subtitle.horizontalAdvance(subtitle_));
    return {kTile + kGap + textWidth + kGap + kArrow, std::max(kTile, textHeight) + 2 * kVertical};
}

QSize AboutLinkRow::minimumSizeHint() const {
    return {kTile + 2 * kGap + kArrow + 40, sizeHint().height()};
}

void AboutLinkRow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void AboutLinkRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    if (underMouse() || isDown() || hasFocus()) {
        QColor wash = separatorColor(pal);
        if (isDown()) wash = wash.darker(110);
        painter.setPen(hasFocus() ? QPen(accentColor(pal), 1.5) : Qt::NoPen);
        painter.setBrush(wash);
        painter.drawRoundedRect(QRectF(rect()).adjusted(-0.0, 1, 0, -1).adjusted(0.75, 0.75, -0.75, -0.75), 6,
                                6);
    }

    const QRectF tile(4, (height() - kTile) / 2.0, kTile, kTile);
    QPainterPath path;
    path.addRoundedRect(tile, kTileRadius, kTileRadius);
    painter.fillPath(path, tile_);
    const QRectF glyph(tile.center() - QPointF(kTileGlyph / 2.0, kTileGlyph / 2.0),
                       QSizeF(kTileGlyph, kTileGlyph));
    paintSymbol(painter, symbol_, glyph, Qt::white);

    const QFont titleFont = textFont(TextStyle::Callout);
    const QFont subtitleFont = textFont(TextStyle::Caption);
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics subtitleMetrics(subtitleFont);
    const int left = static_cast<int>(tile.right()) + kGap;
    const int textWidth = std::max(1, width() - left - kGap - kArrow - 4);
    const int textHeight = titleMetrics.height() + 1 + subtitleMetrics.height();
    const int top = (height() - textHeight) / 2;
    painter.setFont(titleFont);
    painter.setPen(pal.color(QPalette::WindowText));
    painter.drawText(QRect(left, top, textWidth, titleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     titleMetrics.elidedText(text(), Qt::ElideRight, textWidth));
    painter.setFont(subtitleFont);
    painter.setPen(secondaryText(pal));
    painter.drawText(QRect(left, top + titleMetrics.height() + 1, textWidth, subtitleMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     subtitleMetrics.elidedText(subtitle_, Qt::ElideRight, textWidth));

    const QRectF arrow(width() - 4 - kArrow, (height() - kArrow) / 2.0, kArrow, kArrow);
    paintSymbol(painter, QStringLiteral("arrow.up.right"), arrow, secondaryText(pal));
}

}  // namespace orvalin::ui
