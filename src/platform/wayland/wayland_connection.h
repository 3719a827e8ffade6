#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwp_input_method_manager_v2;
struct zwp_virtual_keyboard_manager_v1;
class QSocketNotifier;

namespace orvalin::wayland {

// The program's own connection to the compositor: the globals it needs, read on the main loop
// through socket notifiers. Nothing here waits on the compositor once running, so a slow
// compositor can never stall the keyboard the input method holds.
class WaylandConnection {
public:
    // Connects to `name` (WAYLAND_DISPLAY) and lists the globals, waiting at most `bound`;
    // nothing when no compositor answers.
    static std::unique_ptr<WaylandConnection> open(const std::string& name, std::chrono::milliseconds bound);
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return display_; }
    wl_seat* seat() const { return seat_; }
    zwp_input_method_manager_v2* inputMethods() const { return inputMethods_; }
    zwp_virtual_keyboard_manager_v1* virtualKeyboards() const { return virtualKeyboards_; }
    // The protocols this compositor lacks, by name; empty when it offers all the program needs.
    std::string missingProtocols() const;

    // Start-up only: waits, at most `bound`, until the compositor has answered every request
    // sent so far. False on timeout or a lost connection.
    bool settle(std::chrono::milliseconds bound);
    // From now on events are read on the main loop; `onLoss` runs once if the compositor goes.
    void watch(std::function<void()> onLoss);
    // Sends what is queued. Called after every batch of requests on the key path.
    void flush();
    bool broken() const { return broken_; }

private:
    explicit WaylandConnection(wl_display* display);
    void readEvents();
    void lose();
    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version);
    static void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwp_input_method_manager_v2* inputMethods_ = nullptr;
    zwp_virtual_keyboard_manager_v1* virtualKeyboards_ = nullptr;
    std::unique_ptr<QSocketNotifier> readable_;
    std::unique_ptr<QSocketNotifier> writable_;  // only while the socket's buffer is full
    std::function<void()> onLoss_;
    bool broken_ = false;
};

}  // namespace orvalin::wayland
