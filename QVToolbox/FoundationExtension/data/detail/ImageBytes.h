// Image decoding for readFromFile(ImageType): the bytes of a PNG or JPEG file as an image
// object.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Data.h>

#include <optional>

namespace QVToolbox::detail {

// The decoded image as an object value, or absent when the bytes are no image.
std::optional<platform::Any> imageFromBytes(const platform::Data& bytes);

}  // namespace QVToolbox::detail
