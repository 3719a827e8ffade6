#include "ui/widgets/symbol_label.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

SymbolLabel::SymbolLabel(const QString& symbol, const QString& text, ColorRole role, QWidget* parent)
    : QWidget(parent), symbol_(symbol), role_(role), icon_(new QLabel(this)), text_(new QLabel(text, this)) {
    text_->setWordWrap(true);
    text_->setFont(textFont(TextStyle::Body));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(icon_, 0, Qt::AlignVCenter);
    layout->addWidget(text_, 1);
    setAccessibleName(text);
    refresh();
}

QString SymbolLabel::text() const {
    return text_->text();
}

void SymbolLabel::setTextFont(const QFont& font) {
    text_->setFont(font);
    refresh();
}

void SymbolLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) refresh();
    QWidget::changeEvent(event);
}

void SymbolLabel::refresh() {
    const QColor color = resolveColor(role_, palette());
    QPalette textPalette = text_->palette();
    textPalette.setColor(QPalette::WindowText, color);
    text_->setPalette(textPalette);
    const int side = QFontMetrics(text_->font()).height();
    icon_->setFixedSize(side, side);
    icon_->setPixmap(symbolPixmap(symbol_, color, side, devicePixelRatioF()));
}

GroupBox::GroupBox(QWidget* parent) : QWidget(parent) {
    // Never capped at its size hint: wrapped text inside may need more height at a given width.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void GroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const bool dark = pal.color(QPalette::Window).lightnessF() < 0.5;
    QColor fill = pal.color(QPalette::WindowText);
    fill.setAlphaF(dark ? 0.05F : 0.035F);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    painter.fillPath(path, fill);
    painter.setPen(QPen(separatorColor(pal), 1));
    painter.drawPath(path);
}

ProminentButton::ProminentButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setFont(textFont(TextStyle::Callout, QFont::Medium));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ProminentButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * 10, metrics.height() + 2 * 4};
}

void ProminentButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = accentColor(palette());
    if (isDown()) fill = fill.darker(115);
    if (!isEnabled()) fill.setAlphaF(0.4F);
    const QRectF box = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(box, 5, 5);
    if (hasFocus()) {
        QColor ring = accentColor(palette());
        ring.setAlphaF(0.5F);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void ProminentButton::keyPressEvent(QKeyEvent* event) {
    // Enter presses it as Space does: it is the one action of its row.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace orvalin::ui
