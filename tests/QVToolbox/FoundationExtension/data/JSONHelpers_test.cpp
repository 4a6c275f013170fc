#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/base/Debug.h>

#include <gtest/gtest.h>

#include "support/DebugMessages.h"

using namespace QVToolbox;
using platform::Any;
using platform::Date;

TEST(JSONHelpers, CompactJSONAndTheInvalidCase) {
    qvtest::DebugMessages debug;
    EXPECT_EQ(toJSON(Any::List{1, "a", 2.5, true, nullptr}), R"([1,"a",2.5,true,null])");
    EXPECT_EQ(toJSON(Any::Dictionary{{"b", Any::List{}}, {"a", "x/y"}}), R"({"a":"x\/y","b":[]})");
    EXPECT_TRUE(debug.seen.empty());
    EXPECT_FALSE(toJSON(Any::List{platform::Date(0)}));
    EXPECT_FALSE(hx(Any::Dictionary{{"d", platform::Data::fromString("x")}}).dictionaryToJson());
    EXPECT_EQ(debug.seen, (std::vector<std::string>{"无法解析出JSONString", "无法解析出JSONString"}));
    EXPECT_EQ(hx(Any::Dictionary{{"k", 1}}).dictionaryToJson(), R"({"k":1})");
}

TEST(JSONHelpers, JsonToDictionaryAcceptsOnlyObjects) {
    const auto d = HxPOP<Any::Dictionary>::jsonToDictionary(R"({"a":{"b":[1,2]},"c":"中"})");
    ASSERT_TRUE(d);
    EXPECT_EQ(Any(*d)["a"]["b"][1].integerValue(), 2);
    EXPECT_EQ(Any(*d)["c"].string(), "中");
    EXPECT_FALSE(jsonToDictionary("[1,2]"));
    EXPECT_FALSE(jsonToDictionary("\"text\""));
    EXPECT_FALSE(jsonToDictionary("{\"a\":"));
    EXPECT_FALSE(jsonToDictionary(""));
    EXPECT_FALSE(jsonToDictionary("{\"a\":1} trailing"));
}

TEST(JSONHelpers, SortedURLQuery) {
    EXPECT_EQ(hx(Any::Dictionary{{"b", 2}, {"a", "x y"}}).toSortedURLQuery(), "a=x%20y&b=2");
    EXPECT_EQ(toSortedURLQuery({}), "");
    EXPECT_EQ(toSortedURLQuery({{"名字", "值&=?"}, {"z", 0.5}, {"t", true}}), "t=true&z=0.5&名字=值%26%3D%3F");
    EXPECT_EQ(toSortedURLQuery({{"k", "-._~+/"}}), "k=-._~%2B%2F");
    EXPECT_EQ(toSortedURLQuery({{"n", 2.0}}), "n=2");
    EXPECT_EQ(toSortedURLQuery({{"bad", std::string("\xff")}}), "bad=");
    EXPECT_EQ(toSortedURLQuery({{"l", Any::List{1, "a"}}}), "l=%5B1%2C%20%22a%22%5D");
    // Dates in the platform's description, the year at least four digits wide.
    EXPECT_EQ(toSortedURLQuery({{"d", Date(1700000000.0)}}), "d=2023-11-14%2022%3A13%3A20%20%2B0000");
    EXPECT_EQ(toSortedURLQuery({{"d", Date(-62135596800.0)}}), "d=0001-01-01%2000%3A00%3A00%20%2B0000");
    EXPECT_EQ(toSortedURLQuery({{"d", Date(-69393715200.0)}}), "d=-0229-01-01%2000%3A00%3A00%20%2B0000");
}

TEST(JSONHelpers, SetValueAlongKeyPaths) {
    Any::Dictionary d{{"a", Any::Dictionary{{"c", 1}}}};
    EXPECT_TRUE(setValue(d, {"a", "b"}, "new"));
    EXPECT_EQ(Any(d), Any(Any::Dictionary{{"a", Any::Dictionary{{"c", 1}, {"b", "new"}}}}));
    Any::Dictionary five{{"a", 5}};
    EXPECT_FALSE(setValue(five, {"a", "b"}, "new"));
    EXPECT_EQ(Any(five), Any(Any::Dictionary{{"a", 5}}));
    EXPECT_FALSE(setValue(five, {"missing", "b"}, 1));
    EXPECT_FALSE(setValue(five, {}, 1));
    EXPECT_TRUE(setValue(five, {"a"}, Any::List{}));
    EXPECT_TRUE(five["a"].isList());
}

TEST(CollectionHelpers, ListsAndDictionaries) {
    EXPECT_EQ(split(std::vector{1, 1, 2, 3, 3}, [](int a, int b) { return a != b; }),
              (std::vector<std::vector<int>>{{1, 1}, {2}, {3, 3}}));
    EXPECT_TRUE(split(std::vector<int>{}, [](int, int) { return true; }).empty());
    EXPECT_EQ(indexes(std::vector<std::string>{"a", "b", "a"}, "a"), (std::vector<std::size_t>{0, 2}));
    std::vector<int> list{1};
    appends(list, {2, 3});
    EXPECT_EQ(list, (std::vector<int>{1, 2, 3}));

    Any::Dictionary d{{"a", 1}, {"b", "x"}};
    add(d, Any::Dictionary{{"b", "y"}, {"c", 2.5}});
    EXPECT_EQ(d["b"].string(), "y");
    EXPECT_TRUE(has(d, "c"));
    EXPECT_FALSE(has(d, "z"));
    EXPECT_EQ(allKeys(d), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(allValues(d).size(), 3u);
    EXPECT_EQ(toArray(d, [](const std::string& k, const Any&) { return k + "!"; }),
              (std::vector<std::string>{"a!", "b!", "c!"}));
    EXPECT_EQ(valueAs<std::string>(d, "b"), "y");
    EXPECT_FALSE(valueAs<std::string>(d, "a"));  // an integer, not a text
    EXPECT_EQ(valueAs<std::int64_t>(d, "a"), 1);
    EXPECT_FALSE(valueAs<double>(d, "missing"));
    setValueAs<std::string>(d, "a", std::string("now text"));
    EXPECT_EQ(valueAs<std::string>(d, "a"), "now text");
    setValueAs<std::string>(d, "a", std::nullopt);
    EXPECT_FALSE(has(d, "a"));
    std::map<std::string, int> plain{{"k", 4}};
    EXPECT_EQ((valueAs<int>(plain, "k")), 4);
}

TEST(CollectionHelpers, StackAndWeakHolders) {
    Stack<int> s;
    EXPECT_EQ(s.pop(), std::nullopt);
    s.push(1);
    s.push(2);
    EXPECT_EQ(s.items, (std::vector<int>{1, 2}));
    EXPECT_EQ(s.pop(), 2);
    EXPECT_EQ(s.pop(), 1);
    EXPECT_EQ(s.pop(), std::nullopt);

    auto object = std::make_shared<platform::NSObject>();
    QVWeakObj<platform::NSObject> weak(object);
    QVWeakContainer<platform::NSObject> container(object);
    testing::internal::CaptureStdout();
    EXPECT_EQ(container.value(), object);
    object.reset();
    EXPECT_EQ(weak.value.lock(), nullptr);
    EXPECT_EQ(container.value(), nullptr);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("QVWeakContainer get=====>: "), std::string::npos);
    EXPECT_NE(out.find("QVWeakContainer get=====>: nil"), std::string::npos);
}
