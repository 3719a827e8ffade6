#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A private Xvfb, stopped with the object, and ended by the kernel should the test process die
// first. The display number is drawn from a wide range, away from the low numbers desktops and
// other tools take; the server's lock file makes the choice safe, and a number whose server does
// not answer is given up for another.
class XvfbServer {
public:
    // `extraArgs` are further server arguments, such as {"-extension", "RECORD"}.
    explicit XvfbServer(std::string screen = "1024x768x24", std::vector<std::string> extraArgs = {});
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer();

    // False when no server answered; error() then says why.
    bool start();
    void stop();
    // Points DISPLAY, and Qt in this process, at the server.
    void exportDisplay() const;

    // ":N" once started.
    const std::string& display() const { return display_; }
    bool running();
    const std::string& error() const { return error_; }
    // What the server wrote on its standard error.
    std::string log() const;

private:
    bool attempt(int number);
    bool waitForNumber(int readFd);

    std::string screen_;
    std::vector<std::string> extraArgs_;
    pid_t pid_ = -1;
    std::string display_;
    std::string error_;
    std::string logPath_;
};
