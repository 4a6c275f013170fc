#include <QVToolbox/SmallTools/HxWaterFallLayout.h>

#include <QVPlatform/ui/UICollectionView.h>

#include "support/DebugMessages.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;
using QVToolbox::HxWaterFallLayout;

namespace {

// Heights from a list: the item count and the waterfall heights, and the items asked for.
class Heights : public UICollectionViewDataSource, public QVToolbox::HxWaterFallLayoutDataSoure {
public:
    explicit Heights(std::vector<double> heights) : heights(std::move(heights)) {}
    NSInteger numberOfItemsInSection(UICollectionView&, NSInteger) override { return static_cast<NSInteger>(heights.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItemAt(UICollectionView& view, IndexPath path) override {
        return view.dequeueReusableCell("cell", path);
    }
    double waterfall(HxWaterFallLayout&, NSInteger item) override {
        asked.push_back(item);
        return heights[static_cast<std::size_t>(item)];
    }
    std::vector<double> heights;
    std::vector<NSInteger> asked;
};

struct Scene {
    std::shared_ptr<HxWaterFallLayout> layout = std::make_shared<HxWaterFallLayout>();
    std::shared_ptr<Heights> heights;
    std::shared_ptr<UICollectionView> view;

    Scene(std::vector<double> list, double width, UIEdgeInsets inset = {}, double line = 10, double interitem = 10)
        : heights(std::make_shared<Heights>(std::move(list))) {
        layout->setSectionInset(inset);
        layout->setMinimumLineSpacing(line);
        layout->setMinimumInteritemSpacing(interitem);
        layout->dataSource = heights;
        view = std::make_shared<UICollectionView>(CGRect{{0, 0}, {width, 600}}, layout);
        view->registerCell<UICollectionViewCell>("cell");
        view->setDataSource(heights);
        view->layoutIfNeeded();
    }
    CGRect frame(std::size_t item) const { return layout->cellAttributes().at(item)->frame(); }
    void reload() {
        view->reloadData();
        view->layoutIfNeeded();
    }
};

}  // namespace

TEST(HxWaterFallLayout, EachCellGoesToTheShortestColumnLeftmostOnTies) {
    // 320 wide, insets 10 left and right, spacing 10: (320 − 20 − 10) / 2 = 145 per column.
    Scene scene({100, 50, 30, 80}, 320, {0, 10, 0, 10});
    EXPECT_EQ(scene.layout->cols(), 2);
    ASSERT_EQ(scene.layout->cellAttributes().size(), 4u);
    EXPECT_EQ(scene.frame(0), (CGRect{{10, 0}, {145, 100}}));
    EXPECT_EQ(scene.frame(1), (CGRect{{165, 0}, {145, 50}}));
    EXPECT_EQ(scene.frame(2), (CGRect{{165, 60}, {145, 30}}));  // column 1 (60) is shorter than 0 (110)
    EXPECT_EQ(scene.frame(3), (CGRect{{165, 100}, {145, 80}}));
    EXPECT_EQ(scene.layout->totalHeights(), (std::vector<double>{110, 190}));
    EXPECT_EQ(scene.layout->preCount(), 4);
    EXPECT_EQ(scene.layout->cellAttributes()[2]->indexPath(), IndexPath(2, 0));
    // Every record, whatever the rectangle; the collection view shows a cell for each.
    EXPECT_EQ(scene.layout->layoutAttributesForElements({{0, 0}, {1, 1}}).size(), 4u);
    EXPECT_EQ(scene.view->visibleCells().size(), 4u);
    EXPECT_EQ(scene.view->cellForItem(IndexPath(2, 0))->frame(), (CGRect{{165, 60}, {145, 30}}));
    EXPECT_EQ(scene.layout->layoutAttributesForItem(IndexPath(3, 0))->frame().origin, (CGPoint{165, 100}));
    EXPECT_EQ(scene.layout->layoutAttributesForItem(IndexPath(4, 0)), nullptr);

    Scene ties({40, 40, 40}, 210, {}, 0, 10);
    EXPECT_EQ(ties.frame(0).origin, (CGPoint{0, 0}));
    EXPECT_EQ(ties.frame(1).origin, (CGPoint{110, 0}));
    EXPECT_EQ(ties.frame(2).origin, (CGPoint{0, 40}));  // equal columns: the left one
}

TEST(HxWaterFallLayout, ContentIsTheTallestColumnPlusBottomInsetLessOneLineSpacingNeverBelowZero) {
    Scene scene({100, 50}, 320, {0, 0, 20, 0}, 10);
    EXPECT_EQ(scene.layout->collectionViewContentSize(), (CGSize{0, 120}));  // 110 + 20 − 10
    EXPECT_EQ(scene.view->contentSize(), (CGSize{0, 120}));
    Scene empty({}, 320, {}, 10);
    EXPECT_EQ(empty.layout->collectionViewContentSize(), (CGSize{0, 0}));  // 0 + 0 − 10
}

TEST(HxWaterFallLayout, AppendedItemsArePlacedAloneAndFewerItemsStartAgain) {
    Scene scene({100, 50}, 320);
    EXPECT_EQ(scene.heights->asked, (std::vector<NSInteger>{0, 1}));
    scene.heights->heights = {100, 50, 30};
    scene.reload();
    EXPECT_EQ(scene.heights->asked, (std::vector<NSInteger>{0, 1, 2}));  // only the new one
    EXPECT_EQ(scene.frame(2).origin.y, 60);

    // Down to one item without restData(): placed again from the top.
    scene.heights->asked.clear();
    scene.heights->heights = {70};
    scene.reload();
    EXPECT_EQ(scene.heights->asked, (std::vector<NSInteger>{0}));
    ASSERT_EQ(scene.layout->cellAttributes().size(), 1u);
    EXPECT_EQ(scene.frame(0).size.height, 70);
    EXPECT_EQ(scene.layout->totalHeights(), (std::vector<double>{80, 0}));

    // restData() before a reload lays everything out again.
    scene.heights->asked.clear();
    scene.layout->restData();
    EXPECT_EQ(scene.layout->preCount(), 0);
    scene.reload();
    EXPECT_EQ(scene.heights->asked, (std::vector<NSInteger>{0}));
}

TEST(HxWaterFallLayout, ColumnCountsBelowOneCountAsOneAndAChangeStartsAgain) {
    Scene scene({100, 50, 30}, 320, {5, 10, 0, 10});
    scene.layout->setCols(0);
    EXPECT_EQ(scene.layout->preCount(), 0);  // reset at once
    EXPECT_EQ(scene.layout->totalHeights(), (std::vector<double>{5}));
    scene.view->layoutIfNeeded();
    ASSERT_EQ(scene.layout->cellAttributes().size(), 3u);
    EXPECT_EQ(scene.frame(0), (CGRect{{10, 5}, {300, 100}}));
    EXPECT_EQ(scene.frame(2), (CGRect{{10, 175}, {300, 30}}));

    scene.layout->setCols(-4);
    scene.view->layoutIfNeeded();
    EXPECT_EQ(scene.frame(1), (CGRect{{10, 115}, {300, 50}}));

    scene.layout->setCols(3);  // (300 − 20) / 3 wide
    scene.view->layoutIfNeeded();
    ASSERT_EQ(scene.layout->cellAttributes().size(), 3u);
    EXPECT_NEAR(scene.frame(2).origin.x, 10 + 2 * (280.0 / 3 + 10), 1e-9);
    EXPECT_EQ(scene.frame(2).origin.y, 5);
}

TEST(HxWaterFallLayout, GeometryChangesPlaceAgainAndBadHeightsCountAsZero) {
    Scene scene({100, 50}, 320, {}, 10, 0);
    scene.view->setFrame({{0, 0}, {200, 600}});
    scene.view->layoutIfNeeded();
    EXPECT_EQ(scene.frame(1), (CGRect{{100, 0}, {100, 50}}));
    scene.layout->setSectionInset({0, 20, 0, 20});
    scene.view->layoutIfNeeded();
    EXPECT_EQ(scene.frame(1), (CGRect{{100, 0}, {80, 50}}));

    Scene bad({std::nan(""), -5, INFINITY, 10}, 200, {}, 10, 0);
    EXPECT_EQ(bad.frame(0).size.height, 0);
    EXPECT_EQ(bad.frame(1).size.height, 0);
    EXPECT_EQ(bad.frame(2), (CGRect{{0, 10}, {100, 0}}));
    EXPECT_EQ(bad.layout->totalHeights(), (std::vector<double>{20, 30}));
}

TEST(HxWaterFallLayout, WithoutADataSourceTheLayoutIsEmptyAndSaysSo) {
    qvtest::DebugMessages debug;
    Scene scene({100, 50}, 320);
    scene.layout->dataSource.reset();
    scene.reload();
    EXPECT_TRUE(scene.layout->cellAttributes().empty());
    EXPECT_TRUE(scene.view->visibleCells().empty());
    EXPECT_EQ(scene.layout->collectionViewContentSize(), (CGSize{0, 0}));
    ASSERT_FALSE(debug.seen.empty());
    EXPECT_EQ(debug.seen.back(), "请实现对应的数据源的方法，并且返回cell的高度");
}
