#include "ui/settings/how_it_works_row.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

namespace {
constexpr int kSymbolColumn = 28;
constexpr int kSymbolSize = 18;
}  // namespace

HowItWorksRow::HowItWorksRow(const QString& symbol, const QColor& color, const QString& title,
                             const QString& description, QWidget* parent)
    : QWidget(parent),
      symbol_(symbol),
      color_(color),
      icon_(new QLabel(this)),
      title_(new QLabel(title, this)),
      description_(new QLabel(description, this)) {
    icon_->setFixedWidth(kSymbolColumn);
    icon_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    icon_->setContentsMargins(0, 1, 0, 0);
    title_->setFont(textFont(TextStyle::Callout, QFont::DemiBold));
    title_->setWordWrap(true);
    description_->setObjectName("description");
    description_->setFont(textFont(TextStyle::Caption));
    description_->setWordWrap(true);

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(2);
    texts->addWidget(title_);
    texts->addWidget(description_);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 4, 0, 4);
    row->setSpacing(12);
    row->addWidget(icon_, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    refreshColours();
}

QString HowItWorksRow::title() const {
    return title_->text();
}

QString HowItWorksRow::description() const {
    return description_->text();
}

void HowItWorksRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) refreshColours();
    QWidget::changeEvent(event);
}

void HowItWorksRow::refreshColours() {
    QPalette secondary = description_->palette();
    secondary.setColor(QPalette::WindowText, secondaryText(palette()));
    description_->setPalette(secondary);
    icon_->setPixmap(symbolPixmap(symbol_, color_, kSymbolSize, devicePixelRatioF()));
}

}  // namespace orvalin::ui
