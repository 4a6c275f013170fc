#include <QVPlatform/graphics/ImageThumbnail.h>

#include <QVPlatform/graphics/DrawingContext.h>

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

bool option(const Any::Dictionary& options, std::string_view key) {
    const auto it = options.find(key);
    return it != options.end() && it->second.boolValue();
}

}  // namespace

std::optional<Bitmap> scaledBitmap(const Bitmap& bitmap, int width, int height) {
    auto context = CGContext::make(width, height, 1);
    if (!context || bitmap.empty()) return std::nullopt;
    context->drawBitmap(bitmap, {{0, 0}, {static_cast<double>(width), static_cast<double>(height)}},
                        CGInterpolationQuality::medium);
    return context->bitmap();
}

std::optional<Bitmap> thumbnailOf(const Bitmap& bitmap, double maxPixelSize) {
    if (!std::isfinite(maxPixelSize) || maxPixelSize <= 0 || bitmap.empty()) return std::nullopt;
    const int longer = std::max(bitmap.width, bitmap.height);
    if (maxPixelSize >= longer) return bitmap;
    const double factor = maxPixelSize / longer;
    const int width = std::max(1, static_cast<int>(std::lround(bitmap.width * factor)));
    const int height = std::max(1, static_cast<int>(std::lround(bitmap.height * factor)));
    return scaledBitmap(bitmap, width, height);
}

std::optional<Bitmap> CGImageSourceCreateThumbnailAtIndex(CGImageSource& source, std::size_t index,
                                                          const Any::Dictionary& options) {
    if (!option(options, kCGImageSourceCreateThumbnailFromImageIfAbsent) &&
        !option(options, kCGImageSourceCreateThumbnailFromImageAlways)) {
        return std::nullopt;
    }
    auto image = CGImageSourceCreateImageAtIndex(source, index);
    if (!image || image->empty()) return std::nullopt;
    const auto it = options.find(kCGImageSourceThumbnailMaxPixelSize);
    if (it == options.end()) return image;
    return thumbnailOf(*image, it->second.doubleValue());
}

}  // namespace platform
