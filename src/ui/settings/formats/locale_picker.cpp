#include "ui/settings/formats/locale_picker.h"

#include <QCollator>
#include <QCompleter>
#include <QCoreApplication>
#include <QHash>
#include <QLineEdit>
#include <QStandardItemModel>
#include <algorithm>
#include <vector>

#include "core/date_format.h"
#include "core/date_locale.h"

namespace orvalin::ui {

namespace {

constexpr int kTagRole = Qt::UserRole;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// One list for every card of every window: eight hundred names, read from ICU once.
class LocaleList {
public:
    static LocaleList& instance() {
        static LocaleList list;
        return list;
    }
    QStandardItemModel* model() const { return model_; }
    // The first item names the user's language as it is now.
    void refreshOwnLanguage() {
        const QString text = QCoreApplication::translate("LocalePicker", "Langue du système — %1")
                                 .arg(qs(localeOwnName(currentLocaleName())));
        if (model_->item(0)->text() != text) model_->item(0)->setText(text);
    }
    // The row of a stored name, or -1.
    int rowOf(const QString& name) const {
        if (name.isEmpty()) return 0;
        return rows_.value(qs(localeTag(name.toStdString())), -1);
    }

private:
    LocaleList() : model_(new QStandardItemModel(QCoreApplication::instance())) {
        auto* own = new QStandardItem;
        own->setData(QString(), kTagRole);
        model_->appendRow(own);
        refreshOwnLanguage();
        std::vector<LocaleChoice> choices = availableDateLocales();
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(choices.begin(), choices.end(), [&](const LocaleChoice& a, const LocaleChoice& b) {
            return collator.compare(qs(a.ownName), qs(b.ownName)) < 0;
        });
        for (const LocaleChoice& choice : choices) {
            auto* item = new QStandardItem(qs(choice.ownName));
            item->setData(qs(choice.tag), kTagRole);
            rows_.insert(qs(choice.tag), model_->rowCount());
            model_->appendRow(item);
        }
    }

    QStandardItemModel* model_;
    QHash<QString, int> rows_;
};

}  // namespace

LocalePicker::LocalePicker(QWidget* parent) : QComboBox(parent) {
    LocaleList::instance().refreshOwnLanguage();
    setModel(LocaleList::instance().model());
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Measuring eight hundred names for every card would slow a page of many cards down.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(18);
    auto* search = new QCompleter(model(), this);
    search->setFilterMode(Qt::MatchContains);
    search->setCaseSensitivity(Qt::CaseInsensitive);
    search->setCompletionMode(QCompleter::PopupCompletion);
    search->setMaxVisibleItems(10);
    setCompleter(search);
    lineEdit()->setPlaceholderText(tr("Rechercher une langue"));
    connect(this, &QComboBox::activated, this, &LocalePicker::choose);
    connect(lineEdit(), &QLineEdit::editingFinished, this, &LocalePicker::showChosen);
    setOwnerName(QString());
}

void LocalePicker::setLocale(const QString& name) {
    if (shown_ && name == locale_) return;
    shown_ = true;
    locale_ = name;
    const int row = LocaleList::instance().rowOf(name);
    // A name written by hand may not be one of the list's ("de_DE@euro"), or not one ICU knows.
    const bool known = row >= 0 || isKnownLocale(name.toStdString());
    unlisted_ = row >= 0 ? QString() : known ? qs(localeOwnName(name.toStdString())) : name;
    setCurrentIndex(row);
    if (row < 0) setEditText(unlisted_);
    const QString help =
        known ? QString() : tr("Langue inconnue : la date est écrite dans la langue du système");
    setToolTip(help);
    setAccessibleDescription(help);
}

void LocalePicker::setOwnerName(const QString& formatName) {
    setAccessibleName(tr("Langue de %1").arg(formatName));
    // Screen readers may reach the text field inside on its own.
    lineEdit()->setAccessibleName(accessibleName());
}

void LocalePicker::choose(int index) {
    if (index < 0) return;
    const QString tag = itemData(index, kTagRole).toString();
    if (tag == locale_ && unlisted_.isEmpty()) return;
    emit localeChosen(tag);
}

void LocalePicker::showChosen() {
    const QString shown = currentIndex() >= 0 ? itemText(currentIndex()) : unlisted_;
    if (currentText() != shown) setEditText(shown);
}

}  // namespace orvalin::ui
