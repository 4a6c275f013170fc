// Reading rendered pictures at known pixels, and saving them to look at.
#pragma once

#include <QVPlatform/graphics/Color.h>
#include <QVPlatform/graphics/ImageCodec.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace testing_support {

using RGBA = std::array<int, 4>;

inline constexpr platform::CGColor kRed{1, 0, 0, 1};
inline constexpr platform::CGColor kBlue{0, 0, 1, 1};
inline const RGBA kClear{0, 0, 0, 0};
inline const RGBA kOpaqueRed{255, 0, 0, 255};
inline const RGBA kOpaqueBlue{0, 0, 255, 255};

inline RGBA pixelAt(const platform::Bitmap& bitmap, int x, int y) {
    if (x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height) {
        ADD_FAILURE() << "pixel " << x << ", " << y << " is outside the " << bitmap.width << " × " << bitmap.height << " picture";
        return {-1, -1, -1, -1};
    }
    const std::uint8_t* p = bitmap.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

struct ExpectedPixel {
    int x, y;
    RGBA color;
};

inline void expectPixels(const platform::Bitmap& bitmap, std::initializer_list<ExpectedPixel> expected) {
    for (const ExpectedPixel& e : expected) EXPECT_EQ(pixelAt(bitmap, e.x, e.y), e.color) << "at " << e.x << ", " << e.y;
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
