#include "ui/panel/panel_keyboard.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <limits>

#include "ui/panel/calendar_day_cell.h"
#include "ui/panel/mini_calendar_view.h"

namespace orvalin::ui {

namespace {

// Controls whose edges are this close count as one line.
constexpr int kLineTolerance = 4;

bool isNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return false;
    }
}

}  // namespace

PanelKeyboard::PanelKeyboard(QWidget* panel, MiniCalendarView* calendar, QScrollArea* scroller)
    : QObject(panel), panel_(panel), calendar_(calendar), scroller_(scroller) {}

void PanelKeyboard::watch(QWidget* root) {
    root->installEventFilter(this);
    for (QWidget* child : root->findChildren<QWidget*>()) {
        if (child->focusPolicy() & Qt::TabFocus) child->installEventFilter(this);
    }
}

void PanelKeyboard::focusFirst() {
    panel_->setAttribute(Qt::WA_KeyboardFocusChange, false);
    if (scroller_) scroller_->verticalScrollBar()->setValue(0);
    const QList<QWidget*> candidates = stops();
    const auto first = std::min_element(candidates.begin(), candidates.end(), [this](QWidget* a, QWidget* b) {
        const QRect pa = place(a);
        const QRect pb = place(b);
        return std::pair(pa.top(), pa.left()) < std::pair(pb.top(), pb.left());
    });
    if (first != candidates.end()) (*first)->setFocus(Qt::OtherFocusReason);
}

bool PanelKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    return handle(static_cast<QWidget*>(watched), key->key());
}

bool PanelKeyboard::handle(QWidget* from, int key) {
    if (key == Qt::Key_Escape) {
        panel_->close();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QAbstractButton*>(from)) button->click();
        return true;
    }
    if (!isNavigationKey(key)) return false;
    if (from == panel_) {
        focusFirst();
        from = panel_->focusWidget();
        if (!from) return true;
    }
    if (revealFocus(from)) return true;
    if (QWidget* next = target(from, key)) moveTo(next);
    return true;
}

bool PanelKeyboard::revealFocus(QWidget* focused) {
    // The first key shows where the focus is rather than moving it, as menus do.
    if (panel_->testAttribute(Qt::WA_KeyboardFocusChange)) return false;
    panel_->setAttribute(Qt::WA_KeyboardFocusChange);
    focused->update();
    QAccessibleEvent event(focused, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
    return true;
}

QWidget* PanelKeyboard::target(QWidget* from, int key) const {
    auto* day = qobject_cast<CalendarDayCell*>(from);
    switch (key) {
        case Qt::Key_Up:
            return nextVertical(from, false);
        case Qt::Key_Down:
            return nextVertical(from, true);
        case Qt::Key_Left:
            return day ? calendar_->stepDay(day, -1) : nextHorizontal(from, false);
        case Qt::Key_Right:
            return day ? calendar_->stepDay(day, 1) : nextHorizontal(from, true);
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            if (!calendar_->isVisible()) return nullptr;
            CalendarDayCell* moved = calendar_->stepMonths(day, key == Qt::Key_PageUp ? -1 : 1);
            return day ? moved : nullptr;
        }
        default:
            return nullptr;
    }
}

QWidget* PanelKeyboard::nextVertical(const QWidget* from, bool down) const {
    const QRect origin = place(from);
    QWidget* best = nullptr;
    int bestLine = std::numeric_limits<int>::max();
    int bestAcross = std::numeric_limits<int>::max();
    for (QWidget* candidate : stops()) {
        const QRect at = place(candidate);
        const bool beyond = down ? at.center().y() > origin.bottom() : at.center().y() < origin.top();
        if (candidate == from || !beyond) continue;
        // The nearest line first, then the control closest across within it.
        const int line = down ? at.top() - origin.bottom() : origin.top() - at.bottom();
        const int across = std::abs(at.center().x() - origin.center().x());
        const bool nearerLine = line < bestLine - kLineTolerance;
        const bool sameLine = std::abs(line - bestLine) <= kLineTolerance;
        if (nearerLine || (sameLine && across < bestAcross)) {
            best = candidate;
            bestLine = nearerLine ? line : std::min(line, bestLine);
            bestAcross = across;
        }
    }
    return best;
}

QWidget* PanelKeyboard::nextHorizontal(const QWidget* from, bool right) const {
    const QRect origin = place(from);
    QWidget* best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    for (QWidget* candidate : stops()) {
        const QRect at = place(candidate);
        if (candidate == from || at.top() > origin.center().y() || at.bottom() < origin.center().y())
            continue;
        const int distance =
            right ? at.center().x() - origin.center().x() : origin.center().x() - at.center().x();
        if (distance > 0 && distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

QList<QWidget*> PanelKeyboard::stops() const {
    QList<QWidget*> found;
    for (QWidget* widget : panel_->findChildren<QWidget*>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() && widget->isVisibleTo(panel_) &&
            !qobject_cast<QScrollBar*>(widget))
            found << widget;
    }
    return found;
}

QRect PanelKeyboard::place(const QWidget* widget) const {
    return {widget->mapTo(panel_, QPoint(0, 0)), widget->size()};
}

void PanelKeyboard::moveTo(QWidget* target) {
    panel_->setAttribute(Qt::WA_KeyboardFocusChange);
    target->setFocus(Qt::TabFocusReason);
    if (scroller_ && scroller_->isAncestorOf(target)) scroller_->ensureWidgetVisible(target, 0, 4);
}

}  // namespace orvalin::ui
