#include <QVToolbox/FoundationExtension/detail/ImageBytes.h>

namespace QVToolbox::detail {

std::optional<platform::Any> imageFromBytes(const platform::Data&) { return std::nullopt; }

}  // namespace QVToolbox::detail
