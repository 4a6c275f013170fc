// UIImage: decoded pixels with a scale, enough for named lookup in bundles.
//
//   auto icon = UIImage::named("icon");           // icon@2x.png on a scale-2 screen
//   icon->scale();                                 // 2
//   icon->size();                                  // {24, 24} points for 48 x 48 pixels
//
// Images are immutable RGBA bitmaps (see ImageCodec) decoded from PNG, JPEG or GIF (the first
// composited frame, see ImageSource). `named`
// searches a bundle (the main bundle by default) for, in order: the screen scale's variant,
// then @3x, @2x and the plain name, each as .png, .jpg and .jpeg (a name that carries its
// own extension is looked up with that extension only), localized folders included; then
// the image set `Assets.xcassets/NAME.imageset/`, whose Contents.json lists files by scale
// ("1x", "2x", "3x"), preferring the screen scale, then 3x, 2x, 1x. Lookups are not cached.
//
// An image registered in a UIImageAsset knows its asset (`imageAsset`), and
// `withTraitCollection` picks the asset's variant for a trait collection (itself when it is in
// no asset).
//
// Thread rule: images are immutable (but for the asset link, which a lock guards) and may be
// shared between threads.
#pragma once

#include <QVPlatform/base/Data.h>
#include <QVPlatform/graphics/DrawingContext.h>
#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/runtime/NSObject.h>

#include <filesystem>
#include <mutex>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

class Bundle;
class UIImageAsset;
class UITraitCollection;

class UIImage : public NSObjectSubclass<UIImage, NSObject, "UIImage"> {
    struct Token {};

public:

    // An image of `bitmap` at `scale` (a scale that is not positive counts as 1); null for an
    // empty or inconsistent bitmap.
    static std::shared_ptr<UIImage> imageWithBitmap(Bitmap bitmap, double scale = 1);
    // Decodes PNG or JPEG bytes, or a GIF's first composited frame; null for anything else or
    // damaged data.
    static std::shared_ptr<UIImage> imageWithData(const Data& data, double scale = 1);
    // Decodes a file; the scale comes from an "@2x" / "@3x" suffix of the file name (else 1).
    static std::shared_ptr<UIImage> imageWithContentsOfFile(const std::filesystem::path& path);
    // The image called `name` in `bundle` (the main bundle when null), found as described
    // above; null when there is none.
    static std::shared_ptr<UIImage> named(std::string_view name, std::shared_ptr<Bundle> bundle = nullptr);

    UIImage(Token, Bitmap bitmap, double scale) : bitmap_(std::move(bitmap)), scale_(scale) {}

    int pixelWidth() const { return bitmap_.width; }
    int pixelHeight() const { return bitmap_.height; }
    double scale() const { return scale_; }
    // Size in points: pixels divided by the scale.
    CGSize size() const { return {bitmap_.width / scale_, bitmap_.height / scale_}; }
    const Bitmap& bitmap() const { return bitmap_; }

    // An animated image: `images` shown in turn over `duration` seconds. It draws and measures
    // as its first frame. Null entries are skipped; null when no frame is left.
    static std::shared_ptr<UIImage> animatedImageWithImages(const std::vector<std::shared_ptr<UIImage>>& images,
                                                            double duration);
    // The frames of an animated image (empty for a still one) and the seconds they take.
    const std::vector<std::shared_ptr<UIImage>>& images() const { return images_; }
    double duration() const { return duration_; }

    // The pixels as PNG, or as JPEG at `compressionQuality` (0...1, clamped; alpha composited
    // on black); absent when encoding fails.
    std::optional<Data> pngData() const;
    std::optional<Data> jpegData(double compressionQuality) const;

    // Draws the image stretched into `rect` (or at its size from `point`) in the current
    // context (UIGraphicsGetCurrentContext); nothing without one.
    void drawInRect(CGRect rect, CGInterpolationQuality quality = CGInterpolationQuality::default_) const;
    void drawAtPoint(CGPoint point) const { drawInRect({point, size()}); }
    // The pixels shared with the image, for a layer's contents.
    std::shared_ptr<const Bitmap> sharedBitmap() const;

    // The asset this image was last registered in; null when none (or the asset is gone).
    std::shared_ptr<UIImageAsset> imageAsset() const;
    // The asset's variant for `traits`; this image when it is in no asset.
    std::shared_ptr<UIImage> withTraitCollection(const UITraitCollection& traits) const;

private:
    friend class UIImageAsset;
    void setImageAsset(const std::shared_ptr<UIImageAsset>& asset);

    const Bitmap bitmap_;
    mutable std::mutex assetLock_;
    std::weak_ptr<UIImageAsset> asset_;
    const double scale_;
    std::vector<std::shared_ptr<UIImage>> images_;  // set once by animatedImageWithImages
    double duration_ = 0;
};

// The scale an image file name states: 2 for "a@2x.png", 3 for "a@3x.jpg", else 1.
double imageScaleOfFileName(const std::filesystem::path& path);

}  // namespace platform
