// FrameStore: everything one playing animation needs: the decoded source, the frames with
// their durations, the frames' images as far as they are loaded, the playback position and
// the caching policy that keeps memory bounded.
//
//   auto store = FrameStore::make(gifBytes, {100, 100}, UIViewContentMode::scaleToFill, 5, 0);
//   store->prepareFrames([] { /* on the preload queue: frames set up, 0...5 loaded */ });
//   if (store->shouldChangeFrame(1.0 / 60)) show(store->currentFrameImage());  // per tick
//
// A store over GIF data times each frame by its delay (frameStoreDelay); a store over a list
// of images shows each for 0.05 s. Images are decoded (and, with shouldResizeFrames, redrawn
// at the view's size) on the store's own serial preload queue, ahead of the frame shown:
// `cacheUpcoming(n)` keeps the current frame and at most n after it, evicting the frame shown
// before; `cacheAll` never evicts and looks 10 frames ahead. A window of 0 or less keeps one
// frame ahead (frameBufferSize still reports it). Each frame change evicts the frame it left
// and loads the window of the frame it reached, so even when the queue lags behind several
// changes no more than window + 1 frames are decoded at any moment.
//
// Thread rule: the clock and position (shouldChangeFrame) belong to one display thread;
// every reader may be called from any thread. The preload queue runs setup, the completion
// callback and the cache updates; a lock guards the frame list and is never held while a
// frame is decoded or redrawn. Queued work keeps the store alive until it has run.
#pragma once

#include <QVToolbox/gif/AnimatedFrame.h>

#include <QVPlatform/base/Data.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/graphics/ImageSource.h>
#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UIView.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace QVToolbox {

class FrameStore : public std::enable_shared_from_this<FrameStore> {
    struct Token {};

public:
    using Images = std::vector<std::shared_ptr<platform::UIImage>>;

    // How many frames stay decoded.
    class FrameCachingStrategy {
    public:
        enum class Kind { cacheUpcoming, cacheAll };
        static constexpr FrameCachingStrategy cacheUpcoming(std::int64_t count) { return {Kind::cacheUpcoming, count}; }
        static constexpr FrameCachingStrategy cacheAll() { return {Kind::cacheAll, 0}; }

        constexpr Kind kind() const { return kind_; }
        // The payload of cacheUpcoming; absent for cacheAll.
        constexpr std::optional<std::int64_t> upcoming() const {
            return kind_ == Kind::cacheUpcoming ? std::optional<std::int64_t>(count_) : std::nullopt;
        }
        // The payload of cacheUpcoming, or 10 for cacheAll.
        constexpr std::int64_t bufferSize() const { return kind_ == Kind::cacheAll ? 10 : count_; }
        friend constexpr bool operator==(const FrameCachingStrategy&, const FrameCachingStrategy&) = default;

    private:
        constexpr FrameCachingStrategy(Kind kind, std::int64_t count) : kind_(kind), count_(count) {}
        Kind kind_;
        std::int64_t count_;  // 0 for cacheAll
    };

    // A store over `data` (an image source without the platform's frame cache; an empty
    // incremental source when the bytes are no readable image) and/or over `images` (which
    // wins for frame count and images when both are given).
    static std::shared_ptr<FrameStore> make(std::optional<platform::Data> data, std::optional<Images> images,
                                            platform::CGSize size, platform::UIViewContentMode contentMode,
                                            FrameCachingStrategy cachingStrategy, std::int64_t loopCount);
    // A store over `data` with cacheUpcoming(frameBufferSize) when it is 1 or more, else cacheAll.
    static std::shared_ptr<FrameStore> make(platform::Data data, platform::CGSize size,
                                            platform::UIViewContentMode contentMode, std::int64_t frameBufferSize,
                                            std::int64_t loopCount);

    FrameStore(Token, platform::CGSize size, platform::UIViewContentMode contentMode,
               FrameCachingStrategy cachingStrategy, std::int64_t loopCount);
    FrameStore(const FrameStore&) = delete;
    FrameStore& operator=(const FrameStore&) = delete;

    // Counts the frames and reserves room for them, then sets the frames up on the preload
    // queue (durations, loop duration, the first window loaded) and calls `completionHandler`
    // there. Call once.
    void prepareFrames(std::function<void()> completionHandler = {});

    // One display tick of `duration` seconds (at most maxTimeStep counts; NaN or negative
    // counts as 0). True, after moving to the next frame, when the current frame's time is
    // up to within a nanosecond (the remainder carries over); at most one change per tick. `handler`, when given,
    // receives the same flag.
    bool shouldChangeFrame(double duration, const std::function<void(bool)>& handler = {});

    // The image of frame `index`; null past the frames set up or while not loaded.
    std::shared_ptr<platform::UIImage> frame(std::int64_t index) const;
    // The seconds of frame `index`; positive infinity past the frames set up.
    double duration(std::int64_t index) const;
    // Turns frame `index` into a placeholder with the same duration (no effect out of range).
    void deleteCachedFrame(std::int64_t index);

    std::shared_ptr<platform::UIImage> currentFrameImage() const { return frame(currentFrameIndex()); }
    double currentFrameDuration() const { return duration(currentFrameIndex()); }
    // True for a non-empty image list; for data, a GIF of 2 frames or more.
    bool isAnimatable() const;

    const FrameCachingStrategy& cachingStrategy() const { return cachingStrategy_; }
    std::int64_t frameBufferSize() const { return cachingStrategy_.bufferSize(); }
    // One loop's seconds, each frame counting at most maxTimeStep; 0 until set up.
    double loopDuration() const { return loopDuration_.load(); }
    // True exactly while the last frame is current.
    bool isLoopFinished() const { return isLoopFinished_.load(); }
    // True once the last frame of the last loop became current; never reset.
    bool isFinished() const { return isFinished_.load(); }
    // Loops to play; below 1 plays forever.
    std::int64_t loopCount() const { return loopCount_; }
    std::int64_t currentLoop() const { return currentLoop_.load(); }
    double maxTimeStep() const { return kMaxTimeStep; }
    // A copy of the frame list as it stands.
    std::vector<AnimatedFrame> animatedFrames() const;
    platform::CGSize size() const { return size_; }
    platform::UIViewContentMode contentMode() const { return contentMode_; }
    std::int64_t frameCount() const { return frameCount_.load(); }
    const platform::CGImageSourceRef& imageSource() const { return imageSource_; }
    const std::optional<Images>& images() const { return images_; }
    std::int64_t currentFrameIndex() const { return currentFrameIndex_.load(); }
    std::int64_t previousFrameIndex() const { return previousFrameIndex_.load(); }
    double timeSinceLastFrameChange() const { return timeSinceLastFrameChange_; }
    // Whether loaded frames are redrawn at `size` by the content mode (default true).
    bool shouldResizeFrames() const { return shouldResizeFrames_.load(); }
    void setShouldResizeFrames(bool value) { shouldResizeFrames_.store(value); }

    // Frames holding a decoded image now, and the most there ever were at once (with the
    // bytes of their pixels): what the caching strategy costs.
    std::size_t decodedFrameCount() const;
    std::size_t peakDecodedFrameCount() const;
    std::size_t peakDecodedBytes() const;

private:
    static constexpr double kMaxTimeStep = 1.0;
    // Sums of tick durations land a rounding error short of a frame's delay (six ticks of
    // 1/60 s against 0.1 s): a frame is due once its time is within a nanosecond.
    static constexpr double kDueTolerance = 1e-9;
    static constexpr double kImageListFrameDuration = 0.05;

    void setupAnimatedFrames();
    // Ensures frame `index` holds an image: loads it outside the lock when it is a placeholder.
    void loadIfPlaceholder(std::int64_t index);
    std::shared_ptr<platform::UIImage> loadFrame(std::int64_t index) const;
    std::shared_ptr<platform::UIImage> resized(std::shared_ptr<platform::UIImage> image) const;
    // After the change from `previous` to `current`: evicts `previous` when the window does
    // not cover it, then loads the window after `current`.
    void updateFrameCache(std::int64_t previous, std::int64_t current);
    // The frames after `start`, as many as the effective window, wrapping past the last.
    std::vector<std::int64_t> indexesToCache(std::int64_t start) const;
    // The window in use: the buffer size, at least 1.
    std::int64_t effectiveWindow() const;
    void incrementCurrentFrameIndex();
    void storeFrameLocked(std::size_t index, std::shared_ptr<platform::UIImage> image);
    platform::DispatchQueue& preloadFrameQueue();
    std::size_t readLocked(const std::size_t& counter) const;

    const FrameCachingStrategy cachingStrategy_;
    const std::int64_t loopCount_;
    const platform::CGSize size_;
    const platform::UIViewContentMode contentMode_;
    platform::CGImageSourceRef imageSource_;  // set once by make
    std::optional<Images> images_;            // set once by make
    bool isGifSource_ = false;                // set once by make: the source is a GIF

    // Written by the preload queue, read anywhere.
    std::atomic<double> loopDuration_{0};
    // Written by the display thread, read anywhere (the preload queue reads the count).
    std::atomic<std::int64_t> frameCount_{0};
    std::atomic<std::int64_t> currentFrameIndex_{0};
    std::atomic<std::int64_t> previousFrameIndex_{0};
    std::atomic<std::int64_t> currentLoop_{0};
    std::atomic<bool> isLoopFinished_{false};
    std::atomic<bool> isFinished_{false};
    std::atomic<bool> shouldResizeFrames_{true};
    double timeSinceLastFrameChange_ = 0;  // display thread only

    mutable std::mutex lock_;  // guards animatedFrames_ and the decoded counters
    std::vector<AnimatedFrame> animatedFrames_;
    std::size_t decodedFrames_ = 0;
    std::size_t decodedBytes_ = 0;
    std::size_t peakDecodedFrames_ = 0;
    std::size_t peakDecodedBytes_ = 0;

    std::once_flag queueOnce_;
    platform::DispatchQueuePtr preloadFrameQueue_;  // made on first use, then never changed
};

}  // namespace QVToolbox
