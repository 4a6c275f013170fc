#include <QVPlatform/ui/UIImage.h>

#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/JSONSerialization.h>
#include <QVPlatform/foundation/detail/ReadFile.h>
#include <QVPlatform/graphics/ImageSource.h>
#include <QVPlatform/ui/ScreenScale.h>
#include <QVPlatform/ui/UIGraphics.h>
#include <QVPlatform/ui/UIImageAsset.h>

#include <cmath>
#include <string>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string lowercased(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Image scales to try, best first: the screen's own (1, 2 or 3), then 3, 2, 1.
std::vector<int> scalesToTry() {
    const double screen = mainScreenScale();
    const int own = screen >= 2.5 ? 3 : (screen >= 1.5 ? 2 : 1);
    std::vector<int> scales{own};
    for (int s : {3, 2, 1}) {
        if (s != own) scales.push_back(s);
    }
    return scales;
}

std::string scaleSuffix(int scale) {
    if (scale == 1) return "";
    std::string suffix = "@";
    suffix += std::to_string(scale);
    suffix += 'x';
    return suffix;
}

std::shared_ptr<UIImage> fromImageSet(const Bundle& bundle, std::string_view name) {
    const auto folder = bundle.assetFolder(name, "imageset");
    if (!folder) return nullptr;
    const auto contents = detail::readFile(*folder / "Contents.json");
    if (!contents) return nullptr;
    const auto json = JSONSerialization::jsonObject(contents->view());
    const Any::List* images = json ? (*json)["images"].asList() : nullptr;
    if (!images) return nullptr;
    // Entries for this kind of device first: universal, phone, or no idiom named.
    std::vector<const Any*> ordered;
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& entry : *images) {
            const std::string& idiom = entry["idiom"].string();
            const bool preferred = idiom.empty() || idiom == "universal" || idiom == "iphone";
            if (preferred == (pass == 0)) ordered.push_back(&entry);
        }
    }
    for (int scale : scalesToTry()) {
        const std::string wanted = std::to_string(scale) + "x";
        for (const Any* entry : ordered) {
            const std::string& file = (*entry)["filename"].string();
            const std::string& entryScale = (*entry)["scale"].string();
            if (file.empty() || file.find('/') != std::string::npos || file == "..") continue;
            if (entryScale != wanted && !(entryScale.empty() && scale == 1)) continue;
            const auto bytes = detail::readFile(*folder / file);
            if (!bytes) continue;
            if (auto image = UIImage::imageWithData(*bytes, scale)) return image;
        }
    }
    return nullptr;
}

}  // namespace

double imageScaleOfFileName(const fs::path& path) {
    const std::string stem = path.stem().string();
    if (stem.ends_with("@2x")) return 2;
    if (stem.ends_with("@3x")) return 3;
    return 1;
}

std::shared_ptr<UIImage> UIImage::imageWithBitmap(Bitmap bitmap, double scale) {
    if (bitmap.empty() || bitmap.rgba.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height * 4) {
        return nullptr;
    }
    if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
    return std::make_shared<UIImage>(Token{}, std::move(bitmap), scale);
}

std::shared_ptr<UIImage> UIImage::imageWithData(const Data& data, double scale) {
    auto bitmap = decodeImage(data.span());
    if (!bitmap) {
        // A GIF shows its first composited frame.
        if (const auto source = CGImageSourceCreateWithData(data, {{kCGImageSourceShouldCache, false}})) {
            bitmap = CGImageSourceCreateImageAtIndex(*source, 0);
        }
    }
    if (!bitmap) return nullptr;
    return imageWithBitmap(std::move(*bitmap), scale);
}

std::shared_ptr<UIImage> UIImage::imageWithContentsOfFile(const fs::path& path) {
    const auto bytes = detail::readFile(path);
    if (!bytes) return nullptr;
    return imageWithData(*bytes, imageScaleOfFileName(path));
}

std::shared_ptr<UIImage> UIImage::named(std::string_view name, std::shared_ptr<Bundle> bundle) {
    if (name.empty()) return nullptr;
    if (!bundle) bundle = Bundle::main();

    std::string base(name);
    std::vector<std::string> extensions{"png", "jpg", "jpeg"};
    const std::string given = lowercased(fs::path(base).extension().string());
    if (given == ".png" || given == ".jpg" || given == ".jpeg") {
        extensions = {fs::path(base).extension().string().substr(1)};
        base.resize(base.size() - given.size());
    }
    // A name that already states its scale is looked up as it is.
    const bool scaled = base.ends_with("@2x") || base.ends_with("@3x");
    const std::vector<int> scales = scaled ? std::vector<int>{1} : scalesToTry();
    for (int scale : scales) {
        for (const auto& extension : extensions) {
            if (const auto path = bundle->pathForResource(base + scaleSuffix(scale), extension)) {
                if (auto image = imageWithContentsOfFile(*path)) return image;
            }
        }
    }
    return fromImageSet(*bundle, name);
}

std::shared_ptr<UIImage> UIImage::animatedImageWithImages(const std::vector<std::shared_ptr<UIImage>>& images,
                                                           double duration) {
    std::vector<std::shared_ptr<UIImage>> frames;
    for (const auto& image : images) {
        if (image) frames.push_back(image);
    }
    if (frames.empty()) return nullptr;
    auto animated = std::make_shared<UIImage>(Token{}, frames.front()->bitmap_, frames.front()->scale_);
    animated->images_ = std::move(frames);
    animated->duration_ = std::isfinite(duration) && duration > 0 ? duration : 0;
    return animated;
}

std::optional<Data> UIImage::pngData() const { return encodePNG(bitmap_); }

std::optional<Data> UIImage::jpegData(double compressionQuality) const {
    // A NaN quality would reach the encoder as an undefined integer: take it as the lowest.
    return encodeJPEG(bitmap_, std::isnan(compressionQuality) ? 0 : compressionQuality);
}

void UIImage::drawInRect(CGRect rect, CGInterpolationQuality quality) const {
    if (CGContext* context = UIGraphicsGetCurrentContext()) context->drawBitmap(bitmap_, rect, quality);
}

std::shared_ptr<const Bitmap> UIImage::sharedBitmap() const {
    return {std::static_pointer_cast<const UIImage>(shared_from_this()), &bitmap_};
}

std::shared_ptr<UIImageAsset> UIImage::imageAsset() const {
    std::lock_guard guard(assetLock_);
    return asset_.lock();
}

void UIImage::setImageAsset(const std::shared_ptr<UIImageAsset>& asset) {
    std::lock_guard guard(assetLock_);
    asset_ = asset;
}

std::shared_ptr<UIImage> UIImage::withTraitCollection(const UITraitCollection& traits) const {
    if (const auto asset = imageAsset()) {
        if (auto variant = asset->imageWithTraitCollection(traits)) return variant;
    }
    return std::static_pointer_cast<UIImage>(std::const_pointer_cast<NSObject>(shared_from_this()));
}

}  // namespace platform
