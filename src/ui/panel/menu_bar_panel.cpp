#include "ui/panel/menu_bar_panel.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

#include "core/date_format.h"
#include "core/preferences_store.h"
#include "ui/panel/calendar_toggle.h"
#include "ui/panel/format_row.h"
#include "ui/panel/mini_calendar_view.h"
#include "ui/panel/panel_keyboard.h"
#include "ui/panel/slide_reveal.h"
#include "ui/panel/warning_button.h"
#include "ui/widgets/accessible_application.h"
#include "ui/widgets/accessible_role.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/badge.h"
#include "ui/widgets/color_role.h"
#include "ui/widgets/divider.h"
#include "ui/widgets/elided_label.h"
#include "ui/widgets/section_label.h"

namespace orvalin::ui {

namespace {

// However small the screen, this much of the formats and calendar stays in view.
constexpr int kMinimumBodyHeight = 60;

// A box holding one widget with the given insets.
QWidget* inset(QWidget* content, int left, int top, int right, int bottom, Qt::Alignment alignment = {}) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(left, top, right, bottom);
    layout->setSpacing(0);
    layout->addWidget(content, alignment == Qt::Alignment{} ? 1 : 0, alignment);
    if (alignment != Qt::Alignment{}) layout->addStretch(1);
    return box;
}

QVBoxLayout* stackOf(QWidget* box) {
    auto* stack = new QVBoxLayout(box);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    return stack;
}

QPushButton* makeButton(const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
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
    setWindowTitle(tr("Orvalin"));
    setAccessibleRole(this, QAccessible::Window);
    exposePopupWindowsToAccessibility();
    setAttribute(Qt::WA_DeleteOnClose, false);

    QVBoxLayout* stack = stackOf(this);
    stack->addWidget(buildHeader());
    stack->addWidget(new Divider);
    stack->addWidget(buildBody());
    stack->addWidget(new Divider(6, 6));
    stack->addWidget(buildPermissionSection());
    stack->addWidget(buildCommands());

    keyboard_ = new PanelKeyboard(this, calendar_, body_);
    bindCommandKeys();
    subscription_ =
        manager_.subscribe([this](TextExpansionManager::Change change) { onManagerChange(change); });
    rebuildRows();
    keyboard_->watch(this);
    updateWarnings();
    fitToContent();
}

MenuBarPanel::~MenuBarPanel() {
    manager_.unsubscribe(subscription_);
}

QWidget* MenuBarPanel::buildHeader() {
    auto* header = new QWidget;
    header->setObjectName("header");
    auto* line = new QHBoxLayout(header);
    line->setContentsMargins(14, 12, 14, 8);
    line->setSpacing(6);
    auto* name = new ElidedLabel(tr("Orvalin"));
    name->setFont(textFont(TextStyle::Headline));
    name->setElidable(false);
    auto* beta = new Badge(tr("β"), Badge::Shape::Capsule);
    beta->setObjectName("betaBadge");
    beta->setAccessibleName(tr("bêta"));
    beta->setFont(textFont(TextStyle::Caption, QFont::DemiBold));
    beta->setFill(ColorRole::White, badgeOrange(), false);
    // Share the first baseline: the badge's text sits 2 px above its bottom edge.
    const int nameDescent = QFontMetrics(name->font()).descent();
    const int badgeDescent = QFontMetrics(beta->font()).descent() + 2;
    line->addWidget(name, 0, Qt::AlignBottom);
    line->addWidget(inset(beta, 0, 0, 0, std::max(0, nameDescent - badgeDescent), Qt::AlignLeft), 0,
                    Qt::AlignBottom);
    line->addStretch(1);
    return header;
}

// Today's formats and the calendar: the part that scrolls when the screen is too short.
QWidget* MenuBarPanel::buildBody() {
    bodyContent_ = new QWidget;
    bodyContent_->setObjectName("panelBody");
    QVBoxLayout* stack = stackOf(bodyContent_);
    const QString today = tr("Aujourd'hui");
    stack->addWidget(new SectionLabel({}, today, SectionLabel::Kind::Panel));

    rowsBox_ = new QWidget;
    rowsBox_->setObjectName("formatRows");
    setAccessibleRole(rowsBox_, QAccessible::Grouping);
    rowsBox_->setAccessibleName(today);
    rowsLayout_ = stackOf(rowsBox_);
    stack->addWidget(rowsBox_);
    stack->addWidget(new Divider(6, 6));

    toggle_ = new CalendarToggle;
    toggle_->setObjectName("calendarToggle");
    toggle_->setExpanded(true, false);
    connect(toggle_, &QAbstractButton::clicked, this, &MenuBarPanel::toggleCalendar);
    stack->addWidget(toggle_);
    stack->addWidget(buildCalendarSection());

    body_ = new QScrollArea;
    body_->setObjectName("panelScroller");
    body_->setFrameShape(QFrame::NoFrame);
    body_->setFocusPolicy(Qt::NoFocus);
    body_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    body_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    body_->setWidget(bodyContent_);
    // The panel paints the background; the scroll area shows it through.
    body_->viewport()->setAutoFillBackground(false);
    bodyContent_->setAutoFillBackground(false);
    return body_;
}

QWidget* MenuBarPanel::buildCalendarSection() {
    const MonthGrid& grid = hooks_.grid ? *hooks_.grid : MonthGrid::current();
    calendar_ = new MiniCalendarView(manager_.clock(), grid, [this](Instant day) {
        // Read the default format at the click; with no format at all there is nothing to insert.
        // The day clicked is the day inserted: the format's offset does not apply.
        if (auto format = manager_.defaultShortcut())
            pasteText(formatDate(day, format->dateFormat, format->localeName()));
    });
    calendar_->setObjectName("miniCalendar");
    calendarReveal_ = new SlideReveal(inset(calendar_, 6, 0, 6, 0));
    calendarReveal_->setObjectName("calendarSection");
    connect(calendarReveal_, &SlideReveal::heightChanged, this, &MenuBarPanel::fitToContent);
    return calendarReveal_;
}

QWidget* MenuBarPanel::buildPermissionSection() {
    // A session the program only partly reaches (Wayland without an input method) says so here,
    // and a route that words its own warning (another input source chosen) does.
    std::string notice = manager_.sessionNotice();
    if (notice.empty()) notice = manager_.permissionWarning();
    const QString symbol = QStringLiteral("exclamationmark.triangle.fill");
    permissionWarning_ = new WarningButton(
        notice.empty() ? tr("Expansion de texte désactivée — Aide…") : QString::fromStdString(notice), symbol,
        kWidth - 2 * 14);
    permissionWarning_->setObjectName("permissionWarning");
    permissionWarning_->setFont(textFont(TextStyle::Callout));
    connect(permissionWarning_, &QAbstractButton::clicked, this,
            [this] { manager_.requestAccessibilityPermission(); });
    // A date that went nowhere: said until the user has read it (a click) or asks for another.
    insertionNotice_ = new WarningButton(QString(), symbol, kWidth - 2 * 14);
    insertionNotice_->setObjectName("insertionNotice");
    insertionNotice_->setFont(textFont(TextStyle::Callout));
    connect(insertionNotice_, &QAbstractButton::clicked, this, [this] { manager_.dismissInsertionNotice(); });
    warningBox_ = new QWidget;
    warningBox_->setObjectName("permissionSection");
    QVBoxLayout* stack = stackOf(warningBox_);
    stack->addWidget(inset(insertionNotice_, 14, 0, 14, 4));
    stack->addWidget(inset(permissionWarning_, 14, 0, 14, 4));
    stack->addWidget(new Divider(4, 4));
    return warningBox_;
}

QWidget* MenuBarPanel::buildCommands() {
    preferencesButton_ = makeButton(tr("Préférences…"), "preferencesButton");
    connect(preferencesButton_, &QPushButton::clicked, this, [this] {
        // A popup keeps the keyboard and pointer grabbed while it is open, so the settings window
        // could not be used; step aside as a popover does when another window comes forward.
        hide();
        if (hooks_.openWindow) hooks_.openWindow(Window::Settings);
    });
    quitButton_ = makeButton(tr("Quitter Orvalin"), "quitButton");
    connect(quitButton_, &QPushButton::clicked, this, [this] {
        if (hooks_.quit) hooks_.quit();
    });
    auto* commands = new QWidget;
    commands->setObjectName("commands");
    QVBoxLayout* stack = stackOf(commands);
    stack->addWidget(inset(preferencesButton_, 10, 4, 10, 2, Qt::AlignLeft));
    stack->addWidget(inset(quitButton_, 10, 0, 10, 12, Qt::AlignLeft));
    return commands;
}

void MenuBarPanel::bindCommandKeys() {
    auto* preferencesKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), this);
    connect(preferencesKey, &QShortcut::activated, preferencesButton_, &QPushButton::click);
    auto* quitKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quitKey, &QShortcut::activated, quitButton_, &QPushButton::click);
}

void MenuBarPanel::onManagerChange(TextExpansionManager::Change change) {
    switch (change) {
        case TextExpansionManager::Change::Shortcuts:
            rebuildRows();
            break;
        case TextExpansionManager::Change::AccessibilityPermission:
        case TextExpansionManager::Change::InsertionNotice:
            updateWarnings();
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
    const Instant instant = manager_.clock().now();
    for (const Shortcut& entry : manager_.shortcuts()) {
        auto* row = new FormatRow(entry, QString::fromStdString(entry.formattedDate(instant)), rowsBox_);
        connect(row, &QAbstractButton::clicked, this,
                [this, entry] { pasteText(entry.formattedDate(manager_.clock().now())); });
        rowsLayout_->addWidget(row);
        row->show();  // at once, not when the layout gets round to it, so the keyboard finds it
        rows_.emplace_back(row);
    }
    if (keyboard_) keyboard_->watch(rowsBox_);
}

void MenuBarPanel::updateWarnings() {
    const bool permission = !manager_.hasAccessibilityPermission() || !manager_.sessionNotice().empty();
    const std::string& dropped = manager_.insertionNotice();
    if (!dropped.empty())
        insertionNotice_->setText(tr("Date non insérée : %1").arg(QString::fromStdString(dropped)));
    insertionNotice_->updateGeometry();
    // Each row's box (its insets) shows with it.
    insertionNotice_->parentWidget()->setVisible(!dropped.empty());
    permissionWarning_->parentWidget()->setVisible(permission);
    warningBox_->setVisible(permission || !dropped.empty());
}

void MenuBarPanel::toggleCalendar() {
    showCalendar_ = !showCalendar_;
    toggle_->setExpanded(showCalendar_, true);
    calendarReveal_->setRevealed(showCalendar_, true);
}

void MenuBarPanel::pasteText(std::string text) {
    // The clipboard is taken and set now; the paste waits until the panel is gone and the
    // previous window has its keyboard back.
    manager_.pasteText(std::move(text), kPasteDelay);
    hide();
}

void MenuBarPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!announced_) {
        // Screen readers that keep a copy of the application's windows learn of this one, whose
        // native window exists from its first showing on.
        announced_ = true;
        QAccessibleEvent created(this, QAccessible::ObjectCreated);
        QAccessible::updateAccessibility(&created);
    }
    rebuildRows();
    manager_.checkAccessibilityPermission();
    updateWarnings();
    fitToContent();
    keyboard_->focusFirst();
    if (hooks_.appeared) hooks_.appeared();
    if (!store_.boolean(prefkey::kOnboardingCompleted).value_or(false) && hooks_.openWindow) {
        hooks_.openWindow(Window::Onboarding);
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
    bodyContent_->layout()->activate();
    const int bodyNatural = bodyContent_->layout()->sizeHint().height();
    body_->setFixedHeight(bodyNatural);
    layout()->activate();
    int height = layout()->sizeHint().height();
    // Too tall for the screen: the middle gives up what is missing and scrolls; the header and
    // the commands stay in view.
    const int room = availableArea().height();
    const bool scrolls = height > room;
    if (scrolls) {
        body_->setFixedHeight(std::max(kMinimumBodyHeight, bodyNatural - (height - room)));
        layout()->activate();
        height = layout()->sizeHint().height();
    }
    // Sized here rather than by the scroll area, which would widen it to its longest label.
    const int scrollBar = scrolls ? body_->verticalScrollBar()->sizeHint().width() : 0;
    bodyContent_->resize(kWidth - scrollBar, bodyNatural);
    setFixedSize(kWidth, height);
    if (isVisible()) {
        if (centered_) {
            placeCentered();
        } else if (anchor_.isValid()) {
            placeNear(anchor_);
        }
    }
    fitting_ = false;
}

QRect MenuBarPanel::availableArea() const {
    QScreen* screen = screen_ ? screen_.data() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
}

void MenuBarPanel::placeNear(const QRect& anchor) {
    const QRect area = availableArea();
    int x = anchor.center().x() - kWidth / 2;
    int y = anchor.bottom() + 4;
    // A tray at the bottom of the screen: open upwards.
    if (y + height() > area.bottom() && anchor.top() - 4 - height() >= area.top())
        y = anchor.top() - 4 - height();
    x = std::clamp(x, area.left(), std::max(area.left(), area.right() - kWidth + 1));
    y = std::clamp(y, area.top(), std::max(area.top(), area.bottom() - height() + 1));
    move(x, y);
}

void MenuBarPanel::placeCentered() {
    const QRect area = availableArea();
    move(area.center().x() - width() / 2, std::max(area.top(), area.center().y() - height() / 2));
}

void MenuBarPanel::popupAt(const QRect& anchor) {
    anchor_ = anchor;
    centered_ = false;
    screen_ = QGuiApplication::screenAt(anchor.center());
    fitToContent();
    placeNear(anchor);
    showWithoutTakingFocus();
}

void MenuBarPanel::popupCentered() {
    centered_ = true;
    screen_ = QGuiApplication::primaryScreen();
    if (!isVisible()) fitToContent();
    placeCentered();
    if (!isVisible()) showWithoutTakingFocus();
}

void MenuBarPanel::showWithoutTakingFocus() {
    // A popup reads the keyboard through its grab; activating it would move the X input focus
    // away from the window the user was typing in, and the paste would land nowhere.
    show();
    raise();
}

}  // namespace orvalin::ui
