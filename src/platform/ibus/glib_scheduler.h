#pragma once

#include <map>

#include "engine/platform.h"

struct _GMainContext;
struct _GSource;

namespace orvalin::ibus {

// Timers on one GLib main context, run by the thread that runs it; used from that thread only.
class GlibScheduler final : public Scheduler {
public:
    explicit GlibScheduler(_GMainContext* context) : context_(context) {}
    ~GlibScheduler() override;
    GlibScheduler(const GlibScheduler&) = delete;
    GlibScheduler& operator=(const GlibScheduler&) = delete;

    TimerId scheduleOnce(Duration delay, std::function<void()> task) override;
    TimerId scheduleRepeating(Duration interval, std::function<void()> tick) override;
    void cancel(TimerId id) override;

private:
    struct Timer;
    TimerId add(Duration delay, bool repeating, std::function<void()> task);

    _GMainContext* context_;
    std::map<TimerId, _GSource*> sources_;
    TimerId next_ = 1;
};

}  // namespace orvalin::ibus
