#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UITableView.h>

#include <gtest/gtest.h>

using namespace platform;
using namespace QVToolbox;

TEST(Refresh, HeaderRefreshesRunsItsBlockOnTheMainQueueAndGivesItsInsetBack) {
    auto table = std::make_shared<UITableView>(CGRect{{0, 0}, {320, 480}});
    table->setContentInset({10, 0, 0, 0});
    int loads = 0;
    qv(table).addRefresh(QVRefreshStyle::header, [&] { ++loads; });
    ASSERT_TRUE(qv(table).hasRefresh(QVRefreshStyle::header));
    EXPECT_FALSE(qv(table).hasRefresh(QVRefreshStyle::footer));
    const auto header = refreshControl(*table, QVRefreshStyle::header);
    EXPECT_EQ(header->frame(), (CGRect{{0, -54}, {320, 54}}));
    EXPECT_EQ(header->stateLabel()->text(), "下拉可以刷新");
    qv(table).ignoredScrollViewContentInsetTop(20);
    EXPECT_EQ(header->frame().origin.y, -74);

    header->setState(QVRefreshState::pulling);
    EXPECT_EQ(header->stateLabel()->text(), "松开立即刷新");
    qv(table).startRefresh(QVRefreshStyle::header);
    EXPECT_TRUE(header->isRefreshing());
    EXPECT_EQ(table->contentInset().top, 64);
    EXPECT_EQ(loads, 0);  // queued, not run inside the call
    qv(table).startRefresh(QVRefreshStyle::header);  // already refreshing: nothing more
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(loads, 1);

    qv(table).endRefreshing(QVRefreshStyle::header);
    EXPECT_EQ(header->state(), QVRefreshState::idle);
    EXPECT_EQ(table->contentInset().top, 10);

    // A control removed before its block runs runs nothing.
    qv(table).startRefresh(QVRefreshStyle::header);
    qv(table).clearRefresh(QVRefreshStyle::header);
    EXPECT_EQ(table->contentInset().top, 10);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(qv(table).hasRefresh(QVRefreshStyle::header));
}

TEST(Refresh, FooterNoMoreDataAndTheEndRefreshRules) {
    auto table = std::make_shared<UITableView>(CGRect{{0, 0}, {320, 480}});
    table->setContentSize({320, 900});
    qv(table).addRefresh(QVRefreshStyle::footer, [] {});
    auto footer = refreshControl(*table, QVRefreshStyle::footer);
    EXPECT_EQ(footer->frame(), (CGRect{{0, 900}, {320, 44}}));

    qv(table).endRefreshingWithNoMoreData(false);
    EXPECT_EQ(footer->state(), QVRefreshState::noMoreData);
    EXPECT_EQ(footer->stateLabel()->text(), "- 已经到底啦 -");
    EXPECT_TRUE(footer->stateLabel()->isHidden());
    footer->beginRefreshing();  // no more data: stays
    EXPECT_EQ(footer->state(), QVRefreshState::noMoreData);
    qv(table).resetNoMoreData();
    EXPECT_EQ(footer->state(), QVRefreshState::idle);
    EXPECT_FALSE(footer->stateLabel()->isHidden());

    // footer(hasMore: false): the footer shows no more data, or goes when asked to.
    footer->beginRefreshing();
    qv(table).endRefresh(QVEndRefreshState::footer(false));
    EXPECT_EQ(footer->state(), QVRefreshState::noMoreData);
    qv(table).endRefresh(QVEndRefreshState::footer(true));
    EXPECT_EQ(footer->state(), QVRefreshState::idle);
    qv(table).endRefresh(QVEndRefreshState::header(false), true);
    EXPECT_FALSE(qv(table).hasRefresh(QVRefreshStyle::footer));

    // header(hasMore: true) with addFooter: a footer with the action, idle.
    int more = 0;
    qv(table).addRefresh(QVRefreshStyle::header, [] {});
    qv(table).startRefresh(QVRefreshStyle::header);
    qv(table).endRefresh(QVEndRefreshState::header(true), false, true, [&] { ++more; });
    EXPECT_FALSE(refreshControl(*table, QVRefreshStyle::header)->isRefreshing());
    footer = refreshControl(*table, QVRefreshStyle::footer);
    ASSERT_TRUE(footer);
    EXPECT_EQ(footer->state(), QVRefreshState::idle);
    qv(table).startRefresh(QVRefreshStyle::footer);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(more, 1);

    qv(table).addFooterRefresh("没有更多了", [] {});
    qv(table).endRefreshingWithNoMoreData();
    EXPECT_EQ(refreshControl(*table, QVRefreshStyle::footer)->stateLabel()->text(), "没有更多了");
}
