// qvtool's waterfall group: each item's frame, one line per item.
#include "ToolRunner.h"

using qvtest::answers;
using qvtest::refuses;

TEST(QvtoolWaterfall, PrintsEachItemsFrameInTheShortestColumn) {
    EXPECT_TRUE(answers({"waterfall", "--cols", "2", "--heights", "100,50,30,80"},
                        "item 0: x 0, y 0, width 182.5, height 100\n"
                        "item 1: x 192.5, y 0, width 182.5, height 50\n"
                        "item 2: x 192.5, y 60, width 182.5, height 30\n"
                        "item 3: x 192.5, y 100, width 182.5, height 80\n"));
    EXPECT_TRUE(answers({"waterfall", "--cols", "3", "--heights", "100,50,30,80", "--width", "320"},
                        "item 0: x 0, y 0, width 100, height 100\n"
                        "item 1: x 110, y 0, width 100, height 50\n"
                        "item 2: x 220, y 0, width 100, height 30\n"
                        "item 3: x 220, y 40, width 100, height 80\n"));
    // Fewer than one column counts as one; no heights, no items.
    EXPECT_TRUE(answers({"waterfall", "--cols", "0", "--heights", "10,20", "--width", "100"},
                        "item 0: x 0, y 0, width 100, height 10\n"
                        "item 1: x 0, y 20, width 100, height 20\n"));
    EXPECT_TRUE(answers({"waterfall", "--cols", "2", "--heights", ""}, ""));
}

TEST(QvtoolWaterfall, RefusesHeightsAndWidthsThatAreNotSizes) {
    EXPECT_TRUE(refuses({"waterfall", "--cols", "2", "--heights", "1,-2"}, "--heights: '-2' is below zero"));
    EXPECT_TRUE(refuses({"waterfall", "--cols", "2", "--heights", "1,x"}, "--heights 'x' is not a number"));
    EXPECT_TRUE(refuses({"waterfall", "--cols", "2", "--heights", "1,"}, "--heights: an empty item at the end"));
    EXPECT_TRUE(refuses({"waterfall", "--cols", "two", "--heights", "1"}, "--cols 'two' is not a whole number"));
    EXPECT_TRUE(refuses({"waterfall", "--cols", "2", "--heights", "1", "--width", "-5"}, "--width: '-5' is below zero"));
    EXPECT_TRUE(refuses({"waterfall", "--heights", "1"}, "--cols is required"));
}
