#include "ui/panel/menu_bar_panel.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "core/date_format.h"
#include "core/preferences_store.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"
#include "ui/panel/mini_calendar_view.h"
#include "ui/panel/panel_rows.h"
#include "ui/widgets/text_widgets.h"

namespace orvalin::ui {

namespace {

// A layout holding one widget with the given insets.
QWidget* inset(QWidget* content, int left, int top, int right, int bottom, Qt::Alignment alignment = {}) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(left, top, right, bottom);
    layout->setSpacing(0);
    layout->addWidget(content, alignment == Qt::Alignment{} ? 1 : 0, alignment);
    if (alignment != Qt::Alignment{}) layout->addStretch(1);
    return box;
}

QWidget* makeHeader() {
    auto* header = new QWidget;
    header->setObjectName("header");
    auto* line = new QHBoxLayout(header);
    line->setContentsMargins(14, 12, 14, 8);
    line->setSpacing(6);
    auto* name = new ElidedLabel(QStringLiteral("Orvalin"));
    name->setFont(textFont(TextStyle::Headline));
    name->setElidable(false);
    auto* beta = new Badge(QStringLiteral("β"), Badge::Shape::Capsule);
    beta->setObjectName("betaBadge");
    beta->setFont(textFont(TextStyle::Caption, QFont::DemiBold));
    beta->setFill(ColorRole::White, badgeOrange(), false);
    // Share the first baseline: the badge's text sits 2 px above its bottom edge.
    const int nameDescent = QFontMetrics(name->font()).descent();
    const int badgeDescent = QFontMetrics(beta->font()).descent() + 2;
    line->addWidget(name, 0, Qt::AlignBottom);
    auto* badgeBox = inset(beta, 0, 0, 0, std::max(0, nameDescent - badgeDescent), Qt::AlignLeft);
    line->addWidget(badgeBox, 0, Qt::AlignBottom);
    line->addStretch(1);
    return header;
}

QPushButton* makeButton(const QString& text) {
    auto* button = new QPushButton(text);
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    // Fusion's buttons hug their text; give them the breathing room of a desktop dialog button.
    button->setMinimumSize(button->sizeHint() + QSize(16, 6));
    return button;
}

}  // namespace

MenuBarPanel::MenuBarPanel(TextExpansionManager& manager, PreferencesStore& store, PanelHooks hooks,
                           QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint),
      manager_(manager),
      store_(store),
      hooks_(std::move(hooks)) {
    setObjectName("menuBarPanel");
    setWindowTitle(QStringLiteral("Orvalin"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    stack->addWidget(makeHeader());
    stack->addWidget(new Divider);
    stack->addWidget(new SectionHeader(QStringLiteral("Aujourd'hui")));

    rowsBox_ = new QWidget;
    rowsBox_->setObjectName("formatRows");
    rowsLayout_ = new QVBoxLayout(rowsBox_);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(0);
    stack->addWidget(rowsBox_);

    stack->addWidget(new Divider(6, 6));

    toggle_ = new CalendarToggle;
    toggle_->setObjectName("calendarToggle");
    toggle_->setExpanded(true, false);
    connect(toggle_, &QAbstractButton::clicked, this, &MenuBarPanel::toggleCalendar);
    stack->addWidget(toggle_);

    const MonthGrid& grid = hooks_.grid ? *hooks_.grid : MonthGrid::current();
    calendar_ = new MiniCalendarView(
        [this](Instant day) {
            // Read the default format at the click; with no format at all there is nothing to insert.
            if (auto format = manager_.defaultShortcut()) pasteDate(day, format->dateFormat);
        },
        nullptr, grid, hooks_.now);
    calendar_->setObjectName("miniCalendar");
    calendarReveal_ = new SlideReveal(inset(calendar_, 6, 0, 6, 0));
    calendarReveal_->setObjectName("calendarSection");
    connect(calendarReveal_, &SlideReveal::heightChanged, this, &MenuBarPanel::fitToContent);
    stack->addWidget(calendarReveal_);

    stack->addWidget(new Divider(6, 6));

    warningButton_ = new WarningButton(QStringLiteral("Expansion de texte désactivée — Réglages Système…"),
                                       QStringLiteral("exclamationmark.triangle.fill"), kWidth - 2 * 14);
    warningButton_->setObjectName("permissionWarning");
    warningButton_->setFont(textFont(TextStyle::Callout));
    connect(warningButton_, &QAbstractButton::clicked, this,
            [this] { manager_.requestAccessibilityPermission(); });
    warningBox_ = new QWidget;
    warningBox_->setObjectName("permissionSection");
    auto* warningLayout = new QVBoxLayout(warningBox_);
    warningLayout->setContentsMargins(0, 0, 0, 0);
    warningLayout->setSpacing(0);
    warningLayout->addWidget(inset(warningButton_, 14, 0, 14, 4));
    warningLayout->addWidget(new Divider(4, 4));
    stack->addWidget(warningBox_);

    preferencesButton_ = makeButton(QStringLiteral("Préférences…"));
    preferencesButton_->setObjectName("preferencesButton");
    connect(preferencesButton_, &QPushButton::clicked, this, [this] {
        // A popup keeps the keyboard and pointer grabbed while it is open, so the settings window
        // could not be used; step aside as a popover does when another window comes forward.
        hide();
        if (hooks_.openWindow) hooks_.openWindow(QStringLiteral("preferences"));
    });
    stack->addWidget(inset(preferencesButton_, 10, 4, 10, 2, Qt::AlignLeft));

    quitButton_ = makeButton(QStringLiteral("Quitter Orvalin"));
    quitButton_->setObjectName("quitButton");
    connect(quitButton_, &QPushButton::clicked, this, [this] {
        if (hooks_.quit) hooks_.quit();
    });
    stack->addWidget(inset(quitButton_, 10, 0, 10, 12, Qt::AlignLeft));

    auto* preferencesKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), this);
    connect(preferencesKey, &QShortcut::activated, preferencesButton_, &QPushButton::click);
    auto* quitKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quitKey, &QShortcut::activated, quitButton_, &QPushButton::click);

    subscription_ =
        manager_.subscribe([this](TextExpansionManager::Change change) { onManagerChange(change); });
    rebuildRows();
    updatePermissionWarning();
    fitToContent();
}

MenuBarPanel::~MenuBarPanel() {
    manager_.unsubscribe(subscription_);
}

Instant MenuBarPanel::now() const {
    return hooks_.now ? hooks_.now() : std::chrono::system_clock::now();
}

void MenuBarPanel::onManagerChange(TextExpansionManager::Change change) {
    switch (change) {
        case TextExpansionManager::Change::Shortcuts:
            rebuildRows();
            break;
        case TextExpansionManager::Change::AccessibilityPermission:
            updatePermissionWarning();
            break;
        case TextExpansionManager::Change::DefaultFormatId:
        case TextExpansionManager::Change::LaunchAtStartup:
            return;
    }
    fitToContent();
}

void MenuBarPanel::rebuildRows() {
    for (auto& row : rows_) {
        if (!row) continue;
        rowsLayout_->removeWidget(row);
        row->hide();
        // A row may be the one being clicked right now: let it finish first.
        row->deleteLater();
    }
    rows_.clear();
    const Instant instant = now();
    for (const Shortcut& entry : manager_.shortcuts()) {
        auto* row =
            new FormatRow(entry, QString::fromStdString(formatDate(instant, entry.dateFormat)), rowsBox_);
        const std::string pattern = entry.dateFormat;
        connect(row, &QAbstractButton::clicked, this, [this, pattern] { pasteDate(now(), pattern); });
        rowsLayout_->addWidget(row);
        rows_.emplace_back(row);
    }
}

void MenuBarPanel::updatePermissionWarning() {
    warningBox_->setVisible(!manager_.hasAccessibilityPermission());
}

bool MenuBarPanel::isPermissionWarningShown() const {
    return !warningBox_->isHidden();
}

std::vector<FormatRow*> MenuBarPanel::formatRows() const {
    std::vector<FormatRow*> rows;
    for (const auto& row : rows_) {
        if (row) rows.push_back(row);
    }
    return rows;
}

void MenuBarPanel::toggleCalendar() {
    showCalendar_ = !showCalendar_;
    toggle_->setExpanded(showCalendar_, true);
    calendarReveal_->setRevealed(showCalendar_, true);
}

void MenuBarPanel::pasteDate(Instant date, const std::string& pattern) {
    std::string text = formatDate(date, pattern);
    // The clipboard is taken and set now; the paste waits until the panel is gone and the
    // previous window has its keyboard back.
    manager_.pasteText(std::move(text), kPasteDelay);
    hide();
}

void MenuBarPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    rebuildRows();
    manager_.checkAccessibilityPermission();
    updatePermissionWarning();
    fitToContent();
    if (hooks_.appeared) hooks_.appeared();
    if (!store_.boolean(prefkey::kOnboardingCompleted).value_or(false) && hooks_.openWindow) {
        hooks_.openWindow(QStringLiteral("onboarding"));
    }
}

void MenuBarPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(separatorColor(palette()));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool MenuBarPanel::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // Something inside changed size (a row, the calendar's month): the height follows.
    if (event->type() == QEvent::LayoutRequest) fitToContent();
    return handled;
}

void MenuBarPanel::fitToContent() {
    if (fitting_) return;
    fitting_ = true;
    // Let nested layouts settle first, so the panel never shows at a stale height.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (layout()) layout()->activate();
    const int height = layout() ? layout()->sizeHint().height() : sizeHint().height();
    setFixedSize(kWidth, height);
    if (isVisible()) {
        if (centered_) {
            popupCentered();
        } else if (anchor_.isValid()) {
            placeNear(anchor_);
        }
    }
    fitting_ = false;
}

void MenuBarPanel::placeNear(const QRect& anchor) {
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    int x = anchor.center().x() - kWidth / 2;
    int y = anchor.bottom() + 4;
    // A tray at the bottom of the screen: open upwards.
    if (y + height() > area.bottom() && anchor.top() - 4 - height() >= area.top())
        y = anchor.top() - 4 - height();
    x = std::clamp(x, area.left(), std::max(area.left(), area.right() - kWidth + 1));
    y = std::clamp(y, area.top(), std::max(area.top(), area.bottom() - height() + 1));
    move(x, y);
}

void MenuBarPanel::popupAt(const QRect& anchor) {
    anchor_ = anchor;
    centered_ = false;
    fitToContent();
    placeNear(anchor);
    showWithoutTakingFocus();
}

void MenuBarPanel::popupCentered() {
    centered_ = true;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    if (!isVisible()) fitToContent();
    move(area.center().x() - width() / 2, area.center().y() - height() / 2);
    if (!isVisible()) showWithoutTakingFocus();
}

void MenuBarPanel::showWithoutTakingFocus() {
    // A popup reads the keyboard through its grab; activating it would move the X input focus
    // away from the window the user was typing in, and the paste would land nowhere.
    show();
    raise();
}

QStringList MenuBarPanel::visibleSectionOrder() const {
    QStringList order;
    const QLayout* stack = layout();
    for (int i = 0; i < stack->count(); ++i) {
        QWidget* widget = stack->itemAt(i)->widget();
        if (!widget || widget->isHidden()) continue;
        QString name = widget->objectName();
        if (name.isEmpty()) {
            if (qobject_cast<Divider*>(widget))
                name = "divider";
            else if (auto* header = qobject_cast<SectionHeader*>(widget))
                name = "section:" + header->title();
            else if (widget->findChild<QPushButton*>("preferencesButton"))
                name = "preferences";
            else if (widget->findChild<QPushButton*>("quitButton"))
                name = "quit";
        }
        order << name;
    }
    return order;
}

}  // namespace orvalin::ui
