#pragma once

#include <QComboBox>
#include <vector>

#include "core/uuid.h"

namespace orvalin::ui {

// The "Format par défaut" pop-up: one item per format, "label  –  date", kept in step in
// place (items are retitled, added or removed, never all rebuilt).
class DefaultFormatPicker : public QComboBox {
    Q_OBJECT
public:
    struct Item {
        Uuid id;
        QString label;
        QString preview;
    };

    explicit DefaultFormatPicker(QWidget* parent = nullptr);

    static QString composeItemText(const QString& label, const QString& preview);

    void setItems(const std::vector<Item>& items, const Uuid& selected);
    // Retitles the item at `index`; false when there is none.
    bool setItem(std::size_t index, const Item& item);
    void select(const Uuid& id);

signals:
    // The user chose another format.
    void chosen(const orvalin::Uuid& id);
};

}  // namespace orvalin::ui
