// Text surgery by user-perceived characters: slicing that never reads past the text,
// trimming and removal, masking for display, insertion, pinyin and display width.
//
//   sub("abcdef", SubTo{.to = 3});            // "abc"   (hx(text).sub({.to = 3}))
//   hidePhone("13800138000", "*", 3, 4);     // "138****8000"
//   toPinyin("中文", false);                   // "zhong wen"
//
// Positions and lengths count characters (extended grapheme clusters); NSRange values count
// UTF-16 units. Every position outside the text is clamped as validIndex() clamps: no
// member reads past the text or fails. Pure functions, thread-safe, except copy() (the
// pasteboard) and stringWithUUID() (randomness).
#pragma once

#include <QVToolbox/FoundationExtension/text/NumberText.h>

#include <QVPlatform/base/NSRange.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

// The three forms of sub(...), told apart by their field names: sub({.to = 3}),
// sub({.from = 4}), sub({.start = 2, .length = -1}).
struct SubTo {
    long to = 0;
};
struct SubFrom {
    long from = 0;
};
struct SubStartLength {
    long start = 0;
    long length = -1;  // -1: to the end of the text
};

// The byte offset of the clamped position: 0 for n ≤ 0; the end for n at or past the text's
// UTF-16 length; otherwise after min(n, character count) characters.
std::size_t validIndex(std::string_view text, long original);
std::string sub(std::string_view text, SubTo to);
std::string sub(std::string_view text, SubFrom from);
// `length` characters from `start` (any negative length: to the end), both ends clamped.
std::string sub(std::string_view text, SubStartLength range);
std::string slice(std::string_view text, IntRange range);
std::string indexString(std::string_view text, long index);
// The first n characters and "..." when the text is longer; a negative n counts as 0.
std::string truncateString(std::string_view text, long n);
std::string insertString(std::string_view text, std::string_view content, long locat);
// The pieces between separators, empty ones included; an empty separator gives {text}.
std::vector<std::string> separatedByString(std::string_view text, std::string_view with);
std::vector<std::string> toArray(std::string_view text);
long length(std::string_view text);
// Width with basic-block Han ideographs counting 2: the UTF-16 units at positions 0 up to
// the character count are examined.
long countOfChars(std::string_view text);

std::string removeBeginEndAllSapcefeed(std::string_view text);
std::string removeBeginEndAllLinefeed(std::string_view text);
std::string removeBeginEndAllSapceAndLinefeed(std::string_view text);
std::string removeAllSapce(std::string_view text);
std::string removeAllLinefeed(std::string_view text);
std::string removeAllLineAndSapcefeed(std::string_view text);
std::string removeCharacter(std::string_view text, std::string_view characterString);
std::string removeSomeStringUseSomeString(std::string_view text, std::string_view removeString,
                                          std::string_view replacingString);
// The UTF-16 range replaced; a range past the end is clamped to the text.
std::string replacingCharacters(std::string_view text, platform::NSRange range, std::string_view replacingString);

std::string hide12BitsPhone(std::string_view text, std::string_view combine);
// Negative counts count as 0.
std::string hidePhone(std::string_view text, std::string_view combine, long digitsBefore, long digitsAfter);
// The local part masked by hidePhone with these values ("*", 1 and 1 by default), then "@"
// and the rest unchanged; unchanged unless the text holds exactly one "@".
std::string hideEmail(std::string_view text, std::string_view combine = "*", long digitsBefore = 1, long digitsAfter = 1);

std::string toPinyin(std::string_view text, bool keepTone);
std::string pinyinInitials(std::string_view text, bool upper);
std::optional<std::string> stringWithUUID();
// Puts the text on the general pasteboard.
void copyToPasteboard(std::string_view text);

}  // namespace QVToolbox
