// VideoFrame: one picture of a video — a local file or an HTTP(S) address — decoded with
// FFmpeg into RGBA pixels.
//
//   std::string error;
//   auto frame = copyVideoFrame("/tmp/clip.mp4", 1.0, true, &error);
//   frame->width; frame->height; frame->rgba.size();   // 4 bytes per pixel, rows top down
//
// The frame is the one on screen at the asked time: the last frame that starts at or before
// it (the first frame when the video starts later, the last when it is shorter). With
// `applyTrackTransform` the track's display rotation (a multiple of 90 degrees, as phones
// record) is applied. Network reads give up after 15 seconds without data; only the file,
// http and https protocols are used. FFmpeg's libraries are loaded on the first call, not
// when the program starts; where they are missing every call fails with that reason. Thread
// rule: callable from any thread; it blocks while it reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct VideoFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes, unpremultiplied, opaque
};

// Absent (with a reason in `error` when given) when the source cannot be opened, has no
// video track or no frame can be decoded.
std::optional<VideoFrame> copyVideoFrame(std::string_view pathOrURL, double seconds, bool applyTrackTransform,
                                         std::string* error = nullptr);

}  // namespace platform
