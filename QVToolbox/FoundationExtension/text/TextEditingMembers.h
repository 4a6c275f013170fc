// Slicing, trimming, masking, pinyin and the pasteboard as members of the string family
// (TextEditing.h holds the contracts):
//
//   hx(std::string("abcdef")).sub({.to = 3});            // "abc"
//   hx(std::string("13812345678")).hide12BitsPhone("*"); // "138****5678"
//
// A text index is a byte offset into the UTF-8 text; characters are grapheme clusters.
// Thread rule: the wrappers are values; members are pure functions of their inputs except
// copy() (the pasteboard) and stringWithUUID() (randomness).
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/TextEditing.h>

#include <QVPlatform/base/NSRange.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

// The slicing, trimming and masking of TextEditing.h as members of the string family.
template <class W, class Base>
struct TextEditingMembers {};

template <class W>
struct TextEditingMembers<W, StringFamily> {
    // A text index is a byte offset into the UTF-8 text.
    std::size_t validIndex(long original) const { return QVToolbox::validIndex(text(), original); }
    // sub({.to = 3}), sub({.from = 4}), sub({.start = 2, .length = -1}).
    std::string sub(SubTo to) const { return QVToolbox::sub(text(), to); }
    std::string sub(SubFrom from) const { return QVToolbox::sub(text(), from); }
    std::string sub(SubStartLength range) const { return QVToolbox::sub(text(), range); }
    std::string slice(IntRange range) const { return QVToolbox::slice(text(), range); }
    std::string indexString(long index) const { return QVToolbox::indexString(text(), index); }
    std::string truncateString(long n) const { return QVToolbox::truncateString(text(), n); }
    std::string insertString(std::string_view content, long locat) const { return QVToolbox::insertString(text(), content, locat); }
    std::vector<std::string> separatedByString(std::string_view with) const { return QVToolbox::separatedByString(text(), with); }
    std::vector<std::string> toArray() const { return QVToolbox::toArray(text()); }
    long length() const { return QVToolbox::length(text()); }
    long countOfChars() const { return QVToolbox::countOfChars(text()); }
    std::string removeBeginEndAllSapcefeed() const { return QVToolbox::removeBeginEndAllSapcefeed(text()); }
    std::string removeBeginEndAllLinefeed() const { return QVToolbox::removeBeginEndAllLinefeed(text()); }
    std::string removeBeginEndAllSapceAndLinefeed() const { return QVToolbox::removeBeginEndAllSapceAndLinefeed(text()); }
    std::string removeAllSapce() const { return QVToolbox::removeAllSapce(text()); }
    std::string removeAllLinefeed() const { return QVToolbox::removeAllLinefeed(text()); }
    std::string removeAllLineAndSapcefeed() const { return QVToolbox::removeAllLineAndSapcefeed(text()); }
    std::string removeCharacter(std::string_view characterString) const { return QVToolbox::removeCharacter(text(), characterString); }
    std::string removeSomeStringUseSomeString(std::string_view removeString, std::string_view replacingString) const {
        return QVToolbox::removeSomeStringUseSomeString(text(), removeString, replacingString);
    }
    std::string replacingCharacters(platform::NSRange range, std::string_view replacingString) const {
        return QVToolbox::replacingCharacters(text(), range, replacingString);
    }
    std::string hide12BitsPhone(std::string_view combine) const { return QVToolbox::hide12BitsPhone(text(), combine); }
    std::string hidePhone(std::string_view combine, long digitsBefore, long digitsAfter) const {
        return QVToolbox::hidePhone(text(), combine, digitsBefore, digitsAfter);
    }
    std::string hideEmail(std::string_view combine = "*", long digitsBefore = 1, long digitsAfter = 1) const {
        return QVToolbox::hideEmail(text(), combine, digitsBefore, digitsAfter);
    }
    std::string toPinyin(bool keepTone) const { return QVToolbox::toPinyin(text(), keepTone); }
    std::string pinyinInitials(bool upper) const { return QVToolbox::pinyinInitials(text(), upper); }
    static std::optional<std::string> stringWithUUID() { return QVToolbox::stringWithUUID(); }
    void copy() const { copyToPasteboard(text()); }


private:
    std::string_view text() const { return textOf(static_cast<const W&>(*this).base); }
};

}  // namespace QVToolbox
