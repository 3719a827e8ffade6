#include "platform/ibus/glib_scheduler.h"

#include <glib.h>

#include <utility>

namespace orvalin::ibus {

struct GlibScheduler::Timer {
    GlibScheduler* owner;
    TimerId id;
    bool repeating;
    std::function<void()> task;
};

GlibScheduler::~GlibScheduler() {
    for (auto& [id, source] : sources_) {
        g_source_destroy(source);
        g_source_unref(source);
    }
}

Scheduler::TimerId GlibScheduler::scheduleOnce(Duration delay, std::function<void()> task) {
    return add(delay, false, std::move(task));
}

Scheduler::TimerId GlibScheduler::scheduleRepeating(Duration interval, std::function<void()> tick) {
    return add(interval, true, std::move(tick));
}

Scheduler::TimerId GlibScheduler::add(Duration delay, bool repeating, std::function<void()> task) {
    const TimerId id = next_++;
    GSource* source = g_timeout_source_new(static_cast<guint>(delay.count() > 0 ? delay.count() : 0));
    g_source_set_callback(
        source,
        [](gpointer data) -> gboolean {
            auto* timer = static_cast<Timer*>(data);
            if (timer->repeating) {
                timer->task();
                return G_SOURCE_CONTINUE;
            }
            // Forgotten first: the task may schedule or cancel timers.
            auto found = timer->owner->sources_.find(timer->id);
            GSource* self = found->second;
            timer->owner->sources_.erase(found);
            std::function<void()> task = std::move(timer->task);
            task();
            g_source_unref(self);
            return G_SOURCE_REMOVE;
        },
        new Timer{this, id, repeating, std::move(task)},
        [](gpointer data) { delete static_cast<Timer*>(data); });
    g_source_attach(source, context_);
    sources_.emplace(id, source);
    return id;
}

void GlibScheduler::cancel(TimerId id) {
    auto found = sources_.find(id);
    if (found == sources_.end()) return;
    g_source_destroy(found->second);
    g_source_unref(found->second);
    sources_.erase(found);
}

}  // namespace orvalin::ibus
