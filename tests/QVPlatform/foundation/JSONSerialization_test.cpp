#include <QVPlatform/foundation/JSONSerialization.h>
#include <QVPlatform/runtime/NSObject.h>

#include <gtest/gtest.h>

#include "support/TestData.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

using namespace platform;

namespace {

std::optional<std::string> write(const Any& v, JSONSerialization::WritingOptions options = {}) {
    return JSONSerialization::data(v, options);
}

std::string nested(int depth) {
    return std::string(static_cast<std::size_t>(depth), '[') + std::string(static_cast<std::size_t>(depth), ']');
}

}  // namespace

TEST(JSONSerialization, ReadsKindsAndKeepsIntegersApartFromDoubles) {
    const auto v = JSONSerialization::jsonObject(
        R"( {"i": 1, "neg": -42, "max": 9223372036854775807, "min": -9223372036854775808,
             "over": 9223372036854775808, "huge": 123456789012345678901234567890,
             "frac": 1.5, "exp": 1e2, "tenth": 0.1, "t": true, "f": false, "n": null,
             "s": "\u00e9\ud83d\ude00\n\/", "raw": "中文", "list": [[], {}, [1]], "dup": 1, "dup": 2} )");
    ASSERT_TRUE(v);
    EXPECT_TRUE((*v)["i"].isInteger());
    EXPECT_EQ((*v)["neg"].integerValue(), -42);
    EXPECT_EQ((*v)["max"].integerValue(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ((*v)["min"].integerValue(), std::numeric_limits<std::int64_t>::min());
    EXPECT_TRUE((*v)["over"].isDouble());
    EXPECT_DOUBLE_EQ((*v)["over"].doubleValue(), 9223372036854775808.0);
    EXPECT_TRUE((*v)["huge"].isDouble());
    EXPECT_TRUE((*v)["frac"].isDouble());
    EXPECT_TRUE((*v)["exp"].isDouble());
    EXPECT_EQ((*v)["exp"].doubleValue(), 100.0);
    EXPECT_EQ((*v)["tenth"].doubleValue(), 0.1);
    EXPECT_TRUE((*v)["t"].isBool());
    EXPECT_TRUE((*v)["n"].isNull());
    EXPECT_EQ((*v)["n"].kind(), Any::Kind::null);
    EXPECT_EQ((*v)["s"].string(), "é😀\n/");
    EXPECT_EQ((*v)["raw"].string(), "中文");
    EXPECT_EQ((*v)["list"], Any(Any::List{Any::List{}, Any::Dictionary{}, Any::List{1}}));
    EXPECT_EQ((*v)["dup"], Any(2));
    EXPECT_EQ(v->count(), 16u);
    // Beyond the double range: too small reads as zero, too large fails.
    EXPECT_EQ(JSONSerialization::jsonObject("[1e-400, -0.0000e-999999999999]"), Any(Any::List{0.0, -0.0}));
    EXPECT_FALSE(JSONSerialization::jsonObject("[1e309]"));
    EXPECT_FALSE(JSONSerialization::jsonObject(std::string("[").append(400, '9').append("]")));
    // A byte-order mark is skipped.
    EXPECT_EQ(JSONSerialization::jsonObject("\xEF\xBB\xBF[1]"), Any(Any::List{1}));
}

TEST(JSONSerialization, IntegersBeyondInt64OnEitherSideBecomeDoubles) {
    const auto v = JSONSerialization::jsonObject(
        "[-9223372036854775808, -9223372036854775809, 9223372036854775807, 9223372036854775808,"
        " 18446744073709551615, 18446744073709551616, -18446744073709551616, -0]");
    ASSERT_TRUE(v);
    EXPECT_TRUE((*v)[0].isInteger());
    EXPECT_EQ((*v)[0].integerValue(), std::numeric_limits<std::int64_t>::min());
    // One below -2^63 has no int64: a double, not a silently clamped integer.
    EXPECT_TRUE((*v)[1].isDouble());
    EXPECT_EQ((*v)[1].doubleValue(), -9223372036854775809.0);
    EXPECT_TRUE((*v)[2].isInteger());
    EXPECT_EQ((*v)[2].integerValue(), std::numeric_limits<std::int64_t>::max());
    EXPECT_TRUE((*v)[3].isDouble());
    EXPECT_EQ((*v)[3].doubleValue(), 9223372036854775808.0);
    // The unsigned 64-bit range is no integer either.
    EXPECT_TRUE((*v)[4].isDouble());
    EXPECT_EQ((*v)[4].doubleValue(), 18446744073709551615.0);
    EXPECT_TRUE((*v)[5].isDouble());
    EXPECT_EQ((*v)[6].doubleValue(), -18446744073709551616.0);
    EXPECT_TRUE((*v)[7].isInteger());
    EXPECT_EQ((*v)[7].integerValue(), 0);
    // Written back, each reads as the same kind and value.
    EXPECT_EQ(JSONSerialization::jsonObject(*JSONSerialization::data(*v)), v);
}

TEST(JSONSerialization, NestedContainersKeepTheirKeysAndTheLastOfRepeatedKeys) {
    const auto v = JSONSerialization::jsonObject(
        R"({"z":{"b":{"c":1},"a":[{"k":1,"k":2},{}],"d":2},"k":1,"o":{"k":2,"k":3},"k":4,"e":[[{"f":{"g":[]}}]]})");
    ASSERT_TRUE(v);
    EXPECT_EQ((*v)["z"]["b"]["c"], Any(1));
    EXPECT_EQ((*v)["z"]["a"][0]["k"], Any(2));
    EXPECT_EQ((*v)["z"]["a"][0].count(), 1u);
    EXPECT_EQ((*v)["z"]["d"], Any(2));
    EXPECT_EQ((*v)["o"]["k"], Any(3));
    EXPECT_EQ((*v)["k"], Any(4));
    EXPECT_TRUE((*v)["e"][0][0]["f"]["g"].isList());
    EXPECT_EQ(JSONSerialization::data(*v),
              R"({"e":[[{"f":{"g":[]}}]],"k":4,"o":{"k":3},"z":{"a":[{"k":2},{}],"b":{"c":1},"d":2}})");
    // A large object in reverse order with repeats comes out sorted, later values winning.
    std::string text = "{";
    for (int i = 99; i >= 0; --i) text += "\"" + std::to_string(i % 50) + "\":" + std::to_string(i) + (i ? "," : "}");
    const auto big = JSONSerialization::jsonObject(text);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->count(), 50u);
    EXPECT_EQ((*big)["7"], Any(7));
    EXPECT_EQ(big->asDictionary()->begin()->first, "0");
}

TEST(JSONSerialization, TopLevelFragmentsNeedTheOption) {
    const JSONSerialization::ReadingOptions fragments{.fragmentsAllowed = true};
    for (const char* text : {"3", "\"x\"", "true", "null", "-1.5"}) {
        EXPECT_FALSE(JSONSerialization::jsonObject(text)) << text;
        EXPECT_TRUE(JSONSerialization::jsonObject(text, fragments)) << text;
    }
    EXPECT_EQ(JSONSerialization::jsonObject("null", fragments), Any());
    EXPECT_EQ(JSONSerialization::jsonObject("\"x\"", fragments), Any("x"));
    EXPECT_FALSE(JSONSerialization::jsonObject("", fragments));
    EXPECT_FALSE(JSONSerialization::jsonObject("   ", fragments));
}

TEST(JSONSerialization, RejectsEveryKindOfBadInput) {
    for (const std::string& text : {
             std::string("[1] x"), std::string("[1]\0", 4), std::string("[\"a\0b\"]", 7), std::string("[1,]"),
             std::string("{\"a\":1,}"), std::string("['a']"), std::string("[NaN]"), std::string("[Infinity]"),
             std::string("[1e400]"), std::string("// c\n[1]"), std::string("{a:1}"), std::string("[\"\xFF\"]"),
             std::string("[\"\xC0\xAF\"]"), std::string("[\"\\ud800\"]"), std::string("[\"\\x41\"]"),
             std::string("[01]"), std::string("[1.]"), std::string("[.5]"), std::string("{\"a\" 1}"),
             std::string("[\"tab\there\"]"), std::string("["), std::string("]"),
         }) {
        EXPECT_FALSE(JSONSerialization::jsonObject(text, {.fragmentsAllowed = true})) << text;
    }
    EXPECT_TRUE(JSONSerialization::jsonObject(nested(500)));
    EXPECT_FALSE(JSONSerialization::jsonObject(nested(100000)));
}

TEST(JSONSerialization, WritesNumbersTextAndLayoutThePlatformsWay) {
    EXPECT_EQ(write(Any::List{0.1, 1.5, 2.0, -0.5, 1e-7, 1e300, 3, -9, true, false, Any()}),
              "[0.1,1.5,2,-0.5,1e-07,1e+300,3,-9,true,false,null]");
    EXPECT_EQ(write(Any::List{std::numeric_limits<std::int64_t>::min()}), "[-9223372036854775808]");
    EXPECT_EQ(write(Any::List{"a/b \"q\" \\ \n\r\t\b\f \x01\x1f 中😀"}),
              R"(["a\/b \"q\" \\ \n\r\t\b\f \u0001\u001f 中😀"])");
    EXPECT_EQ(write(Any::List{"a/b"}, {.withoutEscapingSlashes = true}), R"(["a/b"])");
    EXPECT_EQ(write(Any::Dictionary{{"b", 1}, {"a", Any::List{}}, {"c", Any::Dictionary{}}}, {.sortedKeys = true}),
              R"({"a":[],"b":1,"c":{}})");
    EXPECT_EQ(write(Any::Dictionary{{"a", Any::List{1, Any::Dictionary{{"k", "v"}}}}, {"b", 2}},
                    {.prettyPrinted = true}),
              "{\n  \"a\" : [\n    1,\n    {\n      \"k\" : \"v\"\n    }\n  ],\n  \"b\" : 2\n}");
    // Doubles read back exactly.
    for (double d : {0.1, 1.0 / 3, 123456.789, 5e-324, 1.7976931348623157e308}) {
        const auto back = JSONSerialization::jsonObject(*write(Any::List{d}));
        ASSERT_TRUE(back);
        EXPECT_EQ((*back)[0].doubleValue(), d);
    }
    // Fragments are written only on request.
    EXPECT_FALSE(write(Any("x")));
    EXPECT_EQ(write(Any("x"), {.fragmentsAllowed = true}), "\"x\"");
    EXPECT_EQ(write(Any(), {.fragmentsAllowed = true}), "null");
    EXPECT_FALSE(write(Any(Date(0.0)), {.fragmentsAllowed = true}));
}

TEST(JSONSerialization, ValidityCheckFollowsThePlatformSerializer) {
    EXPECT_TRUE(JSONSerialization::isValidJSONObject(Any::List{}));
    EXPECT_TRUE(JSONSerialization::isValidJSONObject(Any::Dictionary{{"a", Any::List{Any(), true, 1, 2.5, "s"}}}));
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(Any("top-level text")));
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(Any(1)));
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(Any()));
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(Any::List{Date(0.0)}));
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(Any::List{Data::fromString("x")}));
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(Any::List{std::numeric_limits<double>::quiet_NaN()}));
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(Any::List{std::numeric_limits<double>::infinity()}));
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(Any::List{Any(std::make_shared<NSObject>())}));
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(Any::Dictionary{{"k", Any::List{"\xFF"}}}));
    EXPECT_FALSE(write(Any::List{Date(0.0)}));
    Any deep = Any::List{};
    for (int i = 0; i < 2000; ++i) deep = Any::List{deep};
    EXPECT_FALSE(JSONSerialization::isValidJSONObject(deep));
    EXPECT_FALSE(write(deep));
}

// Found by fuzz/json.cpp: an unterminated string ending in a UTF-8 lead byte made the UTF-8
// check read past the end of the input.
TEST(JSONSerialization, FuzzFoundLeadByteAtTheEndIsRejectedSafely) {
    const std::string input = qvtest::readTestData("fuzz/json-utf8-lead-byte-at-end.json");
    ASSERT_FALSE(input.empty());
    EXPECT_FALSE(JSONSerialization::jsonObject(input, {.fragmentsAllowed = true}));
    for (const char* tail : {"\xE6", "\xF0", "\xF0\x9F", "\xC3"}) {
        EXPECT_FALSE(JSONSerialization::jsonObject(std::string("[\"ab") + tail, {.fragmentsAllowed = true}));
    }
}

// Found by fuzz/json.cpp: a surrogate code point (escaped alone, or UTF-8-encoded) was read
// into a text that is not UTF-8, which the writer then refused.
TEST(JSONSerialization, FuzzFoundSurrogatesAreRejected) {
    const std::string input = qvtest::readTestData("fuzz/json-encoded-surrogate-in-key.json");
    ASSERT_FALSE(input.empty());
    EXPECT_FALSE(JSONSerialization::jsonObject(input, {.fragmentsAllowed = true}));
    for (const char* text : {R"(["\udddd"])", R"({"\udc00":1})", "[\"\xED\xB7\x9D\"]", R"(["\ud800x"])"}) {
        EXPECT_FALSE(JSONSerialization::jsonObject(text)) << text;
    }
    EXPECT_EQ(JSONSerialization::jsonObject(R"(["\ud83d\ude00"])"), Any(Any::List{"😀"}));
}

TEST(JSONSerialization, AFailedReadSaysWhyAndAtWhichByte) {
    const auto failure = [](std::string_view text) {
        JSONReadError error;
        EXPECT_FALSE(JSONSerialization::jsonObject(text, {}, &error)) << text;
        return error;
    };
    auto e = failure("[1,]");
    EXPECT_EQ(e.offset, 3u);
    EXPECT_EQ(e.reason, "Invalid value.");
    e = failure("\xEF\xBB\xBF{\"a\" 1}");  // the skipped byte-order mark still counts
    EXPECT_EQ(e.offset, 8u);
    EXPECT_EQ(e.reason, "Missing a colon after a name of object member.");
    EXPECT_EQ(failure(nested(600)).reason, "Nesting is deeper than 512 levels.");
    EXPECT_EQ(failure("[\"\xFF\"]").reason, "Invalid encoding in string.");
    EXPECT_EQ(failure("[\"\\ud800\"]").reason, "The surrogate pair in string is invalid.");
    EXPECT_EQ(failure("[1e400]").reason, "Number too big to be stored in double.");
    EXPECT_EQ(failure("3").reason, "The top level is not an array or object.");
    e = failure(std::string_view("[1]\0x", 5));
    EXPECT_EQ(e.offset, 3u);
    EXPECT_EQ(e.reason, "The document root must not be followed by other values.");
    JSONReadError untouched{7, "kept"};
    EXPECT_TRUE(JSONSerialization::jsonObject("[1]", {}, &untouched));
    EXPECT_EQ(untouched.offset, 7u);
}
