// Reading rendered pictures at known pixels, and saving them to look at.
#pragma once

#include <QVPlatform/graphics/ImageCodec.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace testing_support {

using RGBA = std::array<int, 4>;

inline RGBA pixelAt(const platform::Bitmap& bitmap, int x, int y) {
    const std::uint8_t* p = bitmap.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

// Writes the picture to /tmp/<name>.png so a person can look at it; failures are ignored.
inline void savePicture(const platform::Bitmap& bitmap, const std::string& name) {
    const auto png = platform::encodePNG(bitmap);
    if (!png) return;
    if (std::FILE* f = std::fopen(("/tmp/" + name + ".png").c_str(), "wb")) {
        std::fwrite(png->bytes(), 1, png->count(), f);
        std::fclose(f);
    }
}

}  // namespace testing_support
