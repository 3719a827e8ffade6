#include "ui/settings/formats/format_picker_field.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMenu>

#include "ui/settings/formats/focus_glyph_button.h"
#include "ui/settings/formats/format_reference_view.h"
#include "ui/widgets/appearance.h"

namespace orvalin::ui {

namespace {

// The click on the button that closes the reference must not open it again at once.
constexpr qint64 kReopenGuardMs = 250;

}  // namespace

std::vector<FormatPickerField::Preset> FormatPickerField::presets() {
    // The labels keep their March 2026 samples in the interface's language, whatever today is.
    return {
        {tr("Court — 20/03/2026"), QStringLiteral("dd/MM/yyyy")},
        {tr("Moyen — 20 mars 2026"), QStringLiteral("d MMMM yyyy")},
        {tr("Long — vendredi 20 mars 2026"), QStringLiteral("EEEE d MMMM yyyy")},
        {tr("ISO 8601 — 2026-03-20"), QStringLiteral("yyyy-MM-dd")},
        {tr("Américain — 03/20/2026"), QStringLiteral("MM/dd/yyyy")},
        {tr("Abrégé — 20 mar. 2026"), QStringLiteral("d MMM yyyy")},
        {tr("Européen — 20.03.2026"), QStringLiteral("dd.MM.yyyy")},
        {tr("Date + heure — 20/03/2026 14:30"), QStringLiteral("dd/MM/yyyy HH:mm")},
    };
}

FormatPickerField::FormatPickerField(QWidget* parent)
    : QWidget(parent),
      edit_(new QLineEdit(this)),
      presetsButton_(new FocusGlyphButton("chevron.up.chevron.down", QSize(20, 22), 12, this)),
      referenceButton_(new FocusGlyphButton("info.circle", QSize(22, 22), 15, this)) {
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(13);
    edit_->setFont(mono);
    edit_->setPlaceholderText(tr("Format"));
    connect(edit_, &QLineEdit::textEdited, this, &FormatPickerField::patternEdited);

    presetsButton_->setToolTip(tr("Formats prédéfinis"));
    connect(presetsButton_, &QAbstractButton::clicked, this, [this] {
        presetsMenu()->popup(presetsButton_->mapToGlobal(QPoint(0, presetsButton_->height())));
    });

    referenceButton_->setToolTip(tr("Référence des codes de format"));
    referenceButton_->setCheckable(true);
    connect(referenceButton_, &QAbstractButton::clicked, this, &FormatPickerField::toggleReference);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(edit_, 1);
    row->addWidget(presetsButton_);
    row->addWidget(referenceButton_);
    setOwnerName(QString());
}

QMenu* FormatPickerField::presetsMenu() {
    if (menu_) return menu_;
    menu_ = new QMenu(this);
    for (const Preset& preset : presets()) {
        QAction* action = menu_->addAction(preset.label);
        action->setData(preset.format);
        connect(action, &QAction::triggered, this, [this, format = preset.format] { choosePreset(format); });
    }
    return menu_;
}

void FormatPickerField::setOwnerName(const QString& formatName) {
    edit_->setAccessibleName(tr("Format de date de %1").arg(formatName));
    presetsButton_->setAccessibleName(tr("Formats prédéfinis pour %1").arg(formatName));
    referenceButton_->setAccessibleName(tr("Référence des codes de format pour %1").arg(formatName));
}

void FormatPickerField::setPattern(const QString& pattern) {
    if (edit_->text() != pattern) edit_->setText(pattern);
}

QString FormatPickerField::pattern() const {
    return edit_->text();
}

QWidget* FormatPickerField::presetsButton() const {
    return presetsButton_;
}

QWidget* FormatPickerField::referenceButton() const {
    return referenceButton_;
}

void FormatPickerField::choosePreset(const QString& format) {
    edit_->setText(format);
    emit patternEdited(format);
}

bool FormatPickerField::isReferenceShown() const {
    return popup_ && popup_->isVisible();
}

void FormatPickerField::toggleReference() {
    // A click on the button while the reference is open first closes it as a click outside;
    // that same click must not open it again.
    const bool justClosed =
        sinceReferenceClosed_.isValid() && sinceReferenceClosed_.elapsed() < kReopenGuardMs;
    setReferenceShown(!isReferenceShown() && !justClosed);
}

void FormatPickerField::setReferenceShown(bool shown) {
    referenceButton_->setChecked(shown);
    if (shown == isReferenceShown()) return;
    if (!shown) {
        popup_->close();
        return;
    }
    if (!popup_) {
        popup_ = new FormatReferencePopup(this);
        connect(popup_, &FormatReferencePopup::closed, this, [this] {
            sinceReferenceClosed_.start();
            referenceButton_->setChecked(false);
            emit referenceShownChanged(false);
        });
    }
    sinceReferenceClosed_.invalidate();
    popup_->popupBelow(referenceButton_);
    emit referenceShownChanged(true);
}

}  // namespace orvalin::ui
