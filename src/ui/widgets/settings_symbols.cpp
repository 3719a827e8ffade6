#include <QPainterPath>
#include <QtMath>

#include "ui/widgets/symbol_drawing.h"

namespace orvalin::ui::symbols {

namespace {

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

const std::map<QString, Drawing>& settingsDrawings() {
    static const std::map<QString, Drawing> drawings{
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
