#include "ui/widgets/more_symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

namespace orvalin::ui {

namespace {

QPointF at(const QRectF& box, qreal x, qreal y) {
    return {box.left() + x * box.width(), box.top() + y * box.height()};
}

QRectF part(const QRectF& box, qreal x, qreal y, qreal w, qreal h) {
    return {at(box, x, y), QSizeF(w * box.width(), h * box.height())};
}

qreal unitOf(const QRectF& box) {
    return std::min(box.width(), box.height());
}

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

void filledCircleWithMark(QPainter& p, const QRectF& box, const QColor& color, const QString& mark) {
    const qreal u = unitOf(box);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(part(box, 0.06, 0.06, 0.88, 0.88));
    QFont font = p.font();
    font.setPixelSize(std::max(1, static_cast<int>(u * 0.62)));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, mark);
}

void power(QPainter& p, const QRectF& box) {
    const QRectF ring = part(box, 0.18, 0.2, 0.64, 0.64);
    p.drawArc(ring, 60 * 16, -300 * 16);  // open at the top, where the bar goes
    p.drawLine(at(box, 0.5, 0.1), at(box, 0.5, 0.48));
}

void halfCircle(QPainter& p, const QRectF& box, const QColor& color) {
    const QRectF disc = part(box, 0.12, 0.12, 0.76, 0.76);
    p.drawEllipse(disc);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPie(disc, 90 * 16, 180 * 16);
}

void keyboardWithBadge(QPainter& p, const QRectF& box, const QColor& color) {
    const qreal u = unitOf(box);
    p.drawRoundedRect(part(box, 0.04, 0.3, 0.66, 0.44), u * 0.07, u * 0.07);
    p.drawLine(at(box, 0.2, 0.6), at(box, 0.5, 0.6));
    p.drawPoint(at(box, 0.2, 0.44));
    p.drawPoint(at(box, 0.36, 0.44));
    p.drawPoint(at(box, 0.52, 0.44));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(part(box, 0.58, 0.1, 0.4, 0.4));
    p.setPen(QPen(Qt::white, std::max<qreal>(1.0, u * 0.07), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(box, 0.78, 0.18), at(box, 0.78, 0.32));
    p.drawPoint(at(box, 0.78, 0.41));
}

void commandSquare(QPainter& p, const QRectF& box, const QColor& color) {
    const qreal u = unitOf(box);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(part(box, 0.06, 0.06, 0.88, 0.88), u * 0.2, u * 0.2);
    p.setPen(QPen(Qt::white, std::max<qreal>(1.0, u * 0.07), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(part(box, 0.42, 0.42, 0.16, 0.16));
    for (auto [x, y] : {std::pair{0.34, 0.34}, {0.66, 0.34}, {0.34, 0.66}, {0.66, 0.66}}) {
        p.drawEllipse(at(box, x, y), u * 0.08, u * 0.08);
    }
}

void globe(QPainter& p, const QRectF& box) {
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
    p.setPen(QPen(flap, std::max<qreal>(1.0, u * 0.06), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
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

void keyboard(QPainter& p, const QRectF& box) {
    const qreal u = unitOf(box);
    p.drawRoundedRect(part(box, 0.08, 0.25, 0.84, 0.5), u * 0.08, u * 0.08);
    for (int col = 0; col < 4; ++col) p.drawPoint(at(box, 0.25 + col * 0.17, 0.4));
    p.drawLine(at(box, 0.3, 0.6), at(box, 0.7, 0.6));
}

void infoCircle(QPainter& p, const QRectF& box) {
    p.drawEllipse(part(box, 0.1, 0.1, 0.8, 0.8));
    QFont font = p.font();
    font.setPixelSize(std::max(1, static_cast<int>(unitOf(box) * 0.55)));
    font.setBold(true);
    p.setFont(font);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("i"));
}

void arrowUpRight(QPainter& p, const QRectF& box) {
    p.drawLine(at(box, 0.25, 0.75), at(box, 0.75, 0.25));
    QPainterPath head;
    head.moveTo(at(box, 0.35, 0.25));
    head.lineTo(at(box, 0.75, 0.25));
    head.lineTo(at(box, 0.75, 0.65));
    p.drawPath(head);
}

}  // namespace

bool paintMoreSymbol(QPainter& p, const QString& symbol, const QRectF& box, const QColor& color) {
    if (symbol == QLatin1String("gearshape") || symbol == QLatin1String("gearshape.fill")) {
        gear(p, box, color, symbol.endsWith(QLatin1String(".fill")));
    } else if (symbol == QLatin1String("power")) {
        power(p, box);
    } else if (symbol == QLatin1String("circle.lefthalf.filled")) {
        halfCircle(p, box, color);
    } else if (symbol == QLatin1String("keyboard.badge.exclamationmark")) {
        keyboardWithBadge(p, box, color);
    } else if (symbol == QLatin1String("questionmark.circle.fill")) {
        filledCircleWithMark(p, box, color, QStringLiteral("?"));
    } else if (symbol == QLatin1String("info.circle.fill")) {
        filledCircleWithMark(p, box, color, QStringLiteral("i"));
    } else if (symbol == QLatin1String("command.square.fill")) {
        commandSquare(p, box, color);
    } else if (symbol == QLatin1String("keyboard")) {
        keyboard(p, box);
    } else if (symbol == QLatin1String("info.circle")) {
        infoCircle(p, box);
    } else if (symbol == QLatin1String("globe")) {
        globe(p, box);
    } else if (symbol == QLatin1String("envelope.fill")) {
        envelope(p, box, color);
    } else if (symbol == QLatin1String("lock.shield.fill")) {
        lockShield(p, box, color);
    } else if (symbol == QLatin1String("arrow.up.right")) {
        arrowUpRight(p, box);
    } else {
        return false;
    }
    return true;
}

}  // namespace orvalin::ui
