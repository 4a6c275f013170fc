#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UIImageAsset.h>
#include <QVPlatform/ui/UITraitCollection.h>
#include <QVPlatform/ui/UIWindow.h>

#include <gtest/gtest.h>

#include <array>
#include <thread>

using namespace platform;

namespace {

constexpr auto kLight = UIUserInterfaceStyle::light;
constexpr auto kDark = UIUserInterfaceStyle::dark;
constexpr auto kUnspecified = UIUserInterfaceStyle::unspecified;

UITraitCollection traits(UIUserInterfaceStyle style) { return UITraitCollection::withUserInterfaceStyle(style); }

// Sets the system appearance for one test and puts the previous one back.
struct SystemStyle {
    UIUserInterfaceStyle previous = UITraitCollection::systemUserInterfaceStyle();
    explicit SystemStyle(UIUserInterfaceStyle style) { UITraitCollection::setSystemUserInterfaceStyle(style); }
    ~SystemStyle() { UITraitCollection::setSystemUserInterfaceStyle(previous); }
};

// White in light, black in dark; counts how often it was asked.
std::shared_ptr<UIColor> whiteOrBlack(int* calls = nullptr) {
    return UIColor::colorWithDynamicProvider([calls](const UITraitCollection& t) {
        if (calls) ++*calls;
        return t.userInterfaceStyle() == kDark ? UIColor::blackColor() : UIColor::whiteColor();
    });
}

class Recording : public UIView {
public:
    using UIView::UIView;
    std::vector<std::optional<UIUserInterfaceStyle>> changes;
    void traitCollectionDidChange(std::optional<UITraitCollection> previous) override {
        changes.push_back(previous ? std::optional(previous->userInterfaceStyle()) : std::nullopt);
    }
};

}  // namespace

TEST(UITraitCollection, CurrentFollowsTheSystemUnlessSetOnThisThread) {
    SystemStyle system(kDark);
    EXPECT_EQ(UITraitCollection::current().userInterfaceStyle(), kDark);
    UITraitCollection::setSystemUserInterfaceStyle(kUnspecified);  // counts as light
    EXPECT_EQ(UITraitCollection::systemUserInterfaceStyle(), kLight);

    traits(kDark).performAsCurrent([] {
        EXPECT_EQ(UITraitCollection::current().userInterfaceStyle(), kDark);
        std::thread([] { EXPECT_EQ(UITraitCollection::current().userInterfaceStyle(), kLight); }).join();
    });
    EXPECT_EQ(UITraitCollection::current().userInterfaceStyle(), kLight);

    UITraitCollection::setCurrent(traits(kUnspecified));  // falls through to the system
    EXPECT_EQ(UITraitCollection::current().userInterfaceStyle(), kLight);
    UITraitCollection::setCurrent(std::nullopt);
}

TEST(UITraitCollection, ViewsInheritTheNearestOverrideElseTheSystem) {
    SystemStyle system(kLight);
    auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {100, 100}});
    auto panel = std::make_shared<UIView>(CGRect{{0, 0}, {50, 50}});
    auto inner = std::make_shared<UIView>(CGRect{{0, 0}, {10, 10}});
    panel->addSubview(inner);
    window->addSubview(panel);
    EXPECT_EQ(inner->traitCollection().userInterfaceStyle(), kLight);

    window->setOverrideUserInterfaceStyle(kDark);
    EXPECT_EQ(panel->traitCollection().userInterfaceStyle(), kDark);
    EXPECT_EQ(inner->traitCollection().userInterfaceStyle(), kDark);

    panel->setOverrideUserInterfaceStyle(kLight);
    EXPECT_EQ(inner->traitCollection().userInterfaceStyle(), kLight);
    EXPECT_EQ(window->traitCollection().userInterfaceStyle(), kDark);

    panel->setOverrideUserInterfaceStyle(kUnspecified);
    window->setOverrideUserInterfaceStyle(kUnspecified);
    UITraitCollection::setSystemUserInterfaceStyle(kDark);
    EXPECT_EQ(inner->traitCollection().userInterfaceStyle(), kDark);

    // A view's traits do not follow what a thread made current.
    traits(kLight).performAsCurrent([&] { EXPECT_EQ(inner->traitCollection().userInterfaceStyle(), kDark); });
}

TEST(UIColorDynamic, ResolvesPerTraitCollectionAndPlainColoursStayAsTheyWere) {
    SystemStyle system(kLight);
    int calls = 0;
    const auto color = whiteOrBlack(&calls);
    EXPECT_TRUE(color->isDynamic());
    EXPECT_EQ(color->resolvedColorWithTraitCollection(traits(kDark))->rgba(), (UIColor::RGBA{0, 0, 0, 1}));
    EXPECT_FALSE(color->resolvedColorWithTraitCollection(traits(kDark))->isDynamic());
    EXPECT_EQ(color->resolvedColorWithTraitCollection(traits(kUnspecified))->red(), 1);  // the system: light
    EXPECT_EQ(color->red(), 1);
    traits(kDark).performAsCurrent([&] {
        EXPECT_EQ(color->red(), 0);
        EXPECT_EQ(color->hexString(), "#000000");
        EXPECT_EQ(color->colorWithAlphaComponent(0.5)->rgba(), (UIColor::RGBA{0, 0, 0, 0.5}));
    });
    EXPECT_GT(calls, 0);
    EXPECT_TRUE(*color == *color);
    EXPECT_FALSE(*color == *UIColor::whiteColor());

    // Plain colours: resolution gives the same object; equality by components.
    const auto red = UIColor::redColor();
    EXPECT_EQ(red->resolvedColorWithTraitCollection(traits(kDark)), red);
    EXPECT_TRUE(*red == *UIColor::colorWithRed(1, 0, 0, 1));

    // Providers that answer null or loop on themselves resolve to clear instead of crashing.
    const auto none = UIColor::colorWithDynamicProvider([](const UITraitCollection&) { return nullptr; });
    EXPECT_EQ(none->rgba(), (UIColor::RGBA{0, 0, 0, 0}));
    std::shared_ptr<UIColor> loop;
    std::weak_ptr<UIColor> weakLoop;
    loop = UIColor::colorWithDynamicProvider([&weakLoop](const UITraitCollection&) { return weakLoop.lock(); });
    weakLoop = loop;
    EXPECT_EQ(loop->rgba(), (UIColor::RGBA{0, 0, 0, 0}));
    // A provider handing back another dynamic colour is followed.
    const auto wrapped = UIColor::colorWithDynamicProvider([](const UITraitCollection&) { return whiteOrBlack(); });
    EXPECT_EQ(wrapped->resolvedColorWithTraitCollection(traits(kDark))->red(), 0);
}

TEST(UIColorDynamic, LayerColoursAreResolvedAgainWhenTheViewsStyleChanges) {
    SystemStyle system(kLight);
    auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {100, 100}});
    auto view = std::make_shared<Recording>(CGRect{{0, 0}, {50, 50}});
    view->setBackgroundColor(whiteOrBlack());
    window->addSubview(view);
    EXPECT_EQ(view->layer()->backgroundColor()->red, 1);
    ASSERT_EQ(view->changes.size(), 1u);
    EXPECT_EQ(view->changes[0], std::nullopt);

    window->setOverrideUserInterfaceStyle(kDark);
    EXPECT_EQ(view->layer()->backgroundColor()->red, 0);
    ASSERT_EQ(view->changes.size(), 2u);
    EXPECT_EQ(view->changes[1], kLight);
    window->setOverrideUserInterfaceStyle(kDark);  // no change, no call
    EXPECT_EQ(view->changes.size(), 2u);

    // Leaving the dark window, then the system switching, picked up at the next commit.
    view->removeFromSuperview();
    EXPECT_EQ(view->layer()->backgroundColor()->red, 1);
    UITraitCollection::setSystemUserInterfaceStyle(kDark);
    view->commitNow();
    EXPECT_EQ(view->layer()->backgroundColor()->red, 0);
    EXPECT_EQ(view->changes.size(), 4u);
    // The backgroundColor property keeps the dynamic colour itself.
    EXPECT_TRUE(view->backgroundColor()->isDynamic());
}

TEST(UIColorDynamic, ABackgroundRendersLightOrDarkByItsWindow) {
    SystemStyle system(kLight);
    const auto render = [](UIUserInterfaceStyle windowStyle) {
        auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {40, 40}});
        window->setHidden(false);
        window->setOverrideUserInterfaceStyle(windowStyle);
        auto panel = std::make_shared<UIView>(CGRect{{10, 10}, {20, 20}});
        panel->setBackgroundColor(UIColor::colorWithDynamicProvider([](const UITraitCollection& t) {
            return t.userInterfaceStyle() == kDark ? UIColor::colorWithRed(0, 0, 1, 1) : UIColor::colorWithRed(1, 0, 0, 1);
        }));
        window->addSubview(panel);
        auto bitmap = window->renderBitmap(1);
        EXPECT_TRUE(bitmap);
        const std::uint8_t* p = bitmap->pixel(20, 20);
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(render(kLight), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(render(kDark), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(render(kUnspecified), (std::array<int, 4>{255, 0, 0, 255}));  // the system: light
}

TEST(UIImageAsset, ResolvesTheVariantForTheStyleWithFallbacks) {
    SystemStyle system(kDark);
    const auto image = [](std::uint8_t shade) {
        return UIImage::imageWithBitmap(Bitmap{1, 1, {shade, shade, shade, 255}});
    };
    auto light = image(255), dark = image(0), plain = image(128);
    auto asset = std::make_shared<UIImageAsset>();
    EXPECT_EQ(asset->imageWithTraitCollection(traits(kDark)), nullptr);
    EXPECT_EQ(plain->withTraitCollection(traits(kDark)), plain);  // in no asset: itself
    EXPECT_EQ(plain->imageAsset(), nullptr);

    asset->registerImage(light, traits(kLight));
    EXPECT_EQ(asset->imageWithTraitCollection(traits(kDark)), light);  // only light: light
    asset->registerImage(dark, traits(kDark));
    EXPECT_EQ(asset->imageWithTraitCollection(traits(kDark)), dark);
    EXPECT_EQ(asset->imageWithTraitCollection(traits(kLight)), light);
    EXPECT_EQ(asset->imageWithTraitCollection(traits(kUnspecified)), dark);  // the system: dark
    EXPECT_EQ(light->imageAsset(), asset);
    EXPECT_EQ(light->withTraitCollection(traits(kDark)), dark);
    EXPECT_EQ(dark->withTraitCollection(traits(kLight)), light);

    asset->registerImage(plain, traits(kDark));  // replaces the dark variant
    EXPECT_EQ(asset->imageWithTraitCollection(traits(kDark)), plain);
    asset->unregisterImage(traits(kDark));
    EXPECT_EQ(asset->imageWithTraitCollection(traits(kDark)), light);
    asset->registerImage(nullptr, traits(kDark));
    EXPECT_EQ(asset->imageWithTraitCollection(traits(kDark)), light);
}
