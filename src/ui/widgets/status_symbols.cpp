#include "ui/widgets/status_symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <cmath>
#include <functional>

namespace orvalin::ui {

namespace {

// Coordinates as fractions of the box, so each drawing scales with it.
struct Frame {
    QRectF box;
    qreal unit;
    QPointF at(qreal x, qreal y) const {
        return {box.left() + x * box.width(), box.top() + y * box.height()};
    }
    QRectF part(qreal x, qreal y, qreal w, qreal h) const {
        return {at(x, y), QSizeF(w * box.width(), h * box.height())};
    }
};

QPen strokePen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The tick used on filled shapes, cut out in white.
void tick(QPainter& p, const Frame& f, QPointF a, QPointF b, QPointF c, qreal width) {
    p.setPen(strokePen(Qt::white, width));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(f.at(a.x(), a.y()));
    path.lineTo(f.at(b.x(), b.y()));
    path.lineTo(f.at(c.x(), c.y()));
    p.drawPath(path);
}

void checkmarkShield(QPainter& p, const Frame& f, const QColor& color) {
    QPainterPath shield;
    shield.moveTo(f.at(0.5, 0.06));
    shield.cubicTo(f.at(0.66, 0.16), f.at(0.8, 0.18), f.at(0.88, 0.18));
    shield.cubicTo(f.at(0.9, 0.6), f.at(0.74, 0.82), f.at(0.5, 0.95));
    shield.cubicTo(f.at(0.26, 0.82), f.at(0.1, 0.6), f.at(0.12, 0.18));
    shield.cubicTo(f.at(0.2, 0.18), f.at(0.34, 0.16), f.at(0.5, 0.06));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(shield);
    tick(p, f, {0.33, 0.5}, {0.46, 0.63}, {0.68, 0.38}, f.unit * 0.09);
}

void checkmarkCircle(QPainter& p, const Frame& f, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(f.part(0.06, 0.06, 0.88, 0.88));
    tick(p, f, {0.3, 0.52}, {0.44, 0.66}, {0.7, 0.36}, f.unit * 0.09);
}

void keyboardWithWarning(QPainter& p, const Frame& f, const QColor& color) {
    const qreal line = std::max<qreal>(1.0, f.unit * 0.07);
    p.setPen(strokePen(color, line));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(f.part(0.04, 0.34, 0.7, 0.46), f.unit * 0.07, f.unit * 0.07);
    for (int col = 0; col < 4; ++col) p.drawPoint(f.at(0.15 + col * 0.14, 0.48));
    p.drawLine(f.at(0.2, 0.66), f.at(0.56, 0.66));
    // The badge: a filled disc with an exclamation mark cut out, over the keyboard's corner.
    const QRectF disc = f.part(0.56, 0.1, 0.4, 0.4);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(disc);
    p.setPen(strokePen(Qt::white, line * 1.1));
    p.drawLine(QPointF(disc.center().x(), disc.top() + disc.height() * 0.24),
               QPointF(disc.center().x(), disc.top() + disc.height() * 0.56));
    p.drawPoint(QPointF(disc.center().x(), disc.top() + disc.height() * 0.76));
}

void lockFilled(QPainter& p, const Frame& f, const QColor& color) {
    p.setPen(strokePen(color, std::max<qreal>(1.0, f.unit * 0.11)));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(f.at(0.32, 0.46));
    shackle.lineTo(f.at(0.32, 0.32));
    shackle.arcTo(f.part(0.32, 0.12, 0.36, 0.36), 180, -180);
    shackle.lineTo(f.at(0.68, 0.46));
    p.drawPath(shackle);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(f.part(0.2, 0.44, 0.6, 0.46), f.unit * 0.08, f.unit * 0.08);
}

void arrowOutOfSquare(QPainter& p, const Frame& f, const QColor& color) {
    p.setPen(strokePen(color, std::max<qreal>(1.0, f.unit * 0.08)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(f.part(0.12, 0.12, 0.76, 0.76), f.unit * 0.14, f.unit * 0.14);
    p.drawLine(f.at(0.36, 0.64), f.at(0.64, 0.36));
    QPainterPath head;
    head.moveTo(f.at(0.42, 0.36));
    head.lineTo(f.at(0.64, 0.36));
    head.lineTo(f.at(0.64, 0.58));
    p.drawPath(head);
}

void power(QPainter& p, const Frame& f, const QColor& color) {
    p.setPen(strokePen(color, std::max<qreal>(1.0, f.unit * 0.09)));
    p.setBrush(Qt::NoBrush);
    // An open ring, the gap at the top where the stroke goes through.
    p.drawArc(f.part(0.16, 0.2, 0.68, 0.68), 125 * 16, 290 * 16);
    p.drawLine(f.at(0.5, 0.1), f.at(0.5, 0.48));
}

void commandSquare(QPainter& p, const Frame& f, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(f.part(0.06, 0.06, 0.88, 0.88), f.unit * 0.2, f.unit * 0.2);
    p.setPen(strokePen(Qt::white, std::max<qreal>(1.0, f.unit * 0.07)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(f.part(0.42, 0.42, 0.16, 0.16));
    for (auto [x, y] : {std::pair{0.34, 0.34}, {0.66, 0.34}, {0.34, 0.66}, {0.66, 0.66}}) {
        p.drawEllipse(f.at(x, y), f.unit * 0.08, f.unit * 0.08);
    }
}

}  // namespace

bool paintStatusSymbol(QPainter& p, const QString& symbol, const QRectF& box, const QColor& color) {
    using Drawing = void (*)(QPainter&, const Frame&, const QColor&);
    static const std::pair<const char*, Drawing> drawings[] = {
        {"checkmark.shield.fill", checkmarkShield},
        {"checkmark.circle.fill", checkmarkCircle},
        {"keyboard.badge.exclamationmark", keyboardWithWarning},
        {"lock.fill", lockFilled},
        {"arrow.up.right.square", arrowOutOfSquare},
        {"power", power},
        {"command.square.fill", commandSquare},
    };
    for (const auto& [name, draw] : drawings) {
        if (symbol != QLatin1String(name)) continue;
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, Frame{box, std::min(box.width(), box.height())}, color);
        p.restore();
        return true;
    }
    return false;
}

}  // namespace orvalin::ui
