#pragma once

#include <sys/types.h>

#include <string>

// A private Xvfb on a display number the server picks itself; stopped with the object. The server
// is told to end with this process should the test die first.
class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { stop(); }

    // False when Xvfb is missing or does not come up within the time allowed.
    bool start(int timeoutMs = 30000);
    void stop();
    // ":N" once started.
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};
