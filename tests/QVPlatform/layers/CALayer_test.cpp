#include <QVPlatform/layers/CALayer.h>
#include <QVPlatform/layers/CAShapeLayer.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace platform;

TEST(CALayer, DefaultsAreThePlatforms) {
    const auto layer = CALayer::layer();
    EXPECT_EQ(layer->anchorPoint(), (CGPoint{0.5, 0.5}));
    EXPECT_EQ(layer->opacity(), 1);
    EXPECT_FALSE(layer->isHidden());
    EXPECT_FALSE(layer->backgroundColor());
    EXPECT_EQ(layer->borderWidth(), 0);
    EXPECT_EQ(layer->borderColor(), CGColor::black());
    EXPECT_EQ(layer->shadowOpacity(), 0);
    EXPECT_EQ(layer->shadowRadius(), 3);
    EXPECT_EQ(layer->shadowOffset(), (CGSize{0, -3}));
    EXPECT_EQ(layer->shadowColor(), CGColor::black());
    EXPECT_EQ(layer->cornerRadius(), 0);
    EXPECT_FALSE(layer->masksToBounds());
    EXPECT_TRUE(layer->affineTransform().isIdentity());
    EXPECT_EQ(layer->className(), "CALayer");
    EXPECT_FALSE(layer->state().shape);

    const auto shape = CAShapeLayer::layer();
    EXPECT_EQ(shape->className(), "CAShapeLayer");
    EXPECT_TRUE(shape->isKindOfClass(CALayer::classObject()));
    EXPECT_EQ(shape->fillColor(), CGColor::black());
    EXPECT_FALSE(shape->strokeColor());
    EXPECT_EQ(shape->lineWidth(), 1);
    EXPECT_EQ(shape->miterLimit(), 10);
    EXPECT_EQ(shape->lineCap(), kCALineCapButt);
    EXPECT_EQ(shape->lineJoin(), kCALineJoinMiter);
    EXPECT_EQ(shape->fillRule(), kCAFillRuleNonZero);
    EXPECT_EQ(shape->strokeStart(), 0);
    EXPECT_EQ(shape->strokeEnd(), 1);
    EXPECT_FALSE(shape->path());
}

TEST(CALayer, FrameBoundsPositionAndAnchorStayConsistent) {
    const auto layer = CALayer::layer();
    layer->setFrame({{10, 20}, {100, 50}});
    EXPECT_EQ(layer->bounds(), (CGRect{{0, 0}, {100, 50}}));
    EXPECT_EQ(layer->position(), (CGPoint{60, 45}));
    EXPECT_EQ(layer->frame(), (CGRect{{10, 20}, {100, 50}}));

    layer->setAnchorPoint({0, 0});  // the frame moves; the position stays
    EXPECT_EQ(layer->position(), (CGPoint{60, 45}));
    EXPECT_EQ(layer->frame(), (CGRect{{60, 45}, {100, 50}}));
    layer->setFrame({{0, 0}, {10, 10}});
    EXPECT_EQ(layer->position(), (CGPoint{0, 0}));

    layer->setAnchorPoint({0.5, 0.5});
    layer->setBounds({{5, 5}, {20, 10}});  // the bounds origin does not move the frame
    layer->setPosition({50, 50});
    EXPECT_EQ(layer->frame(), (CGRect{{40, 45}, {20, 10}}));
    layer->setAffineTransform(CGAffineTransformMakeRotation(std::numbers::pi / 2));
    const CGRect turned = layer->frame();
    EXPECT_NEAR(turned.minX(), 45, 1e-9);
    EXPECT_NEAR(turned.width(), 10, 1e-9);
    EXPECT_NEAR(turned.height(), 20, 1e-9);

    // Non-finite geometry is ignored.
    layer->setPosition({std::nan(""), 1});
    layer->setBounds({{0, 0}, {INFINITY, 1}});
    EXPECT_EQ(layer->position(), (CGPoint{50, 50}));
    EXPECT_EQ(layer->bounds(), (CGRect{{5, 5}, {20, 10}}));
}

TEST(CALayer, SublayerEditsKeepOneParentAndRefuseCycles) {
    const auto root = CALayer::layer(), a = CALayer::layer(), b = CALayer::layer(), c = CALayer::layer();
    a->setName("a");
    b->setName("b");
    c->setName("c");
    EXPECT_TRUE(root->addSublayer(a));
    EXPECT_TRUE(root->addSublayer(b));
    EXPECT_TRUE(root->insertSublayerBelow(c, b.get()));
    auto names = [&] {
        std::string out;
        for (const auto& l : root->sublayers()) out += l->name();
        return out;
    };
    EXPECT_EQ(names(), "acb");
    EXPECT_TRUE(root->insertSublayerAbove(a, b.get()));  // moves within the same list
    EXPECT_EQ(names(), "cba");
    EXPECT_TRUE(root->insertSublayer(a, 0));
    EXPECT_EQ(names(), "acb");
    EXPECT_EQ(a->superlayer(), root);

    EXPECT_TRUE(b->addSublayer(a));  // taken out of root first
    EXPECT_EQ(names(), "cb");
    EXPECT_EQ(a->superlayer(), b);
    EXPECT_FALSE(a->addSublayer(root));  // root is an ancestor of a
    EXPECT_FALSE(a->addSublayer(a));
    EXPECT_FALSE(a->addSublayer(nullptr));

    const auto d = CALayer::layer();
    d->setName("d");
    EXPECT_TRUE(root->replaceSublayer(*c, d));
    EXPECT_EQ(names(), "db");
    EXPECT_FALSE(c->superlayer());
    EXPECT_FALSE(root->replaceSublayer(*c, a));

    b->removeFromSuperlayer();
    EXPECT_EQ(names(), "d");
    EXPECT_FALSE(b->superlayer());
    EXPECT_EQ(a->superlayer(), b);
}

TEST(CALayer, DeepCopyKeepsClassesAndPropertiesAndSharesPaths) {
    const auto root = CALayer::layer();
    root->setName("root");
    root->setBackgroundColor(CGColor{1, 0, 0, 1});
    root->setCornerRadius(4);
    root->setShadowOpacity(0.5);
    root->setContents(std::make_shared<const Bitmap>(Bitmap::make(2, 2)));
    const auto shape = CAShapeLayer::layer();
    CGMutablePath b;
    b.addRect({{0, 0}, {5, 5}});
    shape->setPath(b.copy());
    shape->setStrokeEnd(0.3);
    shape->setFillRule(kCAFillRuleEvenOdd);
    shape->setAffineTransform(CGAffineTransformMakeScale(2, 2));
    root->addSublayer(shape);
    shape->addSublayer(CALayer::layer());

    const auto copy = root->deepCopy();
    ASSERT_NE(copy, root);
    EXPECT_EQ(copy->name(), "root");
    EXPECT_EQ(copy->backgroundColor(), (CGColor{1, 0, 0, 1}));
    EXPECT_EQ(copy->cornerRadius(), 4);
    EXPECT_EQ(copy->shadowOpacity(), 0.5);
    EXPECT_EQ(copy->contents(), root->contents());
    ASSERT_EQ(copy->sublayers().size(), 1u);
    const auto shapeCopy = std::dynamic_pointer_cast<CAShapeLayer>(copy->sublayers()[0]);
    ASSERT_TRUE(shapeCopy);
    EXPECT_NE(shapeCopy, shape);
    EXPECT_EQ(shapeCopy->path(), shape->path());  // the same immutable path object
    EXPECT_EQ(shapeCopy->strokeEnd(), 0.3);
    EXPECT_EQ(shapeCopy->fillRule(), kCAFillRuleEvenOdd);
    EXPECT_EQ(shapeCopy->affineTransform(), CGAffineTransformMakeScale(2, 2));
    EXPECT_EQ(shapeCopy->superlayer(), copy);
    EXPECT_EQ(shapeCopy->sublayers().size(), 1u);

    shapeCopy->setStrokeEnd(1);  // the copy is independent
    EXPECT_EQ(shape->strokeEnd(), 0.3);

    // A plain layer ignores a snapshot's shape part; a shape layer keeps its own without one.
    LayerState s = shape->state();
    const auto plain = CALayer::layer();
    plain->setState(s);
    EXPECT_FALSE(plain->state().shape);
    s.shape.reset();
    shapeCopy->setState(s);
    EXPECT_TRUE(shapeCopy->state().shape);
    EXPECT_EQ(shapeCopy->strokeEnd(), 1);
}

// Layers start from shared defaults and copies share their properties until one side changes
// one: no change may reach another layer through what they share.
TEST(CALayer, SharedPropertiesNeverLeakAChangeToAnotherLayer) {
    const auto a = CAShapeLayer::layer(), b = CAShapeLayer::layer();
    a->setLineWidth(7);
    a->setName("a");
    EXPECT_EQ(b->lineWidth(), 1);
    EXPECT_EQ(b->name(), "");
    EXPECT_EQ(CAShapeLayer::layer()->lineWidth(), 1);
    EXPECT_EQ(CALayer::layer()->name(), "");

    const auto copy = std::dynamic_pointer_cast<CAShapeLayer>(a->deepCopy());
    const auto copyOfCopy = std::dynamic_pointer_cast<CAShapeLayer>(copy->deepCopy());
    a->setLineWidth(2);  // the original changes after the copies were taken
    EXPECT_EQ(copy->lineWidth(), 7);
    EXPECT_EQ(copyOfCopy->lineWidth(), 7);
    copy->setStrokeColor(CGColor{0, 1, 0, 1});
    EXPECT_FALSE(copyOfCopy->strokeColor());
    EXPECT_FALSE(a->strokeColor());
    EXPECT_EQ(copyOfCopy->name(), "a");

    // A whole snapshot set on a copy replaces its properties only.
    LayerState s = copyOfCopy->state();
    s.name = "replaced";
    s.shape->lineWidth = 9;
    copyOfCopy->setState(s);
    EXPECT_EQ(copyOfCopy->lineWidth(), 9);
    EXPECT_EQ(copy->name(), "a");
    EXPECT_EQ(copy->lineWidth(), 7);
    EXPECT_EQ(a->lineWidth(), 2);
}
