#include "ui/widgets/section_label.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

SectionLabel::SectionLabel(const QString& symbol, const QString& title, QWidget* parent)
    : QWidget(parent),
      symbol_(symbol),
      title_(title),
      icon_(new QLabel(this)),
      text_(new QLabel(title, this)) {
    const QFont font = textFont(TextStyle::Subheadline, QFont::DemiBold);
    text_->setFont(font);
    text_->setWordWrap(true);
    icon_->setAccessibleName(QString());  // the title says it all; the symbol is decoration
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    layout->addWidget(icon_, 0, Qt::AlignVCenter);
    layout->addWidget(text_, 1);
    setAccessibleName(title);
    refreshIcon();
}

void SectionLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) refreshIcon();
    QWidget::changeEvent(event);
}

void SectionLabel::refreshIcon() {
    const QColor color = secondaryText(palette());
    QPalette textPalette = text_->palette();
    textPalette.setColor(QPalette::WindowText, color);
    text_->setPalette(textPalette);
    const int side = QFontMetrics(text_->font()).height();
    icon_->setPixmap(symbolGlyph(symbol_, color).pixmap(side, side));
}

}  // namespace orvalin::ui
