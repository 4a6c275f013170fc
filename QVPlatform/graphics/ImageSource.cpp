#include <QVPlatform/graphics/ImageSource.h>

#include <QVPlatform/graphics/detail/GifCompositor.h>
#include <QVPlatform/graphics/detail/GifStructure.h>

#include <cstring>
#include <limits>
#include <map>
#include <mutex>

namespace platform {

namespace {

enum class Container { unknown, gif, png, jpeg };

constexpr std::size_t kFrameCacheBytes = 64u << 20;

Container containerOf(std::span<const std::uint8_t> bytes) {
    if (detail::hasGifSignature(bytes)) return Container::gif;
    switch (imageFormatOf(bytes)) {
        case ImageFormat::png: return Container::png;
        case ImageFormat::jpeg: return Container::jpeg;
        default: return Container::unknown;
    }
}

// Enough bytes to tell the container: the GIF signature is the longest asked for.
constexpr std::size_t kSignatureBytes = 8;

bool optionOn(const Any::Dictionary& options, const char* key, bool fallback) {
    const auto it = options.find(key);
    return it == options.end() ? fallback : it->second.boolValue();
}

}  // namespace

class CGImageSource {
public:
    explicit CGImageSource(bool shouldCache) : shouldCache_(shouldCache) {}

    // Takes all the bytes so far (an incremental update).
    void update(const Data& data, bool final) {
        std::lock_guard lock(mutex_);
        const bool extends = data.count() >= bytes_.size() &&
                             (bytes_.empty() || std::memcmp(data.bytes(), bytes_.data(), bytes_.size()) == 0);
        if (!extends) {
            startOver();
            bytes_.clear();
        }
        bytes_.insert(bytes_.end(), data.vector().begin() + static_cast<std::ptrdiff_t>(bytes_.size()), data.vector().end());
        classify(final);
    }

    // Takes the whole data at once, without copying it.
    void adopt(Data data) {
        std::lock_guard lock(mutex_);
        bytes_ = std::move(data.vector());
        classify(true);
    }

    CGImageSourceStatus status() const {
        std::lock_guard lock(mutex_);
        if (container_ == Container::unknown) {
            return bytes_.size() >= kSignatureBytes || final_ ? CGImageSourceStatus::unknownType
                                                                : CGImageSourceStatus::readingHeader;
        }
        if (container_ != Container::gif) return final_ ? CGImageSourceStatus::complete : CGImageSourceStatus::incomplete;
        switch (scanned().state()) {
            case detail::GifScanState::readingHeader: return CGImageSourceStatus::readingHeader;
            case detail::GifScanState::refused:
            case detail::GifScanState::broken: return CGImageSourceStatus::invalidData;
            case detail::GifScanState::ended: return CGImageSourceStatus::complete;
            default: return final_ ? CGImageSourceStatus::complete : CGImageSourceStatus::incomplete;
        }
    }

    std::size_t count() const {
        std::lock_guard lock(mutex_);
        return countLocked();
    }

    std::optional<std::string> type() const {
        std::lock_guard lock(mutex_);
        switch (container_) {
            case Container::gif: return kUTTypeGIF;
            case Container::png: return kUTTypePNG;
            case Container::jpeg: return kUTTypeJPEG;
            default: return std::nullopt;
        }
    }

    Any::Dictionary properties() const {
        std::lock_guard lock(mutex_);
        Any::Dictionary properties{{kCGImagePropertyFileSize, bytes_.size()}};
        if (container_ != Container::gif || !scanned().hasScreen()) return properties;
        const auto& screen = scanner_.screen();
        Any::Dictionary gif{{kCGImagePropertyGIFCanvasPixelWidth, screen.width},
                            {kCGImagePropertyGIFCanvasPixelHeight, screen.height},
                            {kCGImagePropertyGIFHasGlobalColorMap, screen.globalTableSize > 0}};
        if (const auto loops = scanner_.loopCount()) gif.insert_or_assign(kCGImagePropertyGIFLoopCount, *loops);
        properties.insert_or_assign(kCGImagePropertyGIFDictionary, std::move(gif));
        return properties;
    }

    // A made source that can serve: a known container, and for a GIF a screen within limits.
    bool usable() const {
        std::lock_guard lock(mutex_);
        if (container_ != Container::gif) return container_ != Container::unknown;
        return scanner_.hasScreen();
    }

    std::optional<Any::Dictionary> propertiesAt(std::size_t index) const {
        std::lock_guard lock(mutex_);
        if (!hasFrameLocked(index)) return std::nullopt;
        if (container_ != Container::gif) {
            const auto still = stillLocked();
            if (!still) return Any::Dictionary{};
            return Any::Dictionary{{kCGImagePropertyPixelWidth, still->width}, {kCGImagePropertyPixelHeight, still->height}};
        }
        const auto& screen = scanner_.screen();
        Any::Dictionary properties{{kCGImagePropertyPixelWidth, screen.width}, {kCGImagePropertyPixelHeight, screen.height}};
        const auto& frame = scanner_.frames()[index];
        if (frame.hasControl) {
            const double unclamped = frame.delayCentiseconds / 100.0;
            // Delays of 0 or 1 cs play at 0.1 s, as browsers do.
            const double clamped = frame.delayCentiseconds <= 1 ? 0.1 : unclamped;
            properties.insert_or_assign(kCGImagePropertyGIFDictionary,
                                        Any::Dictionary{{kCGImagePropertyGIFUnclampedDelayTime, unclamped},
                                                        {kCGImagePropertyGIFDelayTime, clamped}});
        }
        return properties;
    }

    std::optional<Bitmap> image(std::size_t index) {
        std::lock_guard lock(mutex_);
        if (!hasFrameLocked(index)) return std::nullopt;
        if (container_ != Container::gif) {
            const auto* still = stillLocked();
            return still ? std::optional<Bitmap>(*still) : std::nullopt;
        }
        if (const auto cached = cache_.find(index); cached != cache_.end()) return cached->second;
        auto frame = compositor_.frame(bytes_, scanner_.screen(), scanner_.frames(), index);
        if (frame && shouldCache_ && cacheBytes_ + frame->rgba.size() <= kFrameCacheBytes) {
            cacheBytes_ += frame->rgba.size();
            cache_.emplace(index, *frame);
        }
        return frame;
    }

private:
    void classify(bool final) {
        final_ = final;
        if (container_ == Container::unknown && (bytes_.size() >= kSignatureBytes || final)) container_ = containerOf(bytes_);
        if (container_ == Container::gif) scanner_.scan(bytes_, 0);  // the header; frames when asked for
    }

    // The scan, carried as far as `wanted` frames (all by default).
    const detail::GifScanner& scanned(std::size_t wanted = std::numeric_limits<std::size_t>::max()) const {
        if (container_ == Container::gif) scanner_.scan(bytes_, wanted);
        return scanner_;
    }

    bool hasFrameLocked(std::size_t index) const {
        if (container_ != Container::gif) return index < countLocked();
        return index < scanned(index + 1).frames().size();
    }

    std::size_t countLocked() const {
        switch (container_) {
            case Container::gif: return scanned().frames().size();
            case Container::png:
            case Container::jpeg: return final_ ? 1 : 0;
            default: return 0;
        }
    }

    // The one frame of a PNG or JPEG, decoded once; null when it does not decode.
    const Bitmap* stillLocked() const {
        if (!stillTried_) {
            still_ = decodeImage(bytes_);
            stillTried_ = true;
        }
        return still_ ? &*still_ : nullptr;
    }

    void startOver() {
        container_ = Container::unknown;
        scanner_.reset();
        compositor_.reset();
        still_.reset();
        stillTried_ = false;
        cache_.clear();
        cacheBytes_ = 0;
    }

    const bool shouldCache_;
    mutable std::mutex mutex_;  // guards every member below: the bytes, the scan, the cursor, the caches
    std::vector<std::uint8_t> bytes_;
    bool final_ = false;
    Container container_ = Container::unknown;
    mutable detail::GifScanner scanner_;  // carried forward on demand, hence mutable
    detail::GifCompositor compositor_;
    mutable std::optional<Bitmap> still_;
    mutable bool stillTried_ = false;
    std::map<std::size_t, Bitmap> cache_;
    std::size_t cacheBytes_ = 0;
};

bool UTTypeConformsTo(std::string_view type, std::string_view conformsTo) {
    if (type == conformsTo) return true;
    const bool image = type == kUTTypeGIF || type == kUTTypePNG || type == kUTTypeJPEG;
    return image && (conformsTo == "public.image" || conformsTo == "public.data" || conformsTo == "public.item");
}

CGImageSourceRef CGImageSourceCreateWithData(Data data, const Any::Dictionary& options) {
    auto source = std::make_shared<CGImageSource>(optionOn(options, kCGImageSourceShouldCache, true));
    source->adopt(std::move(data));
    return source->usable() ? source : nullptr;
}

CGImageSourceRef CGImageSourceCreateIncremental(const Any::Dictionary& options) {
    return std::make_shared<CGImageSource>(optionOn(options, kCGImageSourceShouldCache, true));
}

void CGImageSourceUpdateData(CGImageSource& source, const Data& data, bool final) { source.update(data, final); }

CGImageSourceStatus CGImageSourceGetStatus(const CGImageSource& source) { return source.status(); }

std::size_t CGImageSourceGetCount(const CGImageSource& source) { return source.count(); }

std::optional<std::string> CGImageSourceGetType(const CGImageSource& source) { return source.type(); }

Any::Dictionary CGImageSourceCopyProperties(const CGImageSource& source) { return source.properties(); }

std::optional<Any::Dictionary> CGImageSourceCopyPropertiesAtIndex(const CGImageSource& source, std::size_t index) {
    return source.propertiesAt(index);
}

std::optional<Bitmap> CGImageSourceCreateImageAtIndex(CGImageSource& source, std::size_t index) {
    return source.image(index);
}

}  // namespace platform
