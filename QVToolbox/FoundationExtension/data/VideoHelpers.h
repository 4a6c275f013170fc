// Video frames: the picture at 1.0 s of a local video file or of a video at an HTTP(S)
// address, as an image. Reached through the file manager wrapper:
// HxPOP<platform::FileManager>::getLocalVideoImage("/tmp/clip.mp4", true).
//
//   auto image = getLocalVideoImage("/tmp/clip.mp4", true);   // UIImage, rotated upright
//   getServerVideoImage("https://host/clip.mp4", true, [](auto image) { /* main thread */ });
//
// A frame that cannot be had (no file, no video track, undecodable) hands "获取缩略图失败" to
// the debug channel and gives a null image. The local functions work on the calling thread;
// the server ones on the shared default-priority queue, calling back on the main queue.
#pragma once

#include <QVPlatform/ui/UIImage.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

inline constexpr const char* kVideoFrameFailedMessage = "获取缩略图失败";

// With `preferredTrackTransform`, the track's rotation is applied (a portrait recording
// comes out portrait).
std::shared_ptr<platform::UIImage> getLocalVideoImage(std::string_view videoPath, bool preferredTrackTransform);
std::vector<std::shared_ptr<platform::UIImage>> getLocalVideoImages(const std::vector<std::string>& videoPaths,
                                                                    bool preferredTrackTransform);
void getServerVideoImage(std::string videoPath, bool preferredTrackTransform,
                         std::function<void(std::shared_ptr<platform::UIImage>)> completion);
void getServerVideoImages(std::vector<std::string> videoPaths, bool preferredTrackTransform,
                          std::function<void(std::vector<std::shared_ptr<platform::UIImage>>)> completion);

}  // namespace QVToolbox
