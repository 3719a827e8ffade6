#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/route_session.h"

struct wl_display;
class QSocketNotifier;

namespace orvalin::wayland {

class WaylandConnection;
class InputMethod;
class InputMethodFocusWatch;
class VirtualKeyboard;
class KeyRelay;
class PassThroughThread;
class WaylandTrustQuery;
struct PassThroughNews;

// The native Wayland route, when the compositor offers it: the seat's input method and a
// virtual keyboard, with everything the engine reaches through them. Text goes in directly:
// no clipboard, no synthesized paste. Once watched, the connection is the pass-through thread's;
// the engine hears of keys and focus changes from it on the main thread.
class WaylandSession final : public RouteSession {
public:
    // Opens the route on WAYLAND_DISPLAY `name`; nothing, with the reason in `why` (in the
    // user's words), when this compositor cannot serve it or another input method holds the seat.
    static std::unique_ptr<WaylandSession> open(const std::string& name, const std::string& composeLocale,
                                                std::string& why);
    // Whether the keys typed now go to a surface of `display` (Qt's own connection), asked of
    // the compositor. `display` must outlive the answer.
    static std::function<bool()> keyFocusOf(wl_display* display);
    ~WaylandSession() override;
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    KeyMonitor& keyMonitor() override;
    TrustQuery& trust() override;
    ActiveApplicationSource& activeApplications() override;
    TextInserter* textInserter() override;

    void suppressKeysWhile(std::function<bool()> suppressed) override;
    // Events are read on the pass-through thread from now on; the access is lost when the input
    // method stops being ours.
    void watch(std::function<void()> onLoss, std::function<void()> onAccessLost) override;
    // The thread watches for the engine's triggers.
    void engineStarted(TextExpansionManager& manager) override;
    bool broken() const override;
    std::string failure() override;

private:
    WaylandSession();
    bool build(const std::string& name, const std::string& composeLocale, std::string& why);
    void takeNews();
    void report(const PassThroughNews& news);

    std::unique_ptr<WaylandConnection> connection_;
    std::unique_ptr<InputMethod> inputMethod_;
    std::unique_ptr<VirtualKeyboard> keyboard_;
    std::unique_ptr<WaylandTrustQuery> trust_;
    std::unique_ptr<InputMethodFocusWatch> focusWatch_;
    std::unique_ptr<PassThroughThread> thread_;  // ends before the objects it uses go
    std::unique_ptr<KeyRelay> relay_;
    std::unique_ptr<QSocketNotifier> newsReady_;
    std::vector<PassThroughNews> news_;
    std::function<void()> onLoss_;
    std::function<void()> onAccessLost_;
};

}  // namespace orvalin::wayland
