// NSRegularExpression: ICU regular expressions (the platform's dialect) over UTF-8 text,
// with ranges in UTF-16 code units, and the predicate "SELF MATCHES %@".
//
//   auto re = NSRegularExpression::make("[0-9]+");
//   re->matches("a12b345")[1].range;              // {4, 3}
//   re->stringByReplacingMatches("a1b2", "<$0>");  // "a<1>b<2>"
//   predicateMatches("13912345678", "1[3-9]\\d{9}");  // true: the whole text must match
//
// Compiled patterns are kept in a small process-wide cache keyed by pattern and options, so
// a pattern used in a tight loop is compiled once. Thread rule: an expression is immutable
// and may be used from any number of threads at once; the cache is guarded by a mutex.
#pragma once

#include <QVPlatform/base/NSRange.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class NSRegularExpressionOptions : std::uint32_t {
    none = 0,
    caseInsensitive = 1 << 0,
    allowCommentsAndWhitespace = 1 << 1,
    ignoreMetacharacters = 1 << 2,
    dotMatchesLineSeparators = 1 << 3,
    anchorsMatchLines = 1 << 4,
    useUnixLineSeparators = 1 << 5,
    useUnicodeWordBoundaries = 1 << 6,
};
constexpr NSRegularExpressionOptions operator|(NSRegularExpressionOptions a, NSRegularExpressionOptions b) {
    return static_cast<NSRegularExpressionOptions>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

// One match: the whole match's range, then one range per capture group (a group that took
// no part gives {NSNotFound, 0}). Ranges count UTF-16 units of the searched text.
struct NSTextCheckingResult {
    NSRange range;
    std::vector<NSRange> groups;
    NSRange rangeAtIndex(std::size_t i) const { return i == 0 ? range : (i <= groups.size() ? groups[i - 1] : NSRange{NSNotFound, 0}); }
};

class NSRegularExpression {
public:
    // The compiled expression, or null when the pattern does not compile; `error` then
    // receives ICU's description of the problem.
    static std::shared_ptr<const NSRegularExpression> make(std::string_view pattern,
                                                           NSRegularExpressionOptions options = NSRegularExpressionOptions::none,
                                                           std::string* error = nullptr);

    const std::string& pattern() const { return pattern_; }
    NSRegularExpressionOptions options() const { return options_; }

    // Every match in the whole text, in order.
    std::vector<NSTextCheckingResult> matches(std::string_view text) const;
    std::size_t numberOfMatches(std::string_view text) const;
    std::optional<NSTextCheckingResult> firstMatch(std::string_view text) const;
    // The text of every match, in order.
    std::vector<std::string> matchedTexts(std::string_view text) const;
    // Every match replaced by the template, in which $0, $1... name groups and a backslash
    // escapes the next character.
    std::string stringByReplacingMatches(std::string_view text, std::string_view replacementTemplate) const;
    // True when the pattern matches the entire text, as "SELF MATCHES %@" decides.
    bool matchesEntireText(std::string_view text) const;

    struct Compiled;  // ICU's pattern; defined in the source
    NSRegularExpression(std::string pattern, NSRegularExpressionOptions options, std::shared_ptr<const Compiled> compiled)
        : pattern_(std::move(pattern)), options_(options), compiled_(std::move(compiled)) {}

private:
    std::string pattern_;
    NSRegularExpressionOptions options_;
    std::shared_ptr<const Compiled> compiled_;
};

// The platform predicate "SELF MATCHES %@": the pattern compiles and matches the whole text.
bool predicateMatches(std::string_view text, std::string_view pattern);

// The pattern text that matches `text` literally (metacharacters escaped).
std::string escapedPatternForString(std::string_view text);

}  // namespace platform
