#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// Another client of the display in $DISPLAY, standing for the user and the other applications:
// it types through XTest, makes windows, takes the focus and the clipboard.
class OtherXClient {
public:
    OtherXClient();
    OtherXClient(const OtherXClient&) = delete;
    OtherXClient& operator=(const OtherXClient&) = delete;
    ~OtherXClient();
    bool ok() const;

    // A key press or release (XCB_KEY_PRESS, XCB_KEY_RELEASE) of an X key code, as the keyboard makes it.
    void key(std::uint8_t type, std::uint8_t keycode);
    // A mapped window of the given class that takes key events, owned by process `pid` unless 0.
    xcb_window_t window(const std::string& wmClass, std::uint32_t pid = 0);
    // Gives `w` the input focus; done when this returns.
    void focus(xcb_window_t w);
    // Names `w` the active window on the root, as a window manager does.
    void setActive(xcb_window_t w);
    // Takes the clipboard and never answers a request for it.
    void takeClipboardAndHang();
    // Takes the clipboard (or `selection`), lists its six formats when asked, but never sends their data; or,
    // with `answerAfterMs` of 0 or more, answers every request (with "late") that long after it came.
    void takeClipboardListingFormatsOnly(int answerAfterMs = -1, const char* selection = "CLIPBOARD");
    bool anyKeyDown();
    // Whether someone else holds the keyboard: our own grab attempt is refused.
    bool keyboardHeldByAnother();
    xcb_atom_t atom(const char* name);

private:
    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    std::thread owner_;  // answers the format lists, on a connection of its own
    std::atomic<bool> stop_{false};
};
