#pragma once

#include <QObject>
#include <map>
#include <memory>

#include "engine/platform.h"

class QTimer;

namespace orvalin {

// Single-shot and repeating QTimers on the main thread.
class QtScheduler final : public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    TimerId scheduleOnce(Duration delay, std::function<void()> task) override;
    TimerId scheduleRepeating(Duration interval, std::function<void()> tick) override;
    void cancel(TimerId id) override;

    std::size_t activeTimers() const { return timers_.size(); }

private:
    TimerId add(Duration delay, bool repeating, std::function<void()> task);

    std::map<TimerId, QTimer*> timers_;
    TimerId next_ = 1;
    std::unique_ptr<QObject> owner_;
};

}  // namespace orvalin
