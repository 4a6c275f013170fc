// ImageCodec: PNG and JPEG to and from RGBA pixels (libpng, libjpeg-turbo).
//
//   auto bitmap = decodeImage(bytes.span());        // PNG or JPEG, by signature
//   bitmap->width; bitmap->pixel(0, 0)[3];         // width in pixels; alpha of the top-left pixel
//   auto png = encodePNG(*bitmap);                  // lossless round trip
//
// Pixels are 8-bit RGBA, not premultiplied, rows top to bottom without padding. Decoding is
// safe with any input: damaged data gives no bitmap (a JPEG that ends early keeps the rows
// it has, as the platform shows a partly loaded photo), and images wider or taller than
// 16384 pixels or with more than 50 million pixels are refused before any pixel memory is
// taken. Thread rule: pure functions, callable from any thread.
#pragma once

#include <QVPlatform/base/Data.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

inline constexpr int kMaxImageDimension = 16384;
inline constexpr std::size_t kMaxImagePixels = 50'000'000;

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes

    static Bitmap make(int width, int height) {
        return {width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    }
    bool empty() const { return width <= 0 || height <= 0; }
    // The four bytes of pixel (x, y); the coordinates must lie inside the bitmap.
    std::uint8_t* pixel(int x, int y) { return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
    const std::uint8_t* pixel(int x, int y) const {
        return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
    friend bool operator==(const Bitmap&, const Bitmap&) = default;
};

enum class ImageFormat { unknown, png, jpeg };

// The format named by the leading signature bytes (PNG: 89 50 4E 47 0D 0A 1A 0A; JPEG: FF D8 FF).
ImageFormat imageFormatOf(std::span<const std::uint8_t> bytes);

std::optional<Bitmap> decodePNG(std::span<const std::uint8_t> bytes);
std::optional<Bitmap> decodeJPEG(std::span<const std::uint8_t> bytes);
// Decodes PNG or JPEG by signature; absent for anything else.
std::optional<Bitmap> decodeImage(std::span<const std::uint8_t> bytes);

// An RGBA PNG; absent for an empty or inconsistent bitmap.
std::optional<Data> encodePNG(const Bitmap& bitmap);
// `fast` trades size for speed (zlib level 1, one simple row filter), for renders written often.
enum class PNGCompression { standard, fast };
std::optional<Data> encodePNG(const Bitmap& bitmap, PNGCompression compression);
// A baseline JPEG at `quality` (0 to 1, clamped; NaN counts as 0). JPEG has no alpha: pixels are composited on
// black, as the platform's premultiplied images come out.
std::optional<Data> encodeJPEG(const Bitmap& bitmap, double quality);

}  // namespace platform
