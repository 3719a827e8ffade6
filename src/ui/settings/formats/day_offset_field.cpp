#include "ui/settings/formats/day_offset_field.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSpinBox>

#include "core/shortcut.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/color_role.h"
#include "ui/widgets/day_offset_text.h"
#include "ui/widgets/elided_label.h"

namespace orvalin::ui {

namespace {

constexpr int kOther = 3;  // the item after today, tomorrow and yesterday

int itemFor(int days) {
    switch (days) {
        case 0:
            return 0;
        case 1:
            return 1;
        case -1:
            return 2;
        default:
            return kOther;
    }
}

}  // namespace

DayOffsetField::DayOffsetField(QWidget* parent)
    : QObject(parent),
      choice_(new QComboBox(parent)),
      count_(new QSpinBox(parent)),
      phrase_(new ElidedLabel({}, parent)),
      row_(new QHBoxLayout) {
    choice_->addItem(tr("Aujourd'hui"), 0);
    choice_->addItem(tr("Demain"), 1);
    choice_->addItem(tr("Hier"), -1);
    choice_->addItem(tr("Autre…"));
    connect(choice_, &QComboBox::activated, this, &DayOffsetField::choose);

    count_->setRange(-Shortcut::kMaxDayOffset, Shortcut::kMaxDayOffset);
    count_->setSuffix(tr(" j"));
    count_->setToolTip(tr("Jours après aujourd'hui ; un nombre négatif compte les jours avant"));
    connect(count_, &QSpinBox::valueChanged, this, &DayOffsetField::type);

    phrase_->setFont(textFont(TextStyle::Callout));
    phrase_->setColorRole(ColorRole::Secondary);

    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(6);
    row_->addWidget(choice_);
    row_->addWidget(count_);
    row_->addWidget(phrase_);
    // The pop-up keeps its width whichever item shows, and the row does not jump.
    row_->addStretch(1);
    refresh();
    setOwnerName(QString());
}

QLayout* DayOffsetField::layout() const {
    return row_;
}

void DayOffsetField::setDays(int days) {
    if (days == days_) return;
    days_ = days;
    other_ = other_ || itemFor(days) == kOther;
    refresh();
}

void DayOffsetField::setOwnerName(const QString& formatName) {
    choice_->setAccessibleName(tr("Jour inséré par %1").arg(formatName));
    count_->setAccessibleName(tr("Nombre de jours pour %1").arg(formatName));
}

void DayOffsetField::choose(int index) {
    other_ = index == kOther;
    const int days = other_ ? days_ : choice_->itemData(index).toInt();
    if (days != days_) {
        days_ = days;
        emit daysEdited(days);
    }
    refresh();
}

void DayOffsetField::type(int days) {
    if (days == days_) return;
    days_ = days;
    refresh();
    emit daysEdited(days);
}

void DayOffsetField::refresh() {
    const QSignalBlocker quiet(count_);
    choice_->setCurrentIndex(other_ ? kOther : itemFor(days_));
    if (count_->value() != days_) count_->setValue(days_);
    count_->setVisible(other_);
    const QString phrase = other_ ? dayOffsetPhrase(days_) : QString();
    phrase_->setText(phrase);
    phrase_->setVisible(other_);
    count_->setAccessibleDescription(phrase.isEmpty() ? tr("aujourd'hui") : phrase);
}

}  // namespace orvalin::ui
