#pragma once

#include <chrono>
#include <functional>

#include <QTimer>

namespace orvalin::x11 {

class X11Connection;

// Keeps the user's keys in the X server while a target fetches a paste. A target that reads the
// clipboard asynchronously (xterm, GTK) would otherwise take the keys typed right after the chord
// before the date. A synchronous keyboard grab freezes key processing: the server queues the
// keys as they come and, once the grab is released, delivers them to the focused window in their
// order. No key passes through the program and nothing is replayed, so none is lost or doubled.
// The hold never outlasts its bound, the program's connection or the object.
class KeyboardHold {
public:
    // `answersFirst` is called before letting go, so that the answer to the fetch, sent on
    // another connection, reaches the target ahead of the held keys. The hold lasts `bound` at
    // most.
    KeyboardHold(X11Connection& conn, std::function<void()> answersFirst, std::chrono::milliseconds bound);
    ~KeyboardHold();
    KeyboardHold(const KeyboardHold&) = delete;
    KeyboardHold& operator=(const KeyboardHold&) = delete;

    // Right after the paste chord, on the same connection and in the same write: the chord
    // is processed before the grab, the user's next keys after it.
    void hold();
    // The target fetched the paste: lets go once the current event is answered.
    void releaseSoon();
    // Lets go now.
    void release();
    bool held() const { return held_; }

private:
    X11Connection& conn_;
    std::function<void()> answersFirst_;
    QTimer bound_;
    bool held_ = false;
};

}  // namespace orvalin::x11
