#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/ui/UIActivityIndicatorView.h>
#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UIGraphics.h>
#include <QVPlatform/ui/UIImageView.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIToolbar.h>
#include <QVPlatform/ui/UIWindow.h>
#include <QVPlatform/ui/UIWindowScene.h>

#include <gtest/gtest.h>

#include <thread>

using namespace platform;

namespace {

struct RGBA8 {
    int r, g, b, a;
};

// The pixel under point (x, y) of a bitmap rendered at scale 2.
RGBA8 at(const Bitmap& b, double x, double y) {
    const std::uint8_t* p = b.pixel(static_cast<int>(x * 2), static_cast<int>(y * 2));
    return {p[0], p[1], p[2], p[3]};
}

bool near(RGBA8 p, RGBA8 expected, int tolerance = 8) {
    return std::abs(p.r - expected.r) <= tolerance && std::abs(p.g - expected.g) <= tolerance &&
           std::abs(p.b - expected.b) <= tolerance && std::abs(p.a - expected.a) <= tolerance;
}

constexpr RGBA8 kWhite{255, 255, 255, 255}, kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kBlack{0, 0, 0, 255};

std::shared_ptr<UIView> colored(CGRect frame, std::shared_ptr<UIColor> color) {
    auto v = std::make_shared<UIView>(frame);
    v->setBackgroundColor(std::move(color));
    return v;
}

std::shared_ptr<UIWindow> whiteWindow(double w, double h) {
    auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {w, h}});
    window->setBackgroundColor(UIColor::whiteColor());
    window->setHidden(false);
    return window;
}

std::shared_ptr<UIImage> solid(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b, double scale = 1) {
    Bitmap bitmap = Bitmap::make(w, h);
    for (std::size_t i = 0; i < bitmap.rgba.size(); i += 4) {
        bitmap.rgba[i] = r, bitmap.rgba[i + 1] = g, bitmap.rgba[i + 2] = b, bitmap.rgba[i + 3] = 255;
    }
    return UIImage::imageWithBitmap(std::move(bitmap), scale);
}

}  // namespace

TEST(UIRender, BackgroundsCornersBordersClippingAndShadowsAtKnownPixels) {
    auto window = whiteWindow(200, 120);
    window->addSubview(colored({{10, 10}, {30, 30}}, UIColor::redColor()));
    auto round = colored({{50, 10}, {40, 40}}, UIColor::blueColor());
    round->layer()->setCornerRadius(20);
    window->addSubview(round);
    auto bordered = colored({{100, 10}, {40, 40}}, UIColor::redColor());
    bordered->layer()->setBorderWidth(4);
    window->addSubview(bordered);
    auto clip = colored({{150, 10}, {20, 20}}, UIColor::blueColor());
    clip->setClipsToBounds(true);
    clip->addSubview(colored({{10, 10}, {30, 30}}, UIColor::redColor()));
    window->addSubview(clip);
    auto shadowed = colored({{10, 60}, {40, 20}}, UIColor::whiteColor());
    shadowed->layer()->setShadowOpacity(1);
    shadowed->layer()->setShadowRadius(0);
    shadowed->layer()->setShadowOffset({0, 6});
    window->addSubview(shadowed);
    auto hidden = colored({{60, 60}, {20, 20}}, UIColor::redColor());
    hidden->setHidden(true);
    window->addSubview(hidden);
    auto half = colored({{90, 60}, {20, 20}}, UIColor::blackColor());
    half->setAlpha(0.5);
    window->addSubview(half);

    const auto bitmap = window->renderBitmap(2);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, 400);
    EXPECT_EQ(bitmap->height, 240);
    EXPECT_TRUE(near(at(*bitmap, 5, 5), kWhite));
    EXPECT_TRUE(near(at(*bitmap, 25, 25), kRed));
    EXPECT_TRUE(near(at(*bitmap, 70, 30), kBlue));   // the circle's centre
    EXPECT_TRUE(near(at(*bitmap, 51, 11), kWhite));  // outside its rounded corner
    EXPECT_TRUE(near(at(*bitmap, 101, 30), kBlack)); // the border
    EXPECT_TRUE(near(at(*bitmap, 120, 30), kRed));
    EXPECT_TRUE(near(at(*bitmap, 165, 25), kRed));   // the child inside the clipping parent
    EXPECT_TRUE(near(at(*bitmap, 175, 35), kWhite)); // and cut off outside it
    EXPECT_TRUE(near(at(*bitmap, 30, 70), kWhite));  // the shadowed panel
    EXPECT_TRUE(near(at(*bitmap, 30, 83), kBlack));  // its hard shadow below
    EXPECT_TRUE(near(at(*bitmap, 70, 70), kWhite));  // hidden: not drawn
    EXPECT_TRUE(near(at(*bitmap, 100, 70), {128, 128, 128, 255}, 3));
    // The PNG is the same picture.
    const auto png = window->renderPNG(2);
    ASSERT_TRUE(png);
    const auto decoded = decodePNG(png->span());
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(near(at(*decoded, 25, 25), kRed));
}

TEST(UIRender, TranslucentBarsLetWhatIsUnderThemShowThrough) {
    auto window = whiteWindow(100, 100);
    window->addSubview(colored({{0, 50}, {100, 50}}, UIColor::redColor()));
    auto bar = std::make_shared<UIToolbar>(CGRect{{0, 56}, {100, 44}});
    bar->setBarTintColor(UIColor::whiteColor());
    window->addSubview(bar);
    auto b = window->renderBitmap(2);
    ASSERT_TRUE(b);
    EXPECT_TRUE(near(at(*b, 50, 80), {255, 217, 217, 255}, 3));  // 85% white over red
    EXPECT_LT(at(*b, 50, 56.1).g, 200);                          // the hairline on top
    bar->setTranslucent(false);
    b = window->renderBitmap(2);
    EXPECT_TRUE(near(at(*b, 50, 80), kWhite, 1));
    EXPECT_EQ(bar->sizeThatFits({320, 0}), (CGSize{320, 44}));
}

TEST(UIRender, LabelsDrawDarkTextInsideTheirTextBoxOnly) {
    auto window = whiteWindow(200, 60);
    auto label = std::make_shared<UILabel>(CGRect{{10, 10}, {180, 40}});
    label->setText("你好 Hello");
    window->addSubview(label);
    const auto bitmap = window->renderBitmap(2);
    ASSERT_TRUE(bitmap);
    const CGSize text = label->sizeThatFits({180, 0});
    const double top = 10 + (40 - label->font()->lineHeight()) / 2;
    int darkInside = 0, darkOutside = 0;
    for (int y = 0; y < bitmap->height; ++y) {
        for (int x = 0; x < bitmap->width; ++x) {
            const bool dark = bitmap->pixel(x, y)[0] < 100;
            const double px = x / 2.0, py = y / 2.0;
            const bool inside = px >= 10 && px <= 10 + text.width && py >= top && py <= top + text.height;
            (inside ? darkInside : darkOutside) += dark;
        }
    }
    EXPECT_GT(darkInside, 200);
    EXPECT_EQ(darkOutside, 0);
    // Centre alignment moves the ink to the middle: the left part is empty.
    label->setTextAlignment(NSTextAlignment::center);
    const auto centred = window->renderBitmap(2);
    int leftInk = 0;
    for (int y = 20; y < 100; ++y) {
        for (int x = 20; x < 60; ++x) leftInk += centred->pixel(x, y)[0] < 100;
    }
    EXPECT_EQ(leftInk, 0);
}

TEST(UIRender, ImageViewsPlaceTheImageByContentMode) {
    auto window = whiteWindow(200, 50);
    const auto image = solid(40, 20, 255, 0, 0, 2);  // 20 x 10 points, red
    const UIViewContentMode modes[] = {UIViewContentMode::scaleToFill, UIViewContentMode::scaleAspectFit,
                                       UIViewContentMode::scaleAspectFill, UIViewContentMode::center};
    for (int i = 0; i < 4; ++i) {
        auto view = std::make_shared<UIImageView>(CGRect{{i * 50.0, 0}, {40, 40}});
        view->setBackgroundColor(UIColor::blueColor());
        view->setImage(image);
        view->setContentMode(modes[i]);
        view->setClipsToBounds(true);
        window->addSubview(view);
    }
    const auto b = window->renderBitmap(2);
    ASSERT_TRUE(b);
    EXPECT_TRUE(near(at(*b, 2, 2), kRed));       // stretched over everything
    EXPECT_TRUE(near(at(*b, 70, 5), kBlue));     // aspect fit: 40 x 20, letterboxed
    EXPECT_TRUE(near(at(*b, 70, 20), kRed));
    EXPECT_TRUE(near(at(*b, 102, 2), kRed));     // aspect fill: 80 x 40, covering
    EXPECT_TRUE(near(at(*b, 155, 20), kBlue));   // centre: 20 x 10 at (10, 15)
    EXPECT_TRUE(near(at(*b, 170, 20), kRed));
    EXPECT_TRUE(near(at(*b, 170, 27), kBlue));
    auto sized = std::make_shared<UIImageView>(image);
    EXPECT_EQ(sized->frame().size, (CGSize{20, 10}));
    EXPECT_FALSE(sized->isUserInteractionEnabled());
}

TEST(UIRender, AnimatedImagesAndIndicatorsStepWithTheClock) {
    ManualClock::start();
    const auto red = solid(2, 2, 255, 0, 0), blue = solid(2, 2, 0, 0, 255);
    const auto animated = UIImage::animatedImageWithImages({red, nullptr, blue}, 1.0);
    ASSERT_TRUE(animated);
    EXPECT_EQ(animated->images().size(), 2u);
    EXPECT_EQ(animated->duration(), 1.0);
    EXPECT_EQ(UIImage::animatedImageWithImages({}, 1), nullptr);
    auto view = std::make_shared<UIImageView>(animated);
    EXPECT_TRUE(view->isAnimating());
    EXPECT_EQ(view->animationFrame(), 0u);
    ManualClock::advance(0.5);
    EXPECT_EQ(view->animationFrame(), 1u);
    view->stopAnimating();
    // Animation images play between start and stop.
    view->setAnimationImages({blue, red, blue});
    view->setAnimationDuration(0.3);
    view->startAnimating();
    ManualClock::advance(0.2);
    EXPECT_EQ(view->animationFrame(), 2u);
    view->stopAnimating();
    EXPECT_FALSE(view->isAnimating());

    auto spinner = std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::large);
    EXPECT_TRUE(spinner->isHidden());
    EXPECT_EQ(spinner->bounds().size, (CGSize{37, 37}));
    spinner->startAnimating();
    EXPECT_FALSE(spinner->isHidden());
    const auto first = spinner->renderBitmap(2);
    ManualClock::advance(0.25);  // three steps of 1/12 s
    EXPECT_EQ(spinner->currentSpoke(), 3);
    const auto later = spinner->renderBitmap(2);
    ASSERT_TRUE(first && later);
    // The top spoke was brightest; now the spoke at 3 o'clock is.
    EXPECT_GT(first->pixel(37, 10)[3], later->pixel(37, 10)[3]);
    EXPECT_LT(first->pixel(64, 37)[3], later->pixel(64, 37)[3]);
    spinner->stopAnimating();
    EXPECT_TRUE(spinner->isHidden());
    ManualClock::stop();
}

TEST(UIRender, ImageContextsBelongToTheirThread) {
    UIGraphicsBeginImageContextWithOptions({10, 5}, false, 2);
    ASSERT_NE(UIGraphicsGetCurrentContext(), nullptr);
    UIGraphicsGetCurrentContext()->fillRect({{0, 0}, {10, 5}}, CGColor{1, 0, 0, 1});
    std::shared_ptr<UIImage> other;
    std::thread([&] {
        EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);  // not this thread's
        UIGraphicsBeginImageContext({3, 3});
        UIGraphicsGetCurrentContext()->fillRect({{0, 0}, {3, 3}}, CGColor{0, 0, 1, 1});
        other = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
    }).join();
    const auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    ASSERT_TRUE(image && other);
    EXPECT_EQ(image->size(), (CGSize{10, 5}));
    EXPECT_EQ(image->pixelWidth(), 20);
    EXPECT_EQ(image->bitmap().pixel(3, 3)[0], 255);
    EXPECT_EQ(other->bitmap().pixel(1, 1)[2], 255);
    // PNG round trip; JPEG is smaller at a lower quality; an empty size makes no context.
    const auto png = image->pngData();
    ASSERT_TRUE(png);
    EXPECT_EQ(decodePNG(png->span())->width, 20);
    EXPECT_TRUE(image->jpegData(0.9) && image->jpegData(NAN));
    UIGraphicsBeginImageContextWithOptions({0, 10}, false, 1);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext(), nullptr);
    UIGraphicsEndImageContext();
}

TEST(UIApplication, WindowsScenesKeyWindowAndDelegate) {
    const auto app = UIApplication::shared();
    const auto before = app->windows().size();
    auto scene = std::make_shared<UIWindowScene>();
    app->connectScene(scene);
    EXPECT_EQ(scene->activationState(), UISceneActivationState::foregroundInactive);
    scene->setActivationState(UISceneActivationState::foregroundActive);
    auto first = std::make_shared<UIWindow>(scene);
    auto second = std::make_shared<UIWindow>();
    EXPECT_TRUE(first->isHidden());
    {
        const auto windows = app->windows();
        ASSERT_EQ(windows.size(), before + 2);
        EXPECT_EQ(windows[before], first);
        EXPECT_EQ(windows[before + 1], second);
    }
    first->makeKeyAndVisible();
    EXPECT_FALSE(first->isHidden());
    EXPECT_TRUE(first->isKeyWindow());
    EXPECT_EQ(app->keyWindow(), first);
    EXPECT_EQ(scene->keyWindow(), first);
    EXPECT_EQ(scene->windows(), std::vector<std::shared_ptr<UIWindow>>{first});
    second->makeKeyWindow();
    EXPECT_FALSE(first->isKeyWindow());
    EXPECT_EQ(scene->keyWindow(), first);  // second is not in the scene
    second.reset();
    EXPECT_EQ(app->keyWindow(), nullptr);
    EXPECT_EQ(app->windows().size(), before + 1);
    auto delegate = std::make_shared<UIApplicationDelegate>();
    delegate->setWindow(first);
    app->setDelegate(delegate);
    EXPECT_EQ(app->delegate()->window(), first);
    const auto scenes = app->connectedScenes();
    EXPECT_EQ(scenes.back(), scene);
    app->disconnectScene(*scene);
    EXPECT_EQ(scene->activationState(), UISceneActivationState::unattached);
    app->setDelegate(nullptr);
}
