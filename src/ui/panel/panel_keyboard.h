#pragma once

#include <QObject>
#include <QRect>

class QScrollArea;
class QWidget;

namespace orvalin::ui {

class MiniCalendarView;

// The panel from the keyboard. The panel never takes the input focus, so that the paste lands in
// the user's window; while it is open it reads the keyboard through the grab every popup holds,
// and the focus moves among its own controls: Up and Down to the control above or below (the
// nearest across, so the calendar is walked week by week), Left and Right along a line and from
// day to day across months, Page Up and Page Down by month, Enter runs the focused control,
// Escape closes the panel.
class PanelKeyboard : public QObject {
    Q_OBJECT
public:
    PanelKeyboard(QWidget* panel, MiniCalendarView* calendar, QScrollArea* scroller);

    // Listens on `root` and the focusable widgets inside it; called again for widgets added later.
    void watch(QWidget* root);
    // Puts the focus on the first control without a highlight: it shows with the first arrow key,
    // which a pointer user never presses.
    void focusFirst();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handle(QWidget* from, int key);
    bool revealFocus(QWidget* focused);
    QWidget* target(QWidget* from, int key) const;
    QWidget* nextVertical(const QWidget* from, bool down) const;
    QWidget* nextHorizontal(const QWidget* from, bool right) const;
    QList<QWidget*> stops() const;
    QRect place(const QWidget* widget) const;
    void moveTo(QWidget* target);

    QWidget* panel_;
    MiniCalendarView* calendar_;
    QScrollArea* scroller_;
};

}  // namespace orvalin::ui
