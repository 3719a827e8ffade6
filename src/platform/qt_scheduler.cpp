#include "platform/qt_scheduler.h"

#include <QTimer>
#include <algorithm>

namespace orvalin {

QtScheduler::QtScheduler() : owner_(std::make_unique<QObject>()) {}

QtScheduler::~QtScheduler() = default;  // the owner deletes every timer

Scheduler::TimerId QtScheduler::scheduleOnce(Duration delay, std::function<void()> task) {
    return add(delay, false, std::move(task));
}

Scheduler::TimerId QtScheduler::scheduleRepeating(Duration interval, std::function<void()> tick) {
    return add(interval, true, std::move(tick));
}

Scheduler::TimerId QtScheduler::add(Duration delay, bool repeating, std::function<void()> task) {
    TimerId id = next_++;
    auto* timer = new QTimer(owner_.get());
    timer->setSingleShot(!repeating);
    // Short delays of the insertion sequence need millisecond accuracy; the coarse default may
    // move a 20 ms timer by 5 %.
    timer->setTimerType(delay.count() < 2000 ? Qt::PreciseTimer : Qt::CoarseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, repeating, task = std::move(task)] {
        if (!repeating) {
            // Forget the timer before running the task: the task may schedule or cancel others.
            auto it = timers_.find(id);
            if (it != timers_.end()) {
                it->second->deleteLater();
                timers_.erase(it);
            }
            task();
            return;
        }
        auto keep = task;  // the tick may cancel its own timer
        keep();
    });
    timers_[id] = timer;
    timer->start(static_cast<int>(std::max<Duration::rep>(0, delay.count())));
    return id;
}

void QtScheduler::cancel(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

}  // namespace orvalin
