#pragma once

#include <QRadioButton>
#include <QString>
#include <QWidget>
#include <vector>

class QHBoxLayout;

namespace orvalin::ui {

// One segment of a SegmentedControl: a radio button (so screen readers announce one choice among
// several) drawn as part of the shared track, clickable over its whole area.
class Segment : public QRadioButton {
    Q_OBJECT
public:
    Segment(const QString& text, QString value, QWidget* parent = nullptr);
    const QString& value() const { return value_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    QString value_;
};

// Exclusive choices in one control, each segment naming a value. None is chosen while the value
// shown matches no segment. Tab stops at the chosen segment, as in a group of radio buttons;
// arrows move to the neighbouring segment, Space or Enter chooses it. A choice made any other way
// (an assistive technology checking a segment) counts the same.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(QWidget* parent = nullptr);

    void addSegment(const QString& text, const QString& value);
    // Shows `value` as chosen, or no segment when none has it. Emits nothing.
    void setValue(const QString& value);
    // The chosen segment's value, empty when none is chosen.
    QString value() const;

signals:
    // The user chose a segment (pointer or keyboard).
    void chosen(const QString& value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class Segment;
    void focusNeighbour(Segment* from, int step);
    void onToggled(Segment* segment, bool checked);

    QHBoxLayout* layout_;
    bool showingValue_ = false;
    std::vector<Segment*> segments_;
};

}  // namespace orvalin::ui
