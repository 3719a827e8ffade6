#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/route_session.h"

struct xcb_connection_t;

namespace orvalin {
class QtClipboardPasteboard;
}  // namespace orvalin

namespace orvalin::x11 {

class X11Connection;
class RecordKeyMonitor;
class XTestKeySynthesizer;
class X11TrustQuery;
class ActiveWindowWatcher;
class XcbSelectionReader;
class PasteSequence;

// The X11 route: keys watched through RECORD, the date put on the clipboard and pasted with
// XTest keys, the user's clipboard put back afterwards.
class X11Session final : public RouteSession {
public:
    // Opens the route on X display `display` (empty: $DISPLAY); nothing when it cannot be opened.
    static std::unique_ptr<X11Session> open(const std::string& display, const std::string& composeLocale);
    // Whether the keys typed now go to a window of `connection` (Qt's own), asked of the server.
    static std::function<bool()> keyFocusOf(xcb_connection_t* connection);
    // The program's binary run with this one argument is the keeper `leave` starts: it serves the
    // selections it reads from `inputFd` (see runKeeper) and returns its exit status.
    static const char* keeperArgument();
    static int runKeeper(int inputFd);
    ~X11Session() override;
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    KeyMonitor& keyMonitor() override;
    TrustQuery& trust() override;
    ActiveApplicationSource& activeApplications() override;
    KeySynthesizer* keySynthesizer() override;
    Pasteboard* pasteboard() override;

    void suppressKeysWhile(std::function<bool()> suppressed) override;
    void watch(std::function<void()> onLoss, std::function<void()> onAccessLost) override;
    bool broken() const override;
    std::string failure() override;
    bool holdsInsertion() const override;
    void leave(const std::string& keeperProgram) override;

private:
    explicit X11Session(std::unique_ptr<X11Connection> connection);
    void createClipboard();
    void createKeyboard(const std::string& display, const std::string& composeLocale);

    std::unique_ptr<X11Connection> connection_;
    std::unique_ptr<XcbSelectionReader> selectionReader_;
    std::unique_ptr<QtClipboardPasteboard> clipboard_;
    // Destroyed before the clipboard it gives a held restore back through, after the synthesizer.
    std::unique_ptr<PasteSequence> pasteSequence_;
    std::unique_ptr<RecordKeyMonitor> keyMonitor_;
    std::unique_ptr<XTestKeySynthesizer> keySynthesizer_;
    std::unique_ptr<X11TrustQuery> trust_;
    std::unique_ptr<ActiveWindowWatcher> activeWindows_;
};

}  // namespace orvalin::x11
