// Unicode properties of scalars and case mapping of texts, from ICU.
//
//   hasEmojiProperty(U'😀');    // true (UTS #51 "Emoji"; so are the digits 0-9 and #, *)
//   isDecimalDigit(U'٣');       // true (general category Nd)
//   lowercased("ÄB");           // "äb"
//
// The whitespace and newline sets are the platform's: whitespace is the space separators
// (Zs) and the tab; newlines are U+000A to U+000D, U+0085, U+2028 and U+2029.
// Thread rule: pure functions.
#pragma once

#include <string>
#include <string_view>

namespace platform {

bool hasEmojiProperty(char32_t c);
bool isDecimalDigit(char32_t c);   // Nd
bool isLetterOrMark(char32_t c);   // L* or M*
bool isWhitespace(char32_t c);     // Zs or tab
bool isNewline(char32_t c);
bool isWhitespaceOrNewline(char32_t c);
bool isWhitespaceCharacter(char32_t c);  // Unicode White_Space (what a scanner skips)

// Full Unicode case mapping in the root locale.
std::string lowercased(std::string_view text);
std::string uppercased(std::string_view text);
// Case folding, for case-insensitive comparison.
std::string caseFolded(std::string_view text);

}  // namespace platform
