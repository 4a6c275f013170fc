#include <QVToolbox/FoundationExtension/text/TextSearch.h>

#include <QVToolbox/FoundationExtension/text/RegexHelper.h>

#include <QVPlatform/base/Text.h>
#include <QVPlatform/foundation/UnicodeProperties.h>

#include <algorithm>

namespace QVToolbox {

namespace {

bool isBoundary(std::string_view text, std::size_t offset) {
    const auto bounds = platform::characterBoundaries(text);
    return std::binary_search(bounds.begin(), bounds.end(), offset);
}

// The index of the character holding byte `offset`.
long characterIndexAt(std::string_view text, std::size_t offset) {
    const auto bounds = platform::characterBoundaries(text);
    return static_cast<long>(std::upper_bound(bounds.begin(), bounds.end(), offset) - bounds.begin()) - 1;
}

}  // namespace

bool contains(std::string_view text, std::string_view find) { return !find.empty() && text.find(find) != std::string_view::npos; }

bool containsIgnoringCase(std::string_view text, std::string_view find) {
    return !find.empty() && platform::caseFolded(text).find(platform::caseFolded(find)) != std::string::npos;
}

bool isHasPrefix(std::string_view text, std::string_view prefix) {
    return text.starts_with(prefix) && isBoundary(text, prefix.size());
}

bool isHasSuffix(std::string_view text, std::string_view suffix) {
    return text.ends_with(suffix) && isBoundary(text, text.size() - suffix.size());
}

long positionFirst(std::string_view text, std::string_view of) {
    if (of.empty()) return -1;
    const auto at = text.find(of);
    return at == std::string_view::npos ? -1 : characterIndexAt(text, at);
}

long positionLast(std::string_view text, std::string_view of) {
    if (of.empty()) return -1;
    const auto at = text.rfind(of);
    return at == std::string_view::npos ? -1 : characterIndexAt(text, at);
}

std::optional<TextRange> range(std::string_view text, std::string_view of) {
    if (of.empty()) return std::nullopt;
    const auto at = text.find(of);
    if (at == std::string_view::npos) return std::nullopt;
    return TextRange{at, at + of.size()};
}

std::vector<platform::NSRange> nsRange(std::string_view text, std::string_view of) {
    if (!contains(text, of)) return {};
    return HxRegexHelper::matchRange(text, of);
}

std::optional<TextRange> toRange(platform::NSRange r, std::string_view string) {
    const std::size_t units = platform::utf16Length(string);
    if (r.location > units || r.length > units - r.location) return std::nullopt;
    const std::size_t begin = platform::utf8OffsetOfUtf16Index(string, r.location);
    const std::size_t end = platform::utf8OffsetOfUtf16Index(string, r.location + r.length);
    // An index inside a surrogate pair was moved to the pair's start: it was not a boundary.
    if (platform::utf16IndexOfUtf8Offset(string, begin) != r.location ||
        platform::utf16IndexOfUtf8Offset(string, end) != r.location + r.length) {
        return std::nullopt;
    }
    if (!isBoundary(string, begin) || !isBoundary(string, end)) return std::nullopt;
    return TextRange{begin, end};
}

}  // namespace QVToolbox
