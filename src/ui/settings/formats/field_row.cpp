#include "ui/settings/formats/field_row.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/settings/formats/glyph_pixmap.h"
#include "ui/widgets/appearance.h"

namespace orvalin::ui {

namespace {

void setTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

}  // namespace

FieldRow::FieldRow(const QString& icon, const QString& label, QWidget* content, QWidget* parent)
    : QWidget(parent),
      icon_(icon),
      label_(label),
      iconLabel_(new QLabel),
      textLabel_(new QLabel(label)),
      content_(content) {
    auto* caption = new QWidget(this);
    caption->setFixedWidth(kLabelWidth);
    auto* captionRow = new QHBoxLayout(caption);
    captionRow->setContentsMargins(0, 0, 0, 0);
    captionRow->setSpacing(5);
    textLabel_->setFont(textFont(TextStyle::Callout));
    captionRow->addWidget(iconLabel_);
    captionRow->addWidget(textLabel_, 1);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(caption, 0, Qt::AlignVCenter);
    row->addWidget(content_, 1, Qt::AlignVCenter);
    refreshColors();
}

void FieldRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) refreshColors();
    QWidget::changeEvent(event);
}

void FieldRow::refreshColors() {
    const QColor color = secondaryText(palette());
    setTextColor(textLabel_, color);
    const int side = QFontMetrics(textLabel_->font()).height();
    iconLabel_->setPixmap(glyphPixmap(icon_, color, side, devicePixelRatioF()));
}

ConflictMark::ConflictMark(const QString& help, QWidget* parent)
    : QWidget(parent), text_(new QLabel(tr("Déjà utilisé"), this)) {
    auto* icon = new QLabel(this);
    const QFont font = textFont(TextStyle::Caption);
    text_->setFont(font);
    setTextColor(text_, warningOrange());
    const int side = QFontMetrics(font).height();
    icon->setPixmap(glyphPixmap("exclamationmark.triangle.fill", warningOrange(), side, devicePixelRatioF()));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(3);
    row->addWidget(icon);
    row->addWidget(text_);
    setToolTip(help);
    setAccessibleName(text_->text());
    setAccessibleDescription(help);
}

QString ConflictMark::text() const {
    return text_->text();
}

}  // namespace orvalin::ui
