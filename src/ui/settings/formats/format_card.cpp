#include "ui/settings/formats/format_card.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/date_format.h"
#include "ui/capture/combination_text.h"
#include "ui/capture/shortcut_capture_binding.h"
#include "ui/capture/shortcut_capture_widget.h"
#include "ui/settings/formats/conflict_mark.h"
#include "ui/settings/formats/day_offset_field.h"
#include "ui/settings/formats/field_row.h"
#include "ui/settings/formats/focus_glyph_button.h"
#include "ui/settings/formats/format_picker_field.h"
#include "ui/settings/formats/locale_picker.h"
#include "ui/settings/formats/preview_plate.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/color_role.h"
#include "ui/widgets/divider.h"

namespace orvalin::ui {

namespace {

constexpr int kPadding = 12;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QLineEdit* monospacedEdit(const QString& placeholder, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(13);
    edit->setFont(mono);
    edit->setPlaceholderText(placeholder);
    return edit;
}

}  // namespace

FormatCard::FormatCard(const Shortcut& shortcut, const Clock& clock, DateRenderer& previews, QWidget* parent)
    : GroupBox(parent, kFormatsGroupLook), clock_(clock), shortcut_(shortcut) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(0);
    column->addLayout(buildHeader());
    column->addSpacing(12);
    preview_ = new PreviewPlate(this);
    column->addWidget(preview_);
    column->addWidget(new Divider(12, 12, this));

    pattern_ = new FormatPickerField(this);
    pattern_->setObjectName(QStringLiteral("patternField"));
    pattern_->setPattern(qs(shortcut_.dateFormat));
    connect(pattern_, &FormatPickerField::patternEdited, this,
            [this](const QString& text) { edit([&](Shortcut& s) { s.dateFormat = text.toStdString(); }); });

    auto* rows = new QVBoxLayout;
    rows->setSpacing(10);
    rows->addWidget(new FieldRow("textformat", tr("Format"), pattern_, this));
    auto* dayRow = new FieldRow("calendar", tr("Jour"), buildDayRow(), this);
    dayRow->setBuddy(day_->choice());
    rows->addWidget(dayRow);
    auto* languageRow = new FieldRow("globe", tr("Langue"), buildLanguageRow(), this);
    languageRow->setBuddy(language_);
    rows->addWidget(languageRow);
    rows->addWidget(new FieldRow("keyboard", tr("Déclencheur"), buildTriggerRow(), this));
    rows->addWidget(new FieldRow("command", tr("Raccourci"), buildShortcutRow(), this));
    column->addLayout(rows);

    refreshPreview(previews);
    refreshNames();
    setFlags(flags_);
}

// A layout, not a widget: one widget less in each of up to a hundred cards.
QHBoxLayout* FormatCard::buildHeader() {
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    auto* icon = new GlyphButton("calendar.badge.clock", QSize(20, 20), 16, this);
    icon->setColorRole(ColorRole::Accent);
    icon->setHoverFeedback(false);
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    icon->setCursor(Qt::ArrowCursor);
    row->addWidget(icon);

    name_ = new QLineEdit(qs(shortcut_.label), this);
    name_->setFrame(false);
    name_->setFont(textFont(TextStyle::Headline));
    name_->setPlaceholderText(tr("Nom"));
    QPalette plain = name_->palette();
    plain.setColor(QPalette::Base, Qt::transparent);
    name_->setPalette(plain);
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { edit([&](Shortcut& s) { s.label = text.toStdString(); }); });
    row->addWidget(name_, 1);

    delete_ = new FocusGlyphButton("trash", QSize(22, 22), 14, this);
    delete_->setObjectName(QStringLiteral("deleteFormat"));
    delete_->setToolTip(tr("Supprimer ce format"));
    connect(delete_, &QAbstractButton::clicked, this, [this] { emit deleteRequested(shortcut_.id); });
    row->addWidget(delete_);
    return row;
}

QLayout* FormatCard::buildDayRow() {
    day_ = new DayOffsetField(this);
    day_->setObjectName(QStringLiteral("dayField"));
    day_->setDays(shortcut_.effectiveDayOffset());
    connect(day_, &DayOffsetField::daysEdited, this,
            [this](int days) { edit([&](Shortcut& s) { s.setDayOffset(days); }); });
    return day_->layout();
}

QWidget* FormatCard::buildLanguageRow() {
    language_ = new LocalePicker(this);
    language_->setObjectName(QStringLiteral("languageField"));
    language_->setLocale(qs(shortcut_.locale));
    connect(language_, &LocalePicker::localeChosen, this,
            [this](const QString& tag) { edit([&](Shortcut& s) { s.setLocale(tag.toStdString()); }); });
    return language_;
}

QWidget* FormatCard::buildTriggerRow() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    trigger_ = monospacedEdit(tr("ex: dt "), box);
    trigger_->setObjectName(QStringLiteral("triggerField"));
    trigger_->setText(qs(shortcut_.trigger));
    connect(trigger_, &QLineEdit::textEdited, this,
            [this](const QString& text) { edit([&](Shortcut& s) { s.trigger = text.toStdString(); }); });
    triggerWarning_ = new ConflictMark(tr("Ce déclencheur est déjà utilisé par un autre format"), box);
    triggerWarning_->setObjectName(QStringLiteral("triggerWarning"));
    row->addWidget(trigger_, 1);
    row->addWidget(triggerWarning_);
    return box;
}

QWidget* FormatCard::buildShortcutRow() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    capture_ = new ShortcutCaptureWidget(box);
    capture_->setObjectName(QStringLiteral("shortcutField"));
    // Wide enough for the usual combinations; a longer one widens it up to a point, then is cut.
    capture_->setFixedHeight(24);
    capture_->setMinimumWidth(150);
    capture_->setMaximumWidth(200);
    // Tab reaches it too; Space or Return starts a recording from the keyboard.
    capture_->setFocusPolicy(Qt::StrongFocus);
    capture_->installEventFilter(this);
    binding_ = new ShortcutCaptureBinding(capture_);
    binding_->bind([this] { return shortcut_.globalShortcut; },
                   [this](const std::optional<GlobalShortcut>& value) {
                       edit([&](Shortcut& s) { s.globalShortcut = value; });
                   });
    hotkeyWarning_ = new ConflictMark(tr("Ce raccourci est déjà assigné à un autre format"), box);
    hotkeyWarning_->setObjectName(QStringLiteral("shortcutWarning"));
    clear_ = new FocusGlyphButton("xmark.circle.fill", QSize(22, 22), 14, box);
    clear_->setObjectName(QStringLiteral("clearShortcut"));
    clear_->setColorRole(ColorRole::Tertiary);
    clear_->setToolTip(tr("Supprimer le raccourci"));
    connect(clear_, &QAbstractButton::clicked, this,
            [this] { edit([](Shortcut& s) { s.globalShortcut.reset(); }); });
    row->addWidget(capture_);
    row->addWidget(hotkeyWarning_);
    row->addWidget(clear_);
    row->addStretch(1);
    return box;
}

void FormatCard::edit(const std::function<void(Shortcut&)>& change) {
    Shortcut changed = shortcut_;
    change(changed);
    if (changed == shortcut_) return;
    emit edited(changed);
}

void FormatCard::setShortcut(const Shortcut& shortcut) {
    if (shortcut == shortcut_) return;
    const bool dateChanged = shortcut.dateFormat != shortcut_.dateFormat ||
                             shortcut.dayOffset != shortcut_.dayOffset || shortcut.locale != shortcut_.locale;
    const bool labelChanged = shortcut.label != shortcut_.label;
    shortcut_ = shortcut;
    if (name_->text() != qs(shortcut_.label)) name_->setText(qs(shortcut_.label));
    pattern_->setPattern(qs(shortcut_.dateFormat));
    day_->setDays(shortcut_.effectiveDayOffset());
    language_->setLocale(qs(shortcut_.locale));
    if (trigger_->text() != qs(shortcut_.trigger)) trigger_->setText(qs(shortcut_.trigger));
    binding_->refresh();
    clear_->setVisible(shortcut_.globalShortcut.has_value());
    describeShortcut();
    if (dateChanged) refreshPreview();
    if (labelChanged) refreshNames();
}

void FormatCard::setFlags(Flags flags) {
    flags_ = flags;
    triggerWarning_->setVisible(flags.duplicateTrigger);
    hotkeyWarning_->setVisible(flags.duplicateHotkey);
    delete_->setVisible(flags.canDelete);
    clear_->setVisible(shortcut_.globalShortcut.has_value());
    trigger_->setAccessibleDescription(flags.duplicateTrigger ? triggerWarning_->toolTip() : QString());
    describeShortcut();
}

// The field is drawn, not typed in: a listener hears the combination, and its conflict if any.
void FormatCard::describeShortcut() {
    QStringList parts;
    if (shortcut_.globalShortcut) parts << combinationText(*shortcut_.globalShortcut);
    if (flags_.duplicateHotkey) parts << hotkeyWarning_->toolTip();
    capture_->setAccessibleDescription(parts.join(QStringLiteral(", ")));
}

void FormatCard::refreshPreview() {
    preview_->setText(qs(shortcut_.formattedDate(clock_.now())));
}

void FormatCard::refreshPreview(DateRenderer& previews) {
    preview_->setText(qs(shortcut_.formattedDate(previews)));
}

QString FormatCard::previewText() const {
    return preview_->text();
}

QString FormatCard::ownerName() const {
    return shortcut_.label.empty() ? tr("sans nom") : qs(shortcut_.label);
}

void FormatCard::refreshNames() {
    const QString owner = ownerName();
    name_->setAccessibleName(tr("Nom du format %1").arg(owner));
    delete_->setAccessibleName(tr("Supprimer le format %1").arg(owner));
    preview_->setAccessibleName(tr("Aperçu du format %1").arg(owner));
    pattern_->setOwnerName(owner);
    day_->setOwnerName(owner);
    language_->setOwnerName(owner);
    trigger_->setAccessibleName(tr("Déclencheur de %1").arg(owner));
    capture_->setAccessibleName(tr("Raccourci clavier de %1").arg(owner));
    clear_->setAccessibleName(tr("Supprimer le raccourci de %1").arg(owner));
}

QList<QWidget*> FormatCard::focusChain() const {
    return {name_,
            delete_,
            pattern_->lineEdit(),
            pattern_->presetsButton(),
            pattern_->referenceButton(),
            day_->choice(),
            day_->count(),
            language_,
            trigger_,
            capture_,
            clear_};
}

bool FormatCard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != capture_) return GroupBox::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && !capture_->isRecording()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            capture_->startRecording();
            return true;
        }
    }
    // Tabbing away from a recording field gives the recording up, as a click elsewhere does.
    if (event->type() == QEvent::FocusOut && capture_->isRecording()) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) capture_->cancelRecording();
    }
    return GroupBox::eventFilter(watched, event);
}

}  // namespace orvalin::ui
