// The whole-GIF image builders as members of the image and image view wrappers
// (GIFImageBuilders.h holds the contracts):
//
//   HxPOP<platform::UIImage>::gif(bytes);                         // an animated image, or null
//   HxPOP<platform::UIImage>::gifImages(GifName{"spinner"});      // {images, seconds}
//   hx(imageView).loadGif(GifURL{"https://example.com/a.gif"});   // image set on the main queue
//
// Thread rule: as GIFImageBuilders.h.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/gif/GIFImageBuilders.h>

namespace QVToolbox {

template <class W, class Base>
struct GIFImageMembers {};

template <class W>
struct GIFImageMembers<W, platform::UIImage> {
    static std::shared_ptr<platform::UIImage> gif(const platform::Data& data) { return QVToolbox::gif(data); }
    static std::shared_ptr<platform::UIImage> gif(const GifURL& url) { return QVToolbox::gif(url); }
    static std::shared_ptr<platform::UIImage> gif(const GifName& name) { return QVToolbox::gif(name); }
    static std::shared_ptr<platform::UIImage> gif(const GifAsset& asset) { return QVToolbox::gif(asset); }
    static GIFImages gifImages(const GifURL& url) { return QVToolbox::gifImages(url); }
    static GIFImages gifImages(const GifName& name) { return QVToolbox::gifImages(name); }
    static GIFImages gifImages(const GifAsset& asset) { return QVToolbox::gifImages(asset); }
};

template <class W>
struct GIFImageMembers<W, platform::UIImageView> {
    void loadGif(const GifName& name) const { QVToolbox::loadGif(view(), name); }
    void loadGif(const GifAsset& asset) const { QVToolbox::loadGif(view(), asset); }
    void loadGif(const GifURL& url) const { QVToolbox::loadGif(view(), url); }

private:
    const std::shared_ptr<platform::UIImageView>& view() const { return static_cast<const W&>(*this).base; }
};

}  // namespace QVToolbox
