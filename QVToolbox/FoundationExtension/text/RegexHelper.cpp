#include <QVToolbox/FoundationExtension/text/RegexHelper.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/foundation/LinkDetector.h>

#include <array>

namespace QVToolbox {

namespace {

using platform::NSRegularExpression;

constexpr std::array<std::string_view, 12> kCharacterPatterns = {
    "^[\\u4e00-\\u9fa5]{0,}$", "^[A-Za-z0-9]{4,40}$", "^.{3,20}$",         "^[A-Za-z]+$",
    "^[A-Z]+$",                "^[a-z]+$",            "^[A-Za-z0-9]+$",    "^\\w+$",
    "^[\\u4E00-\\u9FA5A-Za-z0-9_]+$", "^[\\u4E00-\\u9FA5A-Za-z0-9]+$", "[^%&',;=?$\\x22]+", "[^~\\x22]+"};

constexpr std::array<std::string_view, 13> kDigitalPatterns = {
    "^[0-9]*$",
    "^(0|[1-9][0-9]*)$",
    "^([1-9][0-9]*)+(\\.[0-9]{1,2})?$",
    "^[1-9]\\d*$",
    "^-[1-9]\\d*$",
    "^\\d+$",
    "^((-\\d+)|(0+))$",
    "^\\d+(\\.\\d+)?$",
    "^((-\\d+(\\.\\d+)?)|(0+(\\.0+)?))$",
    "^[1-9]\\d*\\.\\d*|0\\.\\d*[1-9]\\d*$",
    "^-([1-9]\\d*\\.\\d*|0\\.\\d*[1-9]\\d*)$",
    "^(-?\\d+)(\\.\\d+)?$",
    "^((13[0-9])|(14[5,7])|(15[0-3,5-9])|(17[0,3,5-8])|(18[0-9])|166|198|199)\\d{8}$"};

// Kept ranges of deleteEmoji(); the two characters before "]" are a real CR and LF.
constexpr std::string_view kDeleteEmojiPattern =
    "[^\\u0020-\\u007E\\u00A0-\\u00BE\\u2E80-\\uA4CF\\uF900-\\uFAFF\\uFE30-\\uFE4F\\uFF00-\\uFFEF\\u0080-\\u009F\\u2000-\\u201f\r\n]";

}  // namespace

std::string_view rawValue(HxRegexCharacterType type) { return kCharacterPatterns[static_cast<std::size_t>(type)]; }
std::string_view rawValue(HxRegexDigitalType type) { return kDigitalPatterns[static_cast<std::size_t>(type)]; }

std::optional<HxRegexCharacterType> characterTypeFromRawValue(std::string_view pattern) {
    for (std::size_t i = 0; i < kCharacterPatterns.size(); ++i) {
        if (kCharacterPatterns[i] == pattern) return static_cast<HxRegexCharacterType>(i);
    }
    return std::nullopt;
}

std::optional<HxRegexDigitalType> digitalTypeFromRawValue(std::string_view pattern) {
    for (std::size_t i = 0; i < kDigitalPatterns.size(); ++i) {
        if (kDigitalPatterns[i] == pattern) return static_cast<HxRegexDigitalType>(i);
    }
    return std::nullopt;
}

bool HxRegexHelper::match(std::string_view input, std::string_view pattern, Options options) {
    const auto re = NSRegularExpression::make(pattern, options);
    return re && re->firstMatch(input).has_value();
}

std::vector<platform::NSRange> HxRegexHelper::matchRange(std::string_view input, std::string_view pattern, Options options) {
    std::vector<platform::NSRange> out;
    const auto re = NSRegularExpression::make(pattern, options);
    if (!re) return out;
    for (const auto& m : re->matches(input)) out.push_back(m.range);
    return out;
}

bool HxRegexHelper::validateEmail(std::string_view email, std::string_view pattern) { return match(email, pattern); }
bool HxRegexHelper::validateTelephoneNumber(std::string_view number, std::string_view pattern) { return match(number, pattern); }

bool HxRegexHelper::validateUserName(std::string_view name) {
    return platform::predicateMatches(name, "^[a-zA-Z\\u4E00-\\u9FA5]{1,20}");
}

bool HxRegexHelper::validateUserIdCard(std::string_view number) {
    return platform::predicateMatches(number, "(^[0-9]{15}$)|([0-9]{17}([0-9]|X)$)");
}

std::string pregReplace(std::string_view text, std::string_view pattern, std::string_view with,
                        platform::NSRegularExpressionOptions options) {
    const auto re = NSRegularExpression::make(pattern, options);
    if (!re) return std::string(text);
    return re->stringByReplacingMatches(text, with);
}

std::string deleteEmoji(std::string_view text) {
    std::string error;
    const auto re = NSRegularExpression::make(kDeleteEmojiPattern, platform::NSRegularExpressionOptions::caseInsensitive, &error);
    if (!re) {
        platform::debugPrint(error);
        return {};
    }
    return re->stringByReplacingMatches(text, "");
}

std::vector<std::string> matchesMiddleContentOfCharacters(std::string_view text, std::string_view leftChar,
                                                          std::string_view rightChar) {
    const std::string pattern = "(?<=\\" + std::string(leftChar) + ").*?(?=\\" + std::string(rightChar) + ")";
    std::string error;
    const auto re = NSRegularExpression::make(pattern, platform::NSRegularExpressionOptions::none, &error);
    if (!re) {
        platform::printQuoted("invalid regex: " + error);
        return {};
    }
    return re->matchedTexts(text);
}

std::optional<std::vector<std::string>> getUrls(std::string_view text) {
    std::vector<std::string> out;
    for (auto& link : platform::detectLinks(text)) out.push_back(std::move(link.text));
    return out;
}

}  // namespace QVToolbox
