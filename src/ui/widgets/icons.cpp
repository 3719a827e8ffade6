#include "ui/widgets/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <map>

#include "ui/widgets/symbol_drawing.h"

namespace orvalin::ui {

namespace {

using namespace symbols;

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

// The settings pages' symbols.
void drawCalendarWithClock(QPainter& p, const QRectF& box, const QColor& color) {
    p.save();
    drawCalendar(p, part(box, 0, 0, 0.82, 0.82), color);
    p.restore();
    const QRectF dial = part(box, 0.5, 0.5, 0.48, 0.48);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(dial);
    p.drawLine(dial.center(), dial.center() - QPointF(0, dial.height() * 0.28));
    p.drawLine(dial.center(), dial.center() + QPointF(dial.width() * 0.22, 0));
}

// A clock face, with a button on top (timer) or a dot beside it (badge).
Drawing clockFace(bool button, bool badge) {
    return [button, badge](QPainter& p, const QRectF& box, const QColor& color) {
        const QRectF dial = part(box, 0.12, 0.14, 0.76, 0.76);
        p.drawEllipse(dial);
        p.drawLine(dial.center(), dial.center() - QPointF(0, dial.height() * 0.3));
        p.drawLine(dial.center(), dial.center() + QPointF(dial.width() * 0.22, 0));
        if (button) p.drawLine(at(box, 0.42, 0.05), at(box, 0.58, 0.05));
        if (badge) {
            p.setBrush(color);
            p.drawEllipse(at(box, 0.82, 0.2), unitOf(box) * 0.1, unitOf(box) * 0.1);
        }
    };
}

void drawUpDownChevrons(QPainter& p, const QRectF& box, const QColor& color) {
    p.save();
    chevron(270)(p, part(box, 0, -0.2, 1, 0.7), color);
    p.restore();
    chevron(90)(p, part(box, 0, 0.5, 1, 0.7), color);
}

// A filled disc with a white plus or cross.
Drawing markedDisc(bool plus) {
    return [plus](QPainter& p, const QRectF& box, const QColor& color) {
        p.setBrush(color);
        p.drawEllipse(part(box, 0.06, 0.06, 0.88, 0.88));
        p.setPen(QPen(Qt::white, p.pen().widthF() * 1.2, Qt::SolidLine, Qt::RoundCap));
        if (plus) {
            p.drawLine(at(box, 0.3, 0.5), at(box, 0.7, 0.5));
            p.drawLine(at(box, 0.5, 0.3), at(box, 0.5, 0.7));
        } else {
            p.drawLine(at(box, 0.35, 0.35), at(box, 0.65, 0.65));
            p.drawLine(at(box, 0.65, 0.35), at(box, 0.35, 0.65));
        }
    };
}

// A bold text drawn as the symbol ("Aa", "#", "I").
Drawing letters(QString text, qreal scale) {
    return [text, scale](QPainter& p, const QRectF& box, const QColor&) {
        QFont font = p.font();
        font.setPixelSize(std::max(1, static_cast<int>(unitOf(box) * scale)));
        font.setBold(true);
        p.setFont(font);
        p.drawText(box, Qt::AlignCenter, text);
    };
}

void drawTextCursor(QPainter& p, const QRectF& box, const QColor& color) {
    letters(QStringLiteral("I"), 0.8)(p, box, color);
    p.drawLine(at(box, 0.3, 0.15), at(box, 0.7, 0.15));
    p.drawLine(at(box, 0.3, 0.85), at(box, 0.7, 0.85));
}

void drawTwoRows(QPainter& p, const QRectF& box, const QColor&) {
    const qreal radius = unitOf(box) * 0.06;
    p.drawRoundedRect(part(box, 0.14, 0.14, 0.72, 0.32), radius, radius);
    p.drawRoundedRect(part(box, 0.14, 0.54, 0.72, 0.32), radius, radius);
}

void drawCommand(QPainter& p, const QRectF& box, const QColor&) {
    const qreal unit = unitOf(box);
    p.drawRect(part(box, 0.38, 0.38, 0.24, 0.24));
    for (auto [x, y] : {std::pair{0.26, 0.26}, {0.74, 0.26}, {0.26, 0.74}, {0.74, 0.74}})
        p.drawEllipse(at(box, x, y), unit * 0.12, unit * 0.12);
}

void drawTrash(QPainter& p, const QRectF& box, const QColor&) {
    p.drawLine(at(box, 0.15, 0.25), at(box, 0.85, 0.25));
    p.drawLine(at(box, 0.4, 0.12), at(box, 0.6, 0.12));
    QPainterPath can;
    can.moveTo(at(box, 0.24, 0.25));
    can.lineTo(at(box, 0.3, 0.88));
    can.lineTo(at(box, 0.7, 0.88));
    can.lineTo(at(box, 0.76, 0.25));
    p.drawPath(can);
}

// For a name without a drawing of its own, so that nothing is ever blank.
void drawNeutralMark(QPainter& p, const QRectF& box, const QColor& color) {
    const qreal unit = unitOf(box);
    p.drawRoundedRect(part(box, 0.15, 0.15, 0.7, 0.7), unit * 0.15, unit * 0.15);
    p.setBrush(color);
    p.drawEllipse(at(box, 0.5, 0.5), unit * 0.08, unit * 0.08);
}

// A drawing kept in symbol_drawings.cpp.
Drawing drawn(const char* name) {
    return namedDrawings().at(QString::fromLatin1(name));
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
        {"arrow.up.right", {{}, drawn("arrow.up.right")}},
        {"arrow.up.right.square", {{}, drawn("arrow.up.right.square")}},
        {"checkmark.circle.fill", {{}, drawn("checkmark.circle.fill")}},
        {"checkmark.shield.fill", {{}, drawn("checkmark.shield.fill")}},
        {"circle.lefthalf.filled", {{}, drawn("circle.lefthalf.filled")}},
        {"command.square.fill", {{}, drawn("command.square.fill")}},
        {"envelope.fill", {{"mail-message", "internet-mail"}, drawn("envelope.fill")}},
        {"gearshape", {{"preferences-system"}, drawn("gearshape")}},
        {"gearshape.fill", {{"preferences-system"}, drawn("gearshape.fill")}},
        {"globe", {{"applications-internet", "web-browser"}, drawn("globe")}},
        {"info.circle", {{"dialog-information", "help-about"}, drawn("info.circle")}},
        {"keyboard", {{"input-keyboard"}, drawn("keyboard")}},
        {"keyboard.badge.exclamationmark", {{}, drawn("keyboard.badge.exclamationmark")}},
        {"lock.fill", {{}, drawn("lock.fill")}},
        {"lock.shield.fill", {{"security-high"}, drawn("lock.shield.fill")}},
        {"power", {{"system-shutdown"}, drawn("power")}},
        {"questionmark.circle.fill", {{"help-contents", "help-browser"}, drawn("questionmark.circle.fill")}},
        // The Formats tab's.
        {"calendar.badge.clock", {{}, drawCalendarWithClock}},
        {"character.cursor.ibeam", {{}, drawTextCursor}},
        {"chevron.up.chevron.down", {{}, drawUpDownChevrons}},
        {"clock", {{}, clockFace(false, false)}},
        {"clock.badge", {{}, clockFace(false, true)}},
        {"command", {{"input-keyboard"}, drawCommand}},
        {"number", {{}, letters(QStringLiteral("#"), 0.8)}},
        {"plus.circle.fill", {{"list-add"}, markedDisc(true)}},
        {"rectangle.grid.1x2", {{}, drawTwoRows}},
        {"textformat", {{}, letters(QStringLiteral("Aa"), 0.62)}},
        {"timer", {{}, clockFace(true, false)}},
        {"trash", {{"user-trash", "edit-delete"}, drawTrash}},
        {"xmark.circle.fill", {{"edit-clear"}, markedDisc(false)}},
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
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(strokePen(color, std::max<qreal>(1.0, unitOf(box) * 0.09)));
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
