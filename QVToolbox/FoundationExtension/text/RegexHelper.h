// Regular-expression helpers: HxRegexHelper, the ready-made pattern enumerations, and the
// pattern-based transformations of text.
//
//   HxRegexHelper::match("a1b2", "\\d");                  // true (search)
//   HxRegexHelper::matchRange("a1b22", "\\d+");           // {{1, 1}, {3, 2}} (UTF-16 units)
//   pregReplace("a1b2", "\\d", "#");                       // "a#b#"
//
// Patterns are ICU regular expressions (the platform's dialect); compiled patterns are
// cached, so repeated calls cost a match. "Whole-text" members use the predicate
// "SELF MATCHES %@". Pure functions; thread-safe.
#pragma once

#include <QVPlatform/base/NSRange.h>
#include <QVPlatform/foundation/RegularExpression.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

enum class HxRegexCharacterType { type1, type2, type3, type4, type5, type6, type7, type8, type9, type10, type11, type12 };
enum class HxRegexDigitalType { type1, type2, type3, type4, type5, type6, type7, type8, type9, type10, type11, type12, type13 };

// The pattern each case stands for.
std::string_view rawValue(HxRegexCharacterType type);
std::string_view rawValue(HxRegexDigitalType type);
std::optional<HxRegexCharacterType> characterTypeFromRawValue(std::string_view pattern);
std::optional<HxRegexDigitalType> digitalTypeFromRawValue(std::string_view pattern);

struct HxRegexHelper {
    using Options = platform::NSRegularExpressionOptions;
    // True when the pattern compiles and matches somewhere in the input.
    static bool match(std::string_view input, std::string_view pattern, Options options = Options::none);
    // The ranges of every match in order; empty when the pattern does not compile.
    static std::vector<platform::NSRange> matchRange(std::string_view input, std::string_view pattern,
                                                     Options options = Options::none);
    static bool validateEmail(std::string_view email, std::string_view pattern);
    static bool validateTelephoneNumber(std::string_view number, std::string_view pattern);
    // Whole-text matches of "^[a-zA-Z\u4E00-\u9FA5]{1,20}" and
    // "(^[0-9]{15}$)|([0-9]{17}([0-9]|X)$)".
    static bool validateUserName(std::string_view name);
    static bool validateUserIdCard(std::string_view number);
};

// Every match replaced by the template ($0, $1... name groups); the text unchanged when the
// pattern does not compile.
std::string pregReplace(std::string_view text, std::string_view pattern, std::string_view with,
                        platform::NSRegularExpressionOptions options = platform::NSRegularExpressionOptions::none);
// The text without the characters outside the kept ranges (emoji, most symbols).
std::string deleteEmoji(std::string_view text);
// The shortest runs after each `leftChar` that end before the next `rightChar`. A pattern
// that does not compile prints "invalid regex: …" (quoted) on standard output and gives {}.
std::vector<std::string> matchesMiddleContentOfCharacters(std::string_view text, std::string_view leftChar,
                                                          std::string_view rightChar);
// The link texts the link detector finds, in order.
std::optional<std::vector<std::string>> getUrls(std::string_view text);

}  // namespace QVToolbox
