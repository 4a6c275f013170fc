#include <QVToolbox/FoundationExtension/data/VideoHelpers.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/base/Debug.h>
#include <QVPlatform/media/VideoFrame.h>

namespace QVToolbox {

namespace {

// The frame at 1.0 s (time scale 10, value 10), with no size limit.
constexpr double kFrameTime = 10.0 / 10.0;

std::shared_ptr<platform::UIImage> frameImage(std::string_view source, bool preferredTrackTransform) {
    auto frame = platform::copyVideoFrame(source, kFrameTime, preferredTrackTransform);
    std::shared_ptr<platform::UIImage> image;
    if (frame) {
        image = platform::UIImage::imageWithBitmap(
            platform::Bitmap{frame->width, frame->height, std::move(frame->rgba)});
    }
    if (!image) platform::debugPrint(kVideoFrameFailedMessage);
    return image;
}

}  // namespace

std::shared_ptr<platform::UIImage> getLocalVideoImage(std::string_view videoPath, bool preferredTrackTransform) {
    // Only files here: an address goes through the server variants.
    if (videoPath.starts_with("http://") || videoPath.starts_with("https://")) {
        platform::debugPrint(kVideoFrameFailedMessage);
        return nullptr;
    }
    return frameImage(videoPath, preferredTrackTransform);
}

std::vector<std::shared_ptr<platform::UIImage>> getLocalVideoImages(const std::vector<std::string>& videoPaths,
                                                                    bool preferredTrackTransform) {
    std::vector<std::shared_ptr<platform::UIImage>> images;
    images.reserve(videoPaths.size());
    for (const auto& path : videoPaths) images.push_back(getLocalVideoImage(path, preferredTrackTransform));
    return images;
}

void getServerVideoImage(std::string videoPath, bool preferredTrackTransform,
                         std::function<void(std::shared_ptr<platform::UIImage>)> completion) {
    platform::DispatchQueue::global()->async([path = std::move(videoPath), preferredTrackTransform,
                                              completion = std::move(completion)]() mutable {
        auto image = frameImage(path, preferredTrackTransform);
        platform::DispatchQueue::main()->async([image = std::move(image), completion = std::move(completion)] {
            if (completion) completion(image);
        });
    });
}

void getServerVideoImages(std::vector<std::string> videoPaths, bool preferredTrackTransform,
                          std::function<void(std::vector<std::shared_ptr<platform::UIImage>>)> completion) {
    platform::DispatchQueue::global()->async([paths = std::move(videoPaths), preferredTrackTransform,
                                              completion = std::move(completion)]() mutable {
        std::vector<std::shared_ptr<platform::UIImage>> images;
        images.reserve(paths.size());
        for (const auto& path : paths) images.push_back(frameImage(path, preferredTrackTransform));
        platform::DispatchQueue::main()->async([images = std::move(images), completion = std::move(completion)] {
            if (completion) completion(images);
        });
    });
}

}  // namespace QVToolbox
