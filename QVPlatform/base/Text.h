// Text helpers: UTF-8 <-> UTF-16 conversion and user-perceived characters.
//
//   utf16Length("a😀")            // 3 (the emoji is a surrogate pair)
//   characterCount("e\u0301👍🏽")  // 2 (two extended grapheme clusters)
//   characterBoundaries("ab")     // {0, 1, 2}: byte offsets of each cluster start, then the end
//
// Invalid UTF-8 is never rejected: each bad byte becomes U+FFFD on conversion, so every
// input yields a result. All functions are pure and thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// The number of UTF-16 code units the text occupies.
std::size_t utf16Length(std::string_view text);

// Byte offset in `text` of UTF-16 unit `unitIndex` (clamped to the end). An index that falls
// inside a surrogate pair is moved to the start of the pair.
std::size_t utf8OffsetOfUtf16Index(std::string_view text, std::size_t unitIndex);
// UTF-16 index of byte offset `byteOffset` (clamped).
std::size_t utf16IndexOfUtf8Offset(std::string_view text, std::size_t byteOffset);

// Byte offsets where each extended grapheme cluster starts, followed by text.size().
// An empty text gives {0}.
std::vector<std::size_t> characterBoundaries(std::string_view text);
// The user-perceived characters of the text, each as its own UTF-8 text.
std::vector<std::string> characters(std::string_view text);
std::size_t characterCount(std::string_view text);

// Unicode code points of the text (invalid bytes give U+FFFD).
std::u32string utf8ToUtf32(std::string_view text);
std::string utf32ToUtf8(std::u32string_view text);
// Appends the UTF-8 form of one code point (invalid code points give U+FFFD).
void appendUtf8(std::string& out, char32_t codePoint);

bool isValidUtf8(std::string_view text);

}  // namespace platform
