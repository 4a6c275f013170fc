#include <QVPlatform/graphics/detail/BoxBlur.h>

#include <gtest/gtest.h>

#include <vector>

using namespace platform::detail;

TEST(BoxBlur, SpreadsASinglePixelSymmetricallyAndKeepsFlatAreasFlat) {
    std::vector<std::uint8_t> plane(21 * 21, 0);
    plane[10 * 21 + 10] = 255;
    boxBlur3(plane, 21, 21, 21, 2);
    EXPECT_GT(plane[10 * 21 + 10], plane[10 * 21 + 12]);
    EXPECT_EQ(plane[10 * 21 + 8], plane[10 * 21 + 12]);
    EXPECT_EQ(plane[8 * 21 + 10], plane[12 * 21 + 10]);
    EXPECT_EQ(plane[10 * 21 + 17], 0);  // three passes of half-width 2 reach 6 pixels

    std::vector<std::uint8_t> flat(9 * 9, 200);
    boxBlur3(flat, 9, 9, 9, 1);
    EXPECT_EQ(flat[4 * 9 + 4], 200);
    EXPECT_LT(flat[0], 200);  // pixels outside count as transparent

    EXPECT_EQ(boxHalfWidthForSigma(0), 0);
    EXPECT_EQ(boxHalfWidthForSigma(-1), 0);
    EXPECT_GT(boxHalfWidthForSigma(3), 1);
}
