#include <QVPlatform/ui/UICollectionView.h>
#include <QVPlatform/ui/UICollectionViewFlowLayout.h>
#include <QVPlatform/ui/UIScrollView.h>
#include <QVPlatform/ui/UITableView.h>
#include <QVPlatform/ui/UIWindow.h>

#include "support/DebugMessages.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;

namespace {

class TagCell : public NSObjectSubclass<TagCell, UICollectionViewCell, "TagCell"> {
public:
    using NSObjectSubclass::NSObjectSubclass;
    void prepareForReuse() override { ++reuses; }
    int reuses = 0;
};

// Items with fixed counts per section; every cell is dequeued as "tag" and tagged with its item.
class Items : public UICollectionViewDataSource {
public:
    explicit Items(std::vector<NSInteger> counts) : counts(std::move(counts)) {}
    NSInteger numberOfSections(UICollectionView&) override { return static_cast<NSInteger>(counts.size()); }
    NSInteger numberOfItemsInSection(UICollectionView&, NSInteger section) override {
        ++countQuestions;
        return counts[static_cast<std::size_t>(section)];
    }
    std::shared_ptr<UICollectionViewCell> cellForItemAt(UICollectionView& view, IndexPath path) override {
        ++cellsAsked;
        auto cell = view.dequeueReusableCell(identifier, path);
        if (cell) cell->setTag(static_cast<int>(path.item()));
        return cell;
    }
    std::vector<NSInteger> counts;
    std::string identifier = "tag";
    int countQuestions = 0;
    int cellsAsked = 0;
};

std::shared_ptr<UICollectionViewFlowLayout> flow(CGSize item, CGFloat line, CGFloat interitem, UIEdgeInsets inset) {
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setItemSize(item);
    layout->setMinimumLineSpacing(line);
    layout->setMinimumInteritemSpacing(interitem);
    layout->setSectionInset(inset);
    return layout;
}

std::vector<CGRect> framesOf(const std::vector<std::shared_ptr<UICollectionViewLayoutAttributes>>& records) {
    std::vector<CGRect> frames;
    for (const auto& r : records) frames.push_back(r->frame());
    return frames;
}

}  // namespace

TEST(IndexPath, OrdersBySectionThenItemAndCallsAnItemARow) {
    EXPECT_LT(IndexPath(9, 0), IndexPath(0, 1));
    EXPECT_LT(IndexPath(1, 2), IndexPath(2, 2));
    EXPECT_EQ(IndexPath(3, 1), IndexPath(3, 1));
    EXPECT_EQ(IndexPath(3, 1).row(), 3);
    EXPECT_EQ(IndexPath(3, 1).section(), 1);
}

TEST(UICollectionViewLayoutAttributes, FrameCenterAndSizeDescribeOneRectangle) {
    auto a = UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(IndexPath(4, 0));
    EXPECT_EQ(a->indexPath(), IndexPath(4, 0));
    a->setFrame({{10, 20}, {100, 50}});
    EXPECT_EQ(a->center(), (CGPoint{60, 45}));
    EXPECT_EQ(a->size(), (CGSize{100, 50}));
    a->setCenter({0, 0});
    EXPECT_EQ(a->frame(), (CGRect{{-50, -25}, {100, 50}}));
    a->setSize({10, 10});
    EXPECT_EQ(a->frame(), (CGRect{{-5, -5}, {10, 10}}));
    a->setFrame({{10, 10}, {-4, -6}});  // stored standardized
    EXPECT_EQ(a->frame(), (CGRect{{6, 4}, {4, 6}}));
    a->setFrame({{0, 0}, {std::nan(""), 1}});  // ignored
    EXPECT_EQ(a->frame(), (CGRect{{6, 4}, {4, 6}}));
}

TEST(UICollectionViewFlowLayout, RowsFollowInsetsSpacingsAndWrapWithTheRoomLeftSharedOut) {
    // 300 wide, insets 10: 280 of room; 80-wide items with 10 between fit 3 (3 × 80 + 2 × 10 =
    // 260); the 20 left over widens both gaps to 20.
    auto layout = flow({80, 40}, 5, 10, {12, 10, 8, 10});
    auto items = std::make_shared<Items>(std::vector<NSInteger>{7, 0, 2});
    auto view = std::make_shared<UICollectionView>(CGRect{{0, 0}, {300, 500}}, layout);
    view->setDataSource(items);
    view->layoutIfNeeded();

    const auto first = framesOf(layout->layoutAttributesForElements({{0, 0}, {300, 100}}));
    ASSERT_EQ(first.size(), 6u);  // rows 0 and 1 (y 12 and 57) meet the top 100 points
    EXPECT_EQ(first[0], (CGRect{{10, 12}, {80, 40}}));
    EXPECT_EQ(first[1], (CGRect{{110, 12}, {80, 40}}));
    EXPECT_EQ(first[2], (CGRect{{210, 12}, {80, 40}}));
    EXPECT_EQ(first[3], (CGRect{{10, 57}, {80, 40}}));
    // The short last row keeps the columns.
    EXPECT_EQ(layout->layoutAttributesForItem(IndexPath(6, 0))->frame(), (CGRect{{10, 102}, {80, 40}}));
    // Section 0 ends at 102 + 40 + 8 = 150; the empty section 1 takes no room; section 2
    // starts at 150 + 12.
    EXPECT_EQ(layout->layoutAttributesForItem(IndexPath(1, 2))->frame(), (CGRect{{110, 162}, {80, 40}}));
    EXPECT_EQ(layout->collectionViewContentSize(), (CGSize{300, 210}));
    EXPECT_EQ(view->contentSize(), (CGSize{300, 210}));
    EXPECT_EQ(layout->layoutAttributesForItem(IndexPath(7, 0)), nullptr);
    EXPECT_EQ(layout->layoutAttributesForItem(IndexPath(0, 1)), nullptr);
    EXPECT_EQ(layout->layoutAttributesForItem(IndexPath(0, 3)), nullptr);

    // Only what meets the rectangle: the gap between rows 0 and 1 holds nothing.
    EXPECT_TRUE(layout->layoutAttributesForElements({{0, 52.5}, {300, 4}}).empty());
    const auto paths = [&](CGRect rect) {
        std::vector<IndexPath> found;
        for (const auto& r : layout->layoutAttributesForElements(rect)) found.push_back(r->indexPath());
        return found;
    };
    EXPECT_EQ(paths({{0, 140}, {300, 30}}), (std::vector<IndexPath>{{6, 0}, {0, 2}, {1, 2}}));
    EXPECT_EQ(paths({{95, 0}, {10, 500}}), std::vector<IndexPath>{});  // between the columns

    // Narrower than two items: one per row, centred.
    layout->setItemSize({200, 40});
    view->layoutIfNeeded();
    EXPECT_EQ(layout->layoutAttributesForItem(IndexPath(1, 0))->frame(), (CGRect{{50, 57}, {200, 40}}));
    // Wider than the room: at the left inset.
    layout->setItemSize({400, 40});
    view->layoutIfNeeded();
    EXPECT_EQ(layout->layoutAttributesForItem(IndexPath(0, 0))->frame().origin, (CGPoint{10, 12}));
    // Items with no height show nowhere; content has only the insets' height.
    layout->setItemSize({80, 0});
    view->layoutIfNeeded();
    EXPECT_TRUE(layout->layoutAttributesForElements({{0, 0}, {300, 500}}).empty());
}

TEST(UICollectionViewFlowLayout, AHugeItemCountCostsOnlyTheItemsAskedFor) {
    auto layout = flow({100, 100}, 0, 0, {});
    auto items = std::make_shared<Items>(std::vector<NSInteger>{NSInteger{1} << 50});
    auto view = std::make_shared<UICollectionView>(CGRect{{0, 0}, {300, 300}}, layout);
    view->registerCell<TagCell>("tag");
    view->setDataSource(items);
    view->setContentOffset({0, 1e12});
    view->layoutIfNeeded();
    ASSERT_EQ(view->visibleCells().size(), 9u);
    EXPECT_EQ(view->indexPathsForVisibleItems().front(), IndexPath(30'000'000'000, 0));
    EXPECT_DOUBLE_EQ(view->contentSize().height, static_cast<double>((NSInteger{1} << 50) / 3 + 1) * 100);
}

TEST(UICollectionView, ShowsCellsForTheItemsInBoundsAndReusesThoseThatScrollAway) {
    auto layout = flow({100, 100}, 0, 0, {});
    auto items = std::make_shared<Items>(std::vector<NSInteger>{30});
    auto view = std::make_shared<UICollectionView>(CGRect{{0, 0}, {300, 200}}, layout);
    view->registerCell<TagCell>("tag");
    view->setDataSource(items);
    view->layoutIfNeeded();

    ASSERT_EQ(view->visibleCells().size(), 6u);
    EXPECT_EQ(view->subviews().size(), 6u);
    EXPECT_EQ(items->cellsAsked, 6);
    const auto cell4 = view->cellForItem(IndexPath(4, 0));
    ASSERT_TRUE(cell4);
    EXPECT_EQ(cell4->tag(), 4);
    EXPECT_EQ(cell4->frame(), (CGRect{{100, 100}, {100, 100}}));
    EXPECT_EQ(cell4->reuseIdentifier(), "tag");
    EXPECT_EQ(cell4->contentView()->frame(), (CGRect{{0, 0}, {100, 100}}));
    EXPECT_EQ(view->cellForItem(IndexPath(6, 0)), nullptr);

    // Down one row: row 0 leaves, row 2 comes in on row 0's cells; row 1 is kept as it is.
    view->setContentOffset({0, 100});
    view->layoutIfNeeded();
    EXPECT_EQ(view->cellForItem(IndexPath(4, 0)), cell4);
    EXPECT_EQ(view->cellForItem(IndexPath(0, 0)), nullptr);
    const auto cell7 = std::dynamic_pointer_cast<TagCell>(view->cellForItem(IndexPath(7, 0)));
    ASSERT_TRUE(cell7);
    EXPECT_EQ(cell7->tag(), 7);
    EXPECT_EQ(cell7->reuses, 1);  // one of row 0's cells, prepared again
    EXPECT_EQ(cell7->frame(), (CGRect{{100, 200}, {100, 100}}));
    EXPECT_EQ(items->cellsAsked, 9);
    EXPECT_EQ(view->subviews().size(), 6u);

    // Counts are kept until reloadData; then every shown cell is asked for again, from the pool.
    items->counts = {2};
    view->layoutIfNeeded();
    EXPECT_EQ(view->numberOfItemsInSection(0), 30);
    const int asked = items->cellsAsked;
    view->setContentOffset({0, 0});
    view->reloadData();
    view->layoutIfNeeded();
    EXPECT_EQ(view->numberOfItemsInSection(0), 2);
    EXPECT_EQ(view->indexPathsForVisibleItems(), (std::vector<IndexPath>{{0, 0}, {1, 0}}));
    EXPECT_EQ(items->cellsAsked, asked + 2);
    EXPECT_EQ(view->subviews().size(), 2u);
    EXPECT_EQ(view->contentSize(), (CGSize{300, 100}));
}

TEST(UICollectionView, BadDataSourceAnswersAreSkippedWithADebugLine) {
    qvtest::DebugMessages debug;
    auto items = std::make_shared<Items>(std::vector<NSInteger>{-5});
    auto view = std::make_shared<UICollectionView>(CGRect{{0, 0}, {300, 200}}, flow({100, 100}, 0, 0, {}));
    view->setDataSource(items);
    EXPECT_EQ(view->numberOfItemsInSection(0), 0);   // below zero counts as zero
    EXPECT_EQ(view->numberOfItemsInSection(5), 0);   // no such section
    EXPECT_EQ(view->numberOfItemsInSection(-1), 0);

    items->counts = {3};
    items->identifier = "never registered";
    view->reloadData();
    view->layoutIfNeeded();
    EXPECT_TRUE(view->visibleCells().empty());
    EXPECT_TRUE(std::any_of(debug.seen.begin(), debug.seen.end(),
                            [](const std::string& m) { return m.find("\"never registered\"") != std::string::npos; }));

    // Without a data source (it went away), there is nothing to show.
    items.reset();
    view->reloadData();
    view->layoutIfNeeded();
    EXPECT_EQ(view->numberOfSections(), 0);
    EXPECT_EQ(view->contentSize().height, 0);
}

TEST(UIScrollView, TheContentOffsetMovesWhatIsDrawn) {
    auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {100, 100}});
    window->setBackgroundColor(UIColor::whiteColor());
    window->setHidden(false);
    auto scroll = std::make_shared<UIScrollView>(CGRect{{0, 0}, {100, 100}});
    scroll->setContentSize({100, 400});
    auto red = std::make_shared<UIView>(CGRect{{0, 150}, {100, 50}});
    red->setBackgroundColor(UIColor::redColor());
    scroll->addSubview(red);
    window->addSubview(scroll);

    const auto redAt = [&](int y) {
        const auto bitmap = window->renderBitmap(1);
        const std::uint8_t* p = bitmap->pixel(50, y);
        return p[0] == 255 && p[1] == 0 && p[2] == 0;
    };
    EXPECT_FALSE(redAt(10));  // the red band is below the bounds
    scroll->setContentOffset({0, 140});
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 140}));
    EXPECT_EQ(scroll->bounds(), (CGRect{{0, 140}, {100, 100}}));
    EXPECT_EQ(scroll->frame(), (CGRect{{0, 0}, {100, 100}}));
    EXPECT_TRUE(redAt(10));   // content y 150 shows at y 10
    EXPECT_FALSE(redAt(70));  // past its end (content y 200)
    EXPECT_EQ(window->hitTest({50, 20}), red);

    // Disabled scrolling stops drags, not the program; a point that is not finite is ignored.
    scroll->setScrollEnabled(false);
    scroll->setContentOffset({0, 0});
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 0}));
    scroll->setContentOffset({0, std::nan("")});
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 0}));

    scroll->setContentInset({10, 0, 20, 0});
    EXPECT_EQ(scroll->minimumContentOffset(), (CGPoint{0, -10}));
    EXPECT_EQ(scroll->maximumContentOffset(), (CGPoint{0, 320}));
    scroll->setContentSize({10, 10});
    EXPECT_EQ(scroll->maximumContentOffset(), (CGPoint{0, -10}));
}

TEST(UITableView, RowCountsComeFromTheDataSourceUntilReload) {
    struct Rows : UITableViewDataSource {
        NSInteger numberOfRowsInSection(UITableView&, NSInteger) override { return rows; }
        NSInteger rows = 4;
    };
    auto rows = std::make_shared<Rows>();
    UITableView table(CGRect{{0, 0}, {320, 480}});
    EXPECT_EQ(table.numberOfSections(), 0);
    table.setDataSource(rows);
    EXPECT_EQ(table.numberOfSections(), 1);
    EXPECT_EQ(table.numberOfRowsInSection(0), 4);
    rows->rows = -1;
    EXPECT_EQ(table.numberOfRowsInSection(0), 4);
    table.reloadData();
    EXPECT_EQ(table.numberOfRowsInSection(0), 0);
    EXPECT_EQ(table.numberOfRowsInSection(1), 0);
}
