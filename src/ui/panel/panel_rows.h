#pragma once

#include <QAbstractButton>
#include <QWidget>

#include "core/shortcut.h"

class QHBoxLayout;
class QPropertyAnimation;
class QGraphicsOpacityEffect;

namespace orvalin::ui {

class Badge;
class ElidedLabel;
class GlyphButton;

// A chrome-less button over a whole panel row; its children only show, the row takes the clicks.
// Hover and keyboard focus get a soft highlight.
class PanelRowButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PanelRowButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void childEvent(QChildEvent* event) override;
    // Whether to draw the focus highlight: only once the keyboard moved the focus, so the row
    // focused on opening does not look hovered to a pointer user.
    bool showsKeyboardFocus() const;
};

// One format: label, its date, trimmed trigger, key-combination badge. A screen reader hears the
// label and the date, then the day when it is not today, the trigger and the combination.
class FormatRow : public PanelRowButton {
    Q_OBJECT
public:
    FormatRow(const Shortcut& entry, const QString& preview, QWidget* parent = nullptr);

private:
    void addTrigger(QHBoxLayout* line, const QString& trigger);
    void addBadge(QHBoxLayout* line, const QString& combination);
};

// "Choisir une date" with a chevron that turns down while the calendar is shown.
class CalendarToggle : public PanelRowButton {
    Q_OBJECT
public:
    explicit CalendarToggle(QWidget* parent = nullptr);
    // Reflects the state; animates the chevron unless `animated` is false.
    void setExpanded(bool expanded, bool animated);

private:
    ElidedLabel* label_;
    GlyphButton* icon_;
    GlyphButton* chevron_;
    QPropertyAnimation* turn_;
};

// Shows its one child sliding down from its top edge while fading in, and the reverse. The child
// is hidden once fully out, so it sees a hide event.
class SlideReveal : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal progress READ progress WRITE setProgress)
public:
    explicit SlideReveal(QWidget* content, QWidget* parent = nullptr);
    void setRevealed(bool revealed, bool animated);
    bool isRevealed() const { return revealed_; }
    qreal progress() const { return progress_; }
    void setProgress(qreal progress);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void heightChanged();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QWidget* content_;
    QGraphicsOpacityEffect* fade_;
    QPropertyAnimation* animation_;
    qreal progress_ = 1;
    bool revealed_ = true;
};

// An ordinary push button whose orange content (a warning glyph and a text) wraps onto more
// lines when it does not fit `width`.
class WarningButton : public QAbstractButton {
    Q_OBJECT
public:
    WarningButton(const QString& text, const QString& symbol, int width, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect(const QRect& inside) const;

    QString symbol_;
    int width_;
};

}  // namespace orvalin::ui
