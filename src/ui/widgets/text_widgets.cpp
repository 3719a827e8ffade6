#include "ui/widgets/text_widgets.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/widgets/accessible_role.h"
#include "ui/widgets/appearance.h"

namespace orvalin::ui {

QString trimSpacesAndTabs(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return QString::fromStdString(text.substr(first, last - first + 1));
}

QColor resolveColor(ColorRole role, const QPalette& palette) {
    switch (role) {
        case ColorRole::Primary:
            return palette.color(QPalette::WindowText);
        case ColorRole::Secondary:
            return secondaryText(palette);
        case ColorRole::Tertiary:
            return tertiaryText(palette);
        case ColorRole::Accent:
            return accentColor(palette);
        case ColorRole::Orange:
            return warningOrange();
        case ColorRole::White:
            return Qt::white;
    }
    return palette.color(QPalette::WindowText);
}

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleRole(this, QAccessible::StaticText);
}

void ElidedLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    updateGeometry();
    update();
    if (accessibleName().isEmpty()) announceNameChange(this);
}

void ElidedLabel::setColorRole(ColorRole role) {
    role_ = role;
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void ElidedLabel::setElidable(bool elidable) {
    elidable_ = elidable;
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    const QMargins margins = contentsMargins();
    return QSize(metrics.horizontalAdvance(text_) + 1, metrics.height()).grownBy(margins);
}

QSize ElidedLabel::minimumSizeHint() const {
    if (!elidable_) return sizeHint();
    const QFontMetrics metrics(font());
    const QSize text(
        std::min(metrics.horizontalAdvance(text_) + 1, metrics.horizontalAdvance(QStringLiteral("…")) * 2),
        metrics.height());
    return text.grownBy(contentsMargins());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(resolveColor(role_, palette()));
    const QFontMetrics metrics(font());
    const QRect inside = contentsRect();
    painter.drawText(inside, static_cast<int>(alignment_),
                     metrics.elidedText(text_, Qt::ElideRight, inside.width()));
}

Badge::Badge(const QString& text, Shape shape, QWidget* parent)
    : QWidget(parent), text_(text), shape_(shape) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleRole(this, QAccessible::StaticText);
}

void Badge::setFill(ColorRole textRole, QColor fill, bool outlined) {
    textRole_ = textRole;
    fill_ = fill;
    paletteFill_ = false;
    outlined_ = outlined;
    update();
}

void Badge::setControlBackgroundFill(ColorRole textRole) {
    textRole_ = textRole;
    paletteFill_ = true;
    outlined_ = true;
    update();
}

void Badge::setPadding(int horizontal, int vertical) {
    paddingH_ = horizontal;
    paddingV_ = vertical;
    updateGeometry();
}

QSize Badge::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text_) + 2 * paddingH_, metrics.height() + 2 * paddingV_};
}

void Badge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = shape_ == Shape::Capsule ? box.height() / 2 : 4.0;
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    painter.fillPath(path, paletteFill_ ? controlBackground(palette()) : fill_);
    if (outlined_) {
        painter.setPen(QPen(separatorColor(palette()), 0.5));
        painter.drawPath(path);
    }
    painter.setPen(resolveColor(textRole_, palette()));
    // Held narrower than its text, it shows the start of it.
    const QString shown = fontMetrics().elidedText(text_, Qt::ElideRight, width() - 2 * paddingH_);
    painter.drawText(rect(), Qt::AlignCenter, shown);
}

Divider::Divider(int above, int below, QWidget* parent) : QWidget(parent), above_(above), below_(below) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleRole(this, QAccessible::Separator);
}

QSize Divider::sizeHint() const {
    return {1, above_ + 1 + below_};
}

void Divider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, above_, width(), 1), separatorColor(palette()));
}

SectionHeader::SectionHeader(const QString& title, QWidget* parent) : ElidedLabel(title, parent) {
    setFont(textFont(TextStyle::Caption));
    setColorRole(ColorRole::Secondary);
    setContentsMargins(14, 6, 14, 2);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleRole(this, QAccessible::Heading);
}

}  // namespace orvalin::ui
