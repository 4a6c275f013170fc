#include <QVPlatform/runtime/NSHashTable.h>

#include <gtest/gtest.h>

#include <string>

using namespace platform;

TEST(NSHashTable, WeakMembersLeaveWhenTheyDieAndOrderIsFirstAddition) {
    auto table = NSHashTable<std::string>::weakObjectsHashTable();
    auto a = std::make_shared<std::string>("a");
    auto b = std::make_shared<std::string>("b");
    table->add(b);
    table->add(a);
    table->add(b);  // again: no change
    table->add(nullptr);
    EXPECT_EQ(table->count(), 2u);
    EXPECT_EQ(a.use_count(), 1) << "members are not retained";
    auto all = table->allObjects();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(*all[0], "b");
    EXPECT_EQ(*all[1], "a");
    all.clear();

    const std::string* deadAddress = b.get();
    b.reset();
    EXPECT_FALSE(table->contains(deadAddress));
    EXPECT_EQ(table->count(), 1u);
    EXPECT_TRUE(table->contains(a.get()));
    table->remove(a.get());
    EXPECT_FALSE(table->contains(a.get()));
    EXPECT_EQ(table->count(), 0u);
    EXPECT_TRUE(table->allObjects().empty());
}
