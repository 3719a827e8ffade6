#pragma once

#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <functional>

#include "core/clock.h"
#include "core/shortcut.h"
#include "ui/widgets/group_box.h"

class QHBoxLayout;
class QLayout;

namespace orvalin {
class DateRenderer;
class ShortcutCaptureWidget;
class ShortcutCaptureBinding;
}  // namespace orvalin

namespace orvalin::ui {

class ConflictMark;
class DayOffsetField;
class FocusGlyphButton;
class FormatPickerField;
class LocalePicker;
class PreviewPlate;

// The editor of one format: its name, a preview of the date it inserts, the pattern field, the
// day and the language, the trigger and the key combination, with "Déjà utilisé" marks for
// conflicts.
//
// The card never stores anything: an edit is reported through edited() with the whole changed
// format, and the owner hands the stored format back through setShortcut(). Fields are only
// rewritten when their text differs, so someone typing keeps focus, cursor and selection.
class FormatCard : public GroupBox {
    Q_OBJECT
public:
    struct Flags {
        bool duplicateTrigger = false;
        bool duplicateHotkey = false;
        bool canDelete = false;
    };

    // `previews` renders its preview (one renderer serves a whole page of new cards); `clock` gives
    // the day of the previews rendered afterwards.
    FormatCard(const Shortcut& shortcut, const Clock& clock, DateRenderer& previews,
               QWidget* parent = nullptr);

    void setShortcut(const Shortcut& shortcut);
    const Shortcut& shortcut() const { return shortcut_; }
    void setFlags(Flags flags);
    Flags flags() const { return flags_; }
    // Renders the preview again with the current date (the format unchanged).
    void refreshPreview();
    void refreshPreview(DateRenderer& previews);
    // The date the format inserts now, as the preview shows it.
    QString previewText() const;

    // The name for screen readers: the label, or a stand-in while it is empty.
    QString ownerName() const;
    // The card's controls in keyboard order.
    QList<QWidget*> focusChain() const;

    QLineEdit* nameEdit() const { return name_; }

signals:
    void edited(const orvalin::Shortcut& changed);
    void deleteRequested(const orvalin::Uuid& id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHBoxLayout* buildHeader();
    QLayout* buildDayRow();
    QWidget* buildLanguageRow();
    QWidget* buildTriggerRow();
    QWidget* buildShortcutRow();
    void edit(const std::function<void(Shortcut&)>& change);
    void refreshNames();
    void describeShortcut();

    const Clock& clock_;
    Shortcut shortcut_;
    Flags flags_;
    QLineEdit* name_ = nullptr;
    FocusGlyphButton* delete_ = nullptr;
    PreviewPlate* preview_ = nullptr;
    FormatPickerField* pattern_ = nullptr;
    DayOffsetField* day_ = nullptr;
    LocalePicker* language_ = nullptr;
    QLineEdit* trigger_ = nullptr;
    ConflictMark* triggerWarning_ = nullptr;
    ShortcutCaptureWidget* capture_ = nullptr;
    ShortcutCaptureBinding* binding_ = nullptr;
    ConflictMark* hotkeyWarning_ = nullptr;
    FocusGlyphButton* clear_ = nullptr;
};

}  // namespace orvalin::ui
