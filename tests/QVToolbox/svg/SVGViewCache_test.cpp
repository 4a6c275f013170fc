// SVG drawings delivered to layers and views, through the cache and the resource lookups.
#include <QVToolbox/svg/SVGCache.h>
#include <QVToolbox/svg/SVGConstructors.h>
#include <QVToolbox/svg/SVGView.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/graphics/Path.h>

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

using namespace QVToolbox;
using platform::CGColor;
using platform::Data;

namespace {

namespace fs = std::filesystem;

// A square of `fill` whose comment makes the bytes unique to the test that asks for them.
Data square(const std::string& fill, const std::string& tag) {
    return Data::fromString("<svg><!-- " + tag + " --><rect x='2' y='2' width='8' height='8' fill='" + fill +
                            "'/></svg>");
}

// Lets parses, cache writes and main-queue work finish.
void settle() {
    for (int i = 0; i < 3; ++i) {
        platform::ManualClock::drain();
        platform::RunLoop::main().runUntilIdle();
    }
}

// The fill of the first leaf shape inside a delivered drawing.
std::optional<CGColor> firstFill(std::shared_ptr<platform::CALayer> drawing) {
    while (!drawing->sublayers().empty()) drawing = drawing->sublayers()[0];
    auto shape = std::dynamic_pointer_cast<platform::CAShapeLayer>(drawing);
    return shape ? shape->fillColor() : std::nullopt;
}

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

struct MainBundle {
    qvtest::TemporaryFolder folder{"qv-svgview"};
    fs::path root{folder.folder};
    MainBundle() { platform::Host::configure({.mainBundlePath = root}); }
    ~MainBundle() { platform::Host::configure({}); }
};

constexpr CGColor kRed{1, 0, 0, 1}, kBlue{0, 0, 1, 1}, kGreen{0, 1, 0, 1};

}  // namespace

TEST(SVGCacheTest, KeysAreHashDashCountAndSubscriptNoneKeepsTheEntry) {
    const auto key = cacheKey(Data::fromString("abcd"));
    EXPECT_TRUE(key.ends_with("-4")) << key;
    EXPECT_EQ(key, cacheKey(Data::fromString("abcd")));
    EXPECT_NE(key, cacheKey(Data::fromString("abce")));

    SVGCache cache;
    auto layer = SVGLayer::make();
    cache.set("k", layer);
    cache.set("k", nullptr);
    EXPECT_EQ(cache["k"], layer);
    cache.removeObject("k");
    EXPECT_EQ(cache["k"], nullptr);
}

TEST(SVGCacheTest, SecondRequestIsAHitWithAFreshCopyBeforeTheConstructorReturns) {
    const Data data = square("red", "second request");
    std::shared_ptr<SVGLayer> first;
    auto firstLayer = layerWithSVGData(data, nullptr, [&](std::shared_ptr<SVGLayer> l) { first = std::move(l); });
    EXPECT_EQ(first, nullptr);  // a miss never completes before returning
    settle();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(firstLayer->sublayers().size(), 1u);

    std::shared_ptr<SVGLayer> second;
    auto secondLayer = layerWithSVGData(data, nullptr, [&](std::shared_ptr<SVGLayer> l) { second = std::move(l); });
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(secondLayer->sublayers().size(), 1u);  // attached at once on the main thread
    EXPECT_EQ(firstFill(second), kRed);

    // Every hit is its own copy: recolouring one leaves the next untouched.
    second->setFillColor(kBlue);
    std::shared_ptr<SVGLayer> third;
    layerWithSVGData(data, nullptr, [&](std::shared_ptr<SVGLayer> l) { third = std::move(l); });
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(firstFill(third), kRed);
}

TEST(SVGCacheTest, CacheHoldsTheDrawingAsParsedEvenWhenTheFirstCallerRecoloursIt) {
    const Data data = square("red", "first caller recolours");
    layerWithSVGData(data, nullptr, [](std::shared_ptr<SVGLayer> l) {
        l->setFillColor(kGreen);
        resizeToFit(*l, {{0, 0}, {100, 100}});
    });
    settle();
    std::shared_ptr<SVGLayer> hit;
    layerWithSVGData(data, nullptr, [&](std::shared_ptr<SVGLayer> l) { hit = std::move(l); });
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(firstFill(hit), kRed);
    EXPECT_TRUE(hit->affineTransform().isIdentity());
}

TEST(SVGCacheTest, KeyCollisionAndDigestlessEntriesAreMisses) {
    const Data mine = square("red", "collision mine");
    const Data theirs = square("blue", "collision theirs");
    auto stranger = SVGLayer::make();
    stranger->setBoundingBox({{0, 0}, {999, 999}});
    // Their drawing stored under my key: same key, different digest.
    SVGCache::default_().store({contentKey(mine).key, contentKey(theirs).digest}, stranger);
    std::shared_ptr<SVGLayer> got;
    layerWithSVGData(mine, nullptr, [&](std::shared_ptr<SVGLayer> l) { got = std::move(l); });
    EXPECT_EQ(got, nullptr);  // not served synchronously: parsed instead
    settle();
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(firstFill(got), kRed);
    EXPECT_NE(got->boundingBox().size.width, 999);

    const Data seeded = square("red", "digestless");
    SVGCache::default_().set(cacheKey(seeded), stranger);
    std::shared_ptr<SVGLayer> fromSeed;
    layerWithSVGData(seeded, nullptr, [&](std::shared_ptr<SVGLayer> l) { fromSeed = std::move(l); });
    EXPECT_EQ(fromSeed, nullptr);
    settle();
}

TEST(SVGCacheTest, HitOffTheMainThreadCompletesThereAndAttachesOnMain) {
    const Data data = square("red", "off main");
    layerWithSVGData(data, nullptr, nullptr);
    settle();
    std::thread::id completedOn;
    std::shared_ptr<platform::CALayer> layer;
    std::thread worker([&] {
        layer = layerWithSVGData(data, nullptr, [&](std::shared_ptr<SVGLayer>) { completedOn = std::this_thread::get_id(); });
        EXPECT_EQ(completedOn, std::this_thread::get_id());
    });
    worker.join();
    EXPECT_TRUE(layer->sublayers().empty());  // queued to the main thread
    platform::RunLoop::main().runUntilIdle();
    EXPECT_EQ(layer->sublayers().size(), 1u);
}

TEST(SVGCacheTest, ReleasedLayerGetsNothingButTheCompletionStillRuns) {
    int completions = 0;
    layerWithSVGData(square("red", "released"), nullptr, [&](std::shared_ptr<SVGLayer>) { ++completions; });
    settle();
    EXPECT_EQ(completions, 1);
}

TEST(SVGViewTest, UnreadableURLPrintsTheLineAndShowsNothing) {
    const auto url = platform::URL::fileURLWithPath("/nonexistent/qv-missing.svg");
    testing::internal::CaptureStdout();
    auto view = viewWithSVGURL(url);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "No data at URL: " + url.absoluteString() + "\n");
    settle();
    EXPECT_TRUE(view->layer()->sublayers().empty());

    bool called = false;
    auto layer = layerWithSVGURL(url, nullptr, [&](std::shared_ptr<SVGLayer>) { called = true; });
    settle();
    EXPECT_FALSE(called);
    EXPECT_TRUE(layer->sublayers().empty());
}

TEST(SVGViewTest, NamedConstructorPrefersTheAssetAndSVGViewPrefersTheFile) {
    MainBundle bundle;
    write(bundle.root / "logo.svg", "<svg><rect width='4' height='4' fill='red'/></svg>");
    write(bundle.root / "Assets.xcassets/logo.dataset/logo.svg", "<svg><rect width='4' height='4' fill='blue'/></svg>");

    std::shared_ptr<SVGLayer> fromNamed;
    auto named = viewWithSVGNamed("logo", nullptr, [&](std::shared_ptr<SVGLayer> l) { fromNamed = std::move(l); });
    settle();
    ASSERT_NE(fromNamed, nullptr);
    EXPECT_EQ(firstFill(fromNamed), kBlue);
    ASSERT_EQ(named->layer()->sublayers().size(), 1u);

    auto view = std::make_shared<SVGView>(platform::CGRect{{0, 0}, {4, 4}});
    view->setValue(platform::Any("logo"), "SVGName");
    settle();
    EXPECT_EQ(*view->valueForKey("SVGName").asString(), "logo");
    ASSERT_EQ(view->layer()->sublayers().size(), 1u);
    EXPECT_EQ(firstFill(view->layer()->sublayers()[0]), kRed);

    // Setting it again adds a drawing on top; unknown names and none change nothing.
    view->setSVGName("logo");
    settle();
    EXPECT_EQ(view->layer()->sublayers().size(), 2u);
    view->setValue(platform::Any("nothing-by-this-name"), "SVGName");
    view->setValue(platform::Any(), "SVGName");
    settle();
    EXPECT_EQ(view->layer()->sublayers().size(), 2u);
    EXPECT_FALSE(view->SVGName());
    EXPECT_TRUE(view->valueForKey("SVGName").isNull());
    EXPECT_THROW(view->setValue(platform::Any(5), "SVGName"), platform::NSException);

    // Only the data asset: SVGView falls back to it.
    write(bundle.root / "Assets.xcassets/mark.dataset/mark.svg", "<svg><rect width='4' height='4' fill='lime'/></svg>");
    view->setSVGName("mark");
    settle();
    ASSERT_EQ(view->layer()->sublayers().size(), 3u);
    EXPECT_EQ(firstFill(view->layer()->sublayers()[2]), kGreen);

    // Neither: the named constructor gives a plain view.
    EXPECT_TRUE(viewWithSVGNamed("nothing-by-this-name")->layer()->sublayers().empty());
}

TEST(SVGPathStringTest, TriangleIsClosedAndEmptyTextIsEmpty) {
    const auto triangle = bezierPathWithPathString("M0 0 L10 0 L10 10 Z");
    std::vector<platform::CGPathElementType> types;
    for (const auto& element : *triangle->cgPath()) types.push_back(element.type);
    using T = platform::CGPathElementType;
    EXPECT_EQ(types, (std::vector<T>{T::moveToPoint, T::addLineToPoint, T::addLineToPoint, T::closeSubpath}));
    EXPECT_TRUE(bezierPathWithPathString("")->isEmpty());

    EXPECT_EQ(shapeLayerWithPathString("M0 0 L10 0 L10 10 Z")->path()->elementCount(), 4u);
    const auto view = viewWithPathString("");
    ASSERT_EQ(view->layer()->sublayers().size(), 1u);
    const auto drawing = std::dynamic_pointer_cast<SVGLayer>(view->layer()->sublayers()[0]);
    ASSERT_NE(drawing, nullptr);
    ASSERT_NE(drawing->path(), nullptr);
    EXPECT_TRUE(drawing->path()->isEmpty());
}
