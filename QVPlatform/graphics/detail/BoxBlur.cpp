#include <QVPlatform/graphics/detail/BoxBlur.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform::detail {

int boxHalfWidthForSigma(double sigma) {
    if (!std::isfinite(sigma) || sigma <= 0) return 0;
    // Three boxes of width w have variance 3 (w² − 1) / 12 = σ².
    const double w = std::sqrt(4 * sigma * sigma + 1);
    return std::clamp(static_cast<int>(std::lround((w - 1) / 2)), 0, 4096);
}

namespace {

// One box pass along a line of `count` samples `step` apart, through `scratch`.
void boxLine(std::uint8_t* line, int count, int step, int half, std::vector<std::uint8_t>& scratch) {
    for (int i = 0; i < count; ++i) scratch[i] = line[static_cast<std::ptrdiff_t>(i) * step];
    const int width = 2 * half + 1;
    unsigned sum = 0;
    for (int i = 0; i < std::min(half, count); ++i) sum += scratch[i];
    for (int i = 0; i < count; ++i) {
        if (i + half < count) sum += scratch[i + half];
        if (i - half - 1 >= 0) sum -= scratch[i - half - 1];
        line[static_cast<std::ptrdiff_t>(i) * step] = static_cast<std::uint8_t>((sum + width / 2) / width);
    }
}

}  // namespace

void boxBlur3(std::span<std::uint8_t> alpha, int width, int height, int stride, int half) {
    if (half <= 0 || width <= 0 || height <= 0) return;
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(std::max(width, height)));
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) boxLine(alpha.data() + static_cast<std::ptrdiff_t>(y) * stride, width, 1, half, scratch);
        for (int x = 0; x < width; ++x) boxLine(alpha.data() + x, height, stride, half, scratch);
    }
}

}  // namespace platform::detail
