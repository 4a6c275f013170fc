#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/SortedDictionary.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace platform;

namespace {

std::vector<std::string> keysOf(const SortedDictionary<int>& d) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : d) keys.push_back(key);
    return keys;
}

}  // namespace

TEST(SortedDictionary, KeepsKeysInByteOrderThroughEveryKindOfChange) {
    SortedDictionary<int> d{{"b", 2}, {"a", 1}, {"b", 20}, {"\xC3\xA9", 5}, {"B", 3}};
    // As with std::map: the first of repeated keys is kept; bytes beyond ASCII sort last.
    EXPECT_EQ(keysOf(d), (std::vector<std::string>{"B", "a", "b", "\xC3\xA9"}));
    EXPECT_EQ(d.at("b"), 2);

    d["c"] = 4;                                  // after the last key
    d["0"] = 9;                                  // before the first
    d["ab"] = 7;                                 // in the middle
    EXPECT_EQ(d.insert_or_assign("a", 10).second, false);
    EXPECT_EQ(d.try_emplace("a", 99).second, false);
    EXPECT_EQ(d.emplace("aa", 6).second, true);
    EXPECT_EQ(d.insert({"aa", 60}).second, false);
    EXPECT_EQ(keysOf(d), (std::vector<std::string>{"0", "B", "a", "aa", "ab", "b", "c", "\xC3\xA9"}));
    EXPECT_EQ(d.at("a"), 10);
    EXPECT_EQ(d.at("aa"), 6);
    EXPECT_EQ(d["missing-is-added"], 0);
    EXPECT_TRUE(d.contains("missing-is-added"));

    EXPECT_EQ(d.erase("ab"), 1u);
    EXPECT_EQ(d.erase("ab"), 0u);
    d.erase(d.find("0"));
    EXPECT_EQ(d.count("0"), 0u);
    EXPECT_EQ(d.find("zz"), d.end());
    EXPECT_THROW((void)d.at("zz"), std::out_of_range);
    EXPECT_EQ(d.size(), 7u);

    const SortedDictionary<int> same{{"a", 10}, {"B", 3}, {"aa", 6}, {"b", 2}, {"c", 4}, {"\xC3\xA9", 5},
                                     {"missing-is-added", 0}};
    EXPECT_EQ(d, same);
    d.clear();
    EXPECT_TRUE(d.empty());
}

TEST(SortedDictionary, FromEntriesSortsOnceAndTheLaterOfRepeatedKeysWins) {
    std::vector<SortedDictionary<int>::value_type> entries;
    // More entries than the small-dictionary path sorts by insertion, in falling order, each
    // key twice.
    for (int i = 199; i >= 0; --i) entries.emplace_back("key" + std::to_string(i % 100), i);
    const auto d = SortedDictionary<int>::fromEntries(std::move(entries));
    ASSERT_EQ(d.size(), 100u);
    EXPECT_EQ(d.at("key42"), 42);
    EXPECT_EQ(d.begin()->first, "key0");
    for (auto it = d.begin(); it + 1 != d.end(); ++it) EXPECT_LT(it->first, (it + 1)->first);

    std::vector<SortedDictionary<int>::value_type> few{{"x", 1}, {"a", 2}, {"x", 3}};
    const auto small = SortedDictionary<int>::fromEntries(std::move(few));
    EXPECT_EQ(small, (SortedDictionary<int>{{"a", 2}, {"x", 3}}));
    EXPECT_TRUE(SortedDictionary<int>::fromEntries(std::vector<SortedDictionary<int>::value_type>{}).empty());
}

TEST(SortedDictionary, NestsInsideAnyAsItsDictionaryKind) {
    Any::Dictionary inner{{"k", "v"}};
    Any::Dictionary outer{{"inner", inner}, {"list", Any::List{1, inner}}};
    outer["added"] = Any::Dictionary{{"x", 1}};
    const Any value = outer;
    EXPECT_EQ(value["inner"]["k"].string(), "v");
    EXPECT_EQ(value["list"][1]["k"].string(), "v");
    EXPECT_EQ(value["added"]["x"], Any(1));
    EXPECT_EQ(value.count(), 3u);
    EXPECT_EQ(value, Any(outer));
    EXPECT_NE(value, Any(inner));
}
