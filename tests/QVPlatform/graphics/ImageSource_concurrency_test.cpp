// One image source shared by several threads: readers of frames and properties while a
// feeder adds incremental data; and URL session tasks resumed and cancelled from many threads.
#include <QVPlatform/foundation/URLSession.h>
#include <QVPlatform/graphics/ImageSource.h>

#include "support/GifWriter.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

using namespace platform;

namespace {

testgif::Gif animation() {
    testgif::Gif gif;
    gif.width = 16;
    gif.height = 16;
    gif.globalTable = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 255}};
    for (int i = 0; i < 24; ++i) {
        auto f = testgif::solid(i % 8, i % 5, 8, 8, static_cast<std::uint8_t>(i % 4));
        f.disposal = i % 4;
        gif.frames.push_back(f);
    }
    return gif;
}

}  // namespace

TEST(ImageSourceConcurrency, ReadersAndAFeederShareOneSource) {
    const auto bytes = testgif::write(animation());
    const auto reference = CGImageSourceCreateWithData(Data(bytes));
    std::vector<Bitmap> expected;
    for (std::size_t i = 0; i < 24; ++i) expected.push_back(*CGImageSourceCreateImageAtIndex(*reference, i));

    const auto shared = CGImageSourceCreateWithData(Data(bytes), {{kCGImageSourceShouldCache, false}});
    const auto incremental = CGImageSourceCreateIncremental();
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 30; ++round) {
                const std::size_t i = static_cast<std::size_t>((round * 7 + t * 5) % 24);
                if (CGImageSourceCreateImageAtIndex(*shared, i) != expected[i]) ++mismatches;
                (void)CGImageSourceCopyPropertiesAtIndex(*incremental, i);
                const auto partial = CGImageSourceCreateImageAtIndex(*incremental, i);
                if (partial && *partial != expected[i]) ++mismatches;
            }
        });
    }
    threads.emplace_back([&] {
        for (std::size_t n = 0; n <= bytes.size(); n += 50) CGImageSourceUpdateData(*incremental, Data(bytes.data(), n), false);
        CGImageSourceUpdateData(*incremental, Data(bytes), true);
    });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(CGImageSourceGetCount(*incremental), 24u);
}

TEST(URLSessionConcurrency, TasksResumedAndCancelledFromManyThreadsEachCompleteOnce) {
    testhttp::LocalHttpServer server({{"/a", testhttp::Route{200, "abc"}}}, 64);
    std::atomic<int> completions{0};
    std::promise<void> allDone;
    constexpr int kTasks = 12;
    std::vector<std::shared_ptr<URLSessionDataTask>> tasks;
    for (int i = 0; i < kTasks; ++i) {
        tasks.push_back(URLSession::shared()->dataTaskWithURL(*URL::string(server.url("/a")), [&](auto, auto, auto) {
            if (++completions == kTasks) allDone.set_value();
        }));
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            for (int i = t; i < kTasks; i += 3) {
                tasks[static_cast<std::size_t>(i)]->resume();
                if (i % 2) tasks[static_cast<std::size_t>(i)]->cancel();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    ASSERT_EQ(allDone.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
    for (auto& task : tasks) EXPECT_EQ(task->state(), URLSessionDataTask::State::completed);
    EXPECT_EQ(completions.load(), kTasks);
}
