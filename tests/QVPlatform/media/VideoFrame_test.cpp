#include <QVPlatform/media/VideoFrame.h>

#include "support/TestVideo.h"

#include <gtest/gtest.h>

#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace platform;

namespace {

struct Clips : qvtest::TemporaryFolder {
    Clips() : TemporaryFolder("qv-video") {}
};

int grey(const VideoFrame& f, int x, int y) { return f.rgba[(static_cast<std::size_t>(y) * f.width + x) * 4]; }

}  // namespace

TEST(VideoFrame, FrameAtOneSecondAndTheTracksRotation) {
    Clips clips;
    const std::string path = clips.folder + "/portrait:clip.mov";  // a colon is no protocol
    ASSERT_TRUE(qvtest::writeTestVideo(path, 30, 90));
    std::string error;
    auto frame = copyVideoFrame(path, 1.0, false, &error);
    ASSERT_TRUE(frame) << error;
    EXPECT_EQ(frame->width, 64);
    EXPECT_EQ(frame->height, 32);
    EXPECT_NEAR(grey(*frame, 8, 16), 20 + 8 * 10, 3);  // frame 10 is on screen at 1.0 s
    EXPECT_NEAR(grey(*frame, 56, 16), 250, 6);
    EXPECT_EQ(frame->rgba[3], 255);

    auto upright = copyVideoFrame(path, 1.0, true);
    ASSERT_TRUE(upright);
    EXPECT_EQ(upright->width, 32);  // turned a quarter clockwise: the left half is now on top
    EXPECT_EQ(upright->height, 64);
    EXPECT_NEAR(grey(*upright, 16, 8), 100, 6);
    EXPECT_NEAR(grey(*upright, 16, 56), 250, 6);
}

TEST(VideoFrame, ShortVideosMissingFilesAndNonVideos) {
    Clips clips;
    const std::string path = clips.folder + "/short.mov";
    ASSERT_TRUE(qvtest::writeTestVideo(path, 5, 0));  // half a second long: one of its last frames
    auto last = copyVideoFrame(path, 1.0, true);
    ASSERT_TRUE(last);
    EXPECT_GE(grey(*last, 8, 16), 20 + 8 * 3 - 3);
    EXPECT_NEAR(grey(*copyVideoFrame(path, 0.0, false), 8, 16), 20, 3);
    auto farPast = copyVideoFrame(path, 1e300, false);  // far past the end: still the end, not the start
    ASSERT_TRUE(farPast);
    EXPECT_GE(grey(*farPast, 8, 16), 20 + 8 * 3 - 3);
    std::string error;
    EXPECT_FALSE(copyVideoFrame(clips.folder + "/none.mp4", 1.0, false, &error));
    EXPECT_FALSE(error.empty());
    std::ofstream(clips.folder + "/text.mp4") << "not a video at all";
    EXPECT_FALSE(copyVideoFrame(clips.folder + "/text.mp4", 1.0, false));
    EXPECT_FALSE(copyVideoFrame("", 1.0, false));
}
