#include "ui/widgets/icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace orvalin::ui {

namespace {

const QHash<QString, QStringList>& themeTable() {
    static const QHash<QString, QStringList> table{
        {"calendar", {"x-office-calendar", "office-calendar", "view-calendar"}},
        {"chevron.left", {"go-previous"}},
        {"chevron.right", {"go-next"}},
        {"chevron.down", {"go-down"}},
        {"chevron.up", {"go-up"}},
        {"exclamationmark.triangle.fill", {"dialog-warning"}},
        {"exclamationmark.triangle", {"dialog-warning"}},
        {"keyboard", {"input-keyboard"}},
        {"command", {"input-keyboard"}},
        {"trash", {"user-trash", "edit-delete"}},
        {"plus", {"list-add"}},
        {"minus", {"list-remove"}},
        {"xmark", {"window-close"}},
        {"xmark.circle.fill", {"edit-clear"}},
        {"checkmark", {"object-select"}},
        {"checkmark.circle.fill", {"emblem-ok", "object-select"}},
        {"gearshape", {"preferences-system"}},
        {"info.circle", {"dialog-information", "help-about"}},
        {"questionmark.circle", {"help-contents", "help-browser"}},
        {"globe", {"applications-internet", "web-browser"}},
        {"link", {"insert-link"}},
        {"star.fill", {"starred"}},
        {"star", {"non-starred"}},
        {"power", {"application-exit", "system-shutdown"}},
        {"lock.shield", {"security-high"}},
        {"hand.raised", {"security-medium"}},
        {"doc.on.clipboard", {"edit-paste"}},
        {"book", {"help-contents"}},
    };
    return table;
}

QPointF at(const QRectF& box, qreal x, qreal y) {
    return {box.left() + x * box.width(), box.top() + y * box.height()};
}

QRectF part(const QRectF& box, qreal x, qreal y, qreal w, qreal h) {
    return {at(box, x, y), QSizeF(w * box.width(), h * box.height())};
}

void chevron(QPainter& p, const QRectF& box, qreal angleDegrees) {
    p.save();
    p.translate(box.center());
    p.rotate(angleDegrees);
    p.translate(-box.center());
    QPainterPath path;
    path.moveTo(at(box, 0.38, 0.2));
    path.lineTo(at(box, 0.66, 0.5));
    path.lineTo(at(box, 0.38, 0.8));
    p.drawPath(path);
    p.restore();
}

}  // namespace

QStringList themeNamesForSymbol(const QString& symbol) {
    return themeTable().value(symbol);
}

void paintSymbol(QPainter& p, const QString& symbol, const QRectF& box, const QColor& color) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal unit = std::min(box.width(), box.height());
    QPen pen(color, std::max<qreal>(1.0, unit * 0.09), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);

    if (symbol == "calendar") {
        const QRectF body = part(box, 0.12, 0.18, 0.76, 0.7);
        p.drawRoundedRect(body, unit * 0.1, unit * 0.1);
        p.setBrush(color);
        p.drawRect(part(box, 0.12, 0.18, 0.76, 0.16));
        p.drawLine(at(box, 0.32, 0.1), at(box, 0.32, 0.24));
        p.drawLine(at(box, 0.68, 0.1), at(box, 0.68, 0.24));
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 3; ++col) {
                p.drawRect(part(box, 0.25 + col * 0.19, 0.45 + row * 0.19, 0.12, 0.1));
            }
        }
    } else if (symbol == "chevron.right") {
        chevron(p, box, 0);
    } else if (symbol == "chevron.down") {
        chevron(p, box, 90);
    } else if (symbol == "chevron.left") {
        chevron(p, box, 180);
    } else if (symbol == "chevron.up") {
        chevron(p, box, 270);
    } else if (symbol.startsWith("exclamationmark.triangle")) {
        QPainterPath triangle;
        triangle.moveTo(at(box, 0.5, 0.1));
        triangle.lineTo(at(box, 0.93, 0.86));
        triangle.lineTo(at(box, 0.07, 0.86));
        triangle.closeSubpath();
        const bool filled = symbol.endsWith(".fill");
        if (filled) p.setBrush(color);
        p.drawPath(triangle);
        QColor mark = filled ? QColor(Qt::white) : color;
        p.setPen(QPen(mark, pen.widthF(), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(box, 0.5, 0.38), at(box, 0.5, 0.6));
        p.drawPoint(at(box, 0.5, 0.73));
    } else if (symbol == "keyboard") {
        p.drawRoundedRect(part(box, 0.08, 0.25, 0.84, 0.5), unit * 0.08, unit * 0.08);
        for (int col = 0; col < 4; ++col) p.drawPoint(at(box, 0.25 + col * 0.17, 0.4));
        p.drawLine(at(box, 0.3, 0.6), at(box, 0.7, 0.6));
    } else if (symbol == "command") {
        p.drawRect(part(box, 0.38, 0.38, 0.24, 0.24));
        for (auto [x, y] : {std::pair{0.26, 0.26}, {0.74, 0.26}, {0.26, 0.74}, {0.74, 0.74}}) {
            p.drawEllipse(at(box, x, y), unit * 0.12, unit * 0.12);
        }
    } else if (symbol == "trash") {
        p.drawLine(at(box, 0.15, 0.25), at(box, 0.85, 0.25));
        p.drawLine(at(box, 0.4, 0.12), at(box, 0.6, 0.12));
        QPainterPath can;
        can.moveTo(at(box, 0.24, 0.25));
        can.lineTo(at(box, 0.3, 0.88));
        can.lineTo(at(box, 0.7, 0.88));
        can.lineTo(at(box, 0.76, 0.25));
        p.drawPath(can);
    } else if (symbol == "plus" || symbol == "minus") {
        p.drawLine(at(box, 0.2, 0.5), at(box, 0.8, 0.5));
        if (symbol == "plus") p.drawLine(at(box, 0.5, 0.2), at(box, 0.5, 0.8));
    } else if (symbol.startsWith("xmark")) {
        p.drawLine(at(box, 0.25, 0.25), at(box, 0.75, 0.75));
        p.drawLine(at(box, 0.75, 0.25), at(box, 0.25, 0.75));
    } else if (symbol.startsWith("checkmark")) {
        QPainterPath tick;
        tick.moveTo(at(box, 0.2, 0.52));
        tick.lineTo(at(box, 0.42, 0.74));
        tick.lineTo(at(box, 0.8, 0.28));
        p.drawPath(tick);
    } else if (symbol == "info.circle" || symbol == "questionmark.circle") {
        p.drawEllipse(part(box, 0.1, 0.1, 0.8, 0.8));
        QFont font = p.font();
        font.setPixelSize(std::max(1, static_cast<int>(unit * 0.55)));
        font.setBold(true);
        p.setFont(font);
        p.drawText(box, Qt::AlignCenter, symbol == "info.circle" ? "i" : "?");
    } else {
        // Neutral mark for names without a drawing of their own.
        p.drawRoundedRect(part(box, 0.15, 0.15, 0.7, 0.7), unit * 0.15, unit * 0.15);
        p.setBrush(color);
        p.drawEllipse(at(box, 0.5, 0.5), unit * 0.08, unit * 0.08);
    }
    p.restore();
}

QIcon symbolGlyph(const QString& symbol, const QColor& color) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        for (qreal ratio : {1.0, 2.0}) {
            QPixmap pixmap(static_cast<int>(size * ratio), static_cast<int>(size * ratio));
            pixmap.fill(Qt::transparent);
            {
                QPainter painter(&pixmap);
                paintSymbol(painter, symbol, QRectF(0, 0, pixmap.width(), pixmap.height()), color);
            }
            pixmap.setDevicePixelRatio(ratio);
            icon.addPixmap(pixmap);
        }
    }
    return icon;
}

QIcon symbolIcon(const QString& symbol) {
    for (const QString& name : themeNamesForSymbol(symbol)) {
        if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    }
    return symbolGlyph(symbol, QColor(0x5a, 0x5f, 0x66));
}

}  // namespace orvalin::ui
