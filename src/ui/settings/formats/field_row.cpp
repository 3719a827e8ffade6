#include "ui/settings/formats/field_row.h"

#include <QEvent>
#include <QHBoxLayout>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

namespace {

void setTextColor(QWidget* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

}  // namespace

FieldRow::FieldRow(const QString& icon, const QString& label, QWidget* content, QWidget* parent)
    : QWidget(parent), caption_(new IconLabel(icon, label, 5, this)) {
    layOutCaption()->addWidget(content, 1, Qt::AlignVCenter);
}

FieldRow::FieldRow(const QString& icon, const QString& label, QLayout* content, QWidget* parent)
    : QWidget(parent), caption_(new IconLabel(icon, label, 5, this)) {
    layOutCaption()->addLayout(content, 1);
}

QHBoxLayout* FieldRow::layOutCaption() {
    caption_->setFixedWidth(kLabelWidth);
    caption_->setFont(textFont(TextStyle::Callout));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(caption_, 0, Qt::AlignVCenter);
    refreshColors();
    return row;
}

void FieldRow::setBuddy(QWidget* control) {
    caption_->setBuddy(control);
}

void FieldRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) refreshColors();
    QWidget::changeEvent(event);
}

void FieldRow::refreshColors() {
    setTextColor(caption_, secondaryText(palette()));
}

}  // namespace orvalin::ui
