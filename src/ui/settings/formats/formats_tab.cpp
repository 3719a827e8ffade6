#include "ui/settings/formats/formats_tab.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_map>

#include "core/date_format.h"
#include "ui/settings/formats/default_format_picker.h"
#include "ui/settings/formats/format_card.h"
#include "ui/settings/formats/format_picker_field.h"
#include "ui/settings/formats/glyph_pixmap.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/group_box.h"
#include "ui/widgets/icons.h"
#include "ui/widgets/section_label.h"

namespace orvalin::ui {

namespace {

// Previews are not live clocks; they are rendered again when the page is shown after a while.
constexpr qint64 kPreviewsStaleMs = 1000;

void setTextColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("caption"));
    label->setFont(textFont(TextStyle::Caption));
    label->setWordWrap(true);
    return label;
}

// A heading with its caption pulled up close under it (8 points less than the page's spacing).
QWidget* headingWithCaption(SectionLabel* heading, const QString& text, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(20 - 8);
    heading->setParent(box);
    column->addWidget(heading);
    column->addWidget(caption(text, box));
    return box;
}

std::string key(const Uuid& id) {
    return id.toString();
}

}  // namespace

FormatsTab::FormatsTab(TextExpansionManager& manager, QWidget* parent)
    : QScrollArea(parent), manager_(manager) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    // The fields take the focus, not the page; the page scrolls to whichever field has it.
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(20);
    column->addWidget(headingWithCaption(
        new SectionLabel("calendar", tr("Calendrier")),
        tr("Format utilisé lors d'un clic dans le mini-calendrier de la zone de notification."), content));
    column->addWidget(buildDefaultFormatBox(content));
    column->addWidget(headingWithCaption(
        new SectionLabel("keyboard", tr("Déclencheurs & raccourcis")),
        tr("Chaque format peut être inséré via un déclencheur texte ou un raccourci clavier global."),
        content));
    cardsLayout_ = new QVBoxLayout;
    cardsLayout_->setSpacing(20);
    column->addLayout(cardsLayout_);
    column->addWidget(buildAddButton(content), 0, Qt::AlignHCenter);
    column->addStretch(1);
    setWidget(content);
    refreshColors();

    subscription_ =
        manager_.subscribe([this](TextExpansionManager::Change change) { onManagerChanged(change); });
    sync();
    sincePreviews_.start();
}

FormatsTab::~FormatsTab() {
    manager_.unsubscribe(subscription_);
}

QWidget* FormatsTab::buildDefaultFormatBox(QWidget* parent) {
    auto* box = new GroupBox(parent, kFormatsGroupLook);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(12, 8, 8, 8);
    row->setSpacing(8);
    auto* icon = new QLabel(box);
    const QFont font = textFont(TextStyle::Body);
    const int side = QFontMetrics(font).height();
    icon->setPixmap(
        symbolGlyph("calendar.badge.clock", palette().color(QPalette::WindowText)).pixmap(side, side));
    auto* label = new QLabel(tr("Format par défaut"), box);
    label->setFont(font);
    picker_ = new DefaultFormatPicker(box);
    picker_->setObjectName(QStringLiteral("defaultFormat"));
    label->setBuddy(picker_);
    connect(picker_, &DefaultFormatPicker::chosen, this, [this](const Uuid& id) {
        manager_.setDefaultFormatId(id);
        manager_.saveShortcuts();
    });
    row->addWidget(icon);
    row->addWidget(label);
    row->addStretch(1);
    row->addWidget(picker_);
    return box;
}

QAbstractButton* FormatsTab::buildAddButton(QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("addFormat"));
    button->setText(tr("Ajouter un format"));
    button->setAccessibleName(button->text());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setFont(textFont(TextStyle::Body, QFont::Medium));
    button->setIconSize(QSize(18, 18));
    button->setContentsMargins(0, 4, 0, 4);
    connect(button, &QToolButton::clicked, this, &FormatsTab::addFormat);
    add_ = button;
    return button;
}

FormatCard* FormatsTab::card(const Uuid& id) const {
    auto it =
        std::find_if(cards_.begin(), cards_.end(), [&](FormatCard* c) { return c->shortcut().id == id; });
    return it != cards_.end() ? *it : nullptr;
}

void FormatsTab::onManagerChanged(TextExpansionManager::Change change) {
    switch (change) {
        case TextExpansionManager::Change::Shortcuts:
            sync();
            break;
        case TextExpansionManager::Change::DefaultFormatId:
            picker_->select(manager_.defaultFormatId());
            break;
        default:
            break;
    }
}

void FormatsTab::sync() {
    const bool structureChanged = syncCardList();
    const auto& list = manager_.shortcuts();
    for (std::size_t i = 0; i < list.size(); ++i) cards_[i]->setShortcut(list[i]);
    syncFlags();
    syncPicker();
    if (structureChanged) relinkTabOrder();
}

// Keeps the card of every format that is still there, makes cards for new ones, drops the
// others and puts them in list order. True when anything but the cards' contents changed.
bool FormatsTab::syncCardList() {
    const auto& list = manager_.shortcuts();
    const bool sameOrder =
        list.size() == cards_.size() &&
        std::equal(list.begin(), list.end(), cards_.begin(),
                   [](const Shortcut& s, FormatCard* c) { return s.id == c->shortcut().id; });
    if (sameOrder) return false;

    // Cards by id; a list holding an id twice (hand-edited data) gets a card per entry.
    std::unordered_map<std::string, std::vector<FormatCard*>> pool;
    for (FormatCard* c : cards_) pool[key(c->shortcut().id)].push_back(c);
    std::vector<FormatCard*> next;
    next.reserve(list.size());
    DateRenderer previews(manager_.clock().now());
    for (const Shortcut& s : list) {
        auto& spare = pool[key(s.id)];
        if (!spare.empty()) {
            next.push_back(spare.front());
            spare.erase(spare.begin());
            continue;
        }
        auto* c = new FormatCard(s, manager_.clock(), previews, widget());
        connect(c, &FormatCard::edited, this, &FormatsTab::applyEdit);
        connect(c, &FormatCard::deleteRequested, this, &FormatsTab::deleteFormat);
        next.push_back(c);
    }
    QWidget* focused = QApplication::focusWidget();
    int focusedGone = -1;
    for (std::size_t i = 0; i < cards_.size(); ++i) {
        FormatCard* old = cards_[i];
        if (std::find(next.begin(), next.end(), old) != next.end()) continue;  // kept
        if (focused && old->isAncestorOf(focused)) focusedGone = static_cast<int>(i);
        cardsLayout_->removeWidget(old);
        old->hide();
        old->deleteLater();  // its delete button may be the caller
    }
    for (FormatCard* c : cards_) cardsLayout_->removeWidget(c);
    cards_ = std::move(next);
    for (FormatCard* c : cards_) {
        cardsLayout_->addWidget(c);
        c->show();
    }
    // Whoever deleted the focused card from the keyboard goes on at the card now in its place.
    if (focusedGone >= 0) {
        if (!cards_.empty()) {
            cards_[std::min<std::size_t>(focusedGone, cards_.size() - 1)]->nameEdit()->setFocus(
                Qt::OtherFocusReason);
        } else {
            add_->setFocus(Qt::OtherFocusReason);
        }
    }
    return true;
}

void FormatsTab::syncFlags() {
    const bool canDelete = cards_.size() > 1;
    for (FormatCard* c : cards_) {
        const Shortcut& s = c->shortcut();
        FormatCard::Flags flags;
        flags.duplicateTrigger = manager_.isTriggerTaken(s.trigger, s.id);
        flags.duplicateHotkey = s.globalShortcut && manager_.isGlobalShortcutTaken(*s.globalShortcut, s.id);
        flags.canDelete = canDelete;
        const FormatCard::Flags now = c->flags();
        if (now.duplicateTrigger != flags.duplicateTrigger || now.duplicateHotkey != flags.duplicateHotkey ||
            now.canDelete != flags.canDelete)
            c->setFlags(flags);
    }
}

void FormatsTab::syncPicker() {
    std::vector<DefaultFormatPicker::Item> items;
    items.reserve(cards_.size());
    for (FormatCard* c : cards_)
        items.push_back({c->shortcut().id, QString::fromStdString(c->shortcut().label), c->previewText()});
    picker_->setItems(items, manager_.defaultFormatId());
}

// Cards made in list order already follow each other in the focus chain; only the add button,
// made before them, has to move behind the last. Later additions and removals put every card
// in its place.
void FormatsTab::relinkTabOrder() {
    if (!linked_) {
        linked_ = true;
        if (!cards_.empty()) setTabOrder(cards_.back()->focusChain().back(), add_);
        return;
    }
    // A card moves in the chain with everything inside it, already in order.
    QWidget* previous = picker_;
    for (FormatCard* c : cards_) {
        setTabOrder(previous, c);
        previous = c->focusChain().back();
    }
    setTabOrder(previous, add_);
}

void FormatsTab::applyEdit(const Shortcut& changed) {
    if (!manager_.updateShortcut(changed)) return;
    manager_.saveShortcuts();
}

void FormatsTab::addFormat() {
    const Shortcut added = manager_.addShortcut(tr("Nouveau").toStdString());
    if (FormatCard* c = card(added.id)) {
        c->nameEdit()->setFocus(Qt::OtherFocusReason);
        c->nameEdit()->selectAll();
        revealCard(c);
    }
}

void FormatsTab::deleteFormat(const Uuid& id) {
    manager_.deleteShortcut(id);
}

void FormatsTab::revealCard(FormatCard* c) {
    // The new card has no place yet: scroll once the layout has given it one.
    widget()->layout()->activate();
    QPointer<FormatCard> target(c);
    QTimer::singleShot(0, this, [this, target] {
        if (target) ensureWidgetVisible(target, 0, 20);
    });
}

void FormatsTab::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) refreshColors();
    QScrollArea::changeEvent(event);
}

// Colours that carry meaning are set by hand; they follow the appearance when it changes.
void FormatsTab::refreshColors() {
    const QPalette& pal = palette();
    for (QLabel* label : widget()->findChildren<QLabel*>(QStringLiteral("caption")))
        setTextColor(label, QPalette::WindowText, secondaryText(pal));
    if (auto* icon = widget()->findChild<QLabel*>(QStringLiteral("defaultFormatIcon"))) {
        const int side = QFontMetrics(textFont(TextStyle::Body)).height();
        icon->setPixmap(
            symbolGlyph("calendar.badge.clock", pal.color(QPalette::WindowText)).pixmap(side, side));
    }
    const QColor accent = accentColor(pal);
    add_->setIcon(
        QIcon(glyphPixmap("plus.circle.fill", accent, add_->iconSize().width(), devicePixelRatioF())));
    setTextColor(add_, QPalette::ButtonText, accent);
}

void FormatsTab::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    if (sincePreviews_.elapsed() < kPreviewsStaleMs) return;
    DateRenderer previews(manager_.clock().now());
    for (FormatCard* c : cards_) c->refreshPreview(previews);
    syncPicker();
    sincePreviews_.restart();
}

}  // namespace orvalin::ui
