#pragma once

#include <xcb/record.h>
#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/platform.h"

class QSocketNotifier;
struct xkb_context;

namespace orvalin::xkb {
class XkbKeyboard;
}

namespace orvalin::x11 {

class X11Connection;

// Watches every key press on the display through the RECORD extension. The recorded key stream
// comes on a connection of its own (RECORD takes that connection over), read on the main loop
// through a socket notifier; the keymap, layout group and modifier state follow XKB
// notifications on the program's connection as they happen.
class RecordKeyMonitor final : public KeyMonitor {
public:
    // `control` must outlive the monitor. `displayName` is the display to record (nullptr:
    // $DISPLAY). `composeLocale` picks the Compose table.
    RecordKeyMonitor(X11Connection& control, const char* displayName, std::string composeLocale);
    ~RecordKeyMonitor() override;

    bool start(Handler handler) override;
    void stop() override;

    // Why the last start failed, empty after a success.
    const std::string& failure() const { return failure_; }
    // Key presses are dropped while this says so (the program's own windows have the focus:
    // their keys are theirs).
    void setSuppressed(std::function<bool()> suppressed) { suppressed_ = std::move(suppressed); }

    // The current keymap, for the key synthesizer: which key types a keysym, which keys are
    // modifiers. Nothing known before the monitor first started.
    std::optional<std::uint32_t> keycodeForKeysym(std::uint32_t keysym);
    bool isModifierKeycode(std::uint32_t keycode);

private:
    // The steps of start(), in order; a step that fails leaves the reason in failure_.
    bool serverOffersAll();
    void watchKeymapChanges();
    bool recordKeyPresses();
    bool loadKeymap();
    void onControlEvent(const xcb_generic_event_t& event);
    void readRecorded();
    void handleRecordedBytes(const std::uint8_t* data, int length);
    void teardown();

    X11Connection& control_;
    std::string displayName_;
    std::string composeLocale_;
    // Shared so that a handler that stops the monitor outlives its own call without a copy per key.
    std::shared_ptr<const Handler> handler_;
    std::function<bool()> suppressed_;
    std::string failure_;

    xkb_context* xkbContext_ = nullptr;
    std::int32_t deviceId_ = -1;
    std::uint8_t xkbFirstEvent_ = 0;
    std::unique_ptr<xkb::XkbKeyboard> keyboard_;
    bool keymapStale_ = false;
    int listenerId_ = 0;

    xcb_connection_t* data_ = nullptr;
    xcb_record_context_t context_ = 0;
    unsigned int enableSequence_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool reading_ = false;
};

}  // namespace orvalin::x11
