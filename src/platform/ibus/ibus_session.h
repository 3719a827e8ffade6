#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/news_pace.h"
#include "engine/platform.h"
#include "engine/route_session.h"

class QObject;
struct _IBusBus;
struct _IBusFactory;

namespace orvalin::ibus {

class EngineMenu;
class FieldFocusSource;
class GlibScheduler;
class GnomeInputSource;
class IbusThread;
class KeyTranslator;
class RouteRelay;
class TypingRoute;

// Keys can be watched while the bus holds and "orvalin" is the active input source. Kept by the
// IBus thread, read by the engine's.
class IbusTrustQuery final : public TrustQuery {
public:
    bool isTrusted() override { return missing().empty(); }
    // Why keys cannot be watched, in the user's words; empty while they can.
    std::string missing() const;

    std::atomic<bool> connected = false;
    std::atomic<bool> active = false;
};

// The IBus route: the program owns the engine "orvalin" on the session's ibus-daemon, and
// registers it at run time when no installed component file told the daemon of it, so that
// `ibus engine orvalin` makes it the input source. The connection, the engine objects and the
// route's decisions live on a thread of their own, so that keys never wait for the windows: each
// key is answered there at once and handed to the engine on the main thread afterwards.
class IbusSession final : public RouteSession {
public:
    static constexpr const char* kEngineName = "orvalin";
    static constexpr const char* kComponentName = "org.freedesktop.IBus.Orvalin";

    // Connects to ibus-daemon; nothing, with the reason in `why` (in the user's words), when it
    // does not answer or another copy of the program owns the engine. `program` is what the
    // daemon starts for the engine.
    static std::unique_ptr<IbusSession> open(const std::string& composeLocale, const std::string& program,
                                             std::string& why);
    ~IbusSession() override;
    IbusSession(const IbusSession&) = delete;
    IbusSession& operator=(const IbusSession&) = delete;

    // `onLoss` runs once if the daemon goes away, `onSourceChange` whenever the user's input
    // source becomes or stops being Orvalin (the trust query's answer changed).
    void watch(std::function<void()> onLoss, std::function<void()> onSourceChange) override;
    bool broken() const override { return !trust_->connected; }
    std::string failure() override { return trust_->missing(); }

    KeyMonitor& keyMonitor() override;
    TextInserter* textInserter() override;
    IbusTrustQuery& trust() override { return *trust_; }
    // A field getting the focus: what was typed elsewhere is no trigger's beginning here.
    ActiveApplicationSource& activeApplications() override;
    void suppressKeysWhile(std::function<bool()> suppressed) override;
    void engineStarted(TextExpansionManager& manager) override;
    std::string permissionWarning() const override;
    std::string helpAnchor() const override { return "#ibus"; }
    void onInsertionDropped(std::function<void(std::string why)> dropped) override {
        onDropped_ = std::move(dropped);
    }
    void onMenuRequest(std::function<void(MenuRequest)> requested) override;
    // The reason a date asked for with no field focused was dropped, for the panel.
    static std::string droppedDateReason();

private:
    IbusSession();
    // On the IBus thread.
    bool start(const std::string& composeLocale, const std::string& program, std::string& why);
    void shutDown();
    bool connect(const std::string& program, std::string& why);
    bool engineKnown() const;
    void registerComponent(const std::string& program);
    void followActiveEngine();
    void handOver(const KeyEvent& event, std::uint64_t id, bool awaited);
    // Runs `task` on the main thread, after the tasks handed over before it. `wake` false: it
    // waits, without waking the main thread, for the next task that does.
    void toMain(std::function<void()> task, bool wake = true);
    void wakeMain();
    // On the main thread.
    void runOnMain();

    std::unique_ptr<IbusTrustQuery> trust_;
    // Its handler may be set while the IBus thread runs: it keeps its own lock.
    std::unique_ptr<EngineMenu> menu_;
    std::unique_ptr<IbusThread> thread_;
    // The IBus thread's.
    std::unique_ptr<GlibScheduler> scheduler_;
    std::unique_ptr<TypingRoute> route_;
    std::unique_ptr<KeyTranslator> translator_;
    std::unique_ptr<GnomeInputSource> gnome_;
    NewsPace pace_;  // answered() from the main thread
    std::uint64_t idleTimer_ = 0;
    _IBusBus* bus_ = nullptr;
    _IBusFactory* factory_ = nullptr;
    // Tasks for the main thread, in order; one run of them posted at a time.
    std::mutex forMainMutex_;
    std::vector<std::function<void()>> forMain_;
    bool runPosted_ = false;
    std::shared_ptr<char> alive_ = std::make_shared<char>();  // a task may end the session
    // The main thread's.
    std::unique_ptr<QObject> mainSide_;
    std::unique_ptr<RouteRelay> relay_;
    std::unique_ptr<FieldFocusSource> focus_;
    std::function<void()> onLoss_;
    std::function<void()> onSourceChange_;
    std::function<void(std::string)> onDropped_;
    std::function<void()> dateDropped_;
};

}  // namespace orvalin::ibus
