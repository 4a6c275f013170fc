// The first video frames of a process asked for from several threads at once: FFmpeg, which
// this test program does not link, is opened once under them and every reader gets its frame.
#include <QVPlatform/media/VideoFrame.h>

#include "support/MappedLibraries.h"
#include "support/TemporaryFolder.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

using namespace platform;

TEST(VideoFrameConcurrency, FirstCallsFromManyThreadsLoadFFmpegOnceAndAllDecode) {
    qvtest::TemporaryFolder clips("qv-video");
    const std::string path = clips.folder + "/portrait.mov";  // 64×32, a quarter turn clockwise
    const std::string bytes = qvtest::readTestData("video/portrait.mov");
    ASSERT_FALSE(bytes.empty());
    std::ofstream(path, std::ios::binary) << bytes;
    ASSERT_FALSE(qvtest::isMapped("libavformat.so"));  // linking our libraries loads no FFmpeg

    std::promise<void> go;
    const std::shared_future<void> start = go.get_future().share();
    std::vector<std::future<std::optional<VideoFrame>>> readers;
    for (int i = 0; i < 6; ++i) {
        const std::string source = i % 3 == 2 ? clips.folder + "/missing.mov" : path;
        readers.push_back(std::async(std::launch::async, [start, source] {
            start.wait();
            return copyVideoFrame(source, 0.5, true);
        }));
    }
    go.set_value();
    std::optional<VideoFrame> first;
    for (int i = 0; i < 6; ++i) {
        auto frame = readers[i].get();
        if (i % 3 == 2) {
            EXPECT_FALSE(frame);
            continue;
        }
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->width, 32);
        EXPECT_EQ(frame->height, 64);
        EXPECT_NEAR(frame->rgba[(8 * 32 + 16) * 4], 20 + 8 * 5, 3);  // frame 5's left half, now on top
        EXPECT_NEAR(frame->rgba[(56 * 32 + 16) * 4], 250, 6);
        if (!first) first = frame;
        EXPECT_EQ(frame->rgba, first->rgba);
    }
    EXPECT_TRUE(qvtest::isMapped("libavformat.so"));
}
