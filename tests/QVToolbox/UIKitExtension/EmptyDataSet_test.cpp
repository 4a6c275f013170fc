#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/ui/UICollectionView.h>
#include <QVPlatform/ui/UICollectionViewFlowLayout.h>
#include <QVPlatform/ui/UIImageView.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UITableView.h>
#include <QVPlatform/ui/UIWindow.h>

#include <gtest/gtest.h>

using namespace platform;
using namespace QVToolbox;

namespace {

class Count : public UICollectionViewDataSource, public UITableViewDataSource {
public:
    NSInteger numberOfItemsInSection(UICollectionView&, NSInteger) override { return items; }
    std::shared_ptr<UICollectionViewCell> cellForItemAt(UICollectionView&, IndexPath) override {
        return std::make_shared<UICollectionViewCell>();
    }
    NSInteger numberOfRowsInSection(UITableView&, NSInteger) override { return items; }
    NSInteger items = 0;
};

std::shared_ptr<UIImage> solid(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    Bitmap bitmap = Bitmap::make(w, h);
    for (std::size_t i = 0; i < bitmap.rgba.size(); i += 4) {
        bitmap.rgba[i] = r, bitmap.rgba[i + 1] = g, bitmap.rgba[i + 2] = b, bitmap.rgba[i + 3] = 255;
    }
    return UIImage::imageWithBitmap(std::move(bitmap));
}

struct Scene {
    std::shared_ptr<Count> count = std::make_shared<Count>();
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRect{{0, 0}, {300, 400}});
    std::shared_ptr<UICollectionView> view =
        std::make_shared<UICollectionView>(CGRect{{0, 0}, {300, 400}}, std::make_shared<UICollectionViewFlowLayout>());
    Scene() {
        window->setBackgroundColor(UIColor::whiteColor());
        window->setHidden(false);
        window->addSubview(view);
        view->setDataSource(count);
    }
};

}  // namespace

TEST(EmptyDataSet, ShownWithoutItemsItsPartsStackedAndCentredHiddenWithItems) {
    Scene scene;
    QVEmptyDataSet config;
    config.image = solid(40, 30, 255, 0, 0);
    config.desc = "下拉刷新试试";
    config.buttonTitle = "重新加载";
    config.spaceHeight = 12;
    config.verticalOffset = -20;
    EXPECT_EQ(config.title, "什么都没有哦～");
    qv(scene.view).usingEmptyDataSet(config);

    const auto overlay = emptyDataSetView(*scene.view);
    ASSERT_TRUE(overlay);
    EXPECT_FALSE(overlay->isHidden());
    EXPECT_EQ(overlay->frame(), (CGRect{{0, 0}, {300, 400}}));
    ASSERT_TRUE(overlay->imageView() && overlay->titleLabel() && overlay->detailLabel() && overlay->button());
    EXPECT_EQ(overlay->titleLabel()->text(), "什么都没有哦～");
    const CGRect image = overlay->imageView()->frame(), title = overlay->titleLabel()->frame(),
                 desc = overlay->detailLabel()->frame(), button = overlay->button()->frame();
    EXPECT_EQ(image.size, (CGSize{40, 30}));
    EXPECT_EQ(image.origin.x, 130);
    EXPECT_EQ(title.origin.x, 20);  // texts wrap within the width less 20 each side
    EXPECT_EQ(title.size.width, 260);
    EXPECT_DOUBLE_EQ(title.minY(), image.maxY() + 12);
    EXPECT_DOUBLE_EQ(desc.minY(), title.maxY() + 12);
    EXPECT_DOUBLE_EQ(button.minY(), desc.maxY() + 12);
    EXPECT_EQ(button.size.height, 44);
    EXPECT_DOUBLE_EQ(button.midX(), 150);
    EXPECT_DOUBLE_EQ(image.minY() - 0, (400 - button.maxY()) - 40);  // centred, then 20 up
    // Drawn on the window: the image's red at its middle.
    const auto bitmap = scene.window->renderBitmap(1);
    ASSERT_TRUE(bitmap);
    const std::uint8_t* p = bitmap->pixel(150, static_cast<int>(image.midY()));
    EXPECT_EQ((std::array<int, 3>{p[0], p[1], p[2]}), (std::array<int, 3>{255, 0, 0}));

    scene.count->items = 3;
    scene.view->reloadData();
    qv(scene.view).reloadEmptyDataSet();
    EXPECT_TRUE(overlay->isHidden());
    scene.count->items = 0;
    scene.view->reloadData();
    qv(scene.view).reloadEmptyDataSet();
    EXPECT_FALSE(overlay->isHidden());
    qv(scene.view).clearEmptyDataSet();
    EXPECT_EQ(emptyDataSetView(*scene.view), nullptr);
}

TEST(EmptyDataSet, TablesCountRowsAndOtherScrollViewsNeverShowIt) {
    auto count = std::make_shared<Count>();
    auto table = std::make_shared<UITableView>(CGRect{{0, 0}, {300, 400}});
    table->setDataSource(count);
    usingEmptyDataSet(table, {});
    EXPECT_FALSE(emptyDataSetView(*table)->isHidden());
    count->items = 1;
    table->reloadData();
    reloadEmptyDataSet(*table);
    EXPECT_TRUE(emptyDataSetView(*table)->isHidden());
    EXPECT_EQ(itemCount(*table), 1);

    auto plain = std::make_shared<UIScrollView>(CGRect{{0, 0}, {300, 400}});
    usingEmptyDataSet(plain, {});
    EXPECT_TRUE(emptyDataSetView(*plain)->isHidden());
    EXPECT_EQ(itemCount(*plain), std::nullopt);
}

TEST(EmptyDataSet, ScrollingIsHeldOffOnlyWhileShownAndTapsReachOnTapWhenTouchIsAllowed) {
    Scene scene;
    int taps = 0;
    QVEmptyDataSet config;
    config.allowScroll = false;
    config.buttonTitle = "重试";
    config.onTap = [&] { ++taps; };
    usingEmptyDataSet(scene.view, config);
    EXPECT_FALSE(scene.view->isScrollEnabled());
    scene.count->items = 1;
    scene.view->reloadData();
    reloadEmptyDataSet(*scene.view);
    EXPECT_TRUE(scene.view->isScrollEnabled());  // given back once hidden
    scene.count->items = 0;
    scene.view->reloadData();
    reloadEmptyDataSet(*scene.view);
    EXPECT_FALSE(scene.view->isScrollEnabled());

    const auto overlay = emptyDataSetView(*scene.view);
    const CGRect button = overlay->button()->frame();
    EXPECT_TRUE(scene.window->sendTap({button.midX(), button.midY()}));
    EXPECT_TRUE(scene.window->sendTap({10, 10}));
    EXPECT_EQ(taps, 2);
    clearEmptyDataSet(*scene.view);
    EXPECT_TRUE(scene.view->isScrollEnabled());  // cleared: given back too

    config.allowTouch = false;
    config.allowScroll = true;
    usingEmptyDataSet(scene.view, config);
    EXPECT_NE(scene.window->hitTest({10, 10}), emptyDataSetView(*scene.view));  // touches pass through
    scene.window->sendTap({10, 10});
    EXPECT_EQ(taps, 2);
}

TEST(EmptyDataSet, ACustomViewIsShownAloneAtItsSizeCentredAndOffset) {
    Scene scene;
    QVEmptyDataSet config;
    config.customView = std::make_shared<UIView>(CGRect{{0, 0}, {100, 50}});
    config.useCustomView = true;
    config.verticalOffset = 30;
    usingEmptyDataSet(scene.view, config);
    const auto overlay = emptyDataSetView(*scene.view);
    EXPECT_EQ(config.customView->frame(), (CGRect{{100, 205}, {100, 50}}));
    EXPECT_EQ(overlay->titleLabel(), nullptr);
    EXPECT_EQ(overlay->subviews().size(), 1u);
}
