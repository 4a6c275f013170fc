#include <QVPlatform/base/NSString.h>

#include <QVPlatform/base/Text.h>

#include <algorithm>

namespace platform {

NSString NSString::fromUtf16(std::u16string_view units) { return NSString(utf16ToUtf8(units)); }

NSUInteger NSString::length() const { return utf16Length(text_); }

char16_t NSString::characterAtIndex(NSUInteger index) const {
    const auto units = utf8ToUtf16(text_);
    return index < units.size() ? units[index] : u'\0';
}

NSString NSString::substringWithRange(NSRange range) const {
    const auto units = utf8ToUtf16(text_);
    const auto start = std::min<NSUInteger>(range.location, units.size());
    const auto count = std::min<NSUInteger>(range.length, units.size() - start);
    return fromUtf16(std::u16string_view(units).substr(start, count));
}

NSString NSString::substringFromIndex(NSUInteger index) const { return substringWithRange({index, NSNotFound}); }

NSString NSString::substringToIndex(NSUInteger index) const { return substringWithRange({0, index}); }

NSRange NSString::rangeOfString(std::string_view needle) const {
    if (needle.empty()) return {NSNotFound, 0};
    const auto at = text_.find(needle);
    if (at == std::string::npos) return {NSNotFound, 0};
    return {utf16IndexOfUtf8Offset(text_, at), utf16Length(needle)};
}

NSString NSString::stringByReplacingCharactersInRange(NSRange range, std::string_view replacement) const {
    auto units = utf8ToUtf16(text_);
    const auto start = std::min<NSUInteger>(range.location, units.size());
    const auto count = std::min<NSUInteger>(range.length, units.size() - start);
    units.replace(start, count, utf8ToUtf16(replacement));
    return fromUtf16(units);
}

}  // namespace platform
