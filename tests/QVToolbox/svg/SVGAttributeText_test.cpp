#include <QVToolbox/svg/SVGColor.h>
#include <QVToolbox/svg/SVGStyle.h>
#include <QVToolbox/svg/TransformScanner.h>

#include <QVPlatform/foundation/RegularExpression.h>

#include "support/TestData.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace QVToolbox;
using platform::NSRegularExpression;
using platform::NSRegularExpressionOptions;
using platform::UIColor;

namespace {

UIColor::RGBA rgba(std::string_view text) {
    const auto color = colorFromSVGString(text);
    return color ? color->rgba() : UIColor::RGBA{-1, -1, -1, -1};
}

// Every match of `pattern` as the texts of two of its groups.
std::vector<std::pair<std::string, std::string>> regexMatches(const std::string& pattern, const std::string& text,
                                                              std::size_t first, std::size_t second) {
    const auto re = NSRegularExpression::make(pattern, NSRegularExpressionOptions::caseInsensitive);
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& m : re->matches(text)) {
        const auto a = m.rangeAtIndex(first), b = m.rangeAtIndex(second);
        out.emplace_back(text.substr(a.location, a.length), text.substr(b.location, b.length));
    }
    return out;
}

std::string randomText(std::mt19937& random, std::string_view alphabet, std::size_t maxLength) {
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
}

constexpr const char* kTransformPattern = "(\\w+)\\(((\\-?\\d+\\.?\\d*e?\\-?\\d*\\s*,?\\s*)+)\\)";
constexpr const char* kStylePattern = "(((\\w+)-?(\\w*)?):?([ #\\w]*\\.?\\w+))";

}  // namespace

TEST(SVGColorTest, HexRgbAndNamedFormsParse) {
    EXPECT_EQ(rgba("#f00"), (UIColor::RGBA{1, 0, 0, 1}));
    EXPECT_EQ(rgba("#ff0000"), (UIColor::RGBA{1, 0, 0, 1}));
    EXPECT_EQ(rgba("#ff000080"), (UIColor::RGBA{1, 0, 0, 128 / 255.0}));
    EXPECT_EQ(rgba("#f008"), (UIColor::RGBA{1, 0, 0, 8 / 15.0}));
    EXPECT_EQ(rgba("#ff00"), (UIColor::RGBA{1, 1, 0, 0}));
    EXPECT_EQ(rgba("#AbCdEf"), (UIColor::RGBA{0xab / 255.0, 0xcd / 255.0, 0xef / 255.0, 1}));
    EXPECT_EQ(rgba("rgb(255, 0, 0)"), (UIColor::RGBA{1, 0, 0, 1}));
    EXPECT_EQ(rgba("rgba(255,0,0,0.5)"), (UIColor::RGBA{1, 0, 0, 0.5}));
    EXPECT_EQ(rgba("rgb(0,,255,\t0 )"), (UIColor::RGBA{0, 1, 0, 1}));
    ASSERT_EQ(cssColorNameCount(), 148u);
    EXPECT_EQ(rgba("RED"), (UIColor::RGBA{1, 0, 0, 1}));
    EXPECT_EQ(rgba("rebeccapurple"), (UIColor::RGBA{0x66 / 255.0, 0x33 / 255.0, 0x99 / 255.0, 1}));
    EXPECT_EQ(colorFromCSSName("CornflowerBlue")->hexString(), "#6495ED");
}

TEST(SVGColorTest, MalformedTextsGiveNoColour) {
    for (const char* bad : {"#ff000", "#gg0000", "#0x12ab", "#", "", "none", "transparent", "nosuchcolour", "rgb",
                            "rgb(", "rgba", "rgba(", "rgb()", "rgb(1,2)", "rgba(1)", "rgb(10%,0,0)", "rgb(a,b,c)",
                            "rgb(1 2 3)", "#+1f", "# ff"}) {
        EXPECT_EQ(colorFromSVGString(bad), nullptr) << bad;
    }
}

TEST(SVGStyleTest, DeclarationsAreFoundAsThePatternFindsThem) {
    using D = std::vector<StyleDeclaration>;
    EXPECT_EQ(scanStyle("fill:#ff0000;stroke-width:2"), (D{{"fill", "#ff0000"}, {"stroke-width", "2"}}));
    EXPECT_EQ(scanStyle("fill: red"), (D{{"fill", "red"}}));
    EXPECT_EQ(scanStyle("opacity:0.5;fill:rgb(1,2,3)"), (D{{"opacity", "0.5"}, {"fill", "rgb"}}));
    EXPECT_EQ(scanStyle("style style style"), (D{{"style", "style style"}}));
    EXPECT_EQ(scanStyle(""), D{});

    // The scanner against the pattern itself, on many short texts.
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(random, "ab-:;# .1_(", 12);
        std::vector<std::pair<std::string, std::string>> ours;
        for (const auto& d : scanStyle(text, true)) ours.emplace_back(d.name, d.value);
        ASSERT_EQ(ours, regexMatches(kStylePattern, text, 2, 5)) << '"' << text << '"';
    }
}

TEST(TransformScannerTest, ItemsAreFoundAsThePatternFindsThemInLinearTime) {
    using T = std::vector<TransformItem>;
    EXPECT_EQ(scanTransformList("translate(10) scale(2,3)"), (T{{"translate", "10"}, {"scale", "2,3"}}));
    EXPECT_EQ(scanTransformList("rotate(90 10 10)"), (T{{"rotate", "90 10 10"}}));
    EXPECT_EQ(scanTransformList("Rotate(45)"), (T{{"Rotate", "45"}}));
    EXPECT_EQ(scanTransformList("matrix(1E-5,-2.5e3)"), (T{{"matrix", "1E-5,-2.5e3"}}));
    EXPECT_EQ(scanTransformList("a(b(1))"), (T{{"b", "1"}}));
    EXPECT_EQ(scanTransformList("matrix(1 2"), T{});
    EXPECT_EQ(scanTransformList("scale(+2) scale()"), T{});

    // What made the pattern take seconds is read at once: a long unclosed list.
    const std::string unclosed = "matrix(" + std::string(200000, '1');
    EXPECT_EQ(scanTransformList(unclosed), T{});
    const std::string nested = std::string(100000, '(') + "a(1)";
    EXPECT_EQ(scanTransformList(nested), (T{{"a", "1"}}));

    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(random, "ae(),.- 1\t\v", 11);
        std::vector<std::pair<std::string, std::string>> ours;
        for (const auto& item : scanTransformList(text)) ours.emplace_back(item.name, item.numbers);
        ASSERT_EQ(ours, regexMatches(kTransformPattern, text, 1, 2)) << '"' << text << '"';
    }
}

// A fuzzer input on which the transform pattern backtracked for over 15 s: an unclosed
// "rgba(" with a long run of digits. The scanners read it at once and find no item.
TEST(TransformScannerTest, FuzzFoundUnclosedDigitRunIsNoItemAndNoColour) {
    const std::string input = qvtest::readTestData("fuzz/svg-rgba-unclosed-long-digits.txt");
    ASSERT_EQ(input, "rgba(2555555550555555550");
    EXPECT_TRUE(scanTransformList(input).empty());
    EXPECT_EQ(colorFromSVGString(input), nullptr);
}
