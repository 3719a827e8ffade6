#pragma once

#include <functional>
#include <thread>

struct _GMainContext;
struct _GMainLoop;

namespace orvalin::ibus {

// A thread of its own running a GLib main loop on its own context, which it makes its default:
// GDBus objects made there deliver their calls and signals there. Asleep while nothing comes.
class IbusThread {
public:
    IbusThread();
    // Stops the loop and joins; tasks not run by then are dropped.
    ~IbusThread();
    IbusThread(const IbusThread&) = delete;
    IbusThread& operator=(const IbusThread&) = delete;

    // Runs `task` on the thread, after the tasks posted before it; from any thread.
    void post(std::function<void()> task);
    // Runs `task` on the thread and returns once it ran.
    void call(const std::function<void()>& task);
    _GMainContext* context() const { return context_; }

private:
    _GMainContext* context_;
    _GMainLoop* loop_;
    std::thread thread_;
};

}  // namespace orvalin::ibus
