// Thumbnails from an image source, as the platform's CGImageSourceCreateThumbnailAtIndex
// makes them: the frame scaled down so that its longer side is at most the maximum pixel
// size, never enlarged.
//
//   auto source = CGImageSourceCreateWithData(pngBytes);
//   auto thumb = CGImageSourceCreateThumbnailAtIndex(*source, 0,
//       {{kCGImageSourceThumbnailMaxPixelSize, 512}, {kCGImageSourceCreateThumbnailFromImageIfAbsent, true}});
//   thumb->width;   // 512 for a 4000 × 3000 photo (and height 384)
//
// The containers read here carry no embedded thumbnails, so a thumbnail is made from the
// full image when kCGImageSourceCreateThumbnailFromImageIfAbsent (or ...Always) is true,
// and there is none otherwise. They carry no orientation either, so
// kCGImageSourceCreateThumbnailWithTransform has nothing to apply. Each side is rounded to
// whole pixels, at least 1. Thread rule: as the image source.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/graphics/ImageSource.h>

#include <cstddef>
#include <optional>

namespace platform {

inline constexpr const char* kCGImageSourceThumbnailMaxPixelSize = "kCGImageSourceThumbnailMaxPixelSize";
inline constexpr const char* kCGImageSourceCreateThumbnailFromImageIfAbsent =
    "kCGImageSourceCreateThumbnailFromImageIfAbsent";
inline constexpr const char* kCGImageSourceCreateThumbnailFromImageAlways = "kCGImageSourceCreateThumbnailFromImageAlways";
inline constexpr const char* kCGImageSourceCreateThumbnailWithTransform = "kCGImageSourceCreateThumbnailWithTransform";

// Absent when the frame does not decode, when no option asks to make a thumbnail from the
// image, or when the maximum pixel size is given and is not a positive finite number.
std::optional<Bitmap> CGImageSourceCreateThumbnailAtIndex(CGImageSource& source, std::size_t index,
                                                          const Any::Dictionary& options);

// `bitmap` scaled down so that its longer side is at most `maxPixelSize` (kept when it
// already is); absent for a maximum that is not a positive finite number.
std::optional<Bitmap> thumbnailOf(const Bitmap& bitmap, double maxPixelSize);

// `bitmap` scaled to width × height pixels with Cairo's good filter (box-filtered when
// shrinking, bilinear when enlarging); absent for a size outside the image limits.
std::optional<Bitmap> scaledBitmap(const Bitmap& bitmap, int width, int height);

}  // namespace platform
