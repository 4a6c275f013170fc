#include <QVPlatform/runtime/NSHashTable.h>
#include <QVPlatform/runtime/NSObject.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace platform;

namespace {

class Racer : public NSObjectSubclass<Racer, NSObject, "ConcurrencyRacer"> {
public:
    static void registerClass(ObjCClass& cls) {
        cls.addMethod("left", [](NSObject&, const Any::List&) { return Any(1); });
        cls.addMethod("right", [](NSObject&, const Any::List&) { return Any(2); });
    }
};

}  // namespace

TEST(RuntimeConcurrency, WeakTableMembersDieOnOtherThreadsWhileItIsRead) {
    auto table = NSHashTable<NSObject>::weakObjectsHashTable();
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&table] {
            for (int i = 0; i < 300; ++i) {
                auto member = std::make_shared<NSObject>();
                table->add(member);
                EXPECT_TRUE(table->contains(member.get()));
                for (const auto& live : table->allObjects()) EXPECT_NE(live, nullptr);
            }  // each member dies here, on its thread
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(table->count(), 0u);
}

TEST(RuntimeConcurrency, ExchangesWhileOtherThreadsSendTheSelectors) {
    auto racer = std::make_shared<Racer>();
    std::atomic<bool> stop{false};
    std::thread sender([&] {
        while (!stop) {
            const auto v = racer->perform("left").integerValue();
            EXPECT_TRUE(v == 1 || v == 2);
        }
    });
    for (int i = 0; i < 200; ++i) EXPECT_TRUE(Racer::classObject().exchangeImplementations("left", "right"));
    stop = true;
    sender.join();
    EXPECT_EQ(racer->perform("left").integerValue(), 1) << "an even number of exchanges";
}
