// The program's own connection to the compositor, where no compositor serves it.

#include "platform/wayland/wayland_connection.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "support/temp_dir.h"

namespace orvalin::wayland {
namespace {

using namespace std::chrono_literals;

// A compositor going away hangs up at once: no connection, and nothing of it left behind (the
// sanitizer build's leak check fails the run otherwise).
TEST(WaylandConnection, ACompositorThatHangsUpGivesNoConnectionAndLeavesNothing) {
    TempDir dir;
    const std::string path = (dir.path() / "hangs-up").string();
    const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(server, 1), 0);
    std::thread hangUp([server] {
        const int client = accept(server, nullptr, nullptr);
        if (client >= 0) close(client);
    });
    EXPECT_EQ(WaylandConnection::open(path, 2000ms), nullptr);
    hangUp.join();
    close(server);
}

}  // namespace
}  // namespace orvalin::wayland
