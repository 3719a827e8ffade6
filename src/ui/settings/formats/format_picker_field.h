#pragma once

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

#include "ui/settings/formats/format_reference_view.h"

class QMenu;

namespace orvalin::ui {

class GlyphButton;

// The editor of one date pattern: a fixed-pitch text field, a menu of ready-made patterns that
// replace the field's text, and a button that opens and closes the pattern-code reference.
// It only edits text; the card stores and saves it.
class FormatPickerField : public QWidget {
    Q_OBJECT
public:
    struct Preset {
        QString label;  // fixed sample dates, never recomputed
        QString format;
    };
    static std::vector<Preset> presets();

    explicit FormatPickerField(QWidget* parent = nullptr);

    // Shows `pattern` unless the field already holds it, so the cursor and selection of someone
    // typing stay where they are.
    void setPattern(const QString& pattern);
    QString pattern() const;
    // Names the controls after the format they belong to, for screen readers.
    void setOwnerName(const QString& formatName);

    QLineEdit* lineEdit() const { return edit_; }
    QWidget* presetsButton() const;
    QWidget* referenceButton() const;
    // The menu of presets, made the first time it is needed.
    QMenu* presetsMenu();
    bool isReferenceShown() const;
    void setReferenceShown(bool shown);

signals:
    // The user changed the pattern: a keystroke in the field or a preset.
    void patternEdited(const QString& pattern);
    void referenceShownChanged(bool shown);

private:
    void choosePreset(const QString& format);
    void toggleReference();

    QLineEdit* edit_;
    GlyphButton* presetsButton_;
    GlyphButton* referenceButton_;
    QMenu* menu_ = nullptr;
    QPointer<FormatReferencePopup> popup_;
    QElapsedTimer sinceReferenceClosed_;
};

}  // namespace orvalin::ui
