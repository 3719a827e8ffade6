#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "core/month_grid.h"
#include "core/shortcut.h"

class QScrollArea;
class QVBoxLayout;

namespace orvalin::ui {

// The triggers the user can type, one row per format in list order: the trigger without its
// surrounding spaces and tabs in a 52-wide column, an arrow, and the date it inserts today (a row
// whose date is not today's says which day it is to screen readers). As wide as its widest row,
// never wider than it is given; rows scroll when they do not all fit.
class TriggerBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTriggerColumn = 52;

    explicit TriggerBox(QWidget* parent = nullptr);

    void setEntries(const std::vector<Shortcut>& entries, Instant now);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* rowsWidget_;
    QVBoxLayout* rowsLayout_;
    QScrollArea* scroll_;
    std::size_t rowCount_ = 0;
};

}  // namespace orvalin::ui
