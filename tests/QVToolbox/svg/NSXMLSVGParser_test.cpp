#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGLayer.h>
#include <QVToolbox/svg/SVGPath.h>
#include <QVToolbox/svg/SVGTransform.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/layers/CAShapeLayer.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace QVToolbox;
using platform::CALayer;
using platform::CAShapeLayer;
using platform::CGRect;
using platform::Data;

namespace {

struct Parsed {
    bool ok = false;
    int completions = 0;
    std::shared_ptr<SVGLayer> layer;
    std::shared_ptr<NSXMLSVGParser> parser;
};

// Parses on the main thread and lets every job and the main queue finish.
Parsed parse(const std::string& svg,
             std::optional<SVGParserSupportedElements> registry = SVGParserSupportedElements::allSupportedElements()) {
    auto result = std::make_shared<Parsed>();
    result->parser = NSXMLSVGParser::make(Data::fromString(svg), std::move(registry), [result](std::shared_ptr<SVGLayer> layer) {
        ++result->completions;
        result->layer = std::move(layer);
    });
    platform::ManualClock::start();
    result->ok = result->parser->startParsing();
    platform::ManualClock::drain();
    platform::RunLoop::main().runUntilIdle();
    platform::ManualClock::stop();
    Parsed out = *result;
    out.parser = result->parser;
    return out;
}

// The shape layers of the document's first root, depth first.
void collectShapes(const CALayer& layer, std::vector<std::shared_ptr<CAShapeLayer>>& out) {
    for (const auto& sub : layer.sublayers()) {
        if (auto shape = std::dynamic_pointer_cast<CAShapeLayer>(sub)) out.push_back(shape);
        collectShapes(*sub, out);
    }
}
std::vector<std::shared_ptr<CAShapeLayer>> shapes(const Parsed& p) {
    std::vector<std::shared_ptr<CAShapeLayer>> out;
    if (p.layer) collectShapes(*p.layer, out);
    return out;
}

std::shared_ptr<CAShapeLayer> onlyShape(const std::string& svg) {
    const auto all = shapes(parse(svg));
    return all.size() == 1 ? all.front() : nullptr;
}

}  // namespace

TEST(NSXMLSVGParserTest, CompletesOnceWithEveryShapeAndTheUnionOfTheirBoxes) {
    const auto p = parse("<svg width='100' height='50'><rect x='10' y='10' width='10' height='10'/>"
                         "<path d='M30 30 L40 40'/><circle cx='0' cy='0' r='5'/></svg>");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.completions, 1);
    ASSERT_TRUE(p.layer);
    const CGRect box = p.layer->boundingBox();
    EXPECT_NEAR(box.origin.x, -5, 1e-9);
    EXPECT_NEAR(box.origin.y, -5, 1e-9);
    EXPECT_NEAR(box.maxX(), 40, 1e-9);
    EXPECT_NEAR(box.maxY(), 40, 1e-9);
    EXPECT_EQ(shapes(p).size(), 3u);
    EXPECT_EQ(p.parser->asyncParseCount(), 0);

    // A path long enough for a pool job: its report completes the document, with its box.
    std::string longD = "M0 0";
    while (longD.size() < SVGPath::kInlineOutlineBytes) longD += " l1 1";
    const auto job = parse("<svg><g><path d='" + longD + "' clip-rule='evenodd'/></g></svg>");
    EXPECT_EQ(job.completions, 1);
    EXPECT_EQ(job.layer->boundingBox().size.width, static_cast<double>((longD.size() - 4) / 5));
    EXPECT_EQ(job.parser->asyncParseCount(), 0);

    // No path at all: the end of the document completes it.
    const auto noPaths = parse("<svg><circle r='1'/></svg>");
    EXPECT_EQ(noPaths.completions, 1);
    // Paths without "d", or without any command, start nothing and do not hold it up.
    const auto empty = parse("<svg><path/><path d=''/><path d='10 20'/><path fill='red'/></svg>");
    EXPECT_EQ(empty.completions, 1);
    EXPECT_EQ(empty.parser->asyncParseCount(), 0);
    // No registry: every element is ignored and the layer is empty.
    const auto none = parse("<svg><circle r='1'/></svg>", std::nullopt);
    EXPECT_EQ(none.completions, 1);
    EXPECT_TRUE(none.layer->sublayers().empty());
    EXPECT_TRUE(none.layer->boundingBox().isNull());
}

TEST(NSXMLSVGParserTest, ADocumentTheReaderGivesUpOnFailsAndNeverCompletes) {
    std::string deep = "<svg>";
    for (int i = 0; i < 400; ++i) deep += "<g>";
    for (const std::string& bad : {std::string("<svg><path d='M0 0 L5 5'/><circle r='2'"),  // truncated
                                   std::string("<svg><g></svg>"), deep, std::string("not xml")}) {
        const auto p = parse(bad);
        EXPECT_FALSE(p.ok) << bad.substr(0, 40);
        EXPECT_EQ(p.completions, 0);
        ASSERT_TRUE(p.parser->parserError());
        EXPECT_FALSE(p.parser->parserError()->message.empty());
        EXPECT_EQ(p.parser->asyncParseCount(), 0);  // the path's job still reported
    }
    const auto missing = NSXMLSVGParser::make(std::filesystem::path("/nonexistent/x.svg"), std::nullopt,
                                              [](std::shared_ptr<SVGLayer>) { FAIL(); });
    EXPECT_FALSE(missing->startParsing());
}

TEST(NSXMLSVGParserTest, ElementsAttachToTheNearestSupportedContainer) {
    // Inside an unsupported element a circle still draws; a circle inside a path is popped
    // without being attached; a nested svg becomes a sublayer of the parser's layer beside
    // the outer one (before it: it ends first).
    const auto p = parse("<svg><defs><circle r='1'/></defs><path d='M0 0 L1 1'><circle r='2'/></path>"
                         "<svg><rect width='1' height='1'/></svg></svg>");
    ASSERT_EQ(p.completions, 1);
    ASSERT_EQ(p.layer->sublayers().size(), 2u);
    EXPECT_EQ(p.layer->sublayers()[0]->sublayers().size(), 1u);
    EXPECT_EQ(p.layer->sublayers()[1]->sublayers().size(), 2u);  // the circle and the path
    // A registry may map any tag to any element: the end tag is matched against it.
    SVGParserSupportedElements custom(
        {{"drawing", SVGParserSupportedElements::allSupportedElements().tags.at("svg")},
         {"dot", SVGParserSupportedElements::allSupportedElements().tags.at("circle")}});
    const auto c = parse("<drawing><dot r='3'/><dot r='4'/></drawing>", custom);
    ASSERT_EQ(c.layer->sublayers().size(), 1u);
    EXPECT_EQ(c.layer->sublayers()[0]->sublayers().size(), 2u);
    // Prefixed names are names as written, and match nothing here.
    EXPECT_TRUE(parse("<svg:svg xmlns:svg='http://www.w3.org/2000/svg'><svg:circle r='1'/></svg:svg>")
                    .layer->sublayers()
                    .empty());
}

TEST(NSXMLSVGParserTest, BarebonesTakesOnlyPathsWithDAndFill) {
    const auto p = parse("<svg width='9'><circle r='5'/><path d='M0 0 L4 4' fill='red' stroke='blue'/></svg>",
                         SVGParserSupportedElements::barebones());
    const auto all = shapes(p);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->fillColor(), (platform::CGColor{1, 0, 0, 1}));
    EXPECT_FALSE(all[0]->strokeColor());
    EXPECT_EQ(p.layer->sublayers()[0]->frame().size.width, 0);
}

TEST(SVGAttributesTest, FillStrokeAndOpacityFollowTheFixedOrder) {
    const platform::CGColor blue{0, 0, 1, 1};
    // fill-opacity and fill in either order: blue at alpha 0.5.
    EXPECT_EQ(onlyShape("<svg><circle r='1' fill-opacity='0.5' fill='#00f'/></svg>")->fillColor(), blue.withAlpha(0.5));
    EXPECT_EQ(onlyShape("<svg><circle r='1' fill='#00f' fill-opacity='0.5'/></svg>")->fillColor(), blue.withAlpha(0.5));
    // "color" before "fill": fill wins; style after both.
    EXPECT_EQ(onlyShape("<svg><rect color='red' fill='blue'/></svg>")->fillColor(), blue);
    EXPECT_EQ(onlyShape("<svg><rect fill='red' style='fill:blue'/></svg>")->fillColor(), blue);
    const auto styled = onlyShape("<svg><rect style='fill:#ff0000;stroke-width:2;stroke: green'/></svg>");
    EXPECT_EQ(styled->fillColor(), (platform::CGColor{1, 0, 0, 1}));
    EXPECT_EQ(styled->lineWidth(), 2);
    EXPECT_EQ(styled->strokeColor(), (platform::CGColor{0, 128 / 255.0, 0, 1}));
    // Defaults, and values that do not parse leave them.
    const auto plain = onlyShape("<svg><rect fill='#ff000' stroke-width='2px' opacity='x' stroke='nosuch'/></svg>");
    EXPECT_EQ(plain->fillColor(), platform::CGColor::black());
    EXPECT_EQ(plain->lineWidth(), 1);
    EXPECT_FALSE(plain->strokeColor());
    // "none" removes the paint.
    const auto none = onlyShape("<svg><path d='M0 0 L1 1' fill='none' stroke='red' opacity='0.5'/></svg>");
    EXPECT_FALSE(none->fillColor());
    EXPECT_TRUE(none->strokeColor());
    const auto caps = onlyShape("<svg><line stroke-linecap='round' stroke-linejoin='bevel' stroke-miterlimit='4' "
                                "fill-rule='evenodd' id='l1'/></svg>");
    EXPECT_EQ(caps->lineCap(), "round");
    EXPECT_EQ(caps->lineJoin(), "bevel");
    EXPECT_EQ(caps->miterLimit(), 4);
    EXPECT_EQ(caps->fillRule(), platform::kCAFillRuleEvenOdd);
    EXPECT_EQ(caps->name(), "l1");
    // A declaration named "style" is ignored: no recursion per word.
    std::string words = "style";
    for (int i = 0; i < 2000; ++i) words += " style";
    EXPECT_TRUE(onlyShape("<svg><rect style='" + words + "'/></svg>"));
}

TEST(SVGAttributesTest, GroupsHandTheirValuesToDirectChildrenAtTheirEndTag) {
    const auto p = parse("<svg><g fill='red' opacity='0.5' stroke-width='3'><circle r='1' fill='blue'/>"
                         "<g><circle r='2' fill='blue'/></g></g></svg>");
    const auto all = shapes(p);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0]->fillColor(), (platform::CGColor{1, 0, 0, 1}));
    EXPECT_EQ(all[0]->opacity(), 0.5);
    EXPECT_EQ(all[0]->lineWidth(), 3);
    EXPECT_EQ(all[1]->fillColor(), (platform::CGColor{0, 0, 1, 1}));  // nested group: untouched
    EXPECT_EQ(all[1]->opacity(), 1);
}

TEST(SVGAttributesTest, TransformsCombineLastListedFirst) {
    const auto point = [](const std::string& list, platform::CGPoint p) {
        return platform::CGPointApplyAffineTransform(p, transformFromList(list));
    };
    const auto near = [](platform::CGPoint a, platform::CGPoint b) {
        return std::abs(a.x - b.x) < 1e-9 && std::abs(a.y - b.y) < 1e-9;
    };
    EXPECT_TRUE(near(point("rotate(90)", {1, 0}), {0, 1}));
    EXPECT_TRUE(near(point("rotate(90 10 10)", {20, 10}), {10, 20}));
    EXPECT_TRUE(near(point("skewX(45)", {0, 1}), {1, 1}));
    EXPECT_TRUE(near(point("skewY(45)", {1, 0}), {1, 1}));
    EXPECT_TRUE(near(point("translate(10) scale(2,3)", {1, 1}), {12, 3}));
    EXPECT_TRUE(near(point("translate(10,0) scale(2)", {1, 0}), {12, 0}));
    EXPECT_TRUE(near(point("matrix(1 0 0 1 5 6)", {0, 0}), {5, 6}));
    EXPECT_TRUE(transformFromList("Rotate(45)").isIdentity());
    EXPECT_TRUE(transformFromList("matrix(1 0 0 1 5)").isIdentity());
    EXPECT_TRUE(transformFromList("rotate(1 2)").isIdentity());
    EXPECT_TRUE(transformFromList("scale(1e999)").isIdentity());  // not finite: not read
    EXPECT_TRUE(near(point("translate(1e999 5) translate(2)", {0, 0}), {7, 0}));  // 1e999 is left out
    const auto layer = onlyShape("<svg><rect width='1' height='1' transform='translate(3 4)'/></svg>");
    EXPECT_EQ(layer->affineTransform(), platform::CGAffineTransformMakeTranslation(3, 4));
}

TEST(SVGShapesTest, GeometryAttributesAndOutlines) {
    const auto box = [](const std::string& element) {
        const auto shape = onlyShape("<svg>" + element + "</svg>");
        return shape && shape->path() ? platform::CGPathGetBoundingBox(*shape->path()) : platform::CGRectNull;
    };
    // Lengths take px and mm; lines take plain numbers only.
    EXPECT_EQ(box("<circle cx='10px' cy='20mm' r='5'/>"), (CGRect{{5, 15}, {10, 10}}));
    EXPECT_EQ(box("<line x1='10px' y1='0' x2='5' y2='5'/>"), (CGRect{{0, 0}, {5, 5}}));
    EXPECT_EQ(box("<ellipse cx='10' cy='10' rx='4' ry='2'/>"), (CGRect{{6, 8}, {8, 4}}));
    EXPECT_EQ(box("<rect x='1' y='2' width='3' height='4'/>"), (CGRect{{1, 2}, {3, 4}}));
    EXPECT_EQ(box("<rect width='10' height='4' rx='50' ry='50'/>"), (CGRect{{0, 0}, {10, 4}}));
    // Negative sizes draw nothing.
    EXPECT_TRUE(box("<circle r='-1'/>").isNull());
    EXPECT_TRUE(box("<rect width='-1' height='5'/>").isNull());
    // Polygon closes, polyline does not; an empty polygon is no outline.
    const auto polygon = onlyShape("<svg><polygon points='0,0 10,0 10,10'/></svg>")->path();
    const auto polyline = onlyShape("<svg><polyline points='0,0 10,0 10,10'/></svg>")->path();
    ASSERT_TRUE(polygon && polyline);
    EXPECT_EQ(polygon->elementTypes().back(), platform::CGPathElementType::closeSubpath);
    EXPECT_EQ(polyline->elementCount(), 3u);
    const auto empty = onlyShape("<svg><polygon points=''/></svg>");
    EXPECT_TRUE(!empty->path() || empty->path()->isEmpty());
    // viewBox: four numbers set the root's frame; three are ignored.
    EXPECT_EQ(parse("<svg viewBox='0 0 100 50'/>").layer->sublayers()[0]->frame(), (CGRect{{0, 0}, {100, 50}}));
    EXPECT_EQ(parse("<svg width='7' viewBox='0 0 100'/>").layer->sublayers()[0]->frame(), (CGRect{{0, 0}, {7, 0}}));
    const auto shifted = parse("<svg viewBox='10,20,100,50'/>").layer->sublayers()[0];
    EXPECT_EQ(shifted->frame(), (CGRect{{0, 0}, {100, 50}}));
    EXPECT_EQ(shifted->bounds().origin, (platform::CGPoint{10, 20}));
}

TEST(SVGPathTest, DIsAppliedOnceAfterAllAttributesAndTheLastWins) {
    // "d" in style comes after the attribute: the style's outline is the one built.
    const auto styled = onlyShape("<svg><path d='M0 0 L1 1' style='d:M0 0 L9 9' clip-rule='evenodd'/></svg>");
    ASSERT_TRUE(styled && styled->path());
    EXPECT_EQ(platform::CGPathGetBoundingBox(*styled->path()), (CGRect{{0, 0}, {9, 9}}));
    // The initial move to the origin does not count in the box.
    const auto away = onlyShape("<svg><path d='M10 10 L20 20'/></svg>");
    EXPECT_EQ(platform::CGPathGetBoundingBox(*away->path()), (CGRect{{10, 10}, {10, 10}}));
    const auto sync = SVGPath::singlePathString("  m5,5 l10,0\t");
    ASSERT_TRUE(sync->svgLayer->path());
    EXPECT_EQ(platform::CGPathGetBoundingBox(*sync->svgLayer->path()), (CGRect{{5, 5}, {10, 0}}));
}

TEST(SVGLayerTest, ResizeToFitPropagationAndCopy) {
    auto layer = SVGLayer::make();
    layer->setBoundingBox({{0, 0}, {100, 50}});
    resizeToFit(*layer, {{0, 0}, {200, 200}});
    EXPECT_EQ(layer->affineTransform(), platform::CGAffineTransformMakeScale(2, 2));
    resizeToFit(*layer, {{0, 0}, {100, 100}});
    EXPECT_EQ(layer->affineTransform(), platform::CGAffineTransformMakeScale(1, 1));
    // A box away from the origin fits as itself.
    layer->setBoundingBox({{10, 10}, {10, 10}});
    resizeToFit(*layer, {{0, 0}, {100, 100}});
    EXPECT_EQ(layer->affineTransform(), platform::CGAffineTransformMakeScale(10, 10));
    // No finite factor above zero: unchanged.
    for (const CGRect box : {platform::CGRectNull, CGRect{{3, 3}, {0, 0}}}) {
        layer->setBoundingBox(box);
        resizeToFit(*layer, {{0, 0}, {100, 100}});
        EXPECT_EQ(layer->affineTransform(), platform::CGAffineTransformMakeScale(10, 10));
    }
    layer->setBoundingBox({{0, 0}, {1, 1}});
    resizeToFit(*layer, {{0, 0}, {0, 0}});
    EXPECT_EQ(layer->affineTransform(), platform::CGAffineTransformMakeScale(10, 10));
    // A vertical line fits by its height.
    EXPECT_EQ(fitFactor({{0, 0}, {0, 5}}, {{0, 0}, {100, 100}}), 20);

    const auto p = parse("<svg><g><circle r='1'/></g><rect width='2' height='2'/></svg>");
    p.layer->setFillColor(platform::CGColor{0, 1, 0, 1});
    p.layer->setLineWidth(7);
    for (const auto& shape : shapes(p)) {
        EXPECT_EQ(shape->fillColor(), (platform::CGColor{0, 1, 0, 1}));
        EXPECT_EQ(shape->lineWidth(), 7);
    }
    const auto copy = p.layer->svgLayerCopy();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->boundingBox(), p.layer->boundingBox());
    EXPECT_NE(copy->sublayers()[0].get(), p.layer->sublayers()[0].get());
    EXPECT_EQ(copy->sublayers()[0]->sublayers().size(), 2u);
}
