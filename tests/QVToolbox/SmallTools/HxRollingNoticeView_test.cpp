// The rolling notice board on the manual clock: rows shown, slides, pauses, taps, reuse.
#include <QVToolbox/SmallTools/HxRollingNoticeView.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UIColor.h>
#include <QVPlatform/ui/UIWindow.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace QVToolbox;
using platform::CGRect;
using platform::ManualClock;

namespace {

// Rows drawn as solid colours, red, green, blue, ...; remembers each row asked for.
class Rows : public platform::NSObjectSubclass<Rows, HxRollingNoticeViewDataSource, "TestNoticeRows"> {
public:
    int count = 0;
    std::vector<int> asked;
    bool identified = true;
    int numberOfRowsForRoolingView(HxRollingNoticeView&) override { return count; }
    std::shared_ptr<HxNoticeViewCell> rollingNoticeView(HxRollingNoticeView& board, int index) override {
        asked.push_back(index);
        auto cell = identified ? board.dequeueReusableCell("row") : std::make_shared<HxNoticeViewCell>();
        static const std::array<std::shared_ptr<platform::UIColor>, 3> colours{
            platform::UIColor::redColor(), platform::UIColor::greenColor(), platform::UIColor::blueColor()};
        cell->setBackgroundColor(colours[static_cast<std::size_t>(index) % 3]);
        cell->textLabel()->setText("row " + std::to_string(index));
        return cell;
    }
};

class Clicks : public platform::NSObjectSubclass<Clicks, HxRollingNoticeViewDelegate, "TestNoticeClicks"> {
public:
    std::vector<int> clicked;
    void rollingNoticeView(HxRollingNoticeView&, int index) override { clicked.push_back(index); }
};

struct Board {
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
    std::shared_ptr<HxRollingNoticeView> view = std::make_shared<HxRollingNoticeView>(CGRect{{0, 0}, {100, 20}});
    explicit Board(int count) {
        rows->count = count;
        view->register_<HxNoticeViewCell>("row");
        view->setDataSource(rows);
    }
    // Moves the clock to `seconds` after `origin` and runs what fell due.
    void at(double seconds) {
        ManualClock::advanceTo(origin + static_cast<std::uint64_t>(seconds * 1e9));
        platform::RunLoop::main().runUntilIdle();
    }
    void start() {
        origin = platform::Clock::uptimeNanoseconds();
        view->reloadDataAndStartRoll();
        at(0);
    }
    std::uint64_t origin = 0;
};

using RGB = std::array<int, 3>;
RGB pixel(platform::UIView& view, int x, int y) {
    const auto bitmap = view.renderBitmap(1);
    const auto* p = bitmap->pixel(x, y);
    return {p[0], p[1], p[2]};
}
constexpr RGB kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

}  // namespace

TEST(HxRollingNoticeViewTest, ZeroRowsShowNothingOneRowStaysThreeRowsCycle) {
    Board none(0);
    none.start();
    EXPECT_EQ(none.view->currentCell(), nullptr);
    EXPECT_EQ(none.view->timer(), nullptr);
    EXPECT_EQ(none.view->status(), HxRollingNoticeViewStatus::idle);

    Board one(1);
    one.start();
    ASSERT_NE(one.view->currentCell(), nullptr);
    EXPECT_EQ(one.view->timer(), nullptr);
    one.at(10);
    EXPECT_EQ(one.rows->asked, std::vector<int>{0});
    EXPECT_EQ(one.view->status(), HxRollingNoticeViewStatus::idle);

    Board three(3);
    three.start();
    EXPECT_EQ(three.view->status(), HxRollingNoticeViewStatus::working);
    EXPECT_TRUE(three.view->isAnimating());  // a start rolls once at once
    std::vector<int> shown;
    for (const double t : {0.5, 2.5, 4.5, 6.5}) {
        three.at(t);
        shown.push_back(three.view->currentIndex());
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(three.rows->asked, (std::vector<int>{0, 1, 2, 0, 1}));
}

TEST(HxRollingNoticeViewTest, FramesAtClockInstantsShowTheSlide) {
    Board board(3);
    board.start();
    EXPECT_EQ(pixel(*board.view, 50, 10), kRed);  // t = 0: row 0, the slide just begun
    board.at(0.25);                               // half way: row 0 half out, row 1 half in
    EXPECT_EQ(pixel(*board.view, 50, 5), kRed);
    EXPECT_EQ(pixel(*board.view, 50, 15), kGreen);
    board.at(2);
    EXPECT_EQ(pixel(*board.view, 50, 10), kGreen);
    board.at(4.25);
    EXPECT_EQ(pixel(*board.view, 50, 5), kBlue);
    EXPECT_EQ(pixel(*board.view, 50, 15), kRed);
    board.at(4.5);
    EXPECT_EQ(pixel(*board.view, 50, 2), kRed);
    EXPECT_EQ(board.view->subviews().size(), 1u);  // the cell that left is off the board
}

TEST(HxRollingNoticeViewTest, TickDuringASlideIsIgnoredAndPauseHolds) {
    Board board(3);
    board.start();
    const auto coming = board.view->willShowCell();
    board.view->timer()->fire();
    EXPECT_EQ(board.view->willShowCell(), coming);
    EXPECT_EQ(board.rows->asked, (std::vector<int>{0, 1}));

    board.at(0.5);
    board.view->pause();
    EXPECT_EQ(board.view->status(), HxRollingNoticeViewStatus::pause);
    board.at(20);
    EXPECT_EQ(board.view->currentIndex(), 1);
    board.view->resume();
    EXPECT_EQ(board.view->status(), HxRollingNoticeViewStatus::working);
    board.at(20.5);  // resuming rolls at once
    EXPECT_EQ(board.view->currentIndex(), 2);
}

TEST(HxRollingNoticeViewTest, ZeroSizeDefersTheStartToTheNextLayout) {
    Board board(3);
    board.view->setFrame({});
    board.start();
    EXPECT_EQ(board.view->currentCell(), nullptr);
    EXPECT_EQ(board.view->timer(), nullptr);
    board.view->setFrame({{0, 0}, {100, 20}});
    board.view->layoutIfNeeded();
    ASSERT_NE(board.view->currentCell(), nullptr);
    EXPECT_EQ(board.view->status(), HxRollingNoticeViewStatus::working);
}

TEST(HxRollingNoticeViewTest, FewerRowsResetTheIndexAndNoRowsStopTheRoll) {
    Board board(3);
    board.start();
    board.at(2.5);
    EXPECT_EQ(board.view->currentIndex(), 2);
    board.rows->count = 2;
    EXPECT_EQ(board.view->currentIndex(), 0);

    board.rows->count = 0;
    const auto asked = board.rows->asked.size();
    board.at(4.5);
    EXPECT_EQ(board.rows->asked.size(), asked);  // no row asked for
    EXPECT_EQ(board.view->status(), HxRollingNoticeViewStatus::idle);
    EXPECT_EQ(board.view->timer(), nullptr);
    EXPECT_TRUE(board.view->subviews().empty());
}

TEST(HxRollingNoticeViewTest, ReloadDuringASlideKeepsTheBoardFilled) {
    Board board(3);
    board.start();
    board.at(0.25);
    board.view->reloadDataAndStartRoll();  // the old slide's end is still to come
    board.at(0.5);
    ASSERT_NE(board.view->currentCell(), nullptr);
    EXPECT_EQ(board.view->currentCell()->superview(), board.view);
    board.at(1);
    ASSERT_NE(board.view->currentCell(), nullptr);
    EXPECT_EQ(board.view->currentCell()->superview(), board.view);
    EXPECT_EQ(pixel(*board.view, 50, 10), kGreen);
}

TEST(HxRollingNoticeViewTest, ReusePoolKeepsIdentifiedCellsOnlyAndABoundedFew) {
    Board board(3);
    board.start();
    for (int second = 0; second < 20; second += 2) board.at(second + 0.5);
    EXPECT_LE(board.view->reuseCells().size(), HxRollingNoticeView::kMaxReusableCellsPerIdentifier);
    // With one cell waiting, the next row reuses it instead of making another.
    EXPECT_EQ(board.view->reuseCells().size(), 1u);

    Board anonymous(3);
    anonymous.rows->identified = false;
    anonymous.start();
    for (int second = 0; second < 8; second += 2) anonymous.at(second + 0.5);
    EXPECT_TRUE(anonymous.view->reuseCells().empty());

    // Registrations: a class, a nib whose first object is a cell, a nib that yields none.
    auto view = std::make_shared<HxRollingNoticeView>();
    EXPECT_EQ(view->dequeueReusableCell("nothing"), nullptr);
    view->register_(HxNoticeCellNib([] { return std::vector<platform::Any::Object>{std::make_shared<HxNoticeViewCell>()}; }),
                    "nib");
    ASSERT_NE(view->dequeueReusableCell("nib"), nullptr);
    EXPECT_EQ(view->dequeueReusableCell("nib")->reuseIdentifier(), "nib");
    view->register_(HxNoticeCellNib([] { return std::vector<platform::Any::Object>{std::make_shared<platform::UIView>()}; }),
                    "empty");
    EXPECT_EQ(view->dequeueReusableCell("empty"), nullptr);
    view->register_<HxNoticeViewCell>("nib");  // a later registration replaces the nib
    const auto made = view->dequeueReusableCell("nib");
    EXPECT_EQ(made->textLabelLeading(), 10);
}

TEST(HxRollingNoticeViewTest, TapReportsTheRowShownToADelegateThatAnswers) {
    Board board(3);
    auto window = std::make_shared<platform::UIWindow>(CGRect{{0, 0}, {200, 100}});
    window->makeKeyAndVisible();
    window->addSubview(board.view);
    auto clicks = std::make_shared<Clicks>();
    board.view->setDelegate(clicks);
    board.start();
    board.at(0.5);
    window->sendTap({50, 10});
    EXPECT_EQ(clicks->clicked, std::vector<int>{1});

    board.view->setDelegate(std::make_shared<platform::NSObject>());  // no such method: nothing
    window->sendTap({50, 10});
    EXPECT_EQ(clicks->clicked.size(), 1u);
}

TEST(HxRollingNoticeViewTest, TimerHoldsTheBoardWeakly) {
    auto board = std::make_unique<Board>(3);
    board->start();
    const auto timer = board->view->timer();
    std::weak_ptr<HxRollingNoticeView> weak = board->view;
    board.reset();
    EXPECT_TRUE(weak.expired());
    EXPECT_FALSE(timer->isValid());
}

TEST(HxNoticeViewCellTest, LabelIsInsetAndNeverNegative) {
    auto cell = std::make_shared<HxNoticeViewCell>("x", 12, 8);
    cell->textLabel();
    cell->setFrame({{0, 0}, {100, 30}});
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->contentView()->frame(), (CGRect{{0, 0}, {100, 30}}));
    EXPECT_EQ(cell->textLabel()->frame(), (CGRect{{12, 0}, {80, 30}}));
    cell->setFrame({{0, 0}, {15, 30}});
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->textLabel()->frame().size.width, 0);
    EXPECT_TRUE(cell->isAddedContentView());
    cell->setValue(platform::Any(), "reuseIdentifier");
    EXPECT_FALSE(cell->reuseIdentifier());
}
