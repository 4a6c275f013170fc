// The quoted string of the old-style (text) property-list format, as the platform's
// property-list parser reads it.
//
//   parseOldStyleQuotedString(R"("a\n\U4e2d")");   // "a" + line feed + "中"
//   parseOldStyleQuotedString(R"("a\")");          // absent: the string never ends
//
// Inside the quotes: \U and up to four hexadecimal digits is a UTF-16 code unit (a high and a
// low surrogate in a row make one character; a lone surrogate becomes U+FFFD); \a \b \f \n
// \r \t \v stand for their control characters; a backslash and up to three octal digits is
// that byte value as a character (U+0000 to U+00FF); a backslash before any other character
// stands for that character. After the closing quote only blanks may follow.
// Thread rule: pure function.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The decoded text; absent, with a description in `error`, when the input is not one
// quoted string.
std::optional<std::string> parseOldStyleQuotedString(std::string_view input, std::string* error = nullptr);

// Reads the one quoted string that starts at `position` (on its quote character) and moves
// `position` past the closing quote. Absent, with `position` unchanged, when there is no
// quote there or the string never ends.
std::optional<std::string> readOldStyleQuotedString(std::string_view input, std::size_t& position,
                                                    std::string* error = nullptr);

}  // namespace platform
