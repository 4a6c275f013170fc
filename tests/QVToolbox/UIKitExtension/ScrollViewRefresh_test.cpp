#include <QVToolbox/QVToolbox.h>
#include <QVToolbox/UIKitExtension/detail/RefreshControl.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UITableView.h>

#include <gtest/gtest.h>

using namespace QVToolbox;
using platform::RunLoop;
using platform::UIScrollView;
using platform::UITableView;
using State = detail::RefreshControl::State;

namespace {

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
