#include "platform/wayland/input_method.h"

#include <wayland-client.h>

#include "input-method-unstable-v2-client.h"
#include "platform/wayland/wayland_connection.h"

namespace orvalin::wayland {

namespace {

// Longer texts do not fit in one message; the caller types them instead.
constexpr std::size_t kMaxCommitBytes = 4000;

}  // namespace

InputMethod::InputMethod(WaylandConnection& connection) : connection_(connection) {
    static const zwp_input_method_v2_listener listener = {
        &InputMethod::onActivate,
        &InputMethod::onDeactivate,
        &InputMethod::onSurroundingText,
        [](void*, zwp_input_method_v2*, std::uint32_t) {},                 // change cause
        [](void*, zwp_input_method_v2*, std::uint32_t, std::uint32_t) {},  // content type
        &InputMethod::onDone,
        &InputMethod::onUnavailableEvent,
    };
    inputMethod_ = zwp_input_method_manager_v2_get_input_method(connection.inputMethods(), connection.seat());
    zwp_input_method_v2_add_listener(inputMethod_, &listener, this);
}

InputMethod::~InputMethod() {
    if (inputMethod_ != nullptr) zwp_input_method_v2_destroy(inputMethod_);
    connection_.flush();
}

void InputMethod::onActivate(void* data, zwp_input_method_v2*) {
    auto* self = static_cast<InputMethod*>(data);
    self->pendingActive_ = true;
    self->activated_ = true;
    self->pendingReportsText_ = false;
}

// Only whether the field reports its text matters; the text itself is never kept.
void InputMethod::onSurroundingText(void* data, zwp_input_method_v2*, const char*, std::uint32_t,
                                    std::uint32_t) {
    static_cast<InputMethod*>(data)->pendingReportsText_ = true;
}

void InputMethod::onDeactivate(void* data, zwp_input_method_v2*) {
    static_cast<InputMethod*>(data)->pendingActive_ = false;
}

// Focus moving between fields comes as deactivate then activate before one done: every
// activation is a new field, even when the state reads the same after it. Other done events
// (surrounding text after each key) change nothing.
void InputMethod::onDone(void* data, zwp_input_method_v2*) {
    auto* self = static_cast<InputMethod*>(data);
    ++self->serial_;
    const bool changed = self->active_ != self->pendingActive_ || self->activated_;
    // A field that sends no surrounding text before its first done does not report it.
    self->reportsText_ =
        self->pendingActive_ && (self->pendingReportsText_ || (self->reportsText_ && !self->activated_));
    self->pendingReportsText_ = false;
    self->activated_ = false;
    self->active_ = self->pendingActive_;
    if (changed && self->onFocusChange_) self->onFocusChange_();
}

void InputMethod::onUnavailableEvent(void* data, zwp_input_method_v2*) {
    auto* self = static_cast<InputMethod*>(data);
    self->available_ = false;
    self->active_ = false;
    if (self->onUnavailable_) self->onUnavailable_();
}

bool InputMethod::commit(std::string_view text) {
    if (!available() || !active_ || text.size() > kMaxCommitBytes) return false;
    const std::string copy(text);
    zwp_input_method_v2_commit_string(inputMethod_, copy.c_str());
    zwp_input_method_v2_commit(inputMethod_, serial_);
    connection_.flush();
    return true;
}

zwp_input_method_keyboard_grab_v2* InputMethod::grabKeyboard() {
    return available() ? zwp_input_method_v2_grab_keyboard(inputMethod_) : nullptr;
}

}  // namespace orvalin::wayland
