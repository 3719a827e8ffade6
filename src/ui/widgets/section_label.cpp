#include "ui/widgets/section_label.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/widgets/accessible_role.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

SectionLabel::SectionLabel(const QString& symbol, const QString& title, Kind kind, QWidget* parent)
    : QWidget(parent), symbol_(symbol), icon_(new QLabel(this)), text_(new QLabel(title, this)) {
    const bool page = kind == Kind::Page;
    text_->setFont(page ? textFont(TextStyle::Subheadline, QFont::DemiBold) : textFont(TextStyle::Caption));
    text_->setWordWrap(page);
    icon_->setAccessibleName(QString());  // the title says it all; the symbol is decoration
    icon_->setVisible(!symbol.isEmpty());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(page ? QMargins() : QMargins(14, 6, 14, 2));
    layout->setSpacing(5);
    layout->addWidget(icon_, 0, Qt::AlignVCenter);
    layout->addWidget(text_, 1);
    if (!page) setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The role first: naming the widget already builds its accessible interface.
    setAccessibleRole(this, QAccessible::Heading);
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
    if (symbol_.isEmpty()) return;
    const int side = QFontMetrics(text_->font()).height();
    icon_->setPixmap(symbolGlyph(symbol_, color).pixmap(side, side));
}

}  // namespace orvalin::ui
