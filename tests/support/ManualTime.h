// Manual time for one test, with the calling thread made the main thread so the test can
// pump the main run loop.
#pragma once

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>

namespace testing_support {

struct ManualTime {
    ManualTime() {
        platform::RunLoop::setMainThread();
        platform::ManualClock::start();
    }
    ~ManualTime() { platform::ManualClock::stop(); }
    ManualTime(const ManualTime&) = delete;
    ManualTime& operator=(const ManualTime&) = delete;
};

}  // namespace testing_support
