#include <QVToolbox/gif/GIFImageBuilders.h>

#include <QVToolbox/gif/FrameDelay.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/URLLoading.h>
#include <QVPlatform/graphics/ImageSource.h>

#include <numeric>

namespace QVToolbox {

using platform::Data;
using platform::UIImage;

namespace {

struct DecodedFrame {
    std::shared_ptr<UIImage> image;
    std::int64_t milliseconds;
};

std::string quotedName(const std::string& name) { return "\"" + name + "\""; }

GIFImages failed(std::string_view reason) {
    platform::debugPrint(std::string("Motivo: ") + std::string(reason));
    return {};
}

// Greatest common divisor of the delays, 1 for none; every delay is at least 1 ms.
std::int64_t commonInterval(const std::vector<DecodedFrame>& frames) {
    std::int64_t g = 0;
    for (const auto& f : frames) g = std::gcd(g, f.milliseconds);
    return g == 0 ? 1 : g;
}

std::optional<Data> bytesOfURL(const std::string& text, std::string& reason) {
    const auto url = platform::URL::string(text);
    if (!url) {
        reason = "This image named " + quotedName(text) + " does not exist";
        return std::nullopt;
    }
    auto data = platform::dataWithContentsOfURL(*url);
    if (!data) reason = "Cannot turn image named " + quotedName(text) + " into NSData";
    return data;
}

std::shared_ptr<UIImage> animated(const GIFImages& images) {
    if (!images.gifImages) return nullptr;
    return UIImage::animatedImageWithImages(*images.gifImages, *images.duration);
}

}  // namespace

GIFImages gifImages(const Data& data) {
    const auto source = platform::CGImageSourceCreateWithData(data, {{platform::kCGImageSourceShouldCache, false}});
    if (!source) return failed("Source for the image does not exist");
    const std::size_t count = platform::CGImageSourceGetCount(*source);
    std::vector<DecodedFrame> frames;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < count; ++i) {
        auto bitmap = platform::CGImageSourceCreateImageAtIndex(*source, i);
        if (!bitmap) continue;  // its delay goes with it
        bytes += bitmap->rgba.size();
        if (bytes > kMaxGIFImageBytes) return failed("The frames of the GIF take more than 512 MiB");
        const auto properties = platform::CGImageSourceCopyPropertiesAtIndex(*source, i);
        const auto milliseconds = builderDelayMilliseconds(properties ? platform::Any(*properties) : platform::Any());
        frames.push_back({UIImage::imageWithBitmap(std::move(*bitmap)), milliseconds});
    }
    const std::int64_t interval = commonInterval(frames);
    std::int64_t total = 0;
    std::size_t entries = 0;
    for (const auto& f : frames) {
        total += f.milliseconds;
        entries += static_cast<std::size_t>(f.milliseconds / interval);
    }
    if (entries > kMaxGIFImageEntries) return failed("The GIF needs more than 100000 images");
    std::vector<std::shared_ptr<UIImage>> list;
    list.reserve(entries);
    for (const auto& f : frames) list.insert(list.end(), static_cast<std::size_t>(f.milliseconds / interval), f.image);
    return {std::move(list), static_cast<double>(total) / 1000};
}

GIFImages gifImages(const GifURL& url) {
    std::string reason;
    const auto data = bytesOfURL(url.text, reason);
    return data ? gifImages(*data) : failed(reason);
}

GIFImages gifImages(const GifName& name) {
    const auto url = platform::Bundle::main()->urlForResource(name.name, "gif");
    if (!url) return failed("This image named " + quotedName(name.name) + " does not exist");
    auto data = platform::dataWithContentsOfURL(*url);
    if (!data) return failed("Cannot turn image named " + quotedName(name.name) + " into NSData");
    return gifImages(*data);
}

GIFImages gifImages(const GifAsset& asset) {
    const auto data = platform::Bundle::main()->dataAsset(asset.name);
    if (!data) return failed("Cannot turn image named " + quotedName(asset.name) + " into NSDataAsset");
    return gifImages(*data);
}

std::shared_ptr<UIImage> gif(const Data& data) { return animated(gifImages(data)); }
std::shared_ptr<UIImage> gif(const GifURL& url) { return animated(gifImages(url)); }
std::shared_ptr<UIImage> gif(const GifName& name) { return animated(gifImages(name)); }
std::shared_ptr<UIImage> gif(const GifAsset& asset) { return animated(gifImages(asset)); }

namespace {

template <class Input>
void loadInBackground(std::shared_ptr<platform::UIImageView> view, Input input) {
    platform::DispatchQueue::global()->async([view = std::move(view), input = std::move(input)]() mutable {
        auto image = gif(input);
        // The view moves on to the main queue, so its last release happens there.
        platform::DispatchQueue::main()->async(
            [view = std::move(view), image = std::move(image)] { view->setImage(image); });
    });
}

}  // namespace

void loadGif(std::shared_ptr<platform::UIImageView> view, const GifName& name) { loadInBackground(std::move(view), name); }
void loadGif(std::shared_ptr<platform::UIImageView> view, const GifAsset& asset) { loadInBackground(std::move(view), asset); }
void loadGif(std::shared_ptr<platform::UIImageView> view, const GifURL& url) { loadInBackground(std::move(view), url); }

}  // namespace QVToolbox
