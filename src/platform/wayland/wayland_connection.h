#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwp_input_method_manager_v2;
struct zwp_virtual_keyboard_manager_v1;

namespace orvalin::wayland {

// The program's own connection to the compositor: the globals it needs. Once running, one thread
// reads and writes it (the pass-through's) and nothing waits on the compositor, so a slow
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
    // Sends what is queued, never waiting: what the socket does not take yet stays queued.
    void flush();
    // Some requests wait for the socket to take them.
    bool unsent() const { return unsent_; }
    // Before sleeping on the socket: handles the events already read, and announces the read.
    void prepareRead();
    // After the sleep: reads what the socket holds when `readable` (else gives the read up), and
    // handles it.
    void finishRead(bool readable);
    // The compositor went or broke the connection; read from any thread.
    bool broken() const { return broken_.load(std::memory_order_relaxed); }

private:
    explicit WaylandConnection(wl_display* display);
    void lose() { broken_ = true; }
    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version);
    static void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwp_input_method_manager_v2* inputMethods_ = nullptr;
    zwp_virtual_keyboard_manager_v1* virtualKeyboards_ = nullptr;
    std::atomic<bool> broken_ = false;
    bool unsent_ = false;
};

}  // namespace orvalin::wayland
