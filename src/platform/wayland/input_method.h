#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

struct zwp_input_method_v2;
struct zwp_input_method_keyboard_grab_v2;

namespace orvalin::wayland {

class WaylandConnection;

// The program as the seat's input method: told when a text field of the focused application
// wants input, able to commit text into it, and the source of the keyboard grab. A compositor
// gives the seat one input method at a time; a later one is told it is unavailable.
class InputMethod {
public:
    explicit InputMethod(WaylandConnection& connection);
    ~InputMethod();
    InputMethod(const InputMethod&) = delete;
    InputMethod& operator=(const InputMethod&) = delete;

    // False once the compositor said another input method holds the seat (or the seat went);
    // read from any thread.
    bool available() const { return available_.load(std::memory_order_relaxed); }
    // A text field of the focused application takes committed text.
    bool active() const { return active_; }
    // The active field tells the text around its cursor: a full text-input client, for which a
    // commit is the ordinary way text comes in. Terminals do not.
    bool fieldReportsText() const { return active_ && reportsText_; }
    // Commits `text` at the cursor of the active text field; false when none is active.
    bool commit(std::string_view text);
    // The grab object; the caller owns it (release it to give the keyboard back).
    zwp_input_method_keyboard_grab_v2* grabKeyboard();

    void onUnavailable(std::function<void()> handler) { onUnavailable_ = std::move(handler); }
    // The focused text field changed (another field or application, or none).
    void onFocusChange(std::function<void()> handler) { onFocusChange_ = std::move(handler); }

private:
    static void onActivate(void* data, zwp_input_method_v2*);
    static void onDeactivate(void* data, zwp_input_method_v2*);
    static void onDone(void* data, zwp_input_method_v2*);
    static void onSurroundingText(void* data, zwp_input_method_v2*, const char*, std::uint32_t,
                                  std::uint32_t);
    static void onUnavailableEvent(void* data, zwp_input_method_v2*);

    WaylandConnection& connection_;
    zwp_input_method_v2* inputMethod_ = nullptr;
    std::atomic<bool> available_ = true;
    bool active_ = false;
    bool pendingActive_ = false;
    bool activated_ = false;    // an activate event came since the last done
    bool reportsText_ = false;  // the active field reports its surrounding text
    bool pendingReportsText_ = false;
    std::uint32_t serial_ = 0;  // the number of done events, as commits must name it
    std::function<void()> onUnavailable_;
    std::function<void()> onFocusChange_;
};

}  // namespace orvalin::wayland
