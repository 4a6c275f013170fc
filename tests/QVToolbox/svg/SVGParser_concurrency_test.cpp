// The SVG parser's path jobs run side by side on the pool; the completion must come once,
// after every box is in.
#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGLayer.h>
#include <QVToolbox/svg/SVGPath.h>

#include <QVPlatform/base/Data.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

using namespace QVToolbox;

TEST(SVGParserConcurrency, AThousandPathsGiveTheUnionOfAllBoxesAndOneCompletion) {
    // Path i is a 1×1 square at (i, 2i), drawn with enough commands to go to a pool job; the
    // union runs from (0, 0) to (1000, 1999).
    std::string steps;
    while (steps.size() < SVGPath::kInlineOutlineBytes) steps += " h0.5 h-0.5";
    std::string svg = "<svg>";
    for (int i = 0; i < 1000; ++i) {
        svg += "<g><path fill='#" + std::string(i % 2 ? "f00" : "00f") + "' d='M" + std::to_string(i) + " " +
               std::to_string(2 * i) + steps + " h1 v1 h-1 z' clip-rule='evenodd'/></g>";
    }
    svg += "</svg>";
    for (int round = 0; round < 3; ++round) {
        auto completions = std::make_shared<std::atomic<int>>(0);
        auto result = std::make_shared<std::shared_ptr<SVGLayer>>();
        auto parser = NSXMLSVGParser::make(platform::Data::fromString(svg), SVGParserSupportedElements::allSupportedElements(),
                                           [completions, result](std::shared_ptr<SVGLayer> layer) {
                                               EXPECT_TRUE(platform::RunLoop::isMainThread());
                                               ++*completions;
                                               *result = std::move(layer);
                                           });
        platform::ManualClock::start();
        ASSERT_TRUE(parser->startParsing());
        platform::ManualClock::drain();
        platform::RunLoop::main().runUntilIdle();
        platform::ManualClock::stop();
        ASSERT_EQ(completions->load(), 1);
        ASSERT_TRUE(*result);
        EXPECT_EQ((*result)->boundingBox(), (platform::CGRect{{0, 0}, {1000, 1999}}));
        EXPECT_EQ(parser->asyncParseCount(), 0);
        const auto root = (*result)->sublayers().at(0);
        EXPECT_EQ(root->sublayers().size(), 1000u);
    }
}
