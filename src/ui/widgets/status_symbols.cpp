#include <QPainterPath>

#include "ui/widgets/symbol_drawing.h"

namespace orvalin::ui::symbols {

namespace {

// The tick used on filled shapes, cut out in white.
void tick(QPainter& p, const QRectF& box, QPointF a, QPointF b, QPointF c, qreal width) {
    p.setPen(strokePen(Qt::white, width));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(at(box, a.x(), a.y()));
    path.lineTo(at(box, b.x(), b.y()));
    path.lineTo(at(box, c.x(), c.y()));
    p.drawPath(path);
}

void checkmarkShield(QPainter& p, const QRectF& box, const QColor& color) {
    QPainterPath shield;
    shield.moveTo(at(box, 0.5, 0.06));
    shield.cubicTo(at(box, 0.66, 0.16), at(box, 0.8, 0.18), at(box, 0.88, 0.18));
    shield.cubicTo(at(box, 0.9, 0.6), at(box, 0.74, 0.82), at(box, 0.5, 0.95));
    shield.cubicTo(at(box, 0.26, 0.82), at(box, 0.1, 0.6), at(box, 0.12, 0.18));
    shield.cubicTo(at(box, 0.2, 0.18), at(box, 0.34, 0.16), at(box, 0.5, 0.06));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(shield);
    tick(p, box, {0.33, 0.5}, {0.46, 0.63}, {0.68, 0.38}, unitOf(box) * 0.09);
}

void checkmarkCircle(QPainter& p, const QRectF& box, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(part(box, 0.06, 0.06, 0.88, 0.88));
    tick(p, box, {0.3, 0.52}, {0.44, 0.66}, {0.7, 0.36}, unitOf(box) * 0.09);
}

void keyboardWithWarning(QPainter& p, const QRectF& box, const QColor& color) {
    const qreal line = std::max<qreal>(1.0, unitOf(box) * 0.07);
    p.setPen(strokePen(color, line));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(part(box, 0.04, 0.34, 0.7, 0.46), unitOf(box) * 0.07, unitOf(box) * 0.07);
    for (int col = 0; col < 4; ++col) p.drawPoint(at(box, 0.15 + col * 0.14, 0.48));
    p.drawLine(at(box, 0.2, 0.66), at(box, 0.56, 0.66));
    // The badge: a filled disc with an exclamation mark cut out, over the keyboard's corner.
    const QRectF disc = part(box, 0.56, 0.1, 0.4, 0.4);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(disc);
    p.setPen(strokePen(Qt::white, line * 1.1));
    p.drawLine(QPointF(disc.center().x(), disc.top() + disc.height() * 0.24),
               QPointF(disc.center().x(), disc.top() + disc.height() * 0.56));
    p.drawPoint(QPointF(disc.center().x(), disc.top() + disc.height() * 0.76));
}

void lockFilled(QPainter& p, const QRectF& box, const QColor& color) {
    p.setPen(strokePen(color, std::max<qreal>(1.0, unitOf(box) * 0.11)));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(at(box, 0.32, 0.46));
    shackle.lineTo(at(box, 0.32, 0.32));
    shackle.arcTo(part(box, 0.32, 0.12, 0.36, 0.36), 180, -180);
    shackle.lineTo(at(box, 0.68, 0.46));
    p.drawPath(shackle);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(part(box, 0.2, 0.44, 0.6, 0.46), unitOf(box) * 0.08, unitOf(box) * 0.08);
}

void arrowOutOfSquare(QPainter& p, const QRectF& box, const QColor& color) {
    p.setPen(strokePen(color, std::max<qreal>(1.0, unitOf(box) * 0.08)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(part(box, 0.12, 0.12, 0.76, 0.76), unitOf(box) * 0.14, unitOf(box) * 0.14);
    p.drawLine(at(box, 0.36, 0.64), at(box, 0.64, 0.36));
    QPainterPath head;
    head.moveTo(at(box, 0.42, 0.36));
    head.lineTo(at(box, 0.64, 0.36));
    head.lineTo(at(box, 0.64, 0.58));
    p.drawPath(head);
}

void power(QPainter& p, const QRectF& box, const QColor& color) {
    p.setPen(strokePen(color, std::max<qreal>(1.0, unitOf(box) * 0.09)));
    p.setBrush(Qt::NoBrush);
    // An open ring, the gap at the top where the stroke goes through.
    p.drawArc(part(box, 0.16, 0.2, 0.68, 0.68), 125 * 16, 290 * 16);
    p.drawLine(at(box, 0.5, 0.1), at(box, 0.5, 0.48));
}

void commandSquare(QPainter& p, const QRectF& box, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(part(box, 0.06, 0.06, 0.88, 0.88), unitOf(box) * 0.2, unitOf(box) * 0.2);
    p.setPen(strokePen(Qt::white, std::max<qreal>(1.0, unitOf(box) * 0.07)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(part(box, 0.42, 0.42, 0.16, 0.16));
    for (auto [x, y] : {std::pair{0.34, 0.34}, {0.66, 0.34}, {0.34, 0.66}, {0.66, 0.66}}) {
        p.drawEllipse(at(box, x, y), unitOf(box) * 0.08, unitOf(box) * 0.08);
    }
}

}  // namespace

const std::map<QString, Drawing>& statusDrawings() {
    static const std::map<QString, Drawing> drawings{
        {"checkmark.shield.fill", checkmarkShield},
        {"checkmark.circle.fill", checkmarkCircle},
        {"keyboard.badge.exclamationmark", keyboardWithWarning},
        {"lock.fill", lockFilled},
        {"arrow.up.right.square", arrowOutOfSquare},
        {"power", power},
        {"command.square.fill", commandSquare},
    };
    return drawings;
}

}  // namespace orvalin::ui::symbols
