// NSString: the platform's text object, a UTF-8 text whose lengths and ranges count UTF-16
// code units, as the platform's do.
//
//   NSString s("a😀b");
//   s.length();                               // 4
//   s.substringWithRange({1, 2}).string();    // "😀"
//
// A value type here (copying is cheap enough for the helpers); convert to and from
// std::string freely. Thread rule: like any value, not synchronised.
#pragma once

#include <QVPlatform/base/NSRange.h>

#include <compare>
#include <string>
#include <string_view>

namespace platform {

class NSString {
public:
    NSString() = default;
    NSString(std::string text) : text_(std::move(text)) {}  // NOLINT: implicit, like a literal
    NSString(const char* text) : text_(text ? text : "") {}  // NOLINT
    NSString(std::string_view text) : text_(text) {}        // NOLINT

    static NSString fromUtf16(std::u16string_view units);

    const std::string& string() const { return text_; }
    const char* UTF8String() const { return text_.c_str(); }
    operator std::string_view() const { return text_; }  // NOLINT: reads as a text everywhere

    // Length in UTF-16 code units.
    NSUInteger length() const;
    // The UTF-16 unit at `index`, or 0 past the end.
    char16_t characterAtIndex(NSUInteger index) const;
    // The text of `range` (UTF-16 units), clamped to the text.
    NSString substringWithRange(NSRange range) const;
    NSString substringFromIndex(NSUInteger index) const;
    NSString substringToIndex(NSUInteger index) const;
    // The first occurrence of `needle` in UTF-16 units, or {NSNotFound, 0}.
    NSRange rangeOfString(std::string_view needle) const;
    NSString stringByReplacingCharactersInRange(NSRange range, std::string_view replacement) const;
    bool isEqualToString(std::string_view other) const { return text_ == other; }

    friend bool operator==(const NSString&, const NSString&) = default;
    friend auto operator<=>(const NSString&, const NSString&) = default;

private:
    std::string text_;
};

}  // namespace platform
