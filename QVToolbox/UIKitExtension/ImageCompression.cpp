#include <QVToolbox/UIKitExtension/ImageCompression.h>

#include <QVPlatform/graphics/ImageThumbnail.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace QVToolbox {

using platform::CGSize;
using platform::Data;
using platform::UIImage;

std::string_view rawValue(DataType type) {
    switch (type) {
        case DataType::gif: return "gif";
        case DataType::png: return "png";
        case DataType::jpeg: return "jpeg";
        case DataType::tiff: return "tiff";
        case DataType::defaultType: break;
    }
    return "defaultType";
}

DataType checkImageDataType(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return DataType::defaultType;
    switch (bytes[0]) {
        case 0x47: return DataType::gif;
        case 0x89: return DataType::png;
        case 0xFF: return DataType::jpeg;
        case 0x49:
        case 0x4D: return DataType::tiff;
        default: return DataType::defaultType;
    }
}

DataType checkImageDataType(const Data* data) {
    return data ? checkImageDataType(data->span()) : DataType::defaultType;
}

double CompressionMode::targetSide() const {
    switch (kind) {
        case Kind::low: return 512;
        case Kind::medium: return 1024;
        case Kind::high: return 2048;
        case Kind::other: break;
    }
    // A side that is not finite counts as below the minimum.
    if (!std::isfinite(maximumSide) || maximumSide < 10) return 1024;
    return std::min(maximumSide, 4096.0);
}

std::int64_t CompressionMode::byteBudget() const {
    switch (kind) {
        case Kind::low: return 512 * 1024;
        case Kind::medium: return 2 * 1024 * 1024;
        case Kind::high: return 10 * 1024 * 1024;
        case Kind::other: break;
    }
    if (maximumDataSize < 10240) return 2 * 1024 * 1024;
    return std::min<std::int64_t>(maximumDataSize, 20 * 1024 * 1024);
}

CGSize targetSize(CGSize size, const CompressionMode& mode) {
    const double w = size.width, h = size.height;
    if (!(w >= 10) || !(h >= 10)) return size;
    const double ratio = std::max(w, h) / mode.targetSide();
    if (ratio <= 1) return size;
    const double newHeight = h / ratio;
    const double newWidth = w / ratio;
    if (newHeight < 10 || newWidth < 10) return size;
    return {newWidth, newHeight};
}

namespace {

bool below(const Data& data, std::int64_t limit) { return static_cast<std::int64_t>(data.count()) < limit; }

}  // namespace

ByteSearchResult cycleSearchDataSize(const JPEGEncoder& encode, std::int64_t maxDataSize) {
    ByteSearchResult result;
    auto encodeAt = [&](double quality) {
        ++result.encodings;
        result.quality = quality;
        result.data = encode(quality);
        return result.data.has_value();
    };
    if (!encodeAt(1.0) || below(*result.data, maxDataSize)) return result;
    // Whole steps of 0.02 from 0.90, so the walk ends at exactly 0 with no drift below it.
    for (int hundredths = 90;; hundredths -= 2) {
        if (!encodeAt(hundredths / 100.0)) return result;
        if (static_cast<std::int64_t>(result.data->count()) <= maxDataSize || hundredths <= 1) return result;
    }
}

ByteSearchResult searchDataSize(const JPEGEncoder& encode, std::int64_t maxDataSize) {
    ByteSearchResult result;
    ++result.encodings;
    result.quality = 1.0;
    result.data = encode(1.0);
    if (!result.data || below(*result.data, maxDataSize)) return result;

    const double lowerBound = 0.9 * static_cast<double>(maxDataSize);
    double lo = 0, hi = 1;
    for (int step = 0; step < 6; ++step) {
        const double quality = (lo + hi) / 2;
        ++result.encodings;
        result.quality = quality;
        result.data = encode(quality);
        if (!result.data) return result;
        const auto size = static_cast<double>(result.data->count());
        if (size < lowerBound) {
            lo = quality;
        } else if (size > static_cast<double>(maxDataSize)) {
            hi = quality;
        } else {
            break;
        }
    }
    if (below(*result.data, maxDataSize)) return result;
    ByteSearchResult linear = cycleSearchDataSize(encode, maxDataSize);
    linear.encodings += result.encodings;
    return linear;
}

ByteSearchResult searchDataSize(const UIImage& image, std::int64_t maxDataSize) {
    const JPEGEncoder encode = [&image](double quality) { return platform::encodeJPEG(image.bitmap(), quality); };
    return searchDataSize(encode, maxDataSize);
}

std::optional<Data> compressDataSize(const UIImage& image, std::int64_t maxDataSize) {
    return searchDataSize(image, maxDataSize).data;
}

std::optional<Data> compress(const std::shared_ptr<UIImage>& image, const CompressionMode& mode) {
    if (!image) return std::nullopt;
    auto resized = resizeIO(image, targetSize(image->size(), mode));
    if (!resized) return std::nullopt;
    return compressDataSize(*resized, mode.byteBudget());
}

void asyncCompress(std::shared_ptr<UIImage> image, CompressionMode mode, platform::DispatchQueue& queue,
                   std::function<void(std::optional<Data>, CGSize)> complete) {
    queue.async([image = std::move(image), mode, complete = std::move(complete)]() mutable {
        const CGSize size = image ? targetSize(image->size(), mode) : CGSize{};
        std::optional<Data> data = compress(image, mode);
        platform::DispatchQueue::main()->async(
            [complete = std::move(complete), data = std::move(data), size]() mutable { complete(std::move(data), size); });
    });
}

}  // namespace QVToolbox

namespace QVToolbox {
namespace {

// `size` in points as whole pixels at `scale`; absent when not finite, under one pixel or
// beyond the image limits.
std::optional<std::pair<int, int>> pixelSize(CGSize size, double scale) {
    const double width = std::round(size.width * scale), height = std::round(size.height * scale);
    if (!std::isfinite(width) || !std::isfinite(height) || width < 1 || height < 1) return std::nullopt;
    if (width > platform::kMaxImageDimension || height > platform::kMaxImageDimension ||
        width * height > static_cast<double>(platform::kMaxImagePixels)) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace

std::shared_ptr<UIImage> resizeCG(const std::shared_ptr<UIImage>& image, CGSize size) {
    if (!image) return nullptr;
    if (size == image->size()) return image;
    const auto pixels = pixelSize(size, image->scale());
    if (!pixels) return nullptr;
    auto bitmap = platform::scaledBitmap(image->bitmap(), pixels->first, pixels->second);
    return bitmap ? UIImage::imageWithBitmap(std::move(*bitmap), image->scale()) : nullptr;
}

std::shared_ptr<UIImage> resizeIO(const std::shared_ptr<UIImage>& image, CGSize size) {
    if (!image) return nullptr;
    if (size == image->size()) return image;
    const auto pixels = pixelSize(size, image->scale());
    if (!pixels) return nullptr;
    // The thumbnail of the image's PNG is the thumbnail of its pixels (PNG is lossless), so
    // the pixels are scaled directly. The requested size's longer side is the maximum, so
    // the thumbnail really shrinks.
    auto thumbnail = platform::thumbnailOf(image->bitmap(), std::max(pixels->first, pixels->second));
    return thumbnail ? UIImage::imageWithBitmap(std::move(*thumbnail), image->scale()) : nullptr;
}

}  // namespace QVToolbox
