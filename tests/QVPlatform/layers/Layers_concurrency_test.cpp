#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/layers/LayerRenderer.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace platform;

// Writers on several threads set properties and move sublayers between two parents while
// another thread renders and copies the tree: every layer ends in exactly one list, and
// nothing races (checked under ThreadSanitizer).
TEST(LayersConcurrency, SettersTreeEditsRenderingAndCopiesFromManyThreads) {
    const auto root = CALayer::layer();
    root->setBounds({{0, 0}, {32, 32}});
    const auto left = CALayer::layer(), right = CALayer::layer();
    root->addSublayer(left);
    root->addSublayer(right);
    std::vector<std::shared_ptr<CAShapeLayer>> shapes;
    CGMutablePath path;
    path.addEllipse({{0, 0}, {10, 10}});
    const CGPathRef shared = path.copy();
    for (int i = 0; i < 8; ++i) {
        shapes.push_back(CAShapeLayer::layer());
        shapes.back()->setPath(shared);
        left->addSublayer(shapes.back());
    }

    std::atomic<bool> stop{false};
    std::vector<std::thread> writers;
    for (int t = 0; t < 3; ++t) {
        writers.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                auto& shape = shapes[static_cast<std::size_t>((i + t) % shapes.size())];
                shape->setStrokeEnd(i / 300.0);
                shape->setFrame({{double(i % 20), double(t)}, {10, 10}});
                shape->setBackgroundColor(CGColor{1, 0, 0, 1});
                (i % 2 ? left : right)->addSublayer(shape);
                if (i % 7 == 0) right->insertSublayer(shape, 0);
            }
        });
    }
    std::thread reader([&] {
        while (!stop.load()) {
            (void)LayerRenderer::renderBitmap(*root, 1);
            (void)root->deepCopy();
        }
    });
    for (auto& w : writers) w.join();
    stop = true;
    reader.join();

    EXPECT_EQ(left->sublayers().size() + right->sublayers().size(), shapes.size());
    for (const auto& shape : shapes) {
        const auto parent = shape->superlayer();
        ASSERT_TRUE(parent == left || parent == right);
    }
}

// Copies share their original's properties until either side changes one; threads changing
// the original and its copies at once never see each other's values (and do not race).
TEST(LayersConcurrency, CopiesChangedOnSeveralThreadsStayApart) {
    const auto original = CAShapeLayer::layer();
    original->setLineWidth(1);
    std::vector<std::shared_ptr<CAShapeLayer>> layers{original};
    for (int i = 0; i < 3; ++i) layers.push_back(std::dynamic_pointer_cast<CAShapeLayer>(original->deepCopy()));
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < layers.size(); ++t) {
        threads.emplace_back([&, t] {
            const auto& mine = layers[t];
            for (int i = 0; i < 200; ++i) {
                mine->setLineWidth(static_cast<double>(t * 1000 + i));
                EXPECT_EQ(mine->lineWidth(), static_cast<double>(t * 1000 + i));
                (void)mine->deepCopy();  // shares again, so the next write copies again
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (std::size_t t = 0; t < layers.size(); ++t) EXPECT_EQ(layers[t]->lineWidth(), static_cast<double>(t * 1000 + 199));
}
