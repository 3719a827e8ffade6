#include <QPainterPath>
#include <QtMath>

#include "ui/widgets/symbol_drawing.h"

namespace orvalin::ui::symbols {

namespace {

// The filled status and action symbols.

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

// The settings window's outlined symbols.

void gear(QPainter& p, const QRectF& box, const QColor& color, bool filled) {
    const QPointF c = box.center();
    const qreal u = unitOf(box);
    QPainterPath outline;
    constexpr int kTeeth = 8;
    for (int i = 0; i < kTeeth * 2; ++i) {
        const qreal radius = (i % 2 == 0 ? 0.44 : 0.34) * u;
        for (qreal edge : {-0.5, 0.5}) {
            const qreal angle = (i + 0.5 + edge * 0.8) * M_PI / kTeeth;
            const QPointF point(c.x() + radius * qCos(angle), c.y() + radius * qSin(angle));
            if (i == 0 && edge < 0)
                outline.moveTo(point);
            else
                outline.lineTo(point);
        }
    }
    outline.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, u * 0.14, u * 0.14);
    if (filled) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(outline.subtracted(hole));
    } else {
        p.drawPath(outline);
        p.drawPath(hole);
    }
}

void questionMarkCircle(QPainter& p, const QRectF& box, const QColor& color) {
    const qreal u = unitOf(box);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(part(box, 0.06, 0.06, 0.88, 0.88));
    QFont font = p.font();
    font.setPixelSize(std::max(1, static_cast<int>(u * 0.62)));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
}

void halfCircle(QPainter& p, const QRectF& box, const QColor& color) {
    const QRectF disc = part(box, 0.12, 0.12, 0.76, 0.76);
    p.drawEllipse(disc);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPie(disc, 90 * 16, 180 * 16);
}

void globe(QPainter& p, const QRectF& box, const QColor&) {
    const QRectF disc = part(box, 0.1, 0.1, 0.8, 0.8);
    p.drawEllipse(disc);
    p.drawEllipse(part(box, 0.32, 0.1, 0.36, 0.8));
    p.drawLine(at(box, 0.1, 0.5), at(box, 0.9, 0.5));
    p.drawLine(at(box, 0.5, 0.1), at(box, 0.5, 0.9));
}

void envelope(QPainter& p, const QRectF& box, const QColor& color) {
    const qreal u = unitOf(box);
    const QRectF body = part(box, 0.08, 0.22, 0.84, 0.56);
    p.setBrush(color);
    p.drawRoundedRect(body, u * 0.06, u * 0.06);
    QColor flap = color.lightnessF() > 0.6 ? color.darker(160) : color.lighter(160);
    p.setPen(strokePen(flap, std::max<qreal>(1.0, u * 0.06)));
    QPainterPath fold;
    fold.moveTo(body.topLeft() + QPointF(u * 0.04, u * 0.04));
    fold.lineTo(at(box, 0.5, 0.52));
    fold.lineTo(body.topRight() + QPointF(-u * 0.04, u * 0.04));
    p.setBrush(Qt::NoBrush);
    p.drawPath(fold);
}

void lockShield(QPainter& p, const QRectF& box, const QColor& color) {
    const qreal u = unitOf(box);
    QPainterPath shield;
    shield.moveTo(at(box, 0.5, 0.06));
    shield.lineTo(at(box, 0.86, 0.2));
    shield.cubicTo(at(box, 0.86, 0.6), at(box, 0.7, 0.82), at(box, 0.5, 0.94));
    shield.cubicTo(at(box, 0.3, 0.82), at(box, 0.14, 0.6), at(box, 0.14, 0.2));
    shield.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(shield);
    const QColor cut = color.lightnessF() > 0.6 ? QColor(0, 0, 0, 170) : QColor(Qt::white);
    p.setBrush(cut);
    p.drawRoundedRect(part(box, 0.36, 0.44, 0.28, 0.22), u * 0.03, u * 0.03);
    p.setPen(QPen(cut, std::max<qreal>(1.0, u * 0.06)));
    p.setBrush(Qt::NoBrush);
    p.drawArc(part(box, 0.4, 0.3, 0.2, 0.26), 0, 180 * 16);
}

void keyboard(QPainter& p, const QRectF& box, const QColor&) {
    const qreal u = unitOf(box);
    p.drawRoundedRect(part(box, 0.08, 0.25, 0.84, 0.5), u * 0.08, u * 0.08);
    for (int col = 0; col < 4; ++col) p.drawPoint(at(box, 0.25 + col * 0.17, 0.4));
    p.drawLine(at(box, 0.3, 0.6), at(box, 0.7, 0.6));
}

void infoCircle(QPainter& p, const QRectF& box, const QColor&) {
    p.drawEllipse(part(box, 0.1, 0.1, 0.8, 0.8));
    QFont font = p.font();
    font.setPixelSize(std::max(1, static_cast<int>(unitOf(box) * 0.55)));
    font.setBold(true);
    p.setFont(font);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("i"));
}

void arrowUpRight(QPainter& p, const QRectF& box, const QColor&) {
    p.drawLine(at(box, 0.25, 0.75), at(box, 0.75, 0.25));
    QPainterPath head;
    head.moveTo(at(box, 0.35, 0.25));
    head.lineTo(at(box, 0.75, 0.25));
    head.lineTo(at(box, 0.75, 0.65));
    p.drawPath(head);
}

}  // namespace

const std::map<QString, Drawing>& namedDrawings() {
    static const std::map<QString, Drawing> drawings{
        {"checkmark.shield.fill", checkmarkShield},
        {"checkmark.circle.fill", checkmarkCircle},
        {"keyboard.badge.exclamationmark", keyboardWithWarning},
        {"lock.fill", lockFilled},
        {"arrow.up.right.square", arrowOutOfSquare},
        {"power", power},
        {"command.square.fill", commandSquare},
        {"gearshape",
         [](QPainter& p, const QRectF& box, const QColor& color) { gear(p, box, color, false); }},
        {"gearshape.fill",
         [](QPainter& p, const QRectF& box, const QColor& color) { gear(p, box, color, true); }},
        {"circle.lefthalf.filled", halfCircle},
        {"questionmark.circle.fill", questionMarkCircle},
        {"keyboard", keyboard},
        {"info.circle", infoCircle},
        {"globe", globe},
        {"envelope.fill", envelope},
        {"lock.shield.fill", lockShield},
        {"arrow.up.right", arrowUpRight},
    };
    return drawings;
}

}  // namespace orvalin::ui::symbols
