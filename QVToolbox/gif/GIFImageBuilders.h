// GIFImageBuilders: a whole GIF decoded at once into one animated image (every frame in
// memory, one shared frame interval), from bytes, a URL, a bundle resource or a data asset.
//
//   auto image = gif(data);                        // delays 0.1, 0.2, 0.05 s: 7 images of 50 ms,
//   image->images().size();                        // 7; image->duration() is 0.35
//   auto [images, duration] = gifImages(GifName{"spinner"});   // the list and its seconds
//
// Frames are timed by builderDelayMilliseconds (FrameDelay.h); the interval is the greatest
// common divisor of the delays, and a frame lasting k intervals appears k times in a row (the
// same image each time). A frame that does not decode is left out with its delay. Past 100,000
// entries or 512 MiB of decoded frames the result is none. Every failure is also one line on
// the debug channel ("Motivo: ..."). The members of the image and image view wrappers
// (GIFImageMembers.h) forward here.
//
// Thread rule: the builders may run on any thread; `loadGif` decodes on the global queue and
// sets the view's image on the main queue.
#pragma once

#include <QVPlatform/base/Data.h>
#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UIImageView.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace QVToolbox {

// What a builder reads from: a URL's text, the name of a "gif" resource in the main bundle, or
// the name of a data asset in its asset catalogue.
struct GifURL {
    std::string text;
};
struct GifName {
    std::string name;
};
struct GifAsset {
    std::string name;
};

// The frame list of a whole GIF with its seconds; both none on failure.
struct GIFImages {
    std::optional<std::vector<std::shared_ptr<platform::UIImage>>> gifImages;
    std::optional<double> duration;
};

inline constexpr std::size_t kMaxGIFImageEntries = 100'000;
inline constexpr std::size_t kMaxGIFImageBytes = std::size_t{512} << 20;

// The frames of the GIF in `data`; an image with no frames gives an empty list and 0 s.
GIFImages gifImages(const platform::Data& data);
GIFImages gifImages(const GifURL& url);
GIFImages gifImages(const GifName& name);
GIFImages gifImages(const GifAsset& asset);

// The same as one animated image; null on failure or without a frame.
std::shared_ptr<platform::UIImage> gif(const platform::Data& data);
std::shared_ptr<platform::UIImage> gif(const GifURL& url);
std::shared_ptr<platform::UIImage> gif(const GifName& name);
std::shared_ptr<platform::UIImage> gif(const GifAsset& asset);

// Builds `gif(...)` on the global queue, then sets it as `view`'s image on the main queue
// (none clears the image); the view is kept until then.
void loadGif(std::shared_ptr<platform::UIImageView> view, const GifName& name);
void loadGif(std::shared_ptr<platform::UIImageView> view, const GifAsset& asset);
void loadGif(std::shared_ptr<platform::UIImageView> view, const GifURL& url);

}  // namespace QVToolbox
