#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orvalin::wayland {

// The order in which the user's keys and the program's insertions reach the application, on
// the thread that passes keys on. Keys go on at once, except after a key that may complete a
// trigger (a barrier): the keys typed after it wait until the engine has answered for it, so
// that its erase counts the characters it means. The wait is bounded; an insertion whose key
// is no longer the last one the application got is dropped rather than erase the wrong text.
class KeyPassage {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kAnswerBound{1000};

    // Where events go; insertion failures are the sink's to handle.
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual void forwardKey(std::uint32_t time, std::uint32_t key, std::uint32_t state) = 0;
        virtual void forwardModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                                      std::uint32_t group) = 0;
        virtual void insert(std::size_t erase, std::string_view text) = 0;
    };

    explicit KeyPassage(Sink& sink) : sink_(sink) {}

    // A press. `id` numbers the presses that change text (0: one that does not, a modifier key);
    // `barrier`: the engine may answer it with an insertion; `now` is read for a barrier only.
    void press(std::uint32_t time, std::uint32_t key, std::uint64_t id, bool barrier, Clock::time_point now);
    void release(std::uint32_t time, std::uint32_t key);
    void modifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked, std::uint32_t group);

    // The engine is done with press `id`: the keys held behind it go on.
    void answered(std::uint64_t id, Clock::time_point now);
    // Erase and text asked for while the engine handled press `id` (0: not during a key). False
    // when dropped: a later press already reached the application.
    bool insert(std::uint64_t id, std::size_t erase, std::string_view text);
    // When the answer awaited stops being waited for; nothing while none is awaited.
    std::optional<Clock::time_point> deadline() const;
    void expire(Clock::time_point now);
    // The grab ends: what is held goes on, then every key still down is released.
    void releaseAll();

    bool holding() const { return head_ < held_.size(); }

private:
    struct Event {
        enum class Kind : std::uint8_t { Press, Release, Modifiers } kind;
        std::uint32_t a, b, c, d;  // time and key, or the modifier masks and group
        std::uint64_t id;
        bool barrier;
    };

    void forward(const Event& event, Clock::time_point now);
    void drain(Clock::time_point now);
    bool isDown(std::uint32_t key) const;

    Sink& sink_;
    std::vector<Event> held_;  // waiting, in order, from head_ on; the storage is reused
    std::size_t head_ = 0;
    std::vector<std::uint32_t> down_;  // keys passed on as pressed and not yet released
    std::uint64_t lastForwarded_ = 0;
    std::uint64_t awaited_ = 0;
    Clock::time_point deadline_{};
};

}  // namespace orvalin::wayland
