// Searching text: containment, prefixes, character positions and ranges.
//
//   positionFirst("abcb", "b");     // 1 (characters)
//   positionLast("abcb", "b");      // 3
//   nsRange("a.c abc", "a.c");      // {{0, 3}, {4, 3}}: found literally, then matched as a pattern
//
// An empty search text is never found. Text ranges are byte offsets into the UTF-8 text.
// Pure functions; thread-safe.
#pragma once

#include <QVPlatform/base/NSRange.h>

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace QVToolbox {

// A range of positions in a text (byte offsets of the UTF-8 form), lower..<upper.
struct TextRange {
    std::size_t lowerBound = 0;
    std::size_t upperBound = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

bool contains(std::string_view text, std::string_view find);
bool containsIgnoringCase(std::string_view text, std::string_view find);
// Comparison by characters: "é" (e and a combining accent) does not begin with "e".
bool isHasPrefix(std::string_view text, std::string_view prefix);
bool isHasSuffix(std::string_view text, std::string_view suffix);
long positionFirst(std::string_view text, std::string_view of);
long positionLast(std::string_view text, std::string_view of);
std::optional<TextRange> range(std::string_view text, std::string_view of);
// Empty unless `of` occurs literally; then the ranges of `of` used as a pattern.
std::vector<platform::NSRange> nsRange(std::string_view text, std::string_view of);
// The UTF-16 range as positions of `string`; absent when an end lies past the text or
// inside a character.
std::optional<TextRange> toRange(platform::NSRange range, std::string_view string);

}  // namespace QVToolbox
