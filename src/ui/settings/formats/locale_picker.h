#pragma once

#include <QComboBox>
#include <QString>

namespace orvalin::ui {

// The language a format writes its date in: an editable pop-up whose first item is the user's
// language, then every language ICU writes dates in, each named in itself. Typing shows the
// languages whose names hold the text, in any case; a text naming none is given up when the
// field is left. It only edits the choice; the card stores it.
class LocalePicker : public QComboBox {
    Q_OBJECT
public:
    explicit LocalePicker(QWidget* parent = nullptr);

    // Shows the stored name's language (named by ICU when the list lacks it), or the name itself
    // when ICU does not know it; nothing changes when it is already shown.
    void setLocale(const QString& name);
    QString locale() const { return locale_; }
    // Names the control after the format it belongs to, for screen readers.
    void setOwnerName(const QString& formatName);

signals:
    // The user chose a language: its BCP 47 tag, or the empty text for the user's own.
    void localeChosen(const QString& tag);

private:
    void choose(int index);
    // Puts back the chosen item's name in place of a search that found nothing.
    void showChosen();

    QString locale_;
    QString unlisted_;  // what shows when no item stands for the stored name
    bool shown_ = false;
};

}  // namespace orvalin::ui
