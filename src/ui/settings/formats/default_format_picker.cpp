#include "ui/settings/formats/default_format_picker.h"

namespace orvalin::ui {

DefaultFormatPicker::DefaultFormatPicker(QWidget* parent) : QComboBox(parent) {
    // A fixed width: retitling an item at every keystroke must not lay the page out again.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(22);
    setAccessibleName(tr("Format par défaut"));
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (auto id = Uuid::parse(itemData(index).toString().toStdString())) emit chosen(*id);
    });
}

QString DefaultFormatPicker::composeItemText(const QString& label, const QString& preview) {
    // Two spaces, an en dash, two spaces.
    return label + QStringLiteral("  \u2013  ") + preview;
}

bool DefaultFormatPicker::setItem(std::size_t index, const Item& item) {
    if (index >= static_cast<std::size_t>(count())) return false;
    const int i = static_cast<int>(index);
    const QString text = composeItemText(item.label, item.preview);
    const QString id = QString::fromStdString(item.id.toString());
    if (itemText(i) != text) setItemText(i, text);
    if (itemData(i).toString() != id) setItemData(i, id);
    return true;
}

void DefaultFormatPicker::setItems(const std::vector<Item>& items, const Uuid& selected) {
    while (static_cast<std::size_t>(count()) > items.size()) removeItem(count() - 1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!setItem(i, items[i]))
            addItem(composeItemText(items[i].label, items[i].preview),
                    QString::fromStdString(items[i].id.toString()));
    }
    select(selected);
}

void DefaultFormatPicker::select(const Uuid& id) {
    const int index = findData(QString::fromStdString(id.toString()));
    if (index != currentIndex()) setCurrentIndex(index);
}

}  // namespace orvalin::ui
