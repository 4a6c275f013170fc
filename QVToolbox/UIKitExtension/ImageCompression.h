// Image type detection and compression: recognise encoded image data by its first byte,
// and shrink an image to a pixel budget and a byte budget before upload or storage.
//
//   checkImageDataType(bytes);                        // DataType::png for "\x89PNG..."
//   targetSize({4000, 3000}, CompressionMode::low()); // {512, 384}
//   compress(photo, CompressionMode::medium());       // a JPEG of at most 2 MiB, longest side 1024
//
// The byte search: a JPEG at quality 1.0 is kept when it is under the budget; otherwise up
// to six bisection steps look for a size between 90 % and 100 % of the budget, and when
// none is under it a linear search walks the quality down from 0.9 in whole steps of 0.02
// to 0.01 and keeps the first that fits (or the last one made).
//
// Thread rule: plain functions over immutable images; `asyncCompress` works on the given
// queue and completes on the main queue.
#pragma once

#include <QVPlatform/base/Data.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/ui/UIImage.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace QVToolbox {

enum class DataType { gif, png, jpeg, tiff, defaultType };
// "gif", "png", "jpeg", "tiff" or "defaultType".
std::string_view rawValue(DataType type);

// gif (0x47), png (0x89), jpeg (0xFF), tiff (0x49 or 0x4D) by the first byte; absent or empty
// data and anything else are defaultType.
DataType checkImageDataType(const platform::Data* data);
DataType checkImageDataType(std::span<const std::uint8_t> bytes);

// A target longest side in points and a byte budget.
struct CompressionMode {
    enum class Kind { other, low, medium, high };
    Kind kind = Kind::medium;
    double maximumSide = 0;          // `other` only
    std::int64_t maximumDataSize = 0;  // `other` only

    static CompressionMode other(double maximumSide, std::int64_t maximumDataSize) {
        return {Kind::other, maximumSide, maximumDataSize};
    }
    static CompressionMode low() { return {Kind::low}; }
    static CompressionMode medium() { return {Kind::medium}; }
    static CompressionMode high() { return {Kind::high}; }

    // 512, 1024, 2048; `other`: its side, but 1024 below 10 (or not finite) and 4096 above 4096.
    double targetSide() const;
    // 512 KiB, 2 MiB, 10 MiB; `other`: 2 MiB below 10240, else at most 20 MiB.
    std::int64_t byteBudget() const;
};

// The size an image of `size` is shrunk to for `mode`: never enlarged, and kept when either
// side is or would become smaller than 10.
platform::CGSize targetSize(platform::CGSize size, const CompressionMode& mode);

// One JPEG encoding at a quality in 0...1; absent when the encoder fails.
using JPEGEncoder = std::function<std::optional<platform::Data>(double quality)>;

struct ByteSearchResult {
    std::optional<platform::Data> data;
    double quality = 0;  // the quality `data` was made at
    int encodings = 0;   // how many times the encoder ran
};
// The byte search described above over any encoder (the image's own, or a test's).
ByteSearchResult searchDataSize(const JPEGEncoder& encode, std::int64_t maxDataSize);
// The linear search alone.
ByteSearchResult cycleSearchDataSize(const JPEGEncoder& encode, std::int64_t maxDataSize);

// The search over the image's own JPEG encoder.
ByteSearchResult searchDataSize(const platform::UIImage& image, std::int64_t maxDataSize);
// The image as a JPEG of at most `maxDataSize` bytes where the search finds one; absent when
// the encoder fails.
std::optional<platform::Data> compressDataSize(const platform::UIImage& image, std::int64_t maxDataSize);
// resizeIO to the mode's target size, then compressDataSize with its budget.
std::optional<platform::Data> compress(const std::shared_ptr<platform::UIImage>& image, const CompressionMode& mode);
// compress on `queue`; `complete` runs on the main queue with the data and the target size.
void asyncCompress(std::shared_ptr<platform::UIImage> image, CompressionMode mode, platform::DispatchQueue& queue,
                   std::function<void(std::optional<platform::Data>, platform::CGSize)> complete);

// The image drawn into a bitmap of `size` points at the image's scale, with interpolation; the image itself when the size is its own; null when the size is empty or
// not finite or beyond the image limits.
std::shared_ptr<platform::UIImage> resizeCG(const std::shared_ptr<platform::UIImage>& image, platform::CGSize size);
// A thumbnail whose longer side is the larger side of `size` in pixels (never enlarged), as
// the image source makes it from the image's PNG; the image itself when the size is its own.
std::shared_ptr<platform::UIImage> resizeIO(const std::shared_ptr<platform::UIImage>& image, platform::CGSize size);

}  // namespace QVToolbox
