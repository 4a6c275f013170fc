#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UICollectionView.h>
#include <QVPlatform/ui/UICollectionViewFlowLayout.h>
#include <QVPlatform/ui/UIColor.h>
#include <QVPlatform/ui/UITableView.h>
#include <QVPlatform/ui/UIWindow.h>

#include "support/Pixels.h"

#include <gtest/gtest.h>

using namespace QVToolbox;
using platform::RunLoop;
using platform::UIScrollView;
using platform::UITableView;
using State = detail::RefreshControl::State;

namespace {

class Rows : public platform::UITableViewDataSource {
public:
    explicit Rows(platform::NSInteger count) : count(count) {}
    platform::NSInteger numberOfRowsInSection(UITableView&, platform::NSInteger) override { return count; }
    platform::NSInteger count;
};

std::shared_ptr<UITableView> makeTable() {
    auto table = std::make_shared<UITableView>(platform::CGRect{{0, 0}, {320, 480}});
    table->setContentSize({320, 1000});
    return table;
}

}  // namespace

TEST(ScrollViewRefresh, HeaderRefreshingRunsTheBlockOnceOnTheNextTurnAndGivesTheInsetBack) {
    auto table = makeTable();
    int runs = 0;
    qv(table).addRefresh(QVRefreshStyle::header, [&] { ++runs; });
    ASSERT_TRUE(qv(table).hasRefresh(QVRefreshStyle::header));
    EXPECT_FALSE(qv(table).hasRefresh(QVRefreshStyle::footer));
    const auto header = refreshControl(*table, QVRefreshStyle::header);
    EXPECT_EQ(header->frame(), (platform::CGRect{{0, -54}, {320, 54}}));
    EXPECT_EQ(header->stateLabel()->text(), "下拉可以刷新");

    qv(table).startRefresh(QVRefreshStyle::header);
    qv(table).startRefresh(QVRefreshStyle::header);  // already refreshing: nothing more
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(table->contentInset().top, 54);
    EXPECT_EQ(table->contentOffset().y, -54);
    EXPECT_EQ(header->stateLabel()->text(), "正在刷新数据中...");
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(runs, 1);

    qv(table).endRefreshing(QVRefreshStyle::header);
    EXPECT_EQ(header->state(), State::idle);
    EXPECT_EQ(table->contentInset().top, 0);

    // An end before the next turn cancels the block.
    qv(table).startRefresh(QVRefreshStyle::header);
    qv(table).endRefreshing(QVRefreshStyle::header);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(runs, 1);

    qv(table).ignoredScrollViewContentInsetTop(64);
    EXPECT_EQ(header->frame().origin.y, -54 - 64);
    qv(table).clearRefresh(QVRefreshStyle::header);
    EXPECT_FALSE(qv(table).hasRefresh(QVRefreshStyle::header));
    EXPECT_EQ(header->superview(), nullptr);
}

TEST(ScrollViewRefresh, FooterSitsBelowTheContentAndStopsAtNoMoreData) {
    auto table = makeTable();
    int loads = 0;
    qv(table).addRefresh(QVRefreshStyle::footer, [&] { ++loads; });
    const auto footer = refreshControl(*table, QVRefreshStyle::footer);
    EXPECT_EQ(footer->frame(), (platform::CGRect{{0, 1000}, {320, 44}}));
    EXPECT_EQ(table->contentInset().bottom, 44);

    qv(table).endRefreshingWithNoMoreData(false);
    EXPECT_EQ(footer->state(), State::noMoreData);
    EXPECT_EQ(footer->stateLabel()->text(), "- 已经到底啦 -");
    EXPECT_TRUE(footer->isStateLabelHidden());
    qv(table).startRefresh(QVRefreshStyle::footer);  // no more data: no load
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(loads, 0);

    qv(table).resetNoMoreData();
    EXPECT_EQ(footer->state(), State::idle);
    EXPECT_FALSE(footer->isStateLabelHidden());
    table->setContentSize({320, 1500});
    qv(table).startRefresh(QVRefreshStyle::footer);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(footer->frame().origin.y, 1500);

    // A replaced footer gives its inset back once.
    qv(table).addFooterRefresh("没有更多了", [] {});
    EXPECT_EQ(table->contentInset().bottom, 44);
    qv(table).endRefreshingWithNoMoreData();
    EXPECT_EQ(refreshControl(*table, QVRefreshStyle::footer)->stateLabel()->text(), "没有更多了");
    qv(table).clearRefresh(QVRefreshStyle::footer);
    EXPECT_EQ(table->contentInset().bottom, 0);
}

TEST(ScrollViewRefresh, EndRefreshFollowsTheDocumentedRule) {
    auto table = makeTable();
    qv(table).addRefresh(QVRefreshStyle::header, [] {});
    int pages = 0;

    // First page with more to come and no footer: the footer is added with the action.
    qv(table).startRefresh(QVRefreshStyle::header);
    qv(table).endRefresh(QVEndRefreshState::header(true), false, true, [&] { ++pages; });
    EXPECT_FALSE(refreshControl(*table, QVRefreshStyle::header)->isRefreshing());
    ASSERT_TRUE(qv(table).hasRefresh(QVRefreshStyle::footer));
    qv(table).startRefresh(QVRefreshStyle::footer);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(pages, 1);

    // The footer's last page: no more data, or no footer at all when asked.
    qv(table).endRefresh(QVEndRefreshState::footer(false));
    EXPECT_EQ(refreshControl(*table, QVRefreshStyle::footer)->state(), State::noMoreData);
    qv(table).endRefresh(QVEndRefreshState::header(true));  // a fresh first page resets it
    EXPECT_EQ(refreshControl(*table, QVRefreshStyle::footer)->state(), State::idle);
    qv(table).endRefresh(QVEndRefreshState::header(false), true);
    EXPECT_FALSE(qv(table).hasRefresh(QVRefreshStyle::footer));
    EXPECT_EQ(table->contentInset(), platform::UIEdgeInsets{});
}

TEST(ScrollViewRefresh, EmptyOverlayShowsWhileThereAreNoRowsAndGivesScrollingBack) {
    auto table = makeTable();
    auto rows = std::make_shared<Rows>(0);
    table->setDataSource(rows);
    int taps = 0;
    QVEmptyDataSet config;
    config.desc = "下拉刷新试试";
    config.allowScroll = false;
    config.onTap = [&] { ++taps; };
    qv(table).usingEmptyDataSet(config);

    const auto overlay = emptyDataSetView(*table);
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(table->isScrollEnabled());
    overlay->layoutIfNeeded();
    ASSERT_NE(overlay->titleLabel(), nullptr);
    EXPECT_EQ(overlay->titleLabel()->text(), "什么都没有哦～");
    // Title above description, the pair centred on the overlay's centre.
    const auto title = overlay->titleLabel()->frame();
    const auto desc = overlay->detailLabel()->frame();
    EXPECT_EQ(desc.origin.y, title.origin.y + title.size.height + 11);
    EXPECT_NEAR((title.origin.y + desc.origin.y + desc.size.height) / 2, 240, 1);
    EXPECT_NEAR(title.origin.x + title.size.width / 2, 160, 1);

    auto window = std::make_shared<platform::UIWindow>(platform::CGRect{{0, 0}, {320, 480}});
    window->addSubview(table);
    window->setHidden(false);
    EXPECT_TRUE(window->sendTap({160, 240}));
    EXPECT_EQ(taps, 1);

    rows->count = 3;
    table->reloadData();
    qv(table).reloadEmptyDataSet();
    EXPECT_EQ(emptyDataSetView(*table), nullptr);
    EXPECT_EQ(overlay->superview(), nullptr);
    EXPECT_TRUE(table->isScrollEnabled());

    rows->count = 0;
    table->reloadData();
    qv(table).reloadEmptyDataSet();
    EXPECT_NE(emptyDataSetView(*table), nullptr);
    qv(table).clearEmptyDataSet();
    EXPECT_EQ(emptyDataSetView(*table), nullptr);
    EXPECT_TRUE(table->isScrollEnabled());
    qv(table).reloadEmptyDataSet();  // forgotten: stays hidden
    EXPECT_EQ(emptyDataSetView(*table), nullptr);
}

TEST(ScrollViewRefresh, EmptyOverlayHonoursCustomViewsTouchesAndPlainScrollViews) {
    auto collection = std::make_shared<platform::UICollectionView>(
        platform::CGRect{{0, 0}, {300, 300}}, std::make_shared<platform::UICollectionViewFlowLayout>());
    auto custom = std::make_shared<platform::UIView>(platform::CGRect{{0, 0}, {100, 40}});
    QVEmptyDataSet config;
    config.customView = custom;
    config.useCustomView = true;
    config.verticalOffset = 20;
    config.allowTouch = false;
    qv(collection).usingEmptyDataSet(config);  // no data source: no sections, so empty
    const auto overlay = emptyDataSetView(*collection);
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(overlay->isUserInteractionEnabled());
    overlay->layoutIfNeeded();
    EXPECT_EQ(custom->frame(), (platform::CGRect{{100, 150}, {100, 40}}));
    EXPECT_EQ(overlay->titleLabel(), nullptr);

    // A plain scroll view has no item count: never an overlay.
    auto plain = std::make_shared<UIScrollView>(platform::CGRect{{0, 0}, {100, 100}});
    qv(plain).usingEmptyDataSet(QVEmptyDataSet{});
    EXPECT_EQ(emptyDataSetView(*plain), nullptr);
}

TEST(ScrollViewRefresh, EmptyOverlayRendersItsTitleOverTheTable) {
    auto table = makeTable();
    table->setBackgroundColor(platform::UIColor::whiteColor());
    auto rows = std::make_shared<Rows>(0);
    table->setDataSource(rows);
    qv(table).usingEmptyDataSet(QVEmptyDataSet{});
    const auto bitmap = table->renderBitmap(1);
    ASSERT_TRUE(bitmap);
    // Dark title text somewhere across the middle row; white well away from it.
    const auto title = emptyDataSetView(*table)->titleLabel()->frame();
    int dark = 0;
    const int y = static_cast<int>(title.origin.y + title.size.height / 2);
    for (int x = 0; x < 320; ++x) dark += testing_support::pixelAt(*bitmap, x, y)[0] < 160 ? 1 : 0;
    EXPECT_GT(dark, 5);
    EXPECT_EQ(testing_support::pixelAt(*bitmap, 160, 40), (testing_support::RGBA{255, 255, 255, 255}));
}
