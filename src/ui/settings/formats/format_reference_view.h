#pragma once

#include <QFrame>
#include <QScrollArea>
#include <QString>
#include <vector>

namespace orvalin::ui {

// The help sheet of date-pattern codes shown from a pattern field: eight subjects, each with
// the codes a user is most likely to want, a description and an example. Static.
class FormatReferenceView : public QScrollArea {
    Q_OBJECT
public:
    struct Code {
        QString code;         // shown verbatim
        QString description;  // runs of spaces are part of the text
    };
    struct Section {
        QString title;
        QString icon;
        std::vector<Code> codes;
    };

    static constexpr int kWidth = 340;
    static constexpr int kHeight = 420;

    explicit FormatReferenceView(QWidget* parent = nullptr);

    // The table, in display order, with its texts translated.
    static std::vector<Section> sections();
};

// The reference in a popup window below the button that opened it. A click outside or Escape
// closes it; it never takes the keyboard focus away from a field recording a combination.
class FormatReferencePopup : public QFrame {
    Q_OBJECT
public:
    explicit FormatReferencePopup(QWidget* parent = nullptr);

    // Shows the popup under `anchor`, centred on it, kept on the anchor's screen.
    void popupBelow(QWidget* anchor);
    FormatReferenceView* view() const { return view_; }

signals:
    void closed();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    FormatReferenceView* view_;
};

}  // namespace orvalin::ui
