#include <QVToolbox/FoundationExtension/data/detail/ImageBytes.h>

#include <QVPlatform/ui/UIImage.h>

namespace QVToolbox::detail {

std::optional<platform::Any> imageFromBytes(const platform::Data& bytes) {
    if (auto image = platform::UIImage::imageWithData(bytes)) return platform::Any(image);
    return std::nullopt;
}

}  // namespace QVToolbox::detail
