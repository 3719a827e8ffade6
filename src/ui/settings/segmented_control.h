#pragma once

#include <QAbstractButton>
#include <QString>
#include <QWidget>
#include <vector>

class QButtonGroup;
class QHBoxLayout;

namespace orvalin::ui {

// One segment of a SegmentedControl: a checkable button drawn as part of the shared track.
class Segment : public QAbstractButton {
    Q_OBJECT
public:
    Segment(const QString& text, QString value, QWidget* parent = nullptr);
    const QString& value() const { return value_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString value_;
};

// Exclusive choices in one control, each segment naming a value. None is chosen while the value
// shown matches no segment. Each segment takes the keyboard focus and is chosen with Space or
// Enter; arrows move to the neighbouring segment.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(QWidget* parent = nullptr);

    void addSegment(const QString& text, const QString& value);
    // Shows `value` as chosen, or no segment when none has it. Emits nothing.
    void setValue(const QString& value);
    // The chosen segment's value, empty when none is chosen.
    QString value() const;
    const std::vector<Segment*>& segments() const { return segments_; }

signals:
    // The user chose a segment (pointer or keyboard).
    void chosen(const QString& value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class Segment;
    void focusNeighbour(Segment* from, int step);

    QHBoxLayout* layout_;
    QButtonGroup* group_;
    std::vector<Segment*> segments_;
};

}  // namespace orvalin::ui
