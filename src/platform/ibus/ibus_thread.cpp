#include "platform/ibus/ibus_thread.h"

#include <glib.h>
#include <pthread.h>

#include <future>

namespace orvalin::ibus {

IbusThread::IbusThread() : context_(g_main_context_new()), loop_(g_main_loop_new(context_, FALSE)) {
    thread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "orvalin-ibus");  // told apart in profiles
        g_main_context_push_thread_default(context_);
        g_main_loop_run(loop_);
        // What was posted too late is dropped with the context.
        g_main_context_pop_thread_default(context_);
    });
}

IbusThread::~IbusThread() {
    post([this] { g_main_loop_quit(loop_); });
    thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

// Sources of one priority run in the order they were attached; a task posted from the thread
// itself runs later too, never inside its caller.
void IbusThread::post(std::function<void()> task) {
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(
        source,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(task)),
        [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
    g_source_attach(source, context_);
    g_source_unref(source);
}

void IbusThread::call(const std::function<void()>& task) {
    std::promise<void> done;
    post([&] {
        task();
        done.set_value();
    });
    done.get_future().wait();
}

}  // namespace orvalin::ibus
