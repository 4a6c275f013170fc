// Frames of local and remote videos as static members of the file manager's wrapper
// (VideoHelpers.h holds the contracts):
//
//   HxPOP<platform::FileManager>::getLocalVideoImage("/tmp/a.mp4", true);   // the first frame
//
// Thread rule: the local calls run on the caller's thread; the server calls complete on the
// main queue.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/data/VideoHelpers.h>

#include <QVPlatform/foundation/FileManager.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace QVToolbox {

// The video-frame helpers of VideoHelpers.h as static members of the file manager.
template <class W, class Base>
struct VideoMembers {};

template <class W>
struct VideoMembers<W, platform::FileManager> {
    static std::shared_ptr<platform::UIImage> getLocalVideoImage(std::string_view videoPath, bool preferredTrackTransform) {
        return QVToolbox::getLocalVideoImage(videoPath, preferredTrackTransform);
    }
    static std::vector<std::shared_ptr<platform::UIImage>> getLocalVideoImages(const std::vector<std::string>& videoPaths,
                                                                               bool preferredTrackTransform) {
        return QVToolbox::getLocalVideoImages(videoPaths, preferredTrackTransform);
    }
    static void getServerVideoImage(std::string videoPath, bool preferredTrackTransform,
                                    std::function<void(std::shared_ptr<platform::UIImage>)> completion) {
        QVToolbox::getServerVideoImage(std::move(videoPath), preferredTrackTransform, std::move(completion));
    }
    static void getServerVideoImages(std::vector<std::string> videoPaths, bool preferredTrackTransform,
                                     std::function<void(std::vector<std::shared_ptr<platform::UIImage>>)> completion) {
        QVToolbox::getServerVideoImages(std::move(videoPaths), preferredTrackTransform, std::move(completion));
    }
};

}  // namespace QVToolbox
