#pragma once

#include <QElapsedTimer>
#include <QScrollArea>
#include <vector>

#include "engine/text_expansion_manager.h"

class QAbstractButton;
class QVBoxLayout;

namespace orvalin::ui {

class DefaultFormatPicker;
class FormatCard;

// The "Formats" page of the settings window: the default format of the calendar, then one card
// per format and the button that adds one. Every keystroke in a card is written into the
// manager's list and saved at once; the cards follow the manager in place, so the field being
// typed in keeps its focus, cursor and selection, and conflicts show on the same keystroke.
class FormatsTab : public QScrollArea {
    Q_OBJECT
public:
    explicit FormatsTab(TextExpansionManager& manager, QWidget* parent = nullptr);
    ~FormatsTab() override;

    const std::vector<FormatCard*>& cards() const { return cards_; }
    FormatCard* card(const Uuid& id) const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildDefaultFormatBox(QWidget* parent);
    QAbstractButton* buildAddButton(QWidget* parent);

    void onManagerChanged(TextExpansionManager::Change change);
    // Brings cards, conflict marks and the picker in line with the manager's list.
    void sync();
    bool syncCardList();
    void syncFlags();
    void syncPicker();
    void relinkTabOrder();
    void refreshColors();

    void applyEdit(const Shortcut& changed);
    void addFormat();
    void deleteFormat(const Uuid& id);
    void revealCard(FormatCard* card);

    TextExpansionManager& manager_;
    TextExpansionManager::SubscriptionId subscription_ = 0;
    DefaultFormatPicker* picker_ = nullptr;
    QVBoxLayout* cardsLayout_ = nullptr;
    QAbstractButton* add_ = nullptr;
    std::vector<FormatCard*> cards_;
    QElapsedTimer sincePreviews_;
    bool linked_ = false;  // the first cards are in the focus chain
};

}  // namespace orvalin::ui
