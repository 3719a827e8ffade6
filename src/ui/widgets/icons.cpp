#include "ui/widgets/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>
#include <map>

#include "ui/widgets/more_symbols.h"
#include "ui/widgets/status_symbols.h"

namespace orvalin::ui {

namespace {

// Fractions of the box, so one drawing serves every size.
QPointF at(const QRectF& box, qreal x, qreal y) {
    return {box.left() + x * box.width(), box.top() + y * box.height()};
}

QRectF part(const QRectF& box, qreal x, qreal y, qreal w, qreal h) {
    return {at(box, x, y), QSizeF(w * box.width(), h * box.height())};
}

qreal unitOf(const QRectF& box) {
    return std::min(box.width(), box.height());
}

using Drawing = std::function<void(QPainter&, const QRectF&, const QColor&)>;

void drawCalendar(QPainter& p, const QRectF& box, const QColor& color) {
    const qreal unit = unitOf(box);
    p.drawRoundedRect(part(box, 0.12, 0.18, 0.76, 0.7), unit * 0.1, unit * 0.1);
    p.setBrush(color);
    p.drawRect(part(box, 0.12, 0.18, 0.76, 0.16));
    p.drawLine(at(box, 0.32, 0.1), at(box, 0.32, 0.24));
    p.drawLine(at(box, 0.68, 0.1), at(box, 0.68, 0.24));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col)
            p.drawRect(part(box, 0.25 + col * 0.19, 0.45 + row * 0.19, 0.12, 0.1));
    }
}

Drawing chevron(qreal angleDegrees) {
    return [angleDegrees](QPainter& p, const QRectF& box, const QColor&) {
        p.translate(box.center());
        p.rotate(angleDegrees);
        p.translate(-box.center());
        QPainterPath path;
        path.moveTo(at(box, 0.38, 0.2));
        path.lineTo(at(box, 0.66, 0.5));
        path.lineTo(at(box, 0.38, 0.8));
        p.drawPath(path);
    };
}

void drawFilledWarningTriangle(QPainter& p, const QRectF& box, const QColor& color) {
    QPainterPath triangle;
    triangle.moveTo(at(box, 0.5, 0.1));
    triangle.lineTo(at(box, 0.93, 0.86));
    triangle.lineTo(at(box, 0.07, 0.86));
    triangle.closeSubpath();
    p.setBrush(color);
    p.drawPath(triangle);
    p.setPen(QPen(Qt::white, p.pen().widthF(), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(box, 0.5, 0.38), at(box, 0.5, 0.6));
    p.drawPoint(at(box, 0.5, 0.73));
}

// For a name without a drawing of its own, so that nothing is ever blank.
void drawNeutralMark(QPainter& p, const QRectF& box, const QColor& color) {
    const qreal unit = unitOf(box);
    p.drawRoundedRect(part(box, 0.15, 0.15, 0.7, 0.7), unit * 0.15, unit * 0.15);
    p.setBrush(color);
    p.drawEllipse(at(box, 0.5, 0.5), unit * 0.08, unit * 0.08);
}

// A drawing kept in more_symbols.cpp.
Drawing more(const char* name) {
    return [symbol = QString::fromLatin1(name)](QPainter& p, const QRectF& box, const QColor& color) {
        paintMoreSymbol(p, symbol, box, color);
    };
}

struct Symbol {
    QStringList themeNames;  // freedesktop names, tried in order
    Drawing drawing;
};

const std::map<QString, Symbol>& symbols() {
    static const std::map<QString, Symbol> table{
        {"calendar", {{"x-office-calendar", "office-calendar", "view-calendar"}, drawCalendar}},
        {"chevron.left", {{"go-previous"}, chevron(180)}},
        {"chevron.right", {{"go-next"}, chevron(0)}},
        {"exclamationmark.triangle.fill", {{"dialog-warning"}, drawFilledWarningTriangle}},
        // The settings window's.
        {"arrow.up.right", {{}, more("arrow.up.right")}},
        {"circle.lefthalf.filled", {{}, more("circle.lefthalf.filled")}},
        {"command.square.fill", {{}, more("command.square.fill")}},
        {"envelope.fill", {{"mail-message", "internet-mail"}, more("envelope.fill")}},
        {"gearshape", {{"preferences-system"}, more("gearshape")}},
        {"gearshape.fill", {{"preferences-system"}, more("gearshape.fill")}},
        {"globe", {{"applications-internet", "web-browser"}, more("globe")}},
        {"info.circle", {{"dialog-information", "help-about"}, more("info.circle")}},
        {"keyboard", {{"input-keyboard"}, more("keyboard")}},
        {"keyboard.badge.exclamationmark", {{}, more("keyboard.badge.exclamationmark")}},
        {"lock.shield.fill", {{"security-high"}, more("lock.shield.fill")}},
        {"power", {{"system-shutdown"}, more("power")}},
        {"questionmark.circle.fill", {{"help-contents", "help-browser"}, more("questionmark.circle.fill")}},
    };
    return table;
}

const Symbol* findSymbol(const QString& name) {
    const auto found = symbols().find(name);
    return found == symbols().end() ? nullptr : &found->second;
}

}  // namespace

QStringList themeNamesForSymbol(const QString& symbol) {
    const Symbol* found = findSymbol(symbol);
    return found ? found->themeNames : QStringList();
}

void paintSymbol(QPainter& p, const QString& symbol, const QRectF& box, const QColor& color) {
    if (paintStatusSymbol(p, symbol, box, color)) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(
        QPen(color, std::max<qreal>(1.0, unitOf(box) * 0.09), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const Symbol* found = findSymbol(symbol);
    (found ? found->drawing : Drawing(drawNeutralMark))(p, box, color);
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

QPixmap symbolPixmap(const QString& symbol, const QColor& color, int side, qreal devicePixelRatio) {
    const int pixels = std::max(1, qRound(side * devicePixelRatio));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        paintSymbol(painter, symbol, QRectF(0, 0, pixels, pixels), color);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon symbolIcon(const QString& symbol) {
    for (const QString& name : themeNamesForSymbol(symbol)) {
        if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    }
    return symbolGlyph(symbol, QColor(0x5a, 0x5f, 0x66));
}

}  // namespace orvalin::ui
