#include "ui/settings/formats/glyph_pixmap.h"

#include <QHash>
#include <QPainter>

#include "ui/widgets/icons.h"

namespace orvalin::ui {

QPixmap glyphPixmap(const QString& symbol, const QColor& color, int side, qreal devicePixelRatio) {
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(symbol, color.name(QColor::HexArgb))
                            .arg(side)
                            .arg(devicePixelRatio);
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    const int pixels = qRound(side * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        paintSymbol(painter, symbol, QRectF(0, 0, pixels, pixels), color);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    // A handful of symbols in a handful of colours; the bound only guards against surprises.
    if (cache.size() > 256) cache.clear();
    cache.insert(key, pixmap);
    return pixmap;
}

}  // namespace orvalin::ui
