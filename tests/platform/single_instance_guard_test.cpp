#include "platform/single_instance_guard.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvalin {
namespace {

namespace fs = std::filesystem;

class SingleInstanceTest : public ::testing::Test {
protected:
    TempDir temp_{"orvalin-instance"};
    std::string dir_ = temp_.path();
};

// An instance running for "display:1", counting the requests to show itself.
class RunningInstanceTest : public SingleInstanceTest {
protected:
    void SetUp() override {
        ASSERT_EQ(first_.claim(), SingleInstanceGuard::Role::Primary);
        first_.onShowRequested([this] { ++shown_; });
    }
    SingleInstanceGuard first_{"display:1", dir_};
    int shown_ = 0;
};

TEST_F(RunningInstanceTest, ASecondClaimFindsTheFirstAndAsksItToShowItself) {
    SingleInstanceGuard second("display:1", dir_);
    ASSERT_EQ(second.claim(), SingleInstanceGuard::Role::Secondary);
    ASSERT_TRUE(second.notifyPrimary());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown_ > 0; }, 5000));
    EXPECT_EQ(shown_, 1);

    // Another display is another instance, and nobody listens there.
    SingleInstanceGuard other("display:2", dir_);
    EXPECT_FALSE(other.notifyPrimary(300));
    EXPECT_EQ(other.claim(), SingleInstanceGuard::Role::Primary);
    // Odd keys stay inside the directory.
    SingleInstanceGuard odd("../../etc/x:0.0", dir_);
    EXPECT_EQ(fs::path(odd.socketPath()).parent_path(), fs::path(dir_));
}

TEST_F(SingleInstanceTest, AGoneInstanceLeavesNothingThatBlocksTheNext) {
    {
        SingleInstanceGuard first("display:1", dir_);
        ASSERT_EQ(first.claim(), SingleInstanceGuard::Role::Primary);
    }
    // A socket file left behind by a crash does not matter either.
    SingleInstanceGuard probe("display:1", dir_);
    std::ofstream(probe.socketPath()) << "stale";
    ASSERT_EQ(probe.claim(), SingleInstanceGuard::Role::Primary);
    EXPECT_TRUE(probe.failure().empty()) << probe.failure();
}

// A client of the instance socket made by hand, to send a message in pieces or say nothing.
int connectTo(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST_F(RunningInstanceTest, AMessageArrivingInPiecesIsStillUnderstood) {
    int fd = connectTo(first_.socketPath());
    ASSERT_GE(fd, 0);
    QTest::qWait(100);
    for (const char* piece : {"sh", "o", "w\n"}) {
        ASSERT_GT(::write(fd, piece, std::strlen(piece)), 0);
        QTest::qWait(100);
    }
    EXPECT_EQ(shown_, 1);
    // Having had its message, the connection is closed by the instance.
    char c = 0;
    EXPECT_EQ(::read(fd, &c, 1), 0);
    ::close(fd);
}

TEST_F(RunningInstanceTest, AConnectionThatSaysNothingIsClosedSoon) {
    int fd = connectTo(first_.socketPath());
    ASSERT_GE(fd, 0);
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    char c = 0;
    ssize_t got = -1;
    (void)QTest::qWaitFor([&] { return (got = ::read(fd, &c, 1)) >= 0; }, 6000);
    EXPECT_EQ(got, 0) << "the idle connection is still open after 6 s";
    ::close(fd);
}

// A thousand connections that never say anything, held by another process, more than the instance
// may have files open: later starts still reach it.
TEST_F(RunningInstanceTest, AThousandIdleConnectionsDoNotSilenceTheInstance) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const std::string path = first_.socketPath();
    pid_t idler = ::fork();
    if (idler == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        for (int i = 0; i < 1000; ++i) {
            if (connectTo(path) < 0) ::_exit(1);
        }
        char done = 'k';
        [[maybe_unused]] auto n = ::write(ready[1], &done, 1);
        ::pause();
        ::_exit(0);
    }
    ASSERT_GT(idler, 0);
    ::close(ready[1]);
    std::unique_ptr<void, std::function<void(void*)>> endIdler(&idler, [idler](void*) {
        ::kill(idler, SIGKILL);
        ::waitpid(idler, nullptr, 0);
    });
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    rlimit lower = saved;
    lower.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 512);
    ::setrlimit(RLIMIT_NOFILE, &lower);

    ::fcntl(ready[0], F_SETFL, O_NONBLOCK);
    char done = 0;
    (void)QTest::qWaitFor([&] { return ::read(ready[0], &done, 1) > 0; }, 20000);
    QTest::qWait(300);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(done, 'k') << "the thousand connections were not all accepted";
    EXPECT_TRUE(fs::exists(path)) << "the instance socket is gone";

    SingleInstanceGuard second("display:1", dir_);
    ASSERT_EQ(second.claim(), SingleInstanceGuard::Role::Secondary);
    EXPECT_TRUE(second.notifyPrimary());
    (void)QTest::qWaitFor([&] { return shown_ > 0; }, 5000);
    EXPECT_EQ(shown_, 1);

    ::close(ready[0]);
}

std::string lockOf(const std::string& key, const std::string& dir) {
    std::string path = SingleInstanceGuard(key, dir).socketPath();
    return path.replace(path.size() - 5, 5, ".lock");
}

// Starts `sh -c command` in a process group of its own (so that the commands it starts go with
// it), as the unprivileged user "nobody" when asked; -1 when it cannot start.
pid_t startGroup(const std::string& command, bool asNobody) {
    pid_t child = ::fork();
    if (child == 0) {
        ::setpgid(0, 0);
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 1);
        ::dup2(null, 2);
        if (asNobody)
            ::execlp("setpriv", "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "sh", "-c",
                     command.c_str(), static_cast<char*>(nullptr));
        else
            ::execlp("sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (child > 0) ::setpgid(child, child);
    return child;
}

// Starts `flock lock sleep seconds` and returns once it holds the lock (the file exists and it runs
// sleep); `mkdir` first makes the lock's folder open to all.
pid_t holdLock(const std::string& lock, const std::string& seconds, bool asNobody = false,
               const std::string& mkdir = {}) {
    const std::string made = mkdir.empty() ? "" : "mkdir -m 777 " + mkdir + " && ";
    const pid_t holder = startGroup(made + "exec flock " + lock + " sleep " + seconds, asNobody);
    QElapsedTimer t;
    t.start();
    while (!fs::exists(lock) && t.elapsed() < 5000) ::usleep(10 * 1000);
    ::usleep(100 * 1000);
    return holder;
}

// The private folder used without $XDG_RUNTIME_DIR, in a shared temporary directory (sticky and
// writable by all, like /tmp) where another user may have been first.
class FallbackFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orvalin-shared-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        shared_ = tmpl;
        ::chmod(tmpl, 01777);
        folder_ = shared_ + "/orvalin-" + std::to_string(::getuid());
    }
    void TearDown() override {
        if (holder_ && *holder_ > 0) {
            ::kill(-*holder_, SIGKILL);
            ::waitpid(*holder_, nullptr, 0);
        }
        fs::remove_all(shared_);
    }
    // Runs a shell command as the user "nobody"; false when this machine cannot.
    static bool asNobody(const std::string& command) {
        int status = 0;
        const pid_t child = startGroup(command, true);
        return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }
    void requireAnotherUser() {
        if (::geteuid() != 0) GTEST_SKIP() << "acting as another user through setpriv needs root";
        if (!asNobody("true")) GTEST_SKIP() << "setpriv cannot switch to the user nobody here";
    }

    std::string shared_;
    std::string folder_;
    std::optional<pid_t> holder_;
};

TEST_F(FallbackFolderTest, WithoutARuntimeDirectoryTheFolderIsInTheUsersCacheNamedAfterTheMachine) {
    ScopedEnv runtime("XDG_RUNTIME_DIR", "");
    runtime.unset();
    ScopedEnv cache("XDG_CACHE_HOME", shared_ + "/cache");
    ScopedEnv home("HOME", shared_ + "/home");
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    const std::string name = "/orvalin-runtime-" + std::string(host);
    EXPECT_EQ(SingleInstanceGuard::defaultDirectory(), shared_ + "/cache" + name);
    cache.set("relative/ignored");
    EXPECT_EQ(SingleInstanceGuard::defaultDirectory(), shared_ + "/home/.cache" + name);
    // A runtime directory that others may write to is not used either.
    runtime.set(shared_);
    EXPECT_EQ(SingleInstanceGuard::defaultDirectory(), shared_ + "/home/.cache" + name);
}

TEST_F(FallbackFolderTest, AMissingFolderIsCreatedPrivateWithItsParentsWhateverTheUmask) {
    const std::string deep = shared_ + "/home/.cache/orvalin-runtime";
    mode_t old = ::umask(0);
    SingleInstanceGuard guard("display:1", deep);
    EXPECT_EQ(guard.claim(), SingleInstanceGuard::Role::Primary) << guard.failure();
    ::umask(old);
    for (const std::string& dir : {deep, shared_ + "/home/.cache"}) {
        struct stat st {};
        ASSERT_EQ(::lstat(dir.c_str(), &st), 0) << dir;
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, 0700u) << dir;
    }
}

TEST_F(FallbackFolderTest, OurOwnFolderOpenToOthersOrALinkInsideItIsRefused) {
    ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
    ::chmod(folder_.c_str(), 0755);
    {
        SingleInstanceGuard guard("display:1", folder_);
        EXPECT_EQ(guard.claim(), SingleInstanceGuard::Role::Failed);
        EXPECT_NE(guard.failure().find("0755"), std::string::npos) << guard.failure();
    }
    ::chmod(folder_.c_str(), 0700);
    // A link where the lock goes is not followed: nothing is created at its target.
    SingleInstanceGuard guard("display:1", folder_);
    const std::string target = shared_ + "/planted";
    fs::create_symlink(target, lockOf("display:1", folder_));
    EXPECT_EQ(guard.claim(), SingleInstanceGuard::Role::Failed);
    EXPECT_FALSE(guard.failure().empty());
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(FallbackFolderTest, AFolderAnotherUserMadeFirstIsRefusedEvenWhenThatUserHoldsTheLock) {
    requireAnotherUser();
    holder_ = holdLock(lockOf("display:1", folder_), "60", true, folder_);
    ASSERT_GT(*holder_, 0);
    SingleInstanceGuard guard("display:1", folder_);
    EXPECT_EQ(guard.claim(), SingleInstanceGuard::Role::Failed) << "another user decides whether we run";
    EXPECT_NE(guard.failure().find("autre utilisateur"), std::string::npos) << guard.failure();
}

TEST_F(FallbackFolderTest, ALinkAnotherUserPlantedInThePlaceOfTheFolderIsNotFollowed) {
    requireAnotherUser();
    // Even a link to a folder of ours: following it would let that user choose where our files go.
    const std::string ours = shared_ + "/ours";
    ASSERT_EQ(::mkdir(ours.c_str(), 0700), 0);
    ASSERT_TRUE(asNobody("ln -s " + ours + " " + folder_));
    SingleInstanceGuard guard("display:1", folder_);
    EXPECT_EQ(guard.claim(), SingleInstanceGuard::Role::Failed);
    EXPECT_NE(guard.failure().find("lien symbolique"), std::string::npos) << guard.failure();
    EXPECT_TRUE(fs::is_empty(ours));
}

// Without $XDG_RUNTIME_DIR, whatever another user made first in the temporary folder, under the
// name the program once used there, does not keep it from starting.
TEST_F(FallbackFolderTest, AnotherUserCannotKeepUsFromStartingWithoutARuntimeDirectory) {
    requireAnotherUser();
    ScopedEnv runtime("XDG_RUNTIME_DIR", "");
    runtime.unset();
    ScopedEnv cache("XDG_CACHE_HOME", "");
    cache.unset();
    ScopedEnv tmp("TMPDIR", shared_);
    TempDir home("orvalin-home");
    ScopedEnv homeVariable("HOME", home.path().string());
    const std::string lock = folder_ + "/orvalin-display_1.lock";
    holder_ = holdLock(lock, "60", true, folder_);
    ASSERT_TRUE(fs::exists(lock)) << "the other user's folder was not made";

    SingleInstanceGuard guard("display:1");
    EXPECT_EQ(guard.claim(), SingleInstanceGuard::Role::Primary) << guard.failure();
    EXPECT_TRUE(guard.failure().empty()) << guard.failure();
    EXPECT_EQ(fs::path(guard.socketPath()).parent_path().parent_path(), home.path() / ".cache");
}

// Starts at the same moment, in a home without its cache folder yet: one runs, the others find
// it; none gives up.
TEST_F(FallbackFolderTest, StartsAtTheSameMomentAllFindTheOneInstance) {
    const std::string dir = shared_ + "/home/.cache/orvalin-runtime";
    std::vector<pid_t> starts;
    for (int i = 0; i < 6; ++i) {
        pid_t child = ::fork();
        if (child == 0) {
            SingleInstanceGuard guard("display:1", dir);
            const auto role = guard.claim();
            if (role == SingleInstanceGuard::Role::Primary) ::usleep(500 * 1000);
            ::_exit(static_cast<int>(role));
        }
        ASSERT_GT(child, 0);
        starts.push_back(child);
    }
    std::map<int, int> roles;
    for (pid_t child : starts) {
        int status = 0;
        ::waitpid(child, &status, 0);
        ++roles[WIFEXITED(status) ? WEXITSTATUS(status) : -1];
    }
    EXPECT_EQ(roles[static_cast<int>(SingleInstanceGuard::Role::Primary)], 1);
    EXPECT_EQ(roles[static_cast<int>(SingleInstanceGuard::Role::Secondary)], 5);
}

// A start while the running instance is ending (it holds the lock but no longer answers) takes
// over once the lock is free, rather than leaving no instance at all; one that holds on without
// answering is reported.
TEST_F(SingleInstanceTest, AStartWhileTheRunningOneEndsTakesOver) {
    const pid_t ending = holdLock(lockOf("display:1", dir_), "0.7");
    const pid_t stuck = holdLock(lockOf("display:2", dir_), "10");

    SingleInstanceGuard start("display:1", dir_);
    EXPECT_EQ(start.claimOrNotify(5000), SingleInstanceGuard::Role::Primary) << start.failure();
    SingleInstanceGuard late("display:2", dir_);
    EXPECT_EQ(late.claimOrNotify(600), SingleInstanceGuard::Role::Secondary);
    EXPECT_NE(late.failure().find("ne répond pas"), std::string::npos) << late.failure();

    ::kill(-stuck, SIGKILL);
    for (pid_t holder : {ending, stuck}) ::waitpid(holder, nullptr, 0);
}

}  // namespace
}  // namespace orvalin
