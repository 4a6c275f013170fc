// Test entry point: every test starts on the manual clock, in a private home folder, so that
// no test depends on the machine's time, files or settings.
#include <gtest/gtest.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The private home folder, removed at exit. Exit handlers run in reverse order of
// registration, so registering the removal first makes it run after every handler the
// libraries register later (the user defaults write pending changes into this home at exit).
class TestHome {
public:
    static void make() {
        char pattern[] = "/tmp/qv-test-home-XXXXXX";
        if (const char* dir = mkdtemp(pattern)) {
            folder() = dir;
            owner() = ::getpid();
            setenv("QV_HOME", dir, 1);
            std::atexit(remove);
        }
    }

private:
    static void remove() {
        if (owner() != ::getpid()) return;  // a forked child leaves its parent's home alone
        std::error_code ignored;
        std::filesystem::remove_all(folder(), ignored);
    }
    static std::string& folder() {
        static std::string path;
        return path;
    }
    static pid_t& owner() {
        static pid_t pid = 0;
        return pid;
    }
};

class ManualClockListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { platform::ManualClock::start(); }
    void OnTestEnd(const ::testing::TestInfo&) override { platform::ManualClock::drain(); }
};

}  // namespace

int main(int argc, char** argv) {
    TestHome::make();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ManualClockListener);
    return RUN_ALL_TESTS();
}
