#include "ui/panel/format_row.h"

#include <QHBoxLayout>

#include "ui/capture/combination_text.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/badge.h"
#include "ui/widgets/color_role.h"
#include "ui/widgets/day_offset_text.h"
#include "ui/widgets/elided_label.h"
#include "ui/widgets/trigger_text.h"

namespace orvalin::ui {

FormatRow::FormatRow(const Shortcut& entry, const QString& preview, QWidget* parent)
    : PanelRowButton(parent) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(14, 6, 14, 6);
    line->setSpacing(8);

    const QString label = QString::fromStdString(entry.label);
    auto* labelText = new ElidedLabel(label, this);
    labelText->setObjectName("label");
    labelText->setFont(textFont(TextStyle::Body, QFont::Medium));
    labelText->setFixedWidth(52);
    line->addWidget(labelText, 0, Qt::AlignVCenter);

    auto* previewText = new ElidedLabel(preview, this);
    previewText->setObjectName("preview");
    previewText->setFont(textFont(TextStyle::Body));
    previewText->setColorRole(ColorRole::Secondary);
    previewText->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    line->addWidget(previewText, 1, Qt::AlignVCenter);

    QStringList details;
    // The date alone does not say it is not today's.
    if (const QString when = dayOffsetPhrase(entry.effectiveDayOffset()); !when.isEmpty()) details << when;
    const QString trigger = trimSpacesAndTabs(entry.trigger);
    if (!trigger.isEmpty()) {
        addTrigger(line, trigger);
        details << tr("déclencheur %1").arg(trigger);
    }
    if (entry.globalShortcut) {
        const QString combination = combinationText(*entry.globalShortcut);
        addBadge(line, combination);
        details << tr("raccourci %1").arg(combination);
    }
    // Patterns often end with a space, which a listener has no use for.
    const QString spokenDate = preview.trimmed();
    setAccessibleName(label.trimmed().isEmpty() ? spokenDate : tr("%1, %2").arg(label, spokenDate));
    setAccessibleDescription(details.join(QStringLiteral(", ")));
    setToolTip(preview);
}

void FormatRow::addTrigger(QHBoxLayout* line, const QString& trigger) {
    auto* text = new ElidedLabel(trigger, this);
    text->setObjectName("trigger");
    text->setFont(textFont(TextStyle::MonospacedCaption));
    text->setColorRole(ColorRole::Tertiary);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    line->addWidget(text, 0, Qt::AlignVCenter);
}

void FormatRow::addBadge(QHBoxLayout* line, const QString& combination) {
    auto* badge = new Badge(combination, Badge::Shape::RoundedRect, this);
    badge->setObjectName("badge");
    badge->setFont(textFont(TextStyle::Caption2));
    badge->setControlBackgroundFill(ColorRole::Tertiary);
    // Room for the usual combinations; a long key name must not push the date out of the row.
    badge->setMaximumWidth(100);
    line->addWidget(badge, 0, Qt::AlignVCenter);
}

}  // namespace orvalin::ui
