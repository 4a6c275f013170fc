// A Gaussian-like blur of an 8-bit alpha plane: three box blurs in each direction, each of
// width 2·half + 1, in place. Used for shadows.
#pragma once

#include <cstdint>
#include <span>

namespace platform::detail {

// The box half-width whose three passes approximate a Gaussian of standard deviation `sigma`.
int boxHalfWidthForSigma(double sigma);

// Blurs `alpha` (width × height, rows packed with `stride` bytes) three times with a box of
// 2·half + 1 pixels horizontally and vertically. Pixels outside count as 0.
void boxBlur3(std::span<std::uint8_t> alpha, int width, int height, int stride, int half);

}  // namespace platform::detail
