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

class ManualClockEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        char pattern[] = "/tmp/qv-test-home-XXXXXX";
        if (const char* dir = mkdtemp(pattern)) {
            home_ = dir;
            setenv("QV_HOME", dir, 1);
        }
    }
    void TearDown() override {
        std::error_code ignored;
        if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
    }

private:
    std::string home_;
};

class ManualClockListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { platform::ManualClock::start(); }
    void OnTestEnd(const ::testing::TestInfo&) override { platform::ManualClock::drain(); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ManualClockEnvironment);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ManualClockListener);
    return RUN_ALL_TESTS();
}
