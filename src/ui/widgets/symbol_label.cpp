#include "ui/widgets/symbol_label.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

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

void SymbolLabel::setFit(Fit fit) {
    fit_ = fit;
    const bool oneLine = fit == Fit::OneLine;
    text_->setWordWrap(!oneLine);
    layout()->setSpacing(oneLine ? 4 : 6);
    if (oneLine) setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
    // One line is painted with the text; a wrapping text's symbol is a pixmap beside it.
    if (fit_ == Fit::OneLine) {
        icon_->clear();
        update();
    } else {
        icon_->setPixmap(symbolPixmap(symbol_, color, side, devicePixelRatioF()));
    }
}

void SymbolLabel::paintEvent(QPaintEvent*) {
    if (fit_ != Fit::OneLine) return;
    QPainter painter(this);
    const QRect cell = icon_->geometry();
    const qreal side = cell.height() * 0.8;
    paintSymbol(painter, symbol_, QRectF(cell.x(), cell.y() + (cell.height() - side) / 2, side, side),
                resolveColor(role_, palette()));
}

}  // namespace orvalin::ui
